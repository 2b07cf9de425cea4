// The trajectory drawing pinned as recorded primitives.

#include "picture/recording_canvas.h"
#include "sim/flight_record.h"
#include "view/navigation.h"
#include "view/pixel.h"
#include "view/trajectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;
using skarvel::sim::FlightRecord;
using skarvel::sim::FlightSample;

// A record of n + 1 samples 10 ms apart: climbing for the first half, then
// descending, drifting along +x and +y.
std::unique_ptr<FlightRecord> Flight(int n, double z0 = -2) {
    auto record = std::make_unique<FlightRecord>();
    for (int i = 0; i <= n; ++i) {
        FlightSample& s = record->sample(i);
        s.t = i * 0.01;
        s.x = i * 0.5;
        s.y = i * 0.25;
        s.z = z0 - (i <= n / 2 ? i : n - i) * 0.1;
    }
    record->lastIndex = n;
    return record;
}

TEST(PixelRounding, HalvesToEvenAndRangeChecked) {
    EXPECT_EQ(RoundPixel(2.5), 2);
    EXPECT_EQ(RoundPixel(3.5), 4);
    EXPECT_EQ(RoundPixel(-2.5), -2);
    EXPECT_EQ(RoundPixel(2147483647.0), 2147483647);
    EXPECT_THROW(RoundPixel(2147483647.5 + 1), RangeError);
    EXPECT_THROW(RoundPixel(-2147483649.0), RangeError);
    EXPECT_THROW(RoundPixel(std::nan("")), RangeError);
}

TEST(TrajectoryDrawing, RedrawStepsEvery50msAndAtTheLastSample) {
    const auto record = Flight(12);
    const ViewState v = InitialView(200, 100);
    RecordingCanvas c;
    TrajectoryDrawing drawing;
    ASSERT_TRUE(drawing.redraw(c, v, *record, {true, true, true}));
    // Vertices at 0, 50, 100 ms and the last sample (120 ms); a vertical at
    // 0 ms only (every 500 ms); climbing in the highlight colour.
    EXPECT_EQ(c.dump(), "fill 0,0 200,100 WindowBackground\n"
                        "pen ButtonFace 1\n"
                        "move 100,75\n"
                        "line 100,75\n"
                        "pen Highlight 1\n"
                        "move 100,75\n"
                        "line 100,56\n"
                        "pen ButtonFace 1\n"
                        "polyline 100,75 100,56\n"
                        "pen ButtonFace 1\n"
                        "move 100,75\n"
                        "line 112,66\n"
                        "pen Highlight 1\n"
                        "move 100,56\n"
                        "line 112,43\n"
                        "pen ButtonFace 1\n"
                        "move 112,66\n"
                        "line 125,58\n"
                        "pen WindowText 1\n"
                        "move 112,43\n"
                        "line 125,37\n"
                        "pen ButtonFace 1\n"
                        "move 125,58\n"
                        "line 130,54\n"
                        "pen WindowText 1\n"
                        "move 125,37\n"
                        "line 130,36\n");
}

TEST(TrajectoryDrawing, EdgeCasesOfTheRedraw) {
    const ViewState v = InitialView(200, 100);
    TrajectoryDrawing drawing;
    RecordingCanvas c;
    // One sample: the vertical from the ground up to the launch point only
    // (the ground track has no length).
    ASSERT_TRUE(drawing.redraw(c, v, *Flight(0), {true, false, true}));
    EXPECT_EQ(c.lines().size(), 7u);
    EXPECT_EQ(c.lines()[6], "line 100,56");
    // After a launch preview at the same height the first vertical is level.
    auto previewed = Flight(0);
    previewed->launchPreview().z = -2;
    c.clear();
    drawing.redraw(c, v, *previewed, {false, false, true});
    EXPECT_EQ(c.lines()[2], "pen WindowText 1");
    // A first sample below the ground: nothing at all.
    c.clear();
    EXPECT_FALSE(drawing.redraw(c, v, *Flight(5, 0.5), {}));
    EXPECT_TRUE(c.lines().empty());
    // Drawing stops at the first sample below the ground.
    auto landed = Flight(10);
    landed->sample(5).z = 0.1;
    c.clear();
    drawing.redraw(c, v, *landed, {false, false, true});
    EXPECT_EQ(c.lines().size(), 1u + 4u); // the fill and the sample-0 step
}

