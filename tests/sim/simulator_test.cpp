#include "sim_fixture.h"

#include "sim/checked.h"
#include "sim/simulator.h"
#include "sim/summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace skarvel;
using sim::FlightRecord;
using sim::kPi;
using test::DefaultTables;
namespace row = data::input;

namespace {

struct Flight {
    DefaultTables f;
    std::unique_ptr<FlightRecord> record = std::make_unique<FlightRecord>();
    sim::RunStatistics stats;

    double run(sim::RunObserver& observer) {
        f.prepare();
        return sim::RunFlight(f.in, nullptr, *record, stats, observer);
    }
    double run() {
        sim::RunObserver silent;
        return run(silent);
    }
    const sim::FlightSample& last() const { return record->sample(record->lastIndex); }
};

// Counts the reports and asks to stop at a given simulated second.
struct CountingObserver : sim::RunObserver {
    int samples = 0;
    int seconds = 0;
    int stopAt = -1;
    int lastIndex = -1;
    void sampleStored(const FlightRecord&, int index, double airspeed) override {
        ++samples;
        lastIndex = index;
        EXPECT_GT(airspeed, 0.0);
    }
    bool secondElapsed() override { return ++seconds == stopAt; }
};

std::array<std::string, 6> SummaryOf(const Flight& fl) {
    return sim::SummaryTexts(sim::Summarize(*fl.record, fl.stats));
}

} // namespace

TEST(WrapDegrees, FoldsIntoHalfTurns) {
    EXPECT_DOUBLE_EQ(sim::WrapDegrees(kPi / 2), 90.0);
    EXPECT_DOUBLE_EQ(sim::WrapDegrees(-kPi / 2), -90.0);
    EXPECT_NEAR(sim::WrapDegrees(3 * kPi / 2), -90.0, 1e-12);
    EXPECT_NEAR(sim::WrapDegrees(-3 * kPi / 2), 90.0, 1e-12);
    EXPECT_NEAR(sim::WrapDegrees(2 * kPi + 0.1), 0.1 * 180 / kPi, 1e-9);
    EXPECT_DOUBLE_EQ(sim::WrapDegrees(kPi), -180.0);
    EXPECT_DOUBLE_EQ(sim::WrapDegrees(-kPi), 180.0);
    EXPECT_DOUBLE_EQ(sim::WrapDegrees(3 * kPi), -180.0);
    EXPECT_EQ(sim::WrapDegrees(0), 0.0);
}

// Pinned summaries: they hold every constant and the order of the terms, so
// any change of a figure is a change of the flight. After a change meant to
// alter flights, `skarvel-cli fly` (with the input rows set as below in a
// .kxs file) prints the new figures.
TEST(Flight, DefaultGliderFliesTheKnownFlight) {
    Flight fl;
    fl.run();
    const auto texts = SummaryOf(fl);
    EXPECT_EQ(texts[0], "66.372");
    EXPECT_EQ(texts[1], "47.11");
    EXPECT_EQ(texts[2], "33.65");
    EXPECT_EQ(texts[3], "10.61");
    EXPECT_EQ(texts[4], "5.551");
    EXPECT_EQ(texts[5], "0.6656");
    EXPECT_EQ(fl.last().z, 0.0);
}

TEST(Flight, WindAndThermalFlights) {
    Flight wind;
    wind.f.setInput(row::WindSpeed, "3");
    wind.f.setInput(row::Altitude, "10");
    wind.run();
    EXPECT_EQ(SummaryOf(wind),
              (std::array<std::string, 6>{"59.271", "55.18", "235.7", "11.42", "6.741", "0.6658"}));

    Flight thermal;
    thermal.f.setInput(row::WindSpeed, "1");
    thermal.f.setInput(row::Altitude, "10");
    thermal.f.setInput(row::ThermalStrength, "1.5");
    thermal.run();
    EXPECT_EQ(SummaryOf(thermal),
              (std::array<std::string, 6>{"82.829", "56.76", "116.3", "11.31", "6.015", "0.6655"}));
}

