#include "view/pattern.h"

#include "data/numtext.h"
#include "data/tables.h"
#include "model/planform.h"
#include "model/wing.h"
#include "sim/input_set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace skarvel::view {

namespace {

namespace dz = data::design;
using model::DesignComponent;
using model::TailType;

constexpr int kSamples = 200;       // points of an edge from root to tip
constexpr double kTextSize = 3;     // mm
constexpr double kLineStep = 4.5;   // mm between label lines
constexpr double kMarkTextSize = 2; // mm
constexpr double kPieceGap = 5;     // mm between pieces
constexpr double kFooter = 14;      // mm at the bottom of a page for its furniture
constexpr double kNoteSize = 2.5;   // mm: the fold angles, the ballast, the range
constexpr double kGaugeLeg = 40;    // mm: a gauge's longer leg

std::string Format(const char* format, double a, double b) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

// Degrees to a tenth, without a trailing ".0": "9°", "27.5°".
std::string Degrees(double degrees) {
    std::string text = Format("%.1f", std::fabs(degrees), 0);
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) {
        text.resize(text.size() - 2);
    }
    return text + "°";
}

// Roughly how wide a text is drawn: full width for Japanese, about half for
// ASCII.
double TextWidth(const std::string& text, double size) {
    double width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            width += 0.6 * size;
        } else if (byte >= 0xC0) {
            width += size;
        }
    }
    return width;
}

// Samples dense near the tip, where elliptic edges turn fastest.
double Eta(int k) {
    return std::sin(sim::kPi / 2 * k / kSamples);
}

[[noreturn]] void NoPattern(const std::string& why) {
    throw PatternError(why + "ため、型紙を作れません");
}

void RequirePositive(double value, const char* what) {
    if (!(value > 0) || !std::isfinite(value)) {
        NoPattern(std::string(what) + "が0以下の");
    }
}

struct Edges {
    std::function<double(double)> leading;
    std::function<double(double)> trailing;
};

// Which way the paper's grain runs in a piece: along a surface's span, or
// along the length of the fuselage and its reinforcement.
enum class Grain { Span, Length };

// The label block under a piece: name and paper, sizes, the grain arrow.
void Label(PatternPiece& p, const data::Table& design, int column, const std::string& sizes,
           double top, Grain grain) {
    const std::string paper = design.cell(column, dz::PaperName);
    const std::string line1 = p.name + "  紙: " + (paper.empty() ? std::string("-") : paper) +
                              "  " + design.cell(column, dz::PaperThickness) + " mm  " +
                              design.cell(column, dz::PaperWeight) + " g/m²";
    p.labelTop = top;
    double y = top + kLineStep;
    p.texts.push_back({{0, y}, kTextSize, line1});
    y += kLineStep;
    p.texts.push_back({{0, y}, kTextSize, sizes});
    y += kLineStep;
    const double arrowY = y - kTextSize / 3;
    p.paths.push_back({PatternLine::Mark, {{0, arrowY}, {20, arrowY}}, false, {}});
    p.paths.push_back(
        {PatternLine::Mark, {{17, arrowY - 1.5}, {20, arrowY}, {17, arrowY + 1.5}}, false, {}});
    p.texts.push_back(
        {{23, y}, kTextSize, grain == Grain::Span ? "紙の目（スパン方向）" : "紙の目（長さ方向）"});
    p.height = y + 1;
    for (const PatternText& t : p.texts) {
        p.width = std::max(p.width, t.at.x + TextWidth(t.text, t.size));
    }
}

// A fold across a surface at a fraction of its half-span, and the angle its
// label names.
struct Fold {
    double eta = 0;
    PatternLine kind = PatternLine::FoldValley;
    double degrees = 0;
    std::string part; // whose angle it is, as its gauge names it
};

// Which way a fold goes, seen on the printed side, which is the surface's top
// side. A panel whose far end rises turns upwards from the part inside it:
// the crease sinks away from the viewer, a valley fold; a panel that drops
// (anhedral) gives a mountain fold. At the root this is the sign of the
// dihedral; at a two-stage wing's junction, of the outer panel's dihedral
// less the inner one's.
PatternLine FoldKind(double turn) {
    return turn < 0 ? PatternLine::FoldMountain : PatternLine::FoldValley;
}

// The fold's label beside its line, half way down the chord, on the side
// away from the root (to the right of a root fold).
void FoldLabel(PatternPiece& p, const Fold& f, PointMm leading, PointMm trailing, double side) {
    const std::string text =
        (f.kind == PatternLine::FoldMountain ? "山折り " : "谷折り ") + Degrees(f.degrees);
    const double width = TextWidth(text, kNoteSize);
    const double x = side < 0 ? leading.x - 1 - width : leading.x + 1;
    p.texts.push_back({{x, (leading.y + trailing.y) / 2 + kNoteSize / 2}, kNoteSize, text, f.kind});
}