TEST(FlightCursor, FaceThermalAndGroundMarker) {
    auto record = Flight(10);
    FlightSample& s = record->sample(10);
    s.psi = 0.3;
    s.theta = 0.2;
    s.phi = 0.1;
    const ViewState v = InitialView(200, 100);
    RecordingCanvas c;
    // The thermal drifts with the wind: 2 m/s for 0.1 s is 0.2 m along +x.
    // The lower face of the wing is seen: the ground marker first, then the
    // symbol in the highlight text colour.
    DrawFlightCursor(c, v, *record, 10, 2.0, 3.0, {true, false, true});
    EXPECT_EQ(c.dump(), "pen #FFFF00 1\n"
                        "brush hollow\n"
                        "ellipse 70,64 130,84\n"
                        "pen ButtonFace 1\n"
                        "brush WindowBackground\n"
                        "move 125,58\n"
                        "line 125,39\n"
                        "ellipse 121,54 129,62\n"
                        "brush HighlightText\n"
                        "pen WindowText 1\n"
                        "polygon 112,42 132,46 128,34\n"
                        "move 128,34\n"
                        "line 122,44\n");
    // Rolled over, the upper face: the symbol in the highlight colour first;
    // without the ground marker.
    s.phi = 3.0;
    c.clear();
    DrawFlightCursor(c, v, *record, 10, 2.0, 3.0, {true, false, false});
    EXPECT_EQ(c.lines()[3], "brush Highlight");
    EXPECT_EQ(c.lines().size(), 8u);
    // Outside the record: nothing.
    c.clear();
    DrawFlightCursor(c, v, *record, 11, 2.0, 3.0, {});
    EXPECT_TRUE(c.lines().empty());
}

TEST(ViewNavigation, FitsStepsAndAngles) {
    // A single sample at the origin fits the 20-pixel square around it.
    auto point = Flight(0, 0);
    ViewState v = InitialView(200, 100);
    FitToTrajectory(v, *point);
    EXPECT_DOUBLE_EQ(v.k, 10 * 100 / 20.0);
    EXPECT_EQ(v.ox, 100);
    EXPECT_EQ(v.oy, 50);

    // No horizontal extent: the range fit fails before changing anything.
    v = InitialView(200, 100);
    EXPECT_ANY_THROW(FitToRange(v, 0, 0));
    EXPECT_EQ(v.k, 10);
    FitToRange(v, 10, 20);
    EXPECT_DOUBLE_EQ(v.k, 100 / 30.0);
    EXPECT_EQ(v.oy, 67);

    // Five steps in and five out end below the scale they started from.
    v = InitialView(200, 100);
    for (double f : {1.05, 1.05, 1.05, 1.05, 1.05, 0.95, 0.95, 0.95, 0.95, 0.95}) {
        Zoom(v, f);
    }
    EXPECT_NEAR(v.k / 10, std::pow(1.05, 5) * std::pow(0.95, 5), 1e-12);
    const auto ox = v.ox, oy = v.oy;
    Move(v, Direction::Left);
    Move(v, Direction::Up);
    EXPECT_EQ(v.ox, ox - 10);
    EXPECT_EQ(v.oy, oy - 5);
    ResetOrigin(v);
    EXPECT_EQ(v.oy, 67);

    // An angle that is no integer reads as 0; the limits come after reading.
    EXPECT_EQ(ParseAngleText("abc"), 0);
    EXPECT_EQ(ParseAngleText("-30"), -30);
    EXPECT_EQ(LimitHorizontalAngle(200), 180);
    EXPECT_EQ(LimitHorizontalAngle(-200), -180);
    EXPECT_EQ(LimitVerticalAngle(-5), 0);
    EXPECT_EQ(LimitVerticalAngle(95), 90);
}

TEST(ViewNavigation, MouseGestures) {
    ViewState v = InitialView(200, 100);
    MouseGesture m;
    // Shorter than 6 pixels in one direction: no box, and releasing the left
    // button changes nothing.
    m.press({50, 50});
    EXPECT_FALSE(m.move(v, {100, 55}, true, false));
    EXPECT_FALSE(m.boxShown());
    EXPECT_FALSE(m.release(v, {100, 55}, MouseButton::Left));
    EXPECT_EQ(v.k, 10);

    // Dragged down-right: the box's content fills the image.
    m.press({50, 25});
    m.move(v, {150, 75}, true, false);
    ASSERT_TRUE(m.boxShown());
    EXPECT_EQ(m.box(), (Rect{50, 25, 150, 75}));
    EXPECT_TRUE(m.release(v, {150, 75}, MouseButton::Left));
    EXPECT_DOUBLE_EQ(v.k, 20);
    // Dragged up-left over the same box: the whole view shrinks into it.
    m.press({150, 75});
    m.move(v, {50, 25}, true, false);
    m.release(v, {50, 25}, MouseButton::Left);
    EXPECT_DOUBLE_EQ(v.k, 10);
    EXPECT_FALSE(m.boxShown());

    // The right button drags the drawing along.
    const auto ox = v.ox, oy = v.oy;
    m.press({10, 10});
    EXPECT_TRUE(m.move(v, {15, 13}, false, true));
    EXPECT_TRUE(m.release(v, {20, 20}, MouseButton::Right));
    EXPECT_EQ(v.ox, ox + 10);
    EXPECT_EQ(v.oy, oy + 10);
}

} // namespace
