// Which medium a file name stands for, and the pictures drawn on each vector
// medium.

#include "picture/emf_writer.h"
#include "picture/medium.h"
#include "picture/svg_canvas.h"
#include "picture/wmf_writer.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;

TEST(Medium, ComesFromTheExtensionWhateverItsCase) {
    const struct {
        const char* path;
        std::optional<Medium> medium;
    } cases[] = {
        {"plot.svg", Medium::Svg},      {"plot.SVG", Medium::Svg},   {"plot.emf", Medium::Emf},
        {"plot.Emf", Medium::Emf},      {"plot.wmf", Medium::Wmf},   {"plot.WMF", Medium::Wmf},
        {"plot.bmp", Medium::Bmp},      {"plot.BMP", Medium::Bmp},   {"dir/a.b.wmf", Medium::Wmf},
        {"plot.png", std::nullopt},     {"plot", std::nullopt},      {"a.emf/plot", std::nullopt},
        {"plot.emf.txt", std::nullopt}, {"plot.emfx", std::nullopt}, {"", std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(MediumOf(c.path), c.medium) << c.path;
    }
}

void Draw(Canvas& c) {
    c.setPen(Colour::Rgb(255, 0, 0), 2);
    c.moveTo({1, 2});
    c.lineTo({30, 20});
    c.text({5, 5}, "t");
}

TEST(Medium, VectorPicturesAreTheirMediumsFiles) {
    SvgCanvas svg(40, 30);
    Draw(svg);
    EmfWriter emf(40, 30);
    MetafileCanvas emfCanvas(emf);
    Draw(emfCanvas);
    WmfWriter wmf(40, 30);
    MetafileCanvas wmfCanvas(wmf);
    Draw(wmfCanvas);
    const struct {
        Medium medium;
        std::string file;
    } cases[] = {
        {Medium::Svg, svg.document()}, {Medium::Emf, emf.finish()}, {Medium::Wmf, wmf.finish()}};
    for (const auto& c : cases) {
        ASSERT_TRUE(IsVector(c.medium));
        const auto picture = VectorPictureFor(c.medium, 40, 30);
        ASSERT_NE(picture, nullptr);
        Draw(picture->canvas());
        EXPECT_EQ(picture->finish(), c.file) << static_cast<int>(c.medium);
    }
    EXPECT_FALSE(IsVector(Medium::Bmp));
    EXPECT_EQ(VectorPictureFor(Medium::Bmp, 40, 30), nullptr);
}

} // namespace
