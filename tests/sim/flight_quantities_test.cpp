#include "sim/checked.h"
#include "sim/flight_quantities.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace skarvel;
using sim::FlightSample;

namespace {

sim::InputSet Thermal(double strength, double radius, double wind) {
    sim::InputSet in;
    in.thermalStrength = strength;
    in.thermalRadius = radius;
    in.windSpeed = wind;
    return in;
}

TEST(ThermalUpdraft, FallsOffFromACentreThatDriftsWithTheWind) {
    const sim::InputSet in = Thermal(2, 20, 3);
    // At t = 4 the centre is at x = 12.
    EXPECT_EQ(sim::ThermalUpdraft(in, 12, 0, 4), 2.0);
    EXPECT_DOUBLE_EQ(sim::ThermalUpdraft(in, 32, 0, 4), 2 * std::exp(-2.5));
    EXPECT_DOUBLE_EQ(sim::ThermalUpdraft(in, 12, -20, 4), 2 * std::exp(-2.5));
    EXPECT_DOUBLE_EQ(sim::ThermalUpdraft(in, 0, 0, 4), 2 * std::exp(-2.5 * 0.36));
    // Far out the updraft vanishes but never turns into sink.
    EXPECT_EQ(sim::ThermalUpdraft(in, 1e6, 0, 0), 0.0);
}

TEST(ThermalUpdraft, ZeroRadiusFailsEvenWhereTheUpdraftWouldVanish) {
    EXPECT_THROW(sim::ThermalUpdraft(Thermal(2, 0, 0), 5, 0, 0), sim::ArithmeticError);
    EXPECT_THROW(sim::ThermalUpdraft(Thermal(0, 0, 0), 0, 0, 0), sim::ArithmeticError);
}

FlightSample Attitude(double u, double v, double w, double theta, double phi) {
    FlightSample s;
    s.u = u;
    s.v = v;
    s.w = w;
    s.theta = theta;
    s.phi = phi;
    return s;
}

TEST(SinkRate, EarthVerticalPartOfTheBodyVelocity) {
    // Level: w is the sink rate; nose up: u climbs; banked 90 degrees: v sinks.
    EXPECT_EQ(sim::SinkRate(Attitude(10, 0, 0.5, 0, 0)), 0.5);
    EXPECT_DOUBLE_EQ(sim::SinkRate(Attitude(10, 0, 0, std::asin(0.1), 0)), -1.0);
    EXPECT_DOUBLE_EQ(sim::SinkRate(Attitude(0, 2, 0, 0, std::asin(1.0))), 2.0);
    EXPECT_DOUBLE_EQ(sim::SinkRateTermByTerm(Attitude(10, 0, 0, std::asin(0.1), 0)), -1.0);
    EXPECT_DOUBLE_EQ(sim::SinkRateTermByTerm(Attitude(0, 2, 0, 0, std::asin(1.0))), 2.0);
}

TEST(SinkRate, TheTwoOperationOrdersDifferInTheLastBit) {
    // Why both exist: the history row and the marker table would otherwise
    // change their texts for some samples.
    const FlightSample s = Attitude(0.1, 0.1, 0.1, 0.1, 1.5);
    EXPECT_NE(sim::SinkRate(s), sim::SinkRateTermByTerm(s));
    EXPECT_NEAR(sim::SinkRate(s), sim::SinkRateTermByTerm(s), 1e-16);
}

TEST(Milliseconds, NearestWholeMillisecond) {
    // Sums of time steps miss the decimal times by a little either way.
    EXPECT_EQ(sim::Milliseconds(0.1 + 0.2), 300);
    EXPECT_EQ(sim::Milliseconds(0.7 - 0.005), 695);
    EXPECT_EQ(sim::Milliseconds(1.0004999), 1000);
    EXPECT_EQ(sim::Milliseconds(1.0005), 1001);
    EXPECT_EQ(sim::Milliseconds(0), 0);
}

} // namespace
