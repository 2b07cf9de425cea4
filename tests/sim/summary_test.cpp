// The figures of one flight as the run history shows them.

#include "sim/summary.h"

#include <gtest/gtest.h>

#include <memory>

using namespace skarvel;
using sim::FlightRecord;

TEST(Summary, FiguresOfTheLastSample) {
    auto record = std::make_unique<FlightRecord>();
    record->lastIndex = 3;
    sim::FlightSample& s = record->sample(3);
    s.t = 2.5;
    s.x = 3;
    s.y = -4;
    s.u = 6;
    s.v = 0.5;
    s.w = 1;
    s.r = -2;
    s.theta = 0.1;
    s.phi = 0.2;
    sim::RunStatistics stats;
    stats.minZ = -12.3456;
    const auto f = sim::Summarize(*record, stats);
    EXPECT_EQ(f.landingDistance, 5.0);
    EXPECT_EQ(f.turnRadius, 3.0);
    const auto texts = sim::SummaryTexts(f);
    EXPECT_EQ(texts[0], "2.5");   // five digits, no padding
    EXPECT_EQ(texts[1], "12.35"); // four digits, padded
    EXPECT_EQ(texts[2], "5.000");
    EXPECT_EQ(texts[3], "3.000");
    EXPECT_EQ(texts[5], "0.4750"); // descending at 0.475 m/s

    s.r = 0;
    EXPECT_EQ(sim::SummaryTexts(sim::Summarize(*record, stats))[3], "直線");
}