// A surface developed flat: the span along x, the chord downwards. Mirrored
// surfaces run tip to tip; a fin runs from its root at the left.
PatternPiece Surface(std::string id, std::string name, const Edges& e, double span, bool mirrored,
                     const std::vector<Fold>& folds) {
    PatternPiece p;
    p.id = std::move(id);
    p.name = std::move(name);
    const double half = mirrored ? span / 2 : span;
    double top = e.leading(0);
    double bottom = e.trailing(0);
    for (int k = 0; k <= kSamples; ++k) {
        top = std::min(top, e.leading(Eta(k)));
        bottom = std::max(bottom, e.trailing(Eta(k)));
    }
    const auto at = [&](double eta, double side, double x) {
        return PointMm{(mirrored ? half : 0) + side * eta * half, x - top};
    };
    PatternPath outline{PatternLine::Outline, {}, true, p.id};
    if (mirrored) {
        for (int k = kSamples; k >= 0; --k) {
            outline.points.push_back(at(Eta(k), -1, e.leading(Eta(k))));
        }
        for (int k = 1; k <= kSamples; ++k) {
            outline.points.push_back(at(Eta(k), 1, e.leading(Eta(k))));
        }
        for (int k = kSamples; k >= 0; --k) {
            outline.points.push_back(at(Eta(k), 1, e.trailing(Eta(k))));
        }
        for (int k = 1; k <= kSamples; ++k) {
            outline.points.push_back(at(Eta(k), -1, e.trailing(Eta(k))));
        }
    } else {
        for (int k = 0; k <= kSamples; ++k) {
            outline.points.push_back(at(Eta(k), 1, e.leading(Eta(k))));
        }
        for (int k = kSamples; k >= 0; --k) {
            outline.points.push_back(at(Eta(k), 1, e.trailing(Eta(k))));
        }
    }
    for (const PointMm& q : outline.points) {
        if (!std::isfinite(q.x) || !std::isfinite(q.y)) {
            NoPattern(p.name + "の形が求められない");
        }
    }
    p.paths.push_back(std::move(outline));
    for (const Fold& f : folds) {
        const double eta = f.eta;
        for (const double side :
             mirrored&& eta > 0 ? std::vector<double>{-1, 1} : std::vector<double>{1}) {
            const PointMm leading = at(eta, side, e.leading(eta));
            const PointMm trailing = at(eta, side, e.trailing(eta));
            p.paths.push_back({f.kind, {leading, trailing}, false, {}});
            FoldLabel(p, f, leading, trailing, side);
        }
    }
    p.width = mirrored ? span : span;
    p.height = bottom - top;
    return p;
}

Edges EdgesOf(const model::SurfaceShape& s) {
    return {[s](double eta) { return s.leadingEdge(eta); },
            [s](double eta) { return s.trailingEdge(eta); }};
}

std::string SurfaceSizes(double span, double rootChord) {
    return Format("展開長 %.1f mm  翼根弦長 %.1f mm", span, rootChord);
}

void Finish(PatternPiece& p, const data::Table& design, int column, const std::string& sizes,
            Grain grain = Grain::Span) {
    const double outlineWidth = p.width;
    const double outlineHeight = p.height;
    p.width = 0;
    Label(p, design, column, sizes, outlineHeight, grain);
    p.width = std::max(p.width, outlineWidth);
}

PatternPiece Wing(const model::AircraftModel& m, const data::Table& design,
                  std::vector<Fold>& all) {
    const model::DesignData& d = m.design();
    const model::WingGeometry& w = m.wingGeometry();
    const double span = w.mainSpan;
    RequirePositive(span, "主翼の展開長");
    RequirePositive(d.innerWing.rootChord, "主翼の翼根翼弦長");
    const Edges e{[&w](double eta) {
                      return w.usesOuter(eta) ? w.outerOffset + w.outer.leadingEdge(eta)
                                              : w.inner.leadingEdge(eta);
                  },
                  [&w](double eta) {
                      return w.usesOuter(eta) ? w.outerOffset + w.outer.trailingEdge(eta)
                                              : w.inner.trailingEdge(eta);
                  }};
    // The junction's label names the outer panel's own dihedral, the angle
    // its gauge sets against the table.
    std::vector<Fold> folds;
    const double inner = d.innerWing.dihedral;
    const double outer = d.mainWing.dihedral;
    if (inner != 0) {
        folds.push_back({0, FoldKind(inner), inner, w.twoStage ? "主翼内翼" : "主翼"});
    }
    if (w.twoStage && w.etaJ > 0 && w.etaJ < 1 && outer != inner) {
        folds.push_back({w.etaJ, FoldKind(outer - inner), outer, "主翼外翼"});
    }
    all.insert(all.end(), folds.begin(), folds.end());
    PatternPiece p = Surface("wing", "主翼", e, span, true, folds);
    Finish(p, design, dz::MainWing, SurfaceSizes(span, e.trailing(0) - e.leading(0)));
    return p;
}

