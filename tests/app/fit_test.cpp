// The fit against a track made from a known flight (a 30 Hz video with 5 mm
// of noise and 2 % of its points tracked wrong): three launch values put off
// by 10 to 20 % come back within three standard errors; and a track no
// flight follows is not claimed as a match.

#include "app/fit.h"
#include "app/workspace.h"
#include "data/tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

using namespace skarvel::app;
namespace in = skarvel::data::input;

MeasuredTrack VideoOf(const skarvel::sim::FlightRecord& record) {
    MeasuredTrack track;
    track.hasY = true;
    std::mt19937 random(30);
    std::normal_distribution<double> noise(0, 0.005);
    const double end = record.sample(record.lastIndex).t;
    int k = 0;
    for (double t = 0; t <= end; t = ++k / 30.0) {
        auto p = FlightPositionAt(record, t);
        for (double& c : p) {
            c += noise(random);
        }
        if (k % 50 == 7) {
            p[2] += 1.0; // tracked wrong
        }
        track.points.push_back({t, p[0], p[1], p[2]});
    }
    return track;
}

TEST(Fit, RecoversThreeLaunchValuesFromAVideoOfTheFlight) {
    Workspace truth;
    truth.runFromInput();
    const MeasuredTrack track = VideoOf(truth.record());

    Workspace ws;
    ws.sweeps().applySettings({"初速=170", "上下角=70", "最小抗力係数=0.058"});
    const std::vector<FitVariable> vars = {ParseFitVariable("初速"),
                                           ParseFitVariable("上下角=30:89"),
                                           ParseFitVariable("最小抗力係数")};
    const FitResult r = FitTrack(ws.sweeps().base(), vars, track, OpenFitSolver());
    ASSERT_TRUE(r.determined) << FitText(r);
    const double truthValues[] = {150, 80, 0.05};
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(r.stderrs[i]) << vars[i].name;
        EXPECT_NEAR(r.values[i], truthValues[i], 3 * *r.stderrs[i]) << FitText(r);
    }
    ASSERT_TRUE(r.before && r.after);
    EXPECT_GT(r.before->rms, 1.0);
    EXPECT_LT(r.after->rms, 0.015);
}

TEST(Fit, ATrackNoFlightFollowsIsNoMatch) {
    // Level at 2 m for 20 s, then up: no glider flies that.
    MeasuredTrack track;
    for (int k = 0; k <= 600; ++k) {
        const double t = k / 30.0;
        track.points.push_back({t, 3 * t, 0, k < 300 ? 2.0 : 2.0 + (t - 10)});
    }
    track.hasY = true;
    Workspace ws;
    const FitResult r =
        FitTrack(ws.sweeps().base(), {ParseFitVariable("初速")}, track, OpenFitSolver());
    ASSERT_TRUE(r.after);
    EXPECT_GT(r.after->rms, 0.5);
    EXPECT_EQ(FitText(r).rfind("fit\t初速\t", 0), 0u);
}

} // namespace
