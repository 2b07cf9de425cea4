// The cutting pattern's pieces and pages: every outline encloses its part's
// developed area and spans its developed span, pieces larger than a page are
// tiled, and a design without a pattern says why.

#include "data/design_file.h"
#include "data/numtext.h"
#include "data/tables.h"
#include "model/aircraft.h"
#include "model/conversion.h"
#include "view/pattern.h"

#include "common/golden.h"
#include "common/pattern_design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

namespace view = skarvel::view;
namespace model = skarvel::model;
namespace data = skarvel::data;
namespace dz = skarvel::data::design;

using Design = skarvel::test::PatternDesign;

struct Outline {
    double area = 0;
    double width = 0;
};

// The outlines of the pages by piece (the first page that shows a piece).
std::map<std::string, Outline> Outlines(const view::PatternLayout& layout) {
    std::map<std::string, Outline> found;
    for (const view::PatternPage& page : layout.pages) {
        for (const view::PatternGroup& g : page.groups) {
            for (const view::PatternPath& p : g.paths) {
                if (p.kind != view::PatternLine::Outline || p.piece.empty() || !p.closed) {
                    continue;
                }
                Outline o;
                double left = 1e9, right = -1e9;
                for (std::size_t k = 0; k < p.points.size(); ++k) {
                    const view::PointMm& a = p.points[k];
                    const view::PointMm& b = p.points[(k + 1) % p.points.size()];
                    o.area += a.x * b.y - b.x * a.y;
                    left = std::min(left, a.x);
                    right = std::max(right, a.x);
                }
                o.area = std::fabs(o.area) / 2;
                o.width = right - left;
                found.emplace(p.piece, o);
            }
        }
    }
    return found;
}

// Every text of a page, one a line.
std::string Texts(const view::PatternPage& page) {
    std::string all;
    for (const view::PatternGroup& g : page.groups) {
        for (const view::PatternText& t : g.texts) {
            all += t.text + "\n";
        }
    }
    return all;
}

std::string Mm(double v) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}

std::string Box(const std::vector<view::PointMm>& points) {
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    for (const view::PointMm& q : points) {
        left = std::min(left, q.x);
        right = std::max(right, q.x);
        top = std::min(top, q.y);
        bottom = std::max(bottom, q.y);
    }
    return "[" + Mm(left) + "," + Mm(top) + " " + Mm(right) + "," + Mm(bottom) + "]";
}

const char* KindName(view::PatternLine kind) {
    using L = view::PatternLine;
    switch (kind) {
    case L::FoldMountain:
        return "mountain";
    case L::FoldValley:
        return "valley";
    case L::Ballast:
        return "ballast";
    case L::CgRange:
        return "cg-range";
    case L::Gauge:
        return "gauge";
    default:
        return "other";
    }
}

// What the builder reads beyond the cut lines and placement marks: the folds,
// the ballast, the stable range and the gauges, each with its box and texts.
std::string Notes(const std::vector<view::PatternPiece>& pieces, const std::string& only = {}) {
    std::string all;
    for (const view::PatternPiece& p : pieces) {
        if (!only.empty() && p.id != only) {
            continue;
        }
        all += p.id + " " + Mm(p.width) + " x " + Mm(p.height) + "\n";
        for (const view::PatternPath& path : p.paths) {
            if (path.kind != view::PatternLine::Outline && path.kind != view::PatternLine::Mark) {
                all += std::string("  ") + KindName(path.kind) + " " + Box(path.points) + " " +
                       std::to_string(path.points.size()) + "\n";
            }
        }
        for (const view::PatternText& t : p.texts) {
            if (t.kind) {
                all += std::string("  ") + KindName(*t.kind) + " " + Box({t.at}) + " \"" + t.text +
                       "\"\n";
            }
        }
    }
    return all;
}

// Where each piece's cut line lies, page by page.
std::string Pages(const view::PatternLayout& layout) {
    std::string all;
    for (std::size_t k = 0; k < layout.pages.size(); ++k) {
        all += "page " + std::to_string(k + 1) + "\n";
        for (const view::PatternGroup& g : layout.pages[k].groups) {
            for (const view::PatternPath& p : g.paths) {
                if (!p.piece.empty()) {
                    all += "  " + p.piece + " " + Box(p.points) + "\n";
                }
            }
        }
    }
    return all;
}