PatternPiece HorizontalTail(const model::AircraftModel& m, const data::Table& design,
                            std::vector<Fold>& all) {
    const DesignComponent& h = m.design().horizontalTail;
    RequirePositive(h.span, "水平尾翼の展開長");
    RequirePositive(h.rootChord, "水平尾翼の翼根翼弦長");
    // A V tail's two halves are one piece, cut as the V.
    const std::string name = m.design().tailType == TailType::VTail ? "V尾翼" : "水平尾翼";
    std::vector<Fold> folds;
    if (h.dihedral != 0 || m.design().tailType == TailType::VTail) {
        folds.push_back({0, FoldKind(h.dihedral), h.dihedral, name});
    }
    all.insert(all.end(), folds.begin(), folds.end());
    PatternPiece p =
        Surface("htail", name, EdgesOf(model::SurfaceShape::Of(h)), h.span, true, folds);
    Finish(p, design, dz::HorizontalTail, SurfaceSizes(h.span, h.rootChord));
    return p;
}

PatternPiece Fin(const model::AircraftModel& m, const data::Table& design, std::string id) {
    const DesignComponent& v = m.design().verticalTail;
    RequirePositive(v.span, "垂直尾翼の展開長");
    RequirePositive(v.rootChord, "垂直尾翼の翼根翼弦長");
    PatternPiece p =
        Surface(std::move(id), "垂直尾翼", EdgesOf(model::SurfaceShape::Of(v)), v.span, false, {});
    Finish(p, design, dz::VerticalTail, SurfaceSizes(v.span, v.rootChord));
    return p;
}

// The ballast the model adds, where it puts it: a ring with a cross at the
// station, half way up the fuselage, and its mass beside it (on the side
// towards the middle), or under the fuselage when it would cross one of the
// marks' lines (true then). None when there is none to add, or when no
// ballast at either end balances the design (a negative mass).
bool Ballast(PatternPiece& p, const model::AircraftResult& a, double L, double top,
             const std::function<double(double)>& depth, const std::vector<double>& lines) {
    const double mass = a.ballastMass;
    const std::string text = Format("おもり %.2f g", mass, 0);
    if (!(mass > 0) || !std::isfinite(mass) || text == "おもり 0.00 g") {
        return false;
    }
    const double x = std::clamp(a.ballastStation, 0.0, L);
    const double y = top + depth(x) / 2;
    // Inside the fuselage where it is deep enough: a thin tail gets a small ring.
    const double r = std::clamp(depth(x) / 2 - 0.25, 0.5, 1.5);
    PatternPath ring{PatternLine::Ballast, {}, true, {}};
    for (int k = 0; k < 24; ++k) {
        ring.points.push_back(
            {x + r * std::cos(sim::kPi * k / 12), y + r * std::sin(sim::kPi * k / 12)});
    }
    p.paths.push_back(std::move(ring));
    p.paths.push_back({PatternLine::Ballast, {{x - r - 1, y}, {x + r + 1, y}}, false, {}});
    p.paths.push_back({PatternLine::Ballast, {{x, y - r - 1}, {x, y + r + 1}}, false, {}});
    // Drawn text runs a little wider than TextWidth reckons: 2 mm to spare.
    const double width = TextWidth(text, kNoteSize);
    const double textX = x <= L / 2 ? x + 3 : x - 3 - width;
    const bool crosses = std::any_of(lines.begin(), lines.end(), [&](double line) {
        return line >= textX - 2 && line <= textX + width + 2;
    });
    const double textY = crosses ? top + depth(x) + kNoteSize + 1 : y + kNoteSize / 2;
    p.texts.push_back({{textX, textY}, kNoteSize, text, PatternLine::Ballast});
    return crosses;
}