// In still air a glider can only lose energy, whichever way the air meets it:
// dives, climbs, loops and tail slides (a vertical launch stops, slides back
// and falls), straight and banked.
TEST(Flight, StillAirNeverAddsEnergy) {
    double worst = 0;
    std::string where;
    for (const char* speed : {"10", "30", "72"}) {
        for (const char* climb : {"-60", "0", "45", "80", "90"}) {
            for (const char* bank : {"0", "40"}) {
                for (const char* pitchRate : {"0", "3"}) {
                    Flight fl;
                    fl.f.setInput(row::LaunchSpeed, speed);
                    fl.f.setInput(row::ClimbAngle, climb);
                    fl.f.setInput(row::BankAngle, bank);
                    fl.f.setInput(row::PitchRate, pitchRate);
                    fl.f.setInput(row::Altitude, "100");
                    fl.run();
                    const double rise = test::LargestEnergyRise(*fl.record);
                    if (rise > worst) {
                        worst = rise;
                        where = std::string(speed) + " km/h, " + climb + "°, bank " + bank +
                                "°, q " + pitchRate;
                    }
                }
            }
        }
    }
    EXPECT_LT(worst, 0.05) << where;
}

TEST(Flight, SamplesEveryTenMillisecondsAndLandsOnTheGround) {
    Flight fl;
    CountingObserver obs;
    fl.f.setInput(row::ClimbAngle, "-30");
    fl.f.setInput(row::BankAngle, "0");
    fl.f.setInput(row::LaunchSpeed, "30");
    const double t = fl.run(obs);
    const int N = fl.record->lastIndex;
    ASSERT_GT(N, 5);
    for (int k = 0; k < N; ++k) {
        EXPECT_NEAR(fl.record->sample(k).t, 0.01 * k, 1e-9);
        EXPECT_LE(fl.record->sample(k).z, 0.0);
    }
    // The landing point lies between the last counted sample and the final step.
    const auto& landing = fl.last();
    EXPECT_EQ(landing.z, 0.0);
    EXPECT_GT(landing.t, fl.record->sample(N - 1).t);
    EXPECT_LT(landing.t, t + 1e-12);
    EXPECT_GE(landing.t, t - 0.005);
    // One report per 50 ms point from sample 0 on.
    EXPECT_EQ(obs.samples, (N - 1) / 5 + 1);
    EXPECT_EQ(obs.seconds, static_cast<int>(t));
    // The maximum altitude of a descending flight is the one after the first step.
    EXPECT_LT(-fl.stats.minZ, 2.0);
    EXPECT_GT(-fl.stats.minZ, 1.9);
}

TEST(Flight, LaunchAtGroundLevelInterpolatesFromSampleZero) {
    Flight fl;
    fl.f.setInput(row::Altitude, "0");
    fl.f.setInput(row::ClimbAngle, "-10");
    fl.f.setInput(row::BankAngle, "0");
    fl.run();
    ASSERT_EQ(fl.record->lastIndex, 1);
    EXPECT_EQ(fl.record->sample(0).z, 0.0);
    EXPECT_EQ(fl.record->sample(1).z, 0.0);
    // The weight of the below-ground state is 0: the landing is sample 0 again.
    EXPECT_EQ(fl.record->sample(1).x, fl.record->sample(0).x);
    EXPECT_EQ(fl.record->sample(1).t, 0.0);
    EXPECT_EQ(fl.stats.minZ, 0.0);
}

TEST(Flight, LongFlightStopsAtTheSampleLimit) {
    Flight fl;
    fl.f.setInput(row::Altitude, "2000");
    const double t = fl.run();
    ASSERT_EQ(fl.record->lastIndex, FlightRecord::kMaxSamples);
    const auto& a = fl.record->sample(8999);
    const auto& b = fl.record->sample(9000);
    EXPECT_NEAR(t, 89.99, 1e-9);
    EXPECT_EQ(a.t, b.t);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.z, b.z);
    EXPECT_NE(a.CL, b.CL); // refreshed by the final evaluation
    EXPECT_GE(fl.stats.maxHorizontalDistance, std::sqrt(b.x * b.x + b.y * b.y));
    EXPECT_GE(fl.stats.maxDistance, fl.stats.maxHorizontalDistance);
}

