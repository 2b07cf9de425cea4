// The design sketch pinned as recorded primitives.

#include "model/model_fixture.h"
#include "picture/recording_canvas.h"
#include "view/pixel.h"
#include "view/sketch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;
using skarvel::test::DesignTables;
namespace dt = skarvel::data::design;

// One move and the lines after it, with the pen that drew them.
struct Path {
    std::string pen;
    std::vector<Point> points;
};

Point ParsePoint(const std::string& text) {
    const auto comma = text.find(',');
    return {std::stoi(text.substr(0, comma)), std::stoi(text.substr(comma + 1))};
}

std::vector<Path> Paths(const RecordingCanvas& c) {
    std::vector<Path> paths;
    std::string pen;
    for (const std::string& line : c.lines()) {
        if (line.starts_with("pen ")) {
            pen = line.substr(4, line.rfind(' ') - 4);
        } else if (line.starts_with("move ")) {
            paths.push_back({pen, {ParsePoint(line.substr(5))}});
        } else if (line.starts_with("line ")) {
            paths.back().points.push_back(ParsePoint(line.substr(5)));
        }
    }
    return paths;
}

std::string Text(Point p) {
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

// The recording with every path shortened to its point count and its first,
// middle and last points.
std::string Summary(const RecordingCanvas& c) {
    std::ostringstream out;
    std::size_t path = 0;
    const auto paths = Paths(c);
    for (const std::string& line : c.lines()) {
        if (line.starts_with("move ")) {
            const auto& p = paths[path++].points;
            out << "path " << p.size() << " " << Text(p.front()) << " " << Text(p[p.size() / 2])
                << " " << Text(p.back()) << "\n";
        } else if (!line.starts_with("line ")) {
            out << line << "\n";
        }
    }
    return out.str();
}

struct Sketched : DesignTables {
    RecordingCanvas canvas;
    bool drawn = false;

    explicit Sketched(std::initializer_list<std::tuple<int, int, const char*>> cells = {},
                      int width = 300, int height = 200) {
        for (const auto& [column, row, text] : cells) {
            set(column, row, text);
        }
        compute();
        drawn = DrawDesignSketch(canvas, width, height, model, true);
    }
    // Where a point of the default-length fuselage (190 mm) lands on 300x200.
    static Point At(double x, double y) {
        const double k = 200 / (1.4 * 190);
        return {120 + RoundPixel(k * y), 8 + RoundPixel(k * x)};
    }
};

// On 300x200 the side view lies right of x = 190 and above y = 160.
bool InSideView(const Path& p) {
    for (const Point& q : p.points) {
        if (q.x <= 190 || q.y >= 160) {
            return false;
        }
    }
    return true;
}

int CountIf(const std::vector<Path>& paths, auto predicate) {
    int n = 0;
    for (const Path& p : paths) {
        n += predicate(p) ? 1 : 0;
    }
    return n;
}

TEST(DesignSketch, DefaultDesignInThreeViews) {
    const Sketched s;
    ASSERT_TRUE(s.drawn);
    // Plan view: fuselage and nose, junction and tip chords, the wing's
    // edges, the centre of gravity, the tail's chords and edges. Side view:
    // nose and fuselage, junction, root and tip chords, the wing's edges, the
    // centre of gravity, the tail's edges and its chords in red. Front view:
    // fuselage, wing and the V of the tail.
    EXPECT_EQ(Summary(s.canvas), "fill 0,0 300,200 WindowBackground\n"
                                 "pen #000000 1\n"
                                 "path 5 121,8 119,151 121,8\n"
                                 "path 5 121,8 119,53 121,8\n"
                                 "path 2 135,29 135,53 135,53\n"
                                 "path 2 105,29 105,53 105,53\n"
                                 "path 2 183,46 183,53 183,53\n"
                                 "path 2 57,46 57,53 57,53\n"
                                 "path 52 120,27 152,32 183,46\n"
                                 "path 52 120,27 88,32 57,46\n"
                                 "path 2 183,53 120,53 120,53\n"
                                 "path 2 57,53 120,53 120,53\n"
                                 "pen #FF0000 1\n"
                                 "brush WindowBackground\n"
                                 "ellipse 119,46 121,48\n"
                                 "pen #000000 1\n"
                                 "path 2 141,144 141,144 141,144\n"
                                 "path 2 99,144 99,144 99,144\n"
                                 "path 52 120,131 131,135 141,144\n"
                                 "path 52 120,131 109,135 99,144\n"
                                 "path 52 120,151 131,150 141,144\n"
                                 "path 52 120,151 109,150 99,144\n"
                                 "path 5 208,8 205,53 208,8\n"
                                 "path 4 208,8 207,151 205,53\n"
                                 "path 2 211,29 211,53 211,53\n"
                                 "path 2 208,27 208,53 208,53\n"
                                 "path 2 218,46 218,53 218,53\n"
                                 "path 52 208,27 213,32 218,46\n"
                                 "path 2 218,53 208,53 208,53\n"
                                 "pen #FF0000 1\n"
                                 "brush WindowBackground\n"
                                 "ellipse 210,46 212,48\n"
                                 "pen #000000 1\n"
                                 "path 52 208,131 214,135 219,144\n"
                                 "path 52 208,151 214,150 219,144\n"
                                 "pen #FF0000 1\n"
                                 "path 2 219,144 219,144 219,144\n"
                                 "path 2 208,131 208,151 208,151\n"
                                 "pen #000000 1\n"
                                 "path 5 121,179 119,183 121,179\n"
                                 "path 3 120,179 135,177 183,169\n"
                                 "path 3 120,179 105,177 57,169\n"
                                 "path 2 120,179 141,168 141,168\n"
                                 "path 2 120,179 99,168 99,168\n");

    // The plan view's red circle lies at the wanted centre of gravity.
    const Point cg = Sketched::At(25 + s.model.design().cgPosition, 0);
    const auto& l = s.canvas.lines();
    EXPECT_EQ(std::count_if(l.begin(), l.end(), [](auto& x) { return x.starts_with("ellipse"); }),
              2);
    EXPECT_EQ(
        std::count(l.begin(), l.end(),
                   "ellipse " + Text({cg.x - 1, cg.y - 1}) + " " + Text({cg.x + 1, cg.y + 1})),
        1);
}

TEST(DesignSketch, DisabledOrWithoutLengthOnlyFills) {
    DesignTables d;
    d.compute();
    RecordingCanvas c;
    EXPECT_TRUE(DrawDesignSketch(c, 300, 200, d.model, false));
    EXPECT_EQ(c.dump(), "fill 0,0 300,200 WindowBackground\n");

    const Sketched none({{dt::Fuselage, dt::Span, "0"}});
    EXPECT_FALSE(none.drawn);
    EXPECT_EQ(none.canvas.dump(), "fill 0,0 300,200 WindowBackground\n");
    // A point that is not a number ends the drawing, keeping what was drawn:
    // an inner wing wider than the whole wing has no sine edge.
    const Sketched nan({{dt::MainWing, dt::Type, "2段上反角"},
                        {dt::InnerWing, dt::Span, "200"},
                        {dt::InnerWing, dt::LeadingEdge, "正弦"}});
    EXPECT_FALSE(nan.drawn);
    EXPECT_GT(nan.canvas.lines().size(), 5u);
}

// The smallest box holding every point of the recording, as
// "left,top right,bottom".
std::string Box(const RecordingCanvas& c) {
    Point low{INT32_MAX, INT32_MAX}, high{INT32_MIN, INT32_MIN};
    for (const std::string& line : c.lines()) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word != "move" && word != "line" && word != "ellipse") {
            continue;
        }
        while (words >> word) {
            const Point p = ParsePoint(word);
            low = {std::min(low.x, p.x), std::min(low.y, p.y)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y)};
        }
    }
    return Text(low) + " " + Text(high);
}