// The stable range of the centre of gravity as a bracket under the fuselage
// at `y`, open upwards, where it lies on the fuselage; false when none of it
// does (or the range is not a number).
bool StableRange(PatternPiece& p, const CgRange& range, double wing, double L, double y) {
    if (!std::isfinite(range.low) || !std::isfinite(range.high)) {
        return false;
    }
    const double low = std::min(range.low, range.high);
    const double high = std::max(range.low, range.high);
    const double from = std::max(0.0, wing + low);
    const double to = std::min(L, wing + high);
    if (!(from <= to)) {
        return false;
    }
    p.paths.push_back(
        {PatternLine::CgRange, {{from, y - 1.5}, {from, y}, {to, y}, {to, y - 1.5}}, false, {}});
    const std::string text = Format("安定範囲 %.1f〜%.1f mm", low, high);
    const double x = std::clamp(from, 0.0, std::max(0.0, L - TextWidth(text, kMarkTextSize)));
    p.texts.push_back({{x, y + 3}, kMarkTextSize, text, PatternLine::CgRange});
    return true;
}

PatternPiece Fuselage(const model::AircraftModel& m, const data::Table& design,
                      const std::optional<CgRange>& stable) {
    const model::DesignData& d = m.design();
    const double L = d.fuselageNose.rootChord;
    const double Ln = d.fuselageNose.tipChord;
    const double hn = d.fuselageNose.span;
    const double hr = d.fuselageBody.span;
    RequirePositive(L, "胴体の展開長");
    RequirePositive(hn, "胴体の翼根翼弦長（機首の高さ）");
    if (!(Ln >= 0)) {
        NoPattern("機首補強の展開長が負の");
    }
    if (!(hr >= 0)) {
        NoPattern("胴体の翼端翼弦長（後端の高さ）が負の");
    }
    if (Ln > L) {
        NoPattern("機首補強が胴体より長い");
    }
    PatternPiece p;
    p.id = "fuselage";
    p.name = "胴体";
    const double top = 3 + kMarkTextSize; // room for the marks' names above
    p.paths.push_back({PatternLine::Outline,
                       {{0, top}, {L, top}, {L, top + hr}, {Ln, top + hn}, {0, top + hn}},
                       true,
                       p.id});
    const auto depth = [&](double x) {
        return x <= Ln ? hn : hn + (hr - hn) * (x - Ln) / (L - Ln);
    };
    const TailType tail = d.tailType;
    const model::FuselageStations at = m.stations();
    struct Mark {
        double x;
        const char* name;
    };
    std::vector<Mark> marks{{at.wing, "主翼前縁"}, {at.horizontalTail, "水平尾翼前縁"}};
    if (tail == TailType::Normal || tail == TailType::Canard) {
        marks.push_back({at.finLeadingEdge, "垂直尾翼前縁"});
    }
    marks.push_back({at.centreOfGravity, "重心"});
    double lastTextEnd = -1e9;
    for (const Mark& mk : marks) {
        if (!(mk.x >= 0 && mk.x <= L)) {
            continue;
        }
        p.paths.push_back(
            {PatternLine::Mark, {{mk.x, top - 2}, {mk.x, top + depth(mk.x)}}, false, {}});
        // Names that would run into the one before move up a line.
        // A name that would run past the tail ends at its mark instead.
        const double width = TextWidth(mk.name, kMarkTextSize);
        const double x = mk.x + 0.5 + width > L ? std::max(0.0, mk.x - 0.5 - width) : mk.x + 0.5;
        const double y = x < lastTextEnd ? top - 2.5 - kMarkTextSize : top - 2.5;
        p.texts.push_back({{x, y}, kMarkTextSize, mk.name});
        lastTextEnd = std::max(lastTextEnd, x + width);
    }
    // The centre of gravity is the balance point: a triangle under it.
    const double cg = at.centreOfGravity;
    if (cg >= 0 && cg <= L) {
        const double y = top + depth(cg);
        p.paths.push_back(
            {PatternLine::Mark, {{cg, y}, {cg - 1.5, y + 2.5}, {cg + 1.5, y + 2.5}}, true, {}});
    }
    std::vector<double> lines;
    for (const Mark& mk : marks) {
        lines.push_back(mk.x);
    }
    // What hangs under the fuselage: the ballast's text when it went there.
    const double below = Ballast(p, m.aircraft(), L, top, depth, lines) ? 3.5 : 0;
    const double bottom = top + std::max(hn, hr) + below;
    const bool bracket = stable && StableRange(p, *stable, at.wing, L, bottom + 4.5);
    p.width = L;
    Label(p, design, dz::Fuselage, Format("全長 %.1f mm  機首の高さ %.1f mm", L, hn),
          bottom + (bracket ? 8.5 : 3), Grain::Length);
    p.width = std::max(p.width, L);
    return p;
}

