// The glide polar's verdict on each trim, checked against flights of the full
// equations on the example designs' own laws.

#include "data/design_file.h"
#include "data/numtext.h"
#include "model_fixture.h"
#include "sim/glide_polar.h"
#include "sim/simulator.h"
#include "sim/trim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace {

using namespace skarvel;

// The largest departure from the trim over samples [from, to), made
// non-dimensional: velocities over V, rates times a length over V, angles.
double Departure(const sim::FlightRecord& record, const sim::GlideTrim& trim, int from, int to) {
    const sim::FlightSample& r = trim.state;
    double largest = 0;
    for (int k = from; k < to && k <= record.lastIndex; ++k) {
        const sim::FlightSample& s = record.sample(k);
        for (const double d : {(s.u - r.u) / trim.V, (s.v - r.v) / trim.V, (s.w - r.w) / trim.V,
                               (s.p - r.p) * 0.1 / trim.V, (s.q - r.q) * 0.03 / trim.V,
                               (s.r - r.r) * 0.1 / trim.V, s.phi - r.phi, s.theta - r.theta}) {
            largest = std::max(largest, std::fabs(d));
        }
    }
    return largest;
}

// Ends a flight after so many simulated seconds.
struct StopAfter : sim::RunObserver {
    explicit StopAfter(int seconds) : left(seconds) {}
    bool secondElapsed() override { return --left == 0; }
    int left;
};

// Each trim of each example's polar, nudged and flown for 20 s from high up:
// the departure grows where the polar calls the trim unstable and shrinks
// where it calls it stable, at about the rate of the largest root (a fast
// divergence saturates, so its rate is only checked for its sign).
TEST(GlidePolar, StabilityIsWhatTheFlightDoes) {
    int unstable = 0;
    for (const char* name : {"default", "two-stage", "twin-fin", "v-tail-sine"}) {
        test::DesignTables f;
        data::ReadDesignFile(std::string(SKARVEL_EXAMPLES) + "/" + name + ".kx", f.tables.design);
        f.convert();
        const sim::GlidePolar polar =
            sim::ComputeGlidePolar(f.tables.input, f.tables.parameter, &f.model);
        // A trim the glider leaves is never recommended (twin-fin's best
        // glide ratio would otherwise be its unstable +0.5 degree row).
        for (const auto& pick : {polar.bestRatio, polar.leastSink}) {
            ASSERT_TRUE(pick) << name;
            EXPECT_TRUE(polar.rows[*pick].stable()) << name;
        }
        for (const sim::PolarRow& row : polar.rows) {
            if (!row.trim) {
                continue;
            }
            const std::string where = std::string(name) + " " + std::to_string(row.tailSetting);
            ASSERT_TRUE(row.largestRealPart) << where;
            const double root = *row.largestRealPart;
            unstable += row.stable() ? 0 : 1;

            data::Table input = f.tables.input;
            input.setCell(data::input::kValueColumn, data::input::TailSetting,
                          data::FormatShortest(row.tailSetting));
            sim::InputSet in = sim::AnalysisPoint(input, f.tables.parameter, &f.model).inputSet();
            in.initial = row.trim->state;
            in.initial.z = -1000;
            in.initial.w += 0.01;
            in.initial.r += 0.01;
            auto record = std::make_unique<sim::FlightRecord>();
            sim::RunStatistics stats;
            StopAfter twenty(20);
            sim::RunFlight(in, &f.model, *record, stats, twenty);
            ASSERT_GE(record->lastIndex, 2000) << where;

            const double early = Departure(*record, *row.trim, 200, 400);
            const double late = Departure(*record, *row.trim, 1800, 2000);
            const double rate = std::log(late / early) / 16;
            EXPECT_EQ(rate < 0, row.stable()) << where << " root " << root << " flown " << rate;
            if (early < 0.005) {
                EXPECT_NEAR(rate, root, 0.02 + 0.15 * std::fabs(root)) << where;
            }
        }
    }
    EXPECT_GE(unstable, 4); // the check meets both verdicts
}

} // namespace
