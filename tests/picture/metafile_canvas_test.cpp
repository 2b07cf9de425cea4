// The metafile canvas hands the writer plain colours: every role resolved
// through the canvas's palette, fixed colours as they are.

#include "picture/metafile.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;

std::string Hex(Rgb c) {
    std::array<char, 8> hex{};
    std::snprintf(hex.data(), hex.size(), "#%02X%02X%02X", c.r, c.g, c.b);
    return hex.data();
}

// Writes down the colours and styles it is given; the shapes only by name.
class ColourLog : public MetafileWriter {
  public:
    std::string log;

    void setPen(Rgb colour, int width, PenStyle style) override {
        log += "pen " + Hex(colour) + " " + std::to_string(width) + " style " +
               std::to_string(PenStyleCode(style)) + "\n";
    }
    void setBrush(Rgb colour) override { log += "brush " + Hex(colour) + "\n"; }
    void setHollowBrush() override { log += "brush hollow\n"; }
    void setFont(std::string_view, int, bool, bool, int) override { log += "font\n"; }
    void setTextColour(Rgb colour) override { log += "text colour " + Hex(colour) + "\n"; }
    void setClip(std::optional<Rect>) override { log += "clip\n"; }
    void moveTo(Point) override { log += "move\n"; }
    void lineTo(Point) override { log += "line\n"; }
    void polyline(std::span<const Point>) override { log += "polyline\n"; }
    void polygon(std::span<const Point>) override { log += "polygon\n"; }
    void rectangle(Rect) override { log += "rectangle\n"; }
    void ellipse(Rect) override { log += "ellipse\n"; }
    void fill(Rect, Rgb colour) override { log += "fill " + Hex(colour) + "\n"; }
    void text(Point, std::string_view utf8, TextAnchor, std::span<const std::int32_t>) override {
        log += "text " + std::string(utf8) + "\n";
    }
    std::string finish() override { return {}; }
};

TEST(MetafileCanvas, ColourRolesResolveThroughThePalette) {
    // Every role its own colour, so that two roles swapped would show.
    const Palette palette{
        .windowBackground = {0x11, 0x12, 0x13},
        .windowText = {0x21, 0x22, 0x23},
        .buttonFace = {0x31, 0x32, 0x33},
        .highlight = {0x41, 0x42, 0x43},
        .highlightText = {0x51, 0x52, 0x53},
    };
    ColourLog writer;
    MetafileCanvas c(writer, palette);
    for (ColourRole role :
         {ColourRole::WindowBackground, ColourRole::WindowText, ColourRole::ButtonFace,
          ColourRole::Highlight, ColourRole::HighlightText}) {
        c.setPen(Colour::Role(role));
        c.setBrush(Colour::Role(role));
        c.fill({0, 0, 4, 4}, Colour::Role(role));
    }
    // A fixed colour stays as it is; text takes the colour of the pen.
    c.setPen(Colour::Rgb(0xFF, 0x80, 0x01), 2, LineStyle::Dotted);
    c.setBrush(Colour::Rgb(0x01, 0x02, 0x03));
    c.fill({0, 0, 4, 4}, Colour::Rgb(0xFE, 0xFD, 0xFC));
    c.text({1, 1}, "a");
    c.setPen(Colour::Role(ColourRole::Highlight));
    c.text({1, 1}, "b");
    EXPECT_EQ(writer.log, "pen #111213 1 style 0\n"
                          "brush #111213\n"
                          "fill #111213\n"
                          "pen #212223 1 style 0\n"
                          "brush #212223\n"
                          "fill #212223\n"
                          "pen #313233 1 style 0\n"
                          "brush #313233\n"
                          "fill #313233\n"
                          "pen #414243 1 style 0\n"
                          "brush #414243\n"
                          "fill #414243\n"
                          "pen #515253 1 style 0\n"
                          "brush #515253\n"
                          "fill #515253\n"
                          "pen #FF8001 2 style 2\n"
                          "brush #010203\n"
                          "fill #FEFDFC\n"
                          "text colour #FF8001\n"
                          "text a\n"
                          "pen #414243 1 style 0\n"
                          "text colour #414243\n"
                          "text b\n");
}

} // namespace