TEST(Pattern, OutlinesHaveTheModelsAreasAndSpans) {
    for (const char* file : {"", "default.kx", "two-stage.kx", "twin-fin.kx", "v-tail-sine.kx"}) {
        Design d(file);
        // The examples have no nose reinforcement (no sheet); the default
        // design gets one.
        const bool nose = *file == '\0';
        if (nose) {
            d.tables.design.setCell(dz::NoseReinforcement, dz::SheetCount, "1");
            d.computed = model::ComputeDesign(d.tables, d.model);
        }
        ASSERT_TRUE(d.computed) << file;
        const auto outlines = Outlines(d.layout());
        const model::DesignData& design = d.model.design();
        // Areas in cm² in the model, mm² on paper.
        std::map<std::string, std::pair<double, double>> expected = {
            {"wing", {d.model.wing().developedArea * 100, d.model.wingGeometry().mainSpan}},
            {"htail", {d.model.horizontalTail().developedArea * 100, design.horizontalTail.span}},
            {"fuselage", {d.model.fuselage().developedArea * 100, design.fuselageNose.rootChord}},
        };
        if (nose) {
            expected["nose"] = {design.fuselageNose.tipChord * design.fuselageNose.span,
                                design.fuselageNose.tipChord};
        }
        if (design.tailType != model::TailType::VTail) {
            expected["vtail"] = {d.model.verticalTail().developedArea * 100,
                                 design.verticalTail.span};
        }
        if (design.tailType == model::TailType::TwinFin) {
            expected["vtail2"] = expected["vtail"];
        }
        EXPECT_EQ(outlines.size(), expected.size()) << file;
        for (const auto& [piece, want] : expected) {
            ASSERT_TRUE(outlines.count(piece)) << file << " " << piece;
            const Outline& o = outlines.at(piece);
            EXPECT_NEAR(o.area, want.first, 0.005 * want.first) << file << " " << piece;
            EXPECT_NEAR(o.width, want.second, 0.1) << file << " " << piece;
        }
    }
}

// What each piece is called and which way its grain runs; a reinforcement of
// no sheet is not cut.
TEST(Pattern, PiecesNamesAndGrain) {
    const auto labels = [](const Design& d) {
        std::string all;
        for (const view::PatternPiece& p :
             view::PatternPieces(d.model, d.computed, d.tables.design)) {
            all += p.id + ":" + p.name;
            for (const view::PatternText& t : p.texts) {
                if (t.text.rfind("紙の目", 0) == 0) {
                    all += " " + t.text;
                }
            }
            all += "\n";
        }
        return all;
    };
    Design vTail("v-tail-sine.kx");
    EXPECT_EQ(labels(vTail), "wing:主翼 紙の目（スパン方向）\nhtail:V尾翼 紙の目（スパン方向）\n"
                             "fuselage:胴体 紙の目（長さ方向）\ngauge1:角度ゲージ\n"
                             "gauge2:角度ゲージ\n");
    vTail.tables.design.setCell(dz::NoseReinforcement, dz::SheetCount, "2");
    vTail.computed = model::ComputeDesign(vTail.tables, vTail.model);
    EXPECT_NE(labels(vTail).find("nose:機首補強 紙の目（長さ方向）"), std::string::npos);
}

