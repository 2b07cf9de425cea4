// The whole aircraft: tail layouts, ballast and the flight-time laws.

#include "model_fixture.h"
#include "sim/sim_fixture.h"

#include "sim/estimate.h"
#include "sim/input_set.h"
#include "sim/load.h"
#include "sim/simulator.h"

#include "common/golden.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

using namespace skarvel;
using sim::kPi;
using test::CleanText;
using test::DesignTables;
namespace dz = data::design;

TEST(TailLayouts, EachTypeAdjustsItsFin) {
    auto with = [](const char* type) {
        auto f = std::make_unique<DesignTables>();
        f->set(dz::VerticalTail, dz::Type, type);
        f->set(dz::VerticalTail, dz::Dihedral, "0");
        f->compute();
        return f;
    };
    const auto normal = with("通常尾翼");
    const auto twin = with("双垂直尾翼");
    const auto vtail = with("Ｖ尾翼");
    const auto canard = with("先尾翼");
    ASSERT_EQ(normal->model.design().tailType, model::TailType::Normal);
    ASSERT_EQ(canard->model.design().tailType, model::TailType::Canard);
    const auto& vn = normal->model.verticalTail();
    const auto& vt = twin->model.verticalTail();
    EXPECT_NEAR(vt.projectedArea, 2 * vn.projectedArea, 1e-12);
    EXPECT_NEAR(vt.mass, 2 * vn.mass, 1e-12);
    EXPECT_NEAR(vt.efficiency / vn.efficiency, 1.275 / 1.55, 1e-12);
    EXPECT_NEAR(vn.effectiveAspectRatio, vn.aspectRatio * vn.efficiency, 1e-12);
    // Twin fins at the tips widen the tail plane's effective span.
    const auto& ht = twin->model.horizontalTail();
    const auto& hn = normal->model.horizontalTail();
    EXPECT_NEAR(ht.efficiency, hn.efficiency * (20.0 / 2 + 64) / 64, 1e-12);
    // The V tail's fin is the tail plane seen from the side; it has no mass of its own.
    const auto& vv = vtail->model.verticalTail();
    EXPECT_EQ(vv.mass, 0.0);
    EXPECT_EQ(vv.rollInertia, 0.0);
    EXPECT_EQ(vv.developedArea, 0.0);
    EXPECT_EQ(vv.cd0, 0.0);
    EXPECT_NEAR(vtail->model.design().verticalTail.span, std::sin(27.5 * kPi / 180) * 32, 1e-12);
    // A canard's foreplane sits ahead of the centre of gravity.
    EXPECT_LT(canard->model.aircraft().tailArmH, 0.0);
    EXPECT_GT(normal->model.aircraft().tailArmH, 0.0);
    EXPECT_GT(normal->model.aircraft().hn, 0.25);
    for (const auto* f : {normal.get(), twin.get(), vtail.get(), canard.get()}) {
        for (int r = 1; r < data::computed::kRows; ++r) {
            for (int c = 1; c <= 5; ++c) {
                EXPECT_TRUE(CleanText(f->computed(c, r)));
            }
        }
    }
}

TEST(Ballast, BalancedDesignNeedsNoneAndNoseHeavyGetsTailBallast) {
    DesignTables f;
    f.compute();
    const auto& a = f.model.aircraft();
    const double xWing = f.model.balanceStations().wing;
    const double xcg = xWing + 26.817;
    // The components' own centre of gravity, from the nose ballast that moved it.
    const double own = xcg + a.ballastMass * (xcg - 5) / (a.totalMass - a.ballastMass);
    f.set(dz::Fuselage, dz::CgPosition, data::FormatSignificant(17, true, own - xWing));
    f.compute();
    EXPECT_NEAR(f.model.aircraft().ballastMass, 0.0, 1e-9);

    f.set(dz::Fuselage, dz::CgPosition, "60"); // wanted far aft of the components' centre
    f.compute();
    const double m = f.model.aircraft().ballastMass;
    EXPECT_GT(m, 0.0);
    const double L = 190;
    const double target = xWing + 60;
    const double u = (f.model.aircraft().totalMass - m) * (own - target);
    EXPECT_NEAR(u + m * ((L - 5) - target), 0.0, 1e-9);
}