TEST(DesignSketch, AllThreeViewsFitTheArea) {
    // Each drawing within its area and as large as fits: the height sets the
    // scale of the default design and of a 280 mm span on 300x200; the others
    // reach a side (the last pixel 128 or 299 across, the first or the last
    // 199 down), the centre of gravity ahead of the nose with its circle.
    std::ostringstream boxes;
    const auto add = [&](const char* name, const Sketched& s, int width, int height) {
        EXPECT_TRUE(s.drawn) << name;
        boxes << name << " " << width << "x" << height << ": " << Box(s.canvas) << "\n";
    };
    add("default", Sketched({}, 300, 200), 300, 200);
    add("default", Sketched({}, 129, 300), 129, 300);
    add("default", Sketched({}, 300, 400), 300, 400);
    const std::tuple<int, int, const char*> wide{dt::MainWing, dt::Span, "280"};
    add("span 280", Sketched({wide}, 129, 300), 129, 300);
    add("span 280", Sketched({wide}, 300, 200), 300, 200);
    add("span 1e6", Sketched({{dt::MainWing, dt::Span, "1e6"}}, 300, 200), 300, 200);
    add("cg -40", Sketched({{dt::Fuselage, dt::CgPosition, "-40"}}, 300, 200), 300, 200);
    add("nose 60", Sketched({{dt::Fuselage, dt::RootChord, "60"}}, 300, 200), 300, 200);
    EXPECT_EQ(boxes.str(), "default 300x200: 57,8 219,183\n"
                           "default 129x300: 4,12 128,146\n"
                           "default 300x400: 6,17 299,332\n"
                           "span 280 129x300: 3,12 128,94\n"
                           "span 280 300x200: 16,8 282,183\n"
                           "span 1e6 300x200: 69,0 199,9\n"
                           "cg -40 300x200: 81,0 182,117\n"
                           "nose 60 300x200: 64,8 208,199\n");
}

