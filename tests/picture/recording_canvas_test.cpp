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

// The calls of drawings in sub-unit positions, recorded and replayed.
TEST(RecordingCanvas, KeepsFractionsTagsAndGroups) {
    RecordingCanvas c;
    c.beginGroup(RectF{10, 10, 190.5, 263});
    c.setPen(Colour::Rgb(0, 0, 0), 250, LineStyle::Dashed);
    c.setTags({"outline", "wing"});
    const std::array<PointF, 2> pts{{{0.25, 1}, {12500.5, -3}}};
    c.path(pts, true);
    c.textOnBaseline({1.5, 2}, 3000, "主翼");
    c.endGroup();
    c.beginGroup(std::nullopt);
    const std::string lines = "group 10,10 190.5,263\n"
                              "pen #000000 250 dashed\n"
                              "tags outline wing\n"
                              "path closed 0.25,1 12500.5,-3\n"
                              "baseline text 1.5,2 3000 主翼\n"
                              "end group\n"
                              "group\n";
    EXPECT_EQ(c.dump(), lines);
    RecordingCanvas again;
    c.replay(again);
    EXPECT_EQ(again.dump(), lines);
}

} // namespace
