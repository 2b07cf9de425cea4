// Pictures written off screen go through this canvas, so its text is compared
// whole: element order, attribute order, resolved colours and exact halves.

#include "picture/svg_canvas.h"

#include "common/xml.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;

TEST(SvgCanvas, WritesOneElementPerDrawingCall) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    SvgCanvas c(40, 30);
    c.fill({0, 0, 40, 30}, Colour::Role(ColourRole::ButtonFace));
    c.rectangle({1, 2, 11, 8});
    c.setPen(Colour::Rgb(255, 0, 0), 2);
    c.moveTo({-3, -4});
    c.lineTo({5, 6});
    c.lineTo({7, -1});
    const std::array<Point, 3> pts{{{0, 0}, {10, 0}, {5, -7}}};
    c.polyline(pts);
    c.setBrush(Colour::Rgb(255, 255, 0));
    c.polygon(pts);
    c.setHollowBrush();
    c.polygon(pts);
    c.ellipse({-3, -6, 2, 3});
    c.setBrush(Colour::Role(ColourRole::Highlight));
    c.ellipse({kMax - 7, kMin, kMax, kMax});
    c.setPen(Colour::Role(ColourRole::HighlightText));
    c.rectangle({-2, -1, 3, 4});
    c.text({7, 8}, "a<b & \"c\" > 機首");
    EXPECT_EQ(c.elementCount(), 11u);
    EXPECT_EQ(
        c.document(),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"30\" "
        "viewBox=\"0 0 40 30\">\n"
        "<rect x=\"0\" y=\"0\" width=\"40\" height=\"30\" fill=\"#F0F0F0\"/>\n"
        "<rect x=\"1\" y=\"2\" width=\"10\" height=\"6\" fill=\"#FFFFFF\" stroke=\"#000000\" "
        "stroke-width=\"1\"/>\n"
        "<line x1=\"-3\" y1=\"-4\" x2=\"5\" y2=\"6\" stroke=\"#FF0000\" stroke-width=\"2\"/>\n"
        "<line x1=\"5\" y1=\"6\" x2=\"7\" y2=\"-1\" stroke=\"#FF0000\" stroke-width=\"2\"/>\n"
        "<polyline points=\"0,0 10,0 5,-7\" fill=\"none\" stroke=\"#FF0000\" "
        "stroke-width=\"2\"/>\n"
        "<polygon points=\"0,0 10,0 5,-7\" fill=\"#FFFF00\" stroke=\"#FF0000\" "
        "stroke-width=\"2\"/>\n"
        "<polygon points=\"0,0 10,0 5,-7\" fill=\"none\" stroke=\"#FF0000\" "
        "stroke-width=\"2\"/>\n"
        "<ellipse cx=\"-0.5\" cy=\"-1.5\" rx=\"2.5\" ry=\"4.5\" fill=\"none\" stroke=\"#FF0000\" "
        "stroke-width=\"2\"/>\n"
        "<ellipse cx=\"2147483643.5\" cy=\"-0.5\" rx=\"3.5\" ry=\"2147483647.5\" "
        "fill=\"#0078D7\" stroke=\"#FF0000\" stroke-width=\"2\"/>\n"
        "<rect x=\"-2\" y=\"-1\" width=\"5\" height=\"5\" fill=\"#0078D7\" stroke=\"#FFFFFF\" "
        "stroke-width=\"1\"/>\n"
        "<text x=\"7\" y=\"8\" fill=\"#FFFFFF\" font-family=\"sans-serif\" font-size=\"12\" "
        "dominant-baseline=\"hanging\">a&lt;b &amp; &quot;c&quot; &gt; 機首</text>\n"
        "</svg>\n");
    EXPECT_EQ(skarvel::test::XmlError(c.document()), "");

    c.clear();
    EXPECT_EQ(c.elementCount(), 0u);
    EXPECT_EQ(c.document(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"30\" "
                            "viewBox=\"0 0 40 30\">\n"
                            "</svg>\n");
}

// Text in another encoding (a Shift-JIS file name), broken or overlong
// UTF-8, and controls XML forbids become U+FFFD; the document stays well
// formed and good characters stay as they are.
TEST(SvgCanvas, TextThatIsNotUtf8StaysWellFormed) {
    const std::string sjis = "\x8b\x40\x8e\xf1.kx"; // "機首.kx" in CP932
    EXPECT_EQ(XmlEscaped(sjis), "\uFFFD@\uFFFD\uFFFD.kx");
    EXPECT_EQ(XmlEscaped("a\x01"
                         "b\tc\xc0\xaf"
                         "d\xed\xa0\x80"
                         "e\xef\xbf\xbf"),
              "a\uFFFDb\tc\uFFFD\uFFFDd\uFFFD\uFFFD\uFFFDe\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(XmlEscaped("翼 \U0001F6E9 é"), "翼 \U0001F6E9 é");
    SvgCanvas c(10, 10);
    c.text({0, 0}, sjis + "\x1b[0m\xe6\x9c");
    EXPECT_EQ(skarvel::test::XmlError(c.document()), "");
}

TEST(SvgCanvas, DottedPenDashesItsStrokes) {
    SvgCanvas c(40, 30);
    c.setPen(Colour::Rgb(0, 0, 255), 3, LineStyle::Dotted);
    c.setHollowBrush();
    c.rectangle({1, 2, 11, 8});
    c.setPen(Colour::Rgb(0, 0, 255), 3);
    c.moveTo({0, 0});
    c.lineTo({5, 5});
    EXPECT_EQ(c.document(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"30\" "
              "viewBox=\"0 0 40 30\">\n"
              "<rect x=\"1\" y=\"2\" width=\"10\" height=\"6\" fill=\"none\" stroke=\"#0000FF\" "
              "stroke-width=\"3\" stroke-dasharray=\"3 6\"/>\n"
              "<line x1=\"0\" y1=\"0\" x2=\"5\" y2=\"5\" stroke=\"#0000FF\" stroke-width=\"3\"/>\n"
              "</svg>\n");
}

} // namespace