PatternPiece Nose(const model::AircraftModel& m, const data::Table& design) {
    const model::DesignData& d = m.design();
    const double Ln = d.fuselageNose.tipChord;
    const double hn = d.fuselageNose.span;
    PatternPiece p;
    p.id = "nose";
    p.name = "機首補強";
    p.paths.push_back({PatternLine::Outline, {{0, 0}, {Ln, 0}, {Ln, hn}, {0, hn}}, true, p.id});
    p.width = Ln;
    p.height = hn;
    Finish(p, design, dz::NoseReinforcement, Format("長さ %.1f mm  高さ %.1f mm", Ln, hn),
           Grain::Length);
    return p;
}

// A gauge to set a fold's angle: a right triangle whose sharp corner at the
// bottom left has the angle, laid with its long leg on the table and the
// panel along its slope; an arc marks the corner. Its longer leg is
// kGaugeLeg.
PatternPiece Gauge(int number, double degrees, const std::string& parts) {
    PatternPiece p;
    p.id = "gauge" + std::to_string(number);
    p.name = "角度ゲージ";
    const double slope = std::tan(degrees * sim::kPi / 180);
    const double base = slope <= 1 ? kGaugeLeg : kGaugeLeg / slope;
    const double rise = slope <= 1 ? kGaugeLeg * slope : kGaugeLeg;
    p.paths.push_back({PatternLine::Gauge, {{0, rise}, {base, rise}, {base, 0}}, true, p.id});
    PatternPath arc{PatternLine::Gauge, {}, false, {}};
    const double r = std::min(10.0, base / 2);
    for (int k = 0; k <= 12; ++k) {
        const double a = degrees * sim::kPi / 180 * k / 12;
        arc.points.push_back({r * std::cos(a), rise - r * std::sin(a)});
    }
    p.paths.push_back(std::move(arc));
    p.labelTop = rise;
    const double y = rise + kLineStep;
    p.texts.push_back({{0, y}, kTextSize, "角度ゲージ " + Degrees(degrees), PatternLine::Gauge});
    p.texts.push_back({{0, y + kLineStep}, kMarkTextSize + 0.5, parts, PatternLine::Gauge});
    p.height = y + kLineStep + 1;
    p.width = base;
    for (const PatternText& t : p.texts) {
        p.width = std::max(p.width, t.at.x + TextWidth(t.text, t.size));
    }
    return p;
}

// A gauge for each angle the folds name (as their labels print it), with the
// parts that use it. A fold of 90° or more has none: no right triangle
// holds that angle.
void AddGauges(std::vector<PatternPiece>& pieces, const std::vector<Fold>& folds) {
    std::vector<std::pair<std::string, std::string>> gauges; // angle, parts
    std::vector<double> angles;
    for (const Fold& f : folds) {
        const double degrees = std::fabs(f.degrees);
        const std::string angle = Degrees(degrees);
        if (!(degrees > 0 && degrees < 90) || angle == "0°" || angle == "90°") {
            continue;
        }
        const auto same = std::find_if(gauges.begin(), gauges.end(),
                                       [&](const auto& g) { return g.first == angle; });
        if (same == gauges.end()) {
            gauges.push_back({angle, f.part});
            angles.push_back(degrees);
        } else if (same->second.find(f.part) == std::string::npos) {
            same->second += "・" + f.part;
        }
    }
    for (std::size_t k = 0; k < gauges.size(); ++k) {
        pieces.push_back(Gauge(static_cast<int>(k + 1), angles[k], gauges[k].second));
    }
}

PatternPath Line(std::initializer_list<PointMm> points, bool closed = false) {
    return {PatternLine::Mark, points, closed, {}};
}

// The scale bar, the 10 mm square, the file and the page number.
PatternGroup Furniture(PointMm paper, double margin, const std::string& fileName,
                       const std::string& date, int page, int pages, const std::string& extra) {
    PatternGroup g;
    const double x0 = margin;
    const double y = paper.y - margin - 4;
    g.paths.push_back(Line({{x0, y}, {x0 + 100, y}}));
    for (int k = 0; k <= 10; ++k) {
        const double tick = k % 5 == 0 ? 2 : 1;
        g.paths.push_back(Line({{x0 + 10 * k, y - tick}, {x0 + 10 * k, y}}));
    }
    g.texts.push_back({{x0, y + 3.5}, kMarkTextSize + 0.5, "100 mm"});
    const double sx = x0 + 106;
    g.paths.push_back(Line({{sx, y - 10}, {sx + 10, y - 10}, {sx + 10, y}, {sx, y}}, true));
    g.texts.push_back({{sx, y + 3.5}, kMarkTextSize + 0.5, "10 mm"});
    const std::string number = std::to_string(page) + "/" + std::to_string(pages);
    const double right = paper.x - margin;
    // At the top right, in the margin, clear of the labels at the bottom.
    g.texts.push_back({{right - TextWidth(number, kTextSize), margin - 2}, kTextSize, number});
    g.texts.push_back({{sx + 14, y - 5}, kMarkTextSize + 0.5, fileName + "  " + date});
    if (!extra.empty()) {
        g.texts.push_back({{sx + 14, y}, kMarkTextSize + 0.5, extra});
    }
    return g;
}