TEST(DesignSketch, FlatDesignShowsOnlyChordsFromTheSide) {
    // Side-view paths after the nose and fuselage outlines that are not a
    // chord (two points at one height).
    const auto edges = [](const Sketched& s) {
        std::vector<Path> side;
        for (const Path& p : Paths(s.canvas)) {
            if (InSideView(p)) {
                side.push_back(p);
            }
        }
        return CountIf({side.begin() + 2, side.end()}, [](const Path& p) {
            return p.points.size() != 2 || p.points[0].x != p.points[1].x;
        });
    };
    const Sketched bent;
    EXPECT_EQ(edges(bent), 4); // wing and tail, leading and trailing edges
    const Sketched flat({{dt::MainWing, dt::Dihedral, "0"},
                         {dt::InnerWing, dt::Dihedral, "0"},
                         {dt::HorizontalTail, dt::Dihedral, "0"}});
    ASSERT_TRUE(flat.drawn);
    EXPECT_EQ(edges(flat), 0);
}

TEST(DesignSketch, VTailHasNoFin) {
    const auto alongCentreLine = [](const Path& p) {
        return p.points.front().x == 120 && p.points.back().x == 120 &&
               p.points.front().y != p.points.back().y;
    };
    const auto red = [](const Path& p) { return p.pen == "#FF0000"; };
    const Sketched vTail; // the default design has one
    const Sketched normal({{dt::VerticalTail, dt::Type, "通常尾翼"}});
    const auto v = Paths(vTail.canvas), n = Paths(normal.canvas);
    EXPECT_EQ(CountIf(v, alongCentreLine), 0);
    EXPECT_EQ(CountIf(n, alongCentreLine), 2); // from above (red) and from the front
    // From the side, the fin's two chords and two edges.
    EXPECT_EQ(n.size(), v.size() + 6);
    EXPECT_EQ(CountIf(v, red), 2); // the tail's chords from the side
    EXPECT_EQ(CountIf(n, red), 3);
    const Sketched twin({{dt::VerticalTail, dt::Type, "双垂直尾翼"}});
    EXPECT_EQ(CountIf(Paths(twin.canvas), red), 4);
    EXPECT_EQ(Paths(twin.canvas).size(), v.size() + 8);
}

