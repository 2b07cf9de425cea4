// The cutting pattern's files: SVG sheets of their documented form, well
// formed whatever the file's name; metafile pages at full size; the pages of
// a pattern written as a set.

#include "data/tables.h"
#include "model/aircraft.h"
#include "model/conversion.h"
#include "picture/pattern_file.h"
#include "picture/pattern_svg.h"
#include "view/pattern.h"

#include "common/temp_dir.h"
#include "common/xml.h"
#include "data/textfile.h"

#include "common/pattern_design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace view = skarvel::view;
namespace model = skarvel::model;
namespace data = skarvel::data;
namespace dz = skarvel::data::design;

using Design = skarvel::test::PatternDesign;

TEST(PatternSvg, SheetsInMillimetresWithClassedPaths) {
    Design small;
    const auto pages = skarvel::picture::PatternSvgPages(
        small.layout(view::PaperSize::A4, "test.kx", view::CgRange{10, 25}));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("width=\"210mm\" height=\"297mm\" viewBox=\"0 0 210 297\""),
              std::string::npos);
    for (const char* text :
         {"<path class=\"outline\" data-piece=\"wing\" d=\"M",
          "<path class=\"fold-valley\" d=", "<text class=\"fold-valley\" x=",
          "<path class=\"ballast\" d=", "<text class=\"ballast\" x=", "<path class=\"cg-range\" d=",
          "<text class=\"cg-range\" x=", "<path class=\"gauge\" data-piece=\"gauge1\" d=",
          "<text class=\"gauge\" x=", "class=\"mark\"", ">1/1<",
          "<text x=\"194.6\" y=\"8\" font-size=\"3\">1/1<", ">test.kx  2026-12-07<"}) {
        EXPECT_NE(pages[0].find(text), std::string::npos) << text;
    }
    // A design file named in Shift-JIS (from an old archive) keeps the SVG
    // well formed.
    const auto named =
        skarvel::picture::PatternSvgPages(small.layout(view::PaperSize::A4, "\x8b\x40\x8e\xf1.kx"));
    EXPECT_EQ(skarvel::test::XmlError(named[0]), "");
    // Tiles are clipped to the printable area.
    Design large;
    large.tables.design.setCell(dz::MainWing, dz::Span, "400");
    large.computed = model::ComputeDesign(large.tables, large.model);
    const auto tiled = skarvel::picture::PatternSvgPages(large.layout(view::PaperSize::B5));
    ASSERT_EQ(tiled.size(), 5u);
    for (const std::string& page : tiled) {
        EXPECT_EQ(skarvel::test::XmlError(page), "");
    }
    EXPECT_NE(tiled[1].find("<clipPath id=\"tile1\"><rect x=\"10\" y=\"10\" width=\"162\""),
              std::string::npos);
    EXPECT_NE(tiled[1].find("<g clip-path=\"url(#tile1)\">"), std::string::npos);
}

// A metafile page is the paper's size: the EMF frame in 0.01 mm, the WMF
// extent in units of its placeable header's inch.
TEST(PatternMetafile, PagesAtFullSize) {
    using skarvel::picture::Medium;
    const auto u32 = [](const std::string& f, std::size_t at) {
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            v |= std::uint32_t{static_cast<unsigned char>(f[at + k])} << (8 * k);
        }
        return v;
    };
    const auto u16 = [&u32](const std::string& f, std::size_t at) { return u32(f, at) & 0xFFFF; };
    Design large;
    large.tables.design.setCell(dz::MainWing, dz::Span, "400");
    large.computed = model::ComputeDesign(large.tables, large.model);
    const view::PatternLayout layout = large.layout(view::PaperSize::B5);
    const auto emf = skarvel::picture::PatternMetafilePages(layout, Medium::Emf);
    const auto wmf = skarvel::picture::PatternMetafilePages(layout, Medium::Wmf);
    ASSERT_EQ(emf.size(), layout.pages.size());
    ASSERT_EQ(wmf.size(), layout.pages.size());
    for (std::size_t k = 0; k < emf.size(); ++k) {
        // 182 x 257 mm, to the pixel (0.04 mm)
        EXPECT_NEAR(u32(emf[k], 32), 18200, 4) << k;
        EXPECT_NEAR(u32(emf[k], 36), 25700, 4) << k;
        const double inch = u16(wmf[k], 14);
        EXPECT_NEAR(u16(wmf[k], 10) / inch * 25.4, 182, 0.05) << k;
        EXPECT_NEAR(u16(wmf[k], 12) / inch * 25.4, 257, 0.05) << k;
    }
}

// The pages of a pattern replace the earlier pattern under the same name as
// a set: all written before any is renamed, the earlier set's extra pages
// removed, and nothing new in place when a page cannot be written.
TEST(PatternSvg, PagesReplaceTheEarlierSet) {
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
    EXPECT_EQ(many.written.size(), 5u);
    EXPECT_TRUE(many.removed.empty());
    const auto one = WritePatternSvg(small.layout(), target);
    EXPECT_EQ(files(), std::vector<std::string>{"p.svg"});
    EXPECT_EQ(one.removed.size(), 5u);
    const auto again = WritePatternSvg(large.layout(view::PaperSize::B5), target);
    EXPECT_EQ(again.removed, std::vector<std::string>{target});
    EXPECT_EQ(files().size(), 5u);

    // Page 4 cannot be written (a folder holds its name): pages 1 to 3 are
    // the old ones still.
    const std::string before = data::ReadFileBytes(dir.file("p-1.svg"));
    std::filesystem::remove(dir.file("p-4.svg"));
    std::filesystem::create_directory(dir.file("p-4.svg"));
    EXPECT_THROW(WritePatternSvg(large.layout(view::PaperSize::A4), target), data::FileError);
    EXPECT_EQ(data::ReadFileBytes(dir.file("p-1.svg")), before);
}

} // namespace