bool IsFold(PatternLine kind) {
    return kind == PatternLine::FoldMountain || kind == PatternLine::FoldValley;
}

// Where a text lies: x from left to right, its base line at bottom.
struct TextBox {
    double left, right, bottom, top;
    bool overlaps(const TextBox& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

TextBox BoxOf(const PatternText& t) {
    return {t.at.x, t.at.x + TextWidth(t.text, t.size), t.at.y, t.at.y - t.size};
}

// The texts of a part turned a quarter turn: a text that lay above the part
// (the fuselage's mark names) now ends at its base point, left of the part,
// rather than running across it; a text that would overlap one placed before
// moves on, away from the part.
void PlaceTurnedTexts(std::vector<PatternText>& texts, const std::vector<bool>& above) {
    std::vector<TextBox> placed;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        PatternText& t = texts[k];
        const double width = TextWidth(t.text, t.size);
        if (above[k]) {
            t.at.x -= width;
        }
        for (bool moved = true; moved;) {
            moved = false;
            for (const TextBox& b : placed) {
                if (BoxOf(t).overlaps(b)) {
                    t.at.x = above[k] ? b.left - 1 - width : b.right + 1;
                    moved = true;
                }
            }
        }
        placed.push_back(BoxOf(t));
    }
}

// The piece a quarter turn anticlockwise: what lies above its label block
// turns (x, y) to (y, width - x), the nose of a fuselage or the left tip of a
// wing going to the bottom, texts staying upright. The label block stays
// upright at the top right, beside the turned part, with its grain arrow
// turned to point down along the turned span.
PatternPiece Turned(const PatternPiece& p) {
    PatternPiece t;
    t.id = p.id;
    t.name = p.name;
    const double w = p.width;
    const auto turn = [w](PointMm q) { return PointMm{q.y, w - q.x}; };
    double outlineTop = 0;
    for (const PatternPath& path : p.paths) {
        if (!path.points.empty() && path.points.front().y >= p.labelTop) {
            continue; // the grain arrow, drawn again beside the label
        }
        if (path.kind == PatternLine::Outline) {
            outlineTop =
                std::min_element(path.points.begin(), path.points.end(), [](PointMm a, PointMm b) {
                    return a.y < b.y;
                })->y;
        }
        PatternPath turned = path;
        for (PointMm& q : turned.points) {
            q = turn(q);
        }
        t.paths.push_back(std::move(turned));
    }
    // A fold's angle, beside its line across the span before, sits on the
    // turned line now.
    const auto onFold = [&t](PointMm at) {
        std::optional<double> line;
        for (const PatternPath& f : t.paths) {
            const double y = f.points.front().y;
            if (IsFold(f.kind) && (!line || std::fabs(y - at.y) < std::fabs(*line - at.y))) {
                line = y;
            }
        }
        return line ? PointMm{at.x, *line - 0.7} : at;
    };
    std::vector<bool> above;
    for (const PatternText& text : p.texts) {
        if (text.at.y < p.labelTop) {
            t.texts.push_back(text);
            t.texts.back().at =
                text.kind && IsFold(*text.kind) ? onFold(turn(text.at)) : turn(text.at);
            above.push_back(text.at.y < outlineTop);
        }
    }
    PlaceTurnedTexts(t.texts, above);
    // Names moved left of the part move everything right by as much.
    double left = 0, right = p.labelTop;
    for (const PatternText& text : t.texts) {
        left = std::min(left, text.at.x);
        right = std::max(right, BoxOf(text).right);
    }
    for (PatternPath& path : t.paths) {
        for (PointMm& q : path.points) {
            q.x -= left;
        }
    }
    for (PatternText& text : t.texts) {
        text.at.x -= left;
    }
    const double arrowX = right - left + 3;
    const double labelHeight = p.height - p.labelTop;
    t.paths.push_back({PatternLine::Mark, {{arrowX, 1}, {arrowX, labelHeight}}, false, {}});
    t.paths.push_back(
        {PatternLine::Mark,
         {{arrowX - 1.5, labelHeight - 3}, {arrowX, labelHeight}, {arrowX + 1.5, labelHeight - 3}},
         false,
         {}});
    t.width = arrowX;
    for (PatternText text : p.texts) {
        if (text.at.y >= p.labelTop) {
            // The lines start together: the grain's text no longer follows its arrow.
            text.at = {arrowX + 4, text.at.y - p.labelTop};
            t.width = std::max(t.width, BoxOf(text).right);
            t.texts.push_back(std::move(text));
        }
    }
    t.height = std::max(w, labelHeight);
    t.labelTop = t.height; // nothing below
    return t;
}

void Translate(PatternGroup& g, const PatternPiece& p, double dx, double dy) {
    for (PatternPath path : p.paths) {
        for (PointMm& q : path.points) {
            q.x += dx;
            q.y += dy;
        }
        g.paths.push_back(std::move(path));
    }
    for (PatternText t : p.texts) {
        t.at.x += dx;
        t.at.y += dy;
        g.texts.push_back(std::move(t));
    }
}

} // namespace