TEST(DesignSketch, CanardWingFromTheRearTailFromTheNose) {
    const Sketched normal({{dt::VerticalTail, dt::Type, "通常尾翼"}});
    const Sketched canard({{dt::VerticalTail, dt::Type, "先尾翼"}});
    ASSERT_TRUE(canard.drawn);
    const double cg = canard.model.design().cgPosition;
    const auto hasCircleAt = [](const Sketched& s, double x) {
        const Point c = Sketched::At(x, 0);
        const std::string box =
            "ellipse " + Text({c.x - 1, c.y - 1}) + " " + Text({c.x + 1, c.y + 1});
        const auto& l = s.canvas.lines();
        return std::find(l.begin(), l.end(), box) != l.end();
    };
    // The wing's root leading edge 25 mm from the nose, or 25 mm plus a root
    // chord of 35 mm from the rear end.
    EXPECT_TRUE(hasCircleAt(normal, 25 + cg));
    EXPECT_TRUE(hasCircleAt(canard, 190 - 25 - 35 + cg));
    // The tail's root chord from the side (the last red line): at the rear
    // end, or at the nose.
    const auto rootChord = [](const Sketched& s) {
        const auto paths = Paths(s.canvas);
        return paths[paths.size() - 7].points; // before the front view's seven paths
    };
    EXPECT_EQ(rootChord(normal)[0].y, Sketched::At(190 - 27, 0).y);
    EXPECT_EQ(rootChord(normal)[1].y, Sketched::At(190, 0).y);
    EXPECT_EQ(rootChord(canard)[0].y, Sketched::At(0, 0).y);
    EXPECT_EQ(rootChord(canard)[1].y, Sketched::At(27, 0).y);
}

TEST(DesignSketch, SineEdgeRunsFromRootToTipInOneCurve) {
    const Sketched parabola;
    const Sketched s({{dt::MainWing, dt::LeadingEdge, "正弦"}});
    ASSERT_TRUE(s.drawn);
    // Of the curves only the main wing's leading edges change: both sides
    // from above, one from the side.
    const auto before = Paths(parabola.canvas), after = Paths(s.canvas);
    ASSERT_EQ(before.size(), after.size());
    std::vector<Path> sine;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i].points.size() > 2 && after[i].points != before[i].points) {
            sine.push_back(after[i]);
        }
    }
    ASSERT_EQ(sine.size(), 3u);
    const double halfSpan = s.model.wing().projectedSpan / 2;
    const auto& right = sine[0].points;
    ASSERT_EQ(right.size(), 52u);
    EXPECT_EQ(right.front(), Sketched::At(25, 0));
    EXPECT_EQ(right.back(), Sketched::At(25 + 25, halfSpan));
    EXPECT_EQ(sine[1].points.back(), Sketched::At(25 + 25, -halfSpan));
    for (std::size_t i = 1; i < right.size(); ++i) {
        EXPECT_GE(right[i].x, right[i - 1].x);
        EXPECT_GE(right[i].y, right[i - 1].y);
    }
}

TEST(DesignSketch, TwoStageWingShowsItsJunction) {
    const Sketched s({{dt::MainWing, dt::Type, "2段上反角"}, {dt::InnerWing, dt::Dihedral, "0"}});
    ASSERT_TRUE(s.drawn);
    const auto& a = s.model.aircraft();
    const double half = 40.0 / 2; // the flat inner wing's span, seen from above
    const auto paths = Paths(s.canvas);
    for (const double side : {half, -half}) {
        const std::vector<Point> chord{Sketched::At(25 + a.junctionLeadingEdge, side),
                                       Sketched::At(25 + a.junctionTrailingEdge, side)};
        EXPECT_EQ(CountIf(paths, [&](const Path& p) { return p.points == chord; }), 1) << side;
    }
    EXPECT_GT(a.junctionLeadingEdge, 0);
    EXPECT_GT(a.junctionTrailingEdge - a.junctionLeadingEdge, 20);
}

} // namespace
