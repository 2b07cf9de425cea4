// A measured track: made from a flight as a video would see it (30 Hz, 5 mm
// of noise, a few points tracked wrong), read back in other units and
// forms, and its distance from the flight.

#include "app/measured.h"
#include "app/workspace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

using namespace skarvel::app;

// The flight's position at t, between its 10 ms samples.
std::array<double, 3> At(const skarvel::sim::FlightRecord& r, double t) {
    const int i = std::min(static_cast<int>(t / 0.01), r.lastIndex - 1);
    const auto& a = r.sample(i);
    const auto& b = r.sample(i + 1);
    const double f = (t - a.t) / (b.t - a.t);
    return {a.x + f * (b.x - a.x), a.y + f * (b.y - a.y), -(a.z + f * (b.z - a.z))};
}

TEST(MeasuredTrack, AVideoOfTheFlightIsWithinItsNoise) {
    Workspace ws;
    ws.runFromInput();
    const auto& record = ws.record();
    const double end = record.sample(record.lastIndex).t;
    std::mt19937 random(30);
    std::normal_distribution<double> noise(0, 0.005);
    std::string csv = "t,x [cm],y [cm],h [cm]\n";
    int points = 0;
    for (double t = 0; t <= end; t += 1.0 / 30, ++points) {
        auto p = At(record, t);
        for (double& c : p) {
            c += noise(random);
        }
        if (points % 50 == 7) {
            p[2] += 1.0; // tracked wrong: a metre off
        }
        char line[128];
        std::snprintf(line, sizeof line, "%.4f,%.3f,%.3f,%.3f\n", t, 100 * p[0], 100 * p[1],
                      100 * p[2]);
        csv += line;
    }
    const MeasuredTrack track = ParseMeasuredTrack(csv);
    ASSERT_EQ(track.points.size(), static_cast<std::size_t>(points));
    EXPECT_TRUE(track.hasY);
    const auto d = CompareTrack(track, record);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->n, static_cast<std::size_t>(points - (points + 42) / 50)); // outliers out
    EXPECT_NEAR(d->rms, 0.005 * std::sqrt(3.0), 0.002);
    EXPECT_LT(d->max, 0.04);
    // A track of another flight is far from this one, and says so.
    ws.editCell(TableId::Input, 1, skarvel::data::input::LaunchSpeed, "100");
    ws.runFromInput();
    EXPECT_GT(CompareTrack(track, ws.record())->rms, 1.0);
}

TEST(MeasuredTrack, FormsUnitsAndRowsLeftOut) {
    // A side view in TSV, time in ms, z down as the flight export has it.
    const MeasuredTrack side = ParseMeasuredTrack("時刻 [ms]\tx\tz [mm]\r\n0\t0\t-2000\r\n"
                                                  "500\t3.5\t-2500\r\n\r\n");
    ASSERT_EQ(side.points.size(), 2u);
    EXPECT_FALSE(side.hasY);
    EXPECT_DOUBLE_EQ(side.points[1].t, 0.5);
    EXPECT_DOUBLE_EQ(side.points[1].h, 2.5);
    // Positions without a unit in the header take the one given.
    EXPECT_DOUBLE_EQ(ParseMeasuredTrack("time,x,h\n0,150,20\n", 0.01).points[0].x, 1.5);
    const MeasuredTrack bad = ParseMeasuredTrack("t,x,h\n0,0,2\n0.1,abc,2\n0.2,1\n0.3,1,1\n");
    EXPECT_EQ(bad.points.size(), 2u);
    EXPECT_EQ(bad.skipped, (std::vector<std::string>{"line 3, column x: \"abc\" is not a number",
                                                     "line 4: 2 fields, the header has 3"}));
    EXPECT_THROW(ParseMeasuredTrack("t,x,y\n0,0,0\n"), MeasuredError); // no height
    EXPECT_THROW(ParseMeasuredTrack("t,x [ft],h\n0,0,0\n"), MeasuredError);
    EXPECT_THROW(ParseMeasuredTrack("t,x,h\nno,no,no\n"), MeasuredError);
    EXPECT_EQ(MeasuredLine(std::nullopt), "measured\t0\t-\t-\n");
    EXPECT_EQ(MeasuredLine(TrackDistance{12, 0.0123, 0.05}), "measured\t12\t0.0123\t0.05\n");
}

} // namespace