std::vector<PatternPiece> PatternPieces(const model::AircraftModel& model, bool computed,
                                        const data::Table& design, std::optional<CgRange> stable) {
    if (!computed || !model.wingComputed()) {
        const auto step = model.failedStep();
        NoPattern(step ? "設計の計算が" +
                             std::string(model::DesignStepName(*step, model.design().tailType)) +
                             "で失敗した"
                       : std::string("設計の計算に失敗した"));
    }
    std::vector<PatternPiece> pieces;
    std::vector<Fold> folds;
    pieces.push_back(Wing(model, design, folds));
    pieces.push_back(HorizontalTail(model, design, folds));
    const TailType tail = model.design().tailType;
    if (tail != TailType::VTail) {
        pieces.push_back(Fin(model, design, "vtail"));
        if (tail == TailType::TwinFin) {
            pieces.push_back(Fin(model, design, "vtail2"));
        }
    }
    pieces.push_back(Fuselage(model, design, stable));
    // A reinforcement of no length, or of no sheet, is nothing to cut.
    if (model.design().fuselageNose.tipChord > 0 &&
        data::ParseReal(design.cell(dz::NoseReinforcement, dz::SheetCount)) > 0) {
        pieces.push_back(Nose(model, design));
    }
    AddGauges(pieces, folds);
    return pieces;
}

std::optional<PaperSize> PaperSizeFromName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (lower == "a4") {
        return PaperSize::A4;
    }
    if (lower == "a3") {
        return PaperSize::A3;
    }
    if (lower == "b5") {
        return PaperSize::B5;
    }
    if (lower == "letter") {
        return PaperSize::Letter;
    }
    return std::nullopt;
}

PointMm PaperDimensions(PaperSize paper) {
    switch (paper) {
    case PaperSize::A3:
        return {297, 420};
    case PaperSize::B5:
        return {182, 257}; // JIS B5
    case PaperSize::Letter:
        return {215.9, 279.4};
    case PaperSize::A4:
        break;
    }
    return {210, 297};
}