TEST(Pattern, PagesTilesAndFurniture) {
    Design small;
    const view::PatternLayout one = small.layout();
    ASSERT_EQ(one.pages.size(), 1u);
    EXPECT_EQ(one.pages[0].width, 210);
    EXPECT_EQ(one.pages[0].height, 297);
    for (const char* text : {"1/1\n", "100 mm\n", "10 mm\n", "test.kx  2026-12-07\n", "重心\n",
                             "紙の目（スパン方向）\n"}) {
        EXPECT_NE(Texts(one.pages[0]).find(text), std::string::npos) << text;
    }
    // A wing of 400 mm on B5 (162 mm printable): three tiles on pages of
    // their own, clipped to the printable area and sharing 10 mm with
    // alignment crosses, then the other pieces (the fuselage of 190 mm
    // turned to fit).
    Design large;
    large.tables.design.setCell(dz::MainWing, dz::Span, "400");
    large.computed = model::ComputeDesign(large.tables, large.model);
    const view::PatternLayout tiled = large.layout(view::PaperSize::B5);
    ASSERT_EQ(tiled.pages.size(), 5u);
    EXPECT_NE(Texts(tiled.pages[0]).find("主翼 タイル 1/3（横1・縦1）"), std::string::npos);
    EXPECT_NE(Texts(tiled.pages[2]).find("主翼 タイル 3/3（横3・縦1）"), std::string::npos);
    EXPECT_TRUE(tiled.pages[1].groups.front().clip.has_value());
    EXPECT_NE(Texts(tiled.pages[4]).find("5/5\n"), std::string::npos);
    EXPECT_EQ(Outlines({{tiled.pages[4]}}).count("htail"), 1u);
    EXPECT_EQ(tiled.pages[0].width, 182);
}

// The fuselage's marks sit where the design table puts the parts, from the
// nose: the wing and the centre of gravity behind it by 重心位置, the tails
// from the rear end, a canard's wing from the rear end and its tail from
// the nose.
TEST(Pattern, FuselageMarksWhereTheTablePutsTheParts) {
    for (const char* tail : {"通常尾翼", "先尾翼"}) {
        Design d;
        data::Table& t = d.tables.design;
        t.setCell(dz::VerticalTail, dz::Type, tail);
        d.computed = model::ComputeDesign(d.tables, d.model);
        const auto cell = [&](int column, int row) {
            return data::ParseRealStrict(t.cell(column, row));
        };
        const double L = cell(dz::Fuselage, dz::Span);
        const bool canard = std::string(tail) == "先尾翼";
        const double wing =
            canard ? L - cell(dz::MainWing, dz::ForeAft) - cell(dz::MainWing, dz::RootChord)
                   : cell(dz::MainWing, dz::ForeAft);
        const std::map<std::string, double> expected = {
            {"主翼前縁", wing},
            {"水平尾翼前縁", canard ? cell(dz::HorizontalTail, dz::ForeAft)
                                    : L - cell(dz::HorizontalTail, dz::ForeAft) -
                                          cell(dz::HorizontalTail, dz::RootChord)},
            {"垂直尾翼前縁",
             L - cell(dz::VerticalTail, dz::ForeAft) - cell(dz::VerticalTail, dz::RootChord)},
            {"重心", wing + cell(dz::Fuselage, dz::CgPosition)}};
        const auto pieces = view::PatternPieces(d.model, d.computed, t);
        const auto fuselage = std::find_if(pieces.begin(), pieces.end(),
                                           [](const auto& p) { return p.id == "fuselage"; });
        ASSERT_NE(fuselage, pieces.end());
        // The marks' lines across the fuselage, in the order of their names.
        std::vector<double> lines;
        for (const view::PatternPath& p : fuselage->paths) {
            if (p.kind == view::PatternLine::Mark && p.points.size() == 2 &&
                p.points[0].x == p.points[1].x) {
                lines.push_back(p.points[0].x);
            }
        }
        std::map<std::string, double> found;
        for (const view::PatternText& text : fuselage->texts) {
            if (expected.count(text.text) && found.size() < lines.size()) {
                found[text.text] = lines[found.size()];
            }
        }
        ASSERT_EQ(found.size(), expected.size()) << tail;
        for (const auto& [name, x] : expected) {
            EXPECT_NEAR(found[name], x, 1e-9) << tail << " " << name;
        }
    }
}