TEST(Flight, StopTakesEffectAtTheNextWholeSecond) {
    Flight fl;
    CountingObserver obs;
    obs.stopAt = 4; // the user pressed stop during the fourth simulated second
    fl.f.setInput(row::Altitude, "500");
    const double t = fl.run(obs);
    EXPECT_NEAR(t, 4.0, 1e-9);
    const int N = fl.record->lastIndex;
    EXPECT_EQ(N, 401);
    EXPECT_EQ(fl.record->sample(N).t, fl.record->sample(N - 1).t);
    EXPECT_NEAR(fl.record->sample(N).t, 4.0, 1e-9);
    EXPECT_LT(fl.record->sample(N).z, 0.0); // stopped in the air
    EXPECT_EQ(SummaryOf(fl)[0], "4");
}

TEST(Flight, LaunchBelowGroundKeepsThePreviousRecord) {
    Flight fl;
    fl.run();
    const int N = fl.record->lastIndex;
    const double minZ = fl.stats.minZ;
    fl.f.setInput(row::Altitude, "-1");
    fl.run();
    EXPECT_EQ(fl.record->lastIndex, N);
    EXPECT_EQ(fl.stats.minZ, minZ);
}

TEST(Flight, RunLeavesTheLaunchPreviewSlotAlone) {
    Flight fl;
    fl.record->launchPreview().z = -123;
    fl.run();
    EXPECT_EQ(fl.record->launchPreview().z, -123.0);
    EXPECT_EQ(fl.record->sample(0).z, -2.0);
}

TEST(Flight, FailedRunHoldsOnlyItsOwnSamples) {
    Flight fl;
    fl.f.setInput(row::Altitude, "100");
    fl.run(); // a long flight fills the record
    ASSERT_GT(fl.record->lastIndex, 1000);
    sim::InputSet in = fl.f.in;
    sim::RunObserver silent;

    // The first evaluation fails: the record is the launch alone.
    in.thermalRadius = 0;
    EXPECT_THROW(sim::RunFlight(in, nullptr, *fl.record, fl.stats, silent), sim::ArithmeticError);
    ASSERT_EQ(fl.record->lastIndex, 0);
    const sim::FlightSample& launch = fl.record->sample(0);
    const sim::FlightSample& initial = fl.f.in.initial;
    const std::array<double, 21> expected = {
        0, initial.u, initial.v, initial.w, initial.p,   initial.q,     initial.r,   0, 0, 0, 0, 0,
        0, initial.x, initial.y, initial.z, initial.psi, initial.theta, initial.phi, 0, 0};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(launch.*sim::FlightSample::kValues[i], expected[i]) << i;
    }

    // A huge mass moment makes the state overflow instead of turning into NaN.
    in.thermalRadius = fl.f.in.thermalRadius;
    in.Iyy = 1e-300;
    EXPECT_THROW(sim::RunFlight(in, nullptr, *fl.record, fl.stats, silent), sim::ArithmeticError);

    // A launch at 300 km/h runs away: past 1000 m/s the run fails, after
    // some samples. Every sample up to N is one of this run's.
    fl.run();
    for (auto& slot : fl.record->slots) {
        slot.t = -1;
    }
    fl.f.setInput(row::LaunchSpeed, "300");
    EXPECT_THROW(fl.run(), sim::ArithmeticError);
    ASSERT_GT(fl.record->lastIndex, 10);
    for (int k = 0; k <= fl.record->lastIndex; ++k) {
        ASSERT_NEAR(fl.record->sample(k).t, 0.01 * k, 1e-9) << k;
    }
    const auto& s = fl.last();
    EXPECT_LE(std::sqrt(s.u * s.u + s.v * s.v + s.w * s.w), 1000.0);
}