PatternLayout LayOutPattern(const std::vector<PatternPiece>& pieces, PointMm paper, double margin,
                            const std::string& fileName, const std::string& date, int copies) {
    if (copies < 1 || copies > kMaxPatternCopies) {
        char why[120];
        std::snprintf(why, sizeof why, "部数 %d が 1 から %d の外にある", copies,
                      kMaxPatternCopies);
        NoPattern(why);
    }
    margin = std::max(margin, kPatternMargin);
    const double W = paper.x - 2 * margin;
    const double H = paper.y - 2 * margin - kFooter;
    if (W < 120 || H < 3 * kTileOverlap) {
        throw PatternError("用紙の印刷範囲が小さすぎるため、型紙を作れません");
    }
    // A piece that would be tiled is turned when it then fits on a page.
    std::vector<PatternPiece> laid;
    for (int copy = 0; copy < copies; ++copy) {
        for (const PatternPiece& p : pieces) {
            if (p.width <= W && p.height <= H) {
                laid.push_back(p);
                continue;
            }
            PatternPiece turned = Turned(p);
            laid.push_back(turned.width <= W && turned.height <= H ? std::move(turned) : p);
        }
    }
    std::vector<const PatternPiece*> order;
    for (const PatternPiece& p : laid) {
        order.push_back(&p);
    }
    std::stable_sort(order.begin(), order.end(), [](const PatternPiece* a, const PatternPiece* b) {
        return a->width * a->height > b->width * b->height;
    });

    // The pages before any is laid out: a part too large for the paper
    // (a span typed in metres, say) is refused, not tiled over thousands of
    // pages. Counted in doubles, as a tile count may lie beyond any int.
    const double stepX = W - kTileOverlap;
    const double stepY = H - kTileOverlap;
    const auto tiles = [&](const PatternPiece& p, double& columns, double& rows) {
        columns = std::max(1.0, std::ceil((p.width - kTileOverlap) / stepX));
        rows = std::max(1.0, std::ceil((p.height - kTileOverlap) / stepY));
    };
    // Pieces that fit share pages: counted as they are laid out, below.
    const auto tooMany = [](const PatternPiece& p, double pageCount) {
        char why[200];
        std::snprintf(why, sizeof why, "%sの型紙が %.0f ページ以上になる（上限 %d ページ）",
                      p.name.c_str(), std::min(pageCount, 1e15), kMaxPatternPages);
        NoPattern(why);
    };
    double pageCount = 0;
    for (const PatternPiece* p : order) {
        if (p->width <= W && p->height <= H) {
            continue;
        }
        double columns = 1, rows = 1;
        tiles(*p, columns, rows);
        pageCount += columns * rows;
        if (!(columns * rows <= kMaxPatternPages) || !(pageCount <= kMaxPatternPages)) {
            tooMany(*p, pageCount);
        }
    }

    struct Page {
        std::vector<PatternGroup> groups;
        std::string extra; // a tile's name
    };
    std::vector<Page> pages;
    // Pieces too large for a page: one page per tile, the tiles overlapping
    // by kTileOverlap with crosses to align them in the overlap.
    for (const PatternPiece* p : order) {
        if (p->width <= W && p->height <= H) {
            continue;
        }
        double tileColumns = 1, tileRows = 1;
        tiles(*p, tileColumns, tileRows);
        const int columns = static_cast<int>(tileColumns); // at most kMaxPatternPages
        const int rows = static_cast<int>(tileRows);
        PatternPiece marked = *p;
        for (int c = 1; c < columns; ++c) {
            const double x = c * stepX + kTileOverlap / 2;
            for (double y = 5; y < p->height; y += 40) {
                marked.paths.push_back(Line({{x - 3, y}, {x + 3, y}}));
                marked.paths.push_back(Line({{x, y - 3}, {x, y + 3}}));
            }
        }
        for (int r = 1; r < rows; ++r) {
            const double y = r * stepY + kTileOverlap / 2;
            for (double x = 5; x < p->width; x += 40) {
                marked.paths.push_back(Line({{x - 3, y}, {x + 3, y}}));
                marked.paths.push_back(Line({{x, y - 3}, {x, y + 3}}));
            }
        }
        int tile = 0;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                PatternGroup g;
                g.clip = RectMm{margin, margin, W, H};
                Translate(g, marked, margin - c * stepX, margin - r * stepY);
                char extra[200];
                std::snprintf(extra, sizeof extra, "%s タイル %d/%d（横%d・縦%d）", p->name.c_str(),
                              ++tile, columns * rows, c + 1, r + 1);
                pages.push_back({{std::move(g)}, extra});
            }
        }
    }
    // The rest in rows, reading order.
    double x = 0, y = 0, rowHeight = 0;
    bool open = false;
    for (const PatternPiece* p : order) {
        if (p->width > W || p->height > H) {
            continue;
        }
        if (open && x > 0 && x + p->width > W) {
            x = 0;
            y += rowHeight + kPieceGap;
            rowHeight = 0;
        }
        if (!open || y + p->height > H) {
            if (pages.size() >= kMaxPatternPages) {
                tooMany(*p, static_cast<double>(pages.size()) + 1);
            }
            pages.push_back({{PatternGroup{}}, {}});
            x = y = rowHeight = 0;
            open = true;
        }
        Translate(pages.back().groups.front(), *p, margin + x, margin + y);
        x += p->width + kPieceGap;
        rowHeight = std::max(rowHeight, p->height);
    }
    PatternLayout layout;
    const int count = static_cast<int>(pages.size());
    for (int k = 0; k < count; ++k) {
        PatternPage page{paper.x, paper.y, std::move(pages[static_cast<std::size_t>(k)].groups)};
        page.groups.push_back(Furniture(paper, margin, fileName, date, k + 1, count,
                                        pages[static_cast<std::size_t>(k)].extra));
        layout.pages.push_back(std::move(page));
    }
    return layout;
}

} // namespace skarvel::view