TEST(Pattern, ADesignWithoutAPatternSaysWhy) {
    const auto refusal = [](int column, int row, const char* text) {
        Design d;
        d.tables.design.setCell(column, row, text);
        d.computed = model::ComputeDesign(d.tables, d.model);
        try {
            d.layout();
        } catch (const view::PatternError& e) {
            return std::string(e.what());
        }
        return std::string("made");
    };
    EXPECT_EQ(refusal(dz::HorizontalTail, dz::Span, "0"),
              "水平尾翼の展開長が0以下のため、型紙を作れません");
    EXPECT_EQ(refusal(dz::NoseReinforcement, dz::Span, "-5"),
              "機首補強の展開長が負のため、型紙を作れません");
    EXPECT_EQ(refusal(dz::MainWing, dz::Span, "0"),
              "設計の計算が主翼で失敗したため、型紙を作れません");
    // A span typed in micrometres, a length beyond any page count: refused
    // before a page is laid out.
    EXPECT_EQ(refusal(dz::MainWing, dz::Span, "1000000"),
              "主翼の型紙が 5556 ページ以上になる（上限 200 ページ）ため、型紙を作れません");
    EXPECT_EQ(refusal(dz::Fuselage, dz::Span, "1e30"),
              "胴体の型紙が 1000000000000000 ページ以上になる（上限 200 ページ）ため、"
              "型紙を作れません");
    EXPECT_THROW(view::LayOutPattern({}, {100, 100}, 10, "x", "y"), view::PatternError);
}

// The builder's sheet: fold kinds and angles, the ballast where the model
// puts it, the stable range, a gauge for each angle; a piece that would be
// tiled turned to fit a page; copies for a class.
TEST(Pattern, BuildersSheet) {
    std::string text = "default.kx, stable range 10 to 25 mm\n";
    const Design plain("default.kx");
    text += Notes(view::PatternPieces(plain.model, plain.computed, plain.tables.design,
                                      view::CgRange{10, 25}));
    Design twoStage("two-stage.kx");
    twoStage.set(dz::HorizontalTail, dz::Dihedral, "-10");
    text += "two-stage.kx, horizontal tail at -10°\n" +
            Notes(view::PatternPieces(twoStage.model, twoStage.computed, twoStage.tables.design));
    Design tailHeavy("default.kx");
    tailHeavy.set(dz::Fuselage, dz::CgPosition, "120");
    text += "default.kx, 重心位置 120 mm\n" +
            Notes(view::PatternPieces(tailHeavy.model, tailHeavy.computed, tailHeavy.tables.design),
                  "fuselage");
    Design wide("default.kx");
    wide.set(dz::MainWing, dz::Span, "250");
    text += "default.kx, main wing 250 mm, A4\n" + Pages(wide.layout());
    text += "default.kx, 2 copies, A4\n" +
            Pages(plain.layout(view::PaperSize::A4, "test.kx", std::nullopt, 2));
    EXPECT_EQ(text, skarvel::test::Golden(__FILE__, "builders_sheet.golden", text));

    // The ballast's ring is centred on the model's station, its text the model's mass.
    for (const Design* d : {&plain, static_cast<const Design*>(&tailHeavy)}) {
        const auto pieces = view::PatternPieces(d->model, d->computed, d->tables.design);
        const auto& fuselage = *std::find_if(pieces.begin(), pieces.end(),
                                             [](const auto& p) { return p.id == "fuselage"; });
        const auto ring = std::find_if(fuselage.paths.begin(), fuselage.paths.end(), [](auto& p) {
            return p.kind == view::PatternLine::Ballast;
        });
        ASSERT_NE(ring, fuselage.paths.end());
        double x = 0;
        for (const view::PointMm& q : ring->points) {
            x += q.x / static_cast<double>(ring->points.size());
        }
        const model::AircraftResult& a = d->model.aircraft();
        EXPECT_NEAR(x, a.ballastStation, 1e-9);
        char mass[40];
        std::snprintf(mass, sizeof mass, "おもり %.2f g", a.ballastMass);
        EXPECT_EQ(Notes(pieces, "fuselage").find(mass) != std::string::npos, true) << mass;
    }
    EXPECT_EQ(plain.model.aircraft().ballastStation, 5);
    EXPECT_EQ(tailHeavy.model.aircraft().ballastStation,
              tailHeavy.model.design().fuselageNose.rootChord - 5);

    // Copies out of range are refused.
    EXPECT_THROW(plain.layout(view::PaperSize::A4, "test.kx", std::nullopt, 0), view::PatternError);
    EXPECT_THROW(
        plain.layout(view::PaperSize::A4, "test.kx", std::nullopt, view::kMaxPatternCopies + 1),
        view::PatternError);
}

} // namespace
