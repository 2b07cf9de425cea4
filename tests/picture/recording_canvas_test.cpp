// The recording canvas is what drawing tests compare against: every call and
// every argument must reach its text.

#include "picture/recording_canvas.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;

TEST(RecordingCanvas, WritesEveryCallWithItsArguments) {
    RecordingCanvas c;
    c.fill({0, 0, 560, 400}, Colour::Role(ColourRole::WindowBackground));
    c.setPen(Colour::Rgb(255, 0, 0), 2);
    c.setBrush(Colour::Role(ColourRole::ButtonFace));
    c.setHollowBrush();
    c.moveTo({1, -2});
    c.lineTo({3, 4});
    const std::array<Point, 3> pts{{{0, 0}, {10, 0}, {5, -7}}};
    c.polyline(pts);
    c.polygon(pts);
    c.ellipse({-4, -4, 4, 4});
    c.rectangle({1, 2, 3, 4});
    c.setPen(Colour::Role(ColourRole::HighlightText));
    c.text({7, 8}, "機首");
    EXPECT_EQ(c.dump(), "fill 0,0 560,400 WindowBackground\n"
                        "pen #FF0000 2\n"
                        "brush ButtonFace\n"
                        "brush hollow\n"
                        "move 1,-2\n"
                        "line 3,4\n"
                        "polyline 0,0 10,0 5,-7\n"
                        "polygon 0,0 10,0 5,-7\n"
                        "ellipse -4,-4 4,4\n"
                        "rectangle 1,2 3,4\n"
                        "pen HighlightText 1\n"
                        "text 7,8 機首\n");
}

} // namespace