TEST(FlightLaws, ZeroIncidenceAtGlideSpeedIsTheZeroLiftDrag) {
    DesignTables f;
    f.compute();
    const auto& m = f.model;
    const auto laws = m.startEvaluation();
    const double total = m.aircraft().totalCd0;
    EXPECT_NEAR(laws->flightDragCoefficient(0, 5), total, 1e-15);
    EXPECT_GT(laws->flightDragCoefficient(0.4, 5), total); // a stalled wing
    // The default wing's section at its mean chord: more lift at more speed.
    EXPECT_NEAR(laws->wingMaxLift(6), 0.87266234951388266, 1e-15);
    EXPECT_NEAR(laws->wingMaxLift(3), 0.85430952991111797, 1e-15);
    EXPECT_EQ(laws->stallPitchMoment(0.01, 6), 0.0); // below the break
    EXPECT_LT(laws->stallPitchMoment(0.4, 6), 0.0);  // nose down beyond it
}

// On the design's laws too a glider loses energy in still air, even flying
// backwards: with the tail set to -0.5 the default design pitches up, slides
// back and dives tail first, then recovers and glides on.
TEST(FlightLaws, StillAirNeverAddsEnergy) {
    DesignTables f;
    f.convert();
    f.tables.input.setCell(data::input::kValueColumn, data::input::Altitude, "300");
    f.tables.input.setCell(data::input::kValueColumn, data::input::TailSetting, "-0.5");
    sim::InputSet in;
    ASSERT_TRUE(sim::EstimateDerivatives(f.tables.input, f.tables.parameter, in));
    sim::LoadInputSet(f.tables.input, f.tables.parameter, in);
    auto record = std::make_unique<sim::FlightRecord>();
    sim::RunStatistics stats;
    sim::RunObserver quiet;
    sim::RunFlight(in, &f.model, *record, stats, quiet);
    EXPECT_EQ(record->lastIndex, sim::FlightRecord::kMaxSamples);
    EXPECT_LT(test::LargestEnergyRise(*record), 0.05);
}

// A 90 s flight on the laws of each tail layout, with a fin whose section
// differs from the tail's (a V tail's halves share the tail's), launched high so that it flies the
// whole record: the samples it kept, a digest of every bit of the record and the last position. The
// golden file was written before the drag laws were batched; a change in any bit of any evaluation
// shows here. The canard slides backwards for a moment after its launch (u_a < 0 at 1.14 s): its
// line was written again when the axial force learned to turn with reversed flow.
TEST(FlightLaws, DesignFlightsGolden) {
    std::string text;
    for (const char* type : {"通常尾翼", "双垂直尾翼", "Ｖ尾翼", "先尾翼"}) {
        DesignTables f;
        f.set(dz::VerticalTail, dz::Type, type);
        f.set(dz::VerticalTail, dz::RootChord, "24"); // a fin unlike the tail, but in a V tail
        f.convert();
        f.tables.input.setCell(data::input::kValueColumn, data::input::Altitude, "2000");
        sim::InputSet in;
        ASSERT_TRUE(sim::EstimateDerivatives(f.tables.input, f.tables.parameter, in));
        sim::LoadInputSet(f.tables.input, f.tables.parameter, in);
        ASSERT_LE(in.CD0, 0.0); // on the design's laws
        auto record = std::make_unique<sim::FlightRecord>();
        sim::RunStatistics stats;
        sim::RunObserver quiet;
        sim::RunFlight(in, &f.model, *record, stats, quiet);
        const std::uint64_t digest =
            test::Digest(record->slots.data(), sizeof(sim::FlightSample) * (record->lastIndex + 2));
        const sim::FlightSample& last = record->sample(record->lastIndex);
        char line[256];
        std::snprintf(line, sizeof line, "%s %d %016llx %a %a %a\n", type, record->lastIndex,
                      static_cast<unsigned long long>(digest), last.x, last.y, last.z);
        text += line;
    }
    EXPECT_EQ(text, test::Golden(__FILE__, "design_flights.golden", text));
}
