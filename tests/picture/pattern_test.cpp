// Cutting patterns read back from their SVG: every outline encloses its
// part's developed area and spans its developed span, pieces larger than a
// page are tiled, and a design without a pattern says why.

#include "data/design_file.h"
#include "data/tables.h"
#include "model/aircraft.h"
#include "model/conversion.h"
#include "picture/pattern_svg.h"
#include "view/pattern.h"

#include "common/temp_dir.h"
#include "common/xml.h"
#include "data/textfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace view = skarvel::view;
namespace model = skarvel::model;
namespace data = skarvel::data;
namespace dz = skarvel::data::design;

struct Design {
    data::Tables tables;
    model::AircraftModel model;
    bool computed = false;
    explicit Design(const std::string& file = {}) {
        data::ResetTables(tables);
        if (!file.empty()) {
            data::ReadDesignFile(std::string(SKARVEL_EXAMPLES) + "/" + file, tables.design);
        }
        computed = model::ComputeDesign(tables, model);
    }
    view::PatternLayout layout(view::PaperSize paper = view::PaperSize::A4,
                               const std::string& fileName = "test.kx") const {
        return view::LayOutPattern(view::PatternPieces(model, computed, tables.design),
                                   view::PaperDimensions(paper), view::kPatternMargin, fileName,
                                   "2026-12-07");
    }
};

struct Outline {
    double area = 0;
    double width = 0;
};

// The outlines of the pages by piece, from their <path> elements.
std::map<std::string, Outline> Outlines(const std::vector<std::string>& pages) {
    std::map<std::string, Outline> found;
    for (const std::string& svg : pages) {
        EXPECT_EQ(skarvel::test::XmlError(svg), "");
    }
    const std::regex path(R"re(<path class="outline" data-piece="([a-z0-9]+)" d="([^"]*)"/>)re");
    for (const std::string& svg : pages) {
        for (auto it = std::sregex_iterator(svg.begin(), svg.end(), path);
             it != std::sregex_iterator(); ++it) {
            std::vector<std::pair<double, double>> points;
            std::istringstream d((*it)[2].str());
            std::string token;
            while (d >> token) {
                if (token == "Z") {
                    break;
                }
                const double x = std::stod(token.substr(1));
                double y = 0;
                d >> y;
                points.emplace_back(x, y);
            }
            Outline o;
            double left = 1e9, right = -1e9;
            for (std::size_t k = 0; k < points.size(); ++k) {
                const auto& [x0, y0] = points[k];
                const auto& [x1, y1] = points[(k + 1) % points.size()];
                o.area += x0 * y1 - x1 * y0;
                left = std::min(left, x0);
                right = std::max(right, x0);
            }
            o.area = std::fabs(o.area) / 2;
            o.width = right - left;
            found.emplace((*it)[1].str(), o);
        }
    }
    return found;
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
        const auto outlines = Outlines(skarvel::picture::PatternSvgPages(d.layout()));
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
                             "fuselage:胴体 紙の目（長さ方向）\n");
    vTail.tables.design.setCell(dz::NoseReinforcement, dz::SheetCount, "2");
    vTail.computed = model::ComputeDesign(vTail.tables, vTail.model);
    EXPECT_NE(labels(vTail).find("nose:機首補強 紙の目（長さ方向）"), std::string::npos);
}

TEST(Pattern, PagesTilesAndFurniture) {
    Design small;
    const auto pages = skarvel::picture::PatternSvgPages(small.layout());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("width=\"210mm\" height=\"297mm\" viewBox=\"0 0 210 297\""),
              std::string::npos);
    for (const char* text : {">1/1<", ">100 mm<", ">10 mm<", ">test.kx  2026-12-07<",
                             "class=\"fold\"", ">重心<", ">紙の目（スパン方向）<"}) {
        EXPECT_NE(pages[0].find(text), std::string::npos) << text;
    }
    // A design file named in Shift-JIS (from an old archive) keeps the SVG
    // well formed.
    const auto named =
        skarvel::picture::PatternSvgPages(small.layout(view::PaperSize::A4, "\x8b\x40\x8e\xf1.kx"));
    EXPECT_EQ(skarvel::test::XmlError(named[0]), "");
    // A wing of 400 mm and a fuselage of 190 mm on B5 (162 mm printable):
    // three and two tiles on pages of their own, sharing 10 mm with alignment
    // crosses, then the other pieces.
    Design large;
    large.tables.design.setCell(dz::MainWing, dz::Span, "400");
    large.computed = model::ComputeDesign(large.tables, large.model);
    const auto tiled = skarvel::picture::PatternSvgPages(large.layout(view::PaperSize::B5));
    ASSERT_EQ(tiled.size(), 6u);
    for (const std::string& page : tiled) {
        EXPECT_EQ(skarvel::test::XmlError(page), "");
    }
    EXPECT_NE(tiled[0].find("主翼 タイル 1/3（横1・縦1）"), std::string::npos);
    EXPECT_NE(tiled[2].find("主翼 タイル 3/3（横3・縦1）"), std::string::npos);
    EXPECT_NE(tiled[3].find("胴体 タイル 1/2"), std::string::npos);
    EXPECT_NE(tiled[1].find("clip-path"), std::string::npos);
    EXPECT_NE(tiled[5].find(">6/6<"), std::string::npos);
    EXPECT_NE(tiled[5].find("data-piece=\"htail\""), std::string::npos);
    EXPECT_NE(tiled[0].find("width=\"182mm\""), std::string::npos);
}

// The pages of a pattern replace the earlier pattern under the same name as
// a set: all written before any is renamed, the earlier set's extra pages
// removed, and nothing new in place when a page cannot be written.
TEST(Pattern, SvgPagesReplaceTheEarlierSet) {
    const skarvel::test::TempDir dir;
    const std::string target = dir.file("p.svg");
    const auto files = [&dir] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    Design large;
    large.tables.design.setCell(dz::MainWing, dz::Span, "400");
    large.computed = model::ComputeDesign(large.tables, large.model);
    const Design small;
    using skarvel::picture::WritePatternSvg;
    const auto many = WritePatternSvg(large.layout(view::PaperSize::B5), target);
    EXPECT_EQ(many.written.size(), 6u);
    EXPECT_TRUE(many.removed.empty());
    const auto one = WritePatternSvg(small.layout(), target);
    EXPECT_EQ(files(), std::vector<std::string>{"p.svg"});
    EXPECT_EQ(one.removed.size(), 6u);
    const auto again = WritePatternSvg(large.layout(view::PaperSize::B5), target);
    EXPECT_EQ(again.removed, std::vector<std::string>{target});
    EXPECT_EQ(files().size(), 6u);

    // Page 4 cannot be written (a folder holds its name): pages 1 to 3 are
    // the old ones still.
    const std::string before = data::ReadFileBytes(dir.file("p-1.svg"));
    std::filesystem::remove(dir.file("p-4.svg"));
    std::filesystem::create_directory(dir.file("p-4.svg"));
    EXPECT_THROW(WritePatternSvg(large.layout(view::PaperSize::A4), target), data::FileError);
    EXPECT_EQ(data::ReadFileBytes(dir.file("p-1.svg")), before);
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

} // namespace
