// The trajectory drawing pinned as recorded primitives.

#include "view_fixture.h"

#include "picture/recording_canvas.h"
#include "sim/flight_record.h"
#include "view/trajectory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;
using skarvel::sim::FlightSample;
using skarvel::test::Flight;

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

} // namespace
