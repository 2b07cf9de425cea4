// The attitude dials pinned as recorded primitives.

#include "picture/recording_canvas.h"
#include "sim/flight_record.h"
#include "view/attitude.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;
using skarvel::sim::FlightSample;

// Level flight along +x, the air meeting the wing slightly from below.
FlightSample Level() {
    FlightSample s;
    s.ua = 10;
    s.wa = 0.5;
    return s;
}

TEST(AttitudeRoll, LevelWingFinUpMotionDown) {
    RecordingCanvas c;
    DrawRollInstrument(c, 64, 64, Level());
    EXPECT_EQ(c.dump(), "pen #808080 1\n"
                        "move 32,32\n"
                        "line 32,88\n"
                        "pen WindowText 1\n"
                        "brush hollow\n"
                        "ellipse 27,27 37,37\n"
                        "move 4,32\n"
                        "line 60,32\n"
                        "move 32,32\n"
                        "line 32,17\n");
}

TEST(AttitudeRoll, BankedNinetyDegreesWingVerticalFinRight) {
    FlightSample s = Level();
    s.phi = std::numbers::pi / 2;
    RecordingCanvas c;
    DrawRollInstrument(c, 64, 64, s);
    EXPECT_EQ(c.dump(), "pen #808080 1\n"
                        "move 32,32\n"
                        "line -24,32\n"
                        "pen WindowText 1\n"
                        "brush hollow\n"
                        "ellipse 27,27 37,37\n"
                        "move 32,4\n"
                        "line 32,60\n"
                        "move 32,32\n"
                        "line 47,32\n");
}

TEST(AttitudePitch, NoseLeftMotionSlightlyBelow) {
    RecordingCanvas c;
    DrawPitchInstrument(c, 64, 64, Level());
    EXPECT_EQ(c.dump(), "pen #808080 1\n"
                        "move 32,32\n"
                        "line -18,34\n"
                        "pen WindowText 1\n"
                        "brush ButtonFace\n"
                        "move 7,32\n"
                        "line 57,32\n"
                        "polygon 24,32 24,26 32,26 32,32\n"
                        "polygon 52,32 52,27 57,27 57,32\n");
}

TEST(AttitudeYaw, FuselageVerticalWingAheadMotionUp) {
    RecordingCanvas c;
    DrawYawInstrument(c, 64, 64, Level());
    EXPECT_EQ(c.dump(), "pen #808080 1\n"
                        "move 32,32\n"
                        "line 32,-24\n"
                        "pen WindowText 1\n"
                        "brush ButtonFace\n"
                        "polygon 60,32 60,24 4,24 4,32\n"
                        "move 32,57\n"
                        "line 32,7\n"
                        "polygon 42,57 42,52 22,52 22,57\n");
}

} // namespace
