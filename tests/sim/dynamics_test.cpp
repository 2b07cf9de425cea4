#include "sim_fixture.h"

#include "sim/checked.h"
#include "sim/dynamics.h"
#include "sim/flight_quantities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

using namespace skarvel;
using sim::FlightSample;
using sim::kPi;
using test::DefaultTables;
namespace row = data::input;

namespace {

// The default glider with every aerodynamic derivative but lift and drag set
// to zero, so single terms can be checked by hand.
sim::InputSet Plain() {
    DefaultTables f;
    f.prepare();
    sim::InputSet in = f.in;
    in.Cm0 = in.CLq = in.CLih = in.Cma = in.Cmq = in.Cmih = 0;
    in.Cyb = in.Cyp = in.Cyr = in.Cydr = 0;
    in.Clb = in.Clb_CL = in.Clp = in.Clr_CL = in.Cldr = 0;
    in.Cnb = in.Cnb_CL = in.Cnp_CL = in.Cnr = in.Cnr_CD = in.Cndr = 0;
    in.Cmb_it = in.Cmr_it = in.Cna_it = in.Cnq_it = in.Cl_iw = 0;
    in.zcg = in.ycg = 0;
    return in;
}

FlightSample Level(double u, double w = 0) {
    FlightSample s;
    s.u = u;
    s.w = w;
    s.z = -10;
    return s;
}

// Records the calls of the design-based laws and answers fixed values.
struct FakeLaws : sim::DesignAeroLaws {
    struct Calls {
        int wing = 0, tail = 0, drag = 0, moment = 0;
        double lastAlpha = 0, lastV = 0;
    };
    struct Evaluation : sim::AeroEvaluation {
        explicit Evaluation(Calls& c) : calls(c) {}
        Calls& calls;
        double wingMaxLift(double V) override {
            ++calls.wing;
            calls.lastV = V;
            return 1.1;
        }
        double tailMaxLift(double) override {
            ++calls.tail;
            return 0.7;
        }
        double flightDragCoefficient(double alpha, double) override {
            ++calls.drag;
            calls.lastAlpha = alpha;
            return 0.0625;
        }
        double stallPitchMoment(double, double) override {
            ++calls.moment;
            return -0.01;
        }
    };
    std::unique_ptr<sim::AeroEvaluation> startEvaluation() const override {
        return std::make_unique<Evaluation>(*calls);
    }
    std::unique_ptr<Calls> calls = std::make_unique<Calls>();
};

} // namespace

TEST(Dynamics, StillAirLeavesRelativeMotionEqualToInertial) {
    sim::InputSet in = Plain();
    in.windSpeed = 0;
    in.thermalStrength = 0;
    sim::Dynamics dyn(in, nullptr);
    FlightSample s = Level(10, 0.4);
    s.v = 0.3;
    s.p = 0.1;
    s.q = -0.2;
    s.r = 0.3;
    s.theta = 0.2;
    s.phi = 0.3;
    s.psi = 1.0;
    FlightSample d;
    dyn.evaluate(s, 1.0, d);
    EXPECT_EQ(s.ua, s.u);
    EXPECT_EQ(s.va, s.v);
    EXPECT_EQ(s.wa, s.w);
    EXPECT_EQ(s.pa, s.p);
    EXPECT_EQ(s.qa, s.q);
    EXPECT_EQ(s.ra, s.r);
    EXPECT_NEAR(dyn.airspeed(), std::sqrt(100 + 0.09 + 0.16), 1e-12);
}

TEST(Dynamics, LevelAttitudeMovesAlongBodyAxes) {
    sim::InputSet in = Plain();
    sim::Dynamics dyn(in, nullptr);
    FlightSample s = Level(8, 0.5);
    s.v = -0.25;
    FlightSample d;
    dyn.evaluate(s, 0, d);
    EXPECT_EQ(d.x, 8.0);
    EXPECT_EQ(d.y, -0.25);
    EXPECT_EQ(d.z, 0.5);
    // Gravity acts along body z only.
    FlightSample still = Level(8, 0);
    dyn.evaluate(still, 0, d);
    const double X = 0.5 * 1.2 * 64 * in.S * -still.CD;
    EXPECT_NEAR(d.u, X / in.mass, 1e-12);
}

TEST(Dynamics, ThermalCentreAndDrift) {
    sim::InputSet in = Plain();
    in.thermalStrength = 2;
    in.thermalRadius = 20;
    in.windSpeed = 0;
    sim::Dynamics dyn(in, nullptr);
    FlightSample s = Level(10);
    FlightSample d;
    dyn.evaluate(s, 0, d);
    // Rising air of 2 m/s at the centre: the glider meets it from below.
    EXPECT_DOUBLE_EQ(s.wa, 2.0);
    EXPECT_EQ(s.pa, 0.0);
    EXPECT_EQ(s.qa, 0.0);

    // One radius away the updraft is exp(-2.5) of the centre's; with wind the
    // centre has drifted by W t.
    in.windSpeed = 3;
    sim::Dynamics windy(in, nullptr);
    s = Level(10);
    s.x = 3 * 4.0 + 20;
    windy.evaluate(s, 4.0, d);
    EXPECT_NEAR(s.wa, 2 * std::exp(-2.5), 1e-12);
    EXPECT_NEAR(s.ua, 10 - 3, 1e-12);
    // The air turns at the updraft's gradient: level, q_a = q - dw/dx.
    const double h = 1e-4;
    const double dwdx =
        (sim::ThermalUpdraft(in, s.x + h, 0, 4.0) - sim::ThermalUpdraft(in, s.x - h, 0, 4.0)) /
        (2 * h);
    EXPECT_NEAR(s.qa, -dwdx, 1e-9);
}

TEST(Dynamics, ZeroDivisorsFailTheEvaluation) {
    FlightSample d;
    {
        sim::InputSet in = Plain();
        in.thermalRadius = 0; // even without any thermal strength
        sim::Dynamics dyn(in, nullptr);
        FlightSample s = Level(10);
        EXPECT_THROW(dyn.evaluate(s, 0, d), sim::ArithmeticError);
    }
    {
        sim::InputSet in = Plain();
        in.mass = 0;
        sim::Dynamics dyn(in, nullptr);
        FlightSample s = Level(10);
        EXPECT_THROW(dyn.evaluate(s, 0, d), sim::ArithmeticError);
    }
    {
        sim::InputSet in = Plain();
        in.Iyy = 0;
        sim::Dynamics dyn(in, nullptr);
        FlightSample s = Level(10);
        EXPECT_THROW(dyn.evaluate(s, 0, d), sim::ArithmeticError);
    }
    {
        sim::InputSet in = Plain();
        sim::Dynamics dyn(in, nullptr);
        FlightSample s = Level(0); // no airspeed
        EXPECT_THROW(dyn.evaluate(s, 0, d), sim::ArithmeticError);
        FlightSample up = Level(10);
        up.theta = kPi / 2; // cos theta is not exactly 0 here
        EXPECT_NO_THROW(dyn.evaluate(up, 0, d));
    }
    {
        sim::InputSet in = Plain();
        in.aw = 0;
        sim::Dynamics dyn(in, nullptr);
        FlightSample s = Level(10);
        EXPECT_THROW(dyn.evaluate(s, 0, d), sim::ArithmeticError);
    }
}

TEST(Dynamics, LiftIsClampedAtItsMaximum) {
    sim::InputSet in = Plain();
    sim::Dynamics dyn(in, nullptr);
    FlightSample s = Level(10, 3); // alpha about 17 degrees
    FlightSample d;
    dyn.evaluate(s, 0, d);
    const double V = std::sqrt(109.0);
    const double sa = 3 / V;
    const double alpha = std::asin(sa);
    const double CLmax = 0.8 * in.CLa / in.aw;
    const double CLw = in.aw * alpha;
    ASSERT_GT(in.CLa * alpha, CLmax);
    EXPECT_EQ(s.CL, CLmax);
    EXPECT_NEAR(s.CD, sa + CLw * CLw / (kPi * in.A * in.e), 1e-12);

    FlightSample neg = Level(10, -3);
    dyn.evaluate(neg, 0, d);
    EXPECT_EQ(neg.CL, -CLmax);
    EXPECT_NEAR(neg.CD, sa + CLw * CLw / (kPi * in.A * in.e), 1e-12); // -sin of a negative alpha

    // Unclamped: profile drag grows as the inverse square root of the airspeed.
    FlightSample small = Level(10, 0.1);
    dyn.evaluate(small, 0, d);
    const double V2 = std::sqrt(100.01);
    const double a2 = std::asin(0.1 / V2);
    const double CLw2 = in.aw * a2;
    EXPECT_NEAR(small.CL, in.CLa * a2, 1e-12);
    EXPECT_NEAR(small.CD, in.CD0 * std::sqrt(5 / V2) + CLw2 * CLw2 / (kPi * in.A * in.e), 1e-12);
}

TEST(Dynamics, SimpleStallAddsANoseDownMoment) {
    sim::InputSet in = Plain();
    sim::Dynamics dyn(in, nullptr);
    FlightSample d;
    auto pitchAccel = [&](double alpha) {
        FlightSample s = Level(10 * std::cos(alpha), 10 * std::sin(alpha));
        dyn.evaluate(s, 0, d);
        return d.q;
    };
    auto moment = [&](double alpha) { return pitchAccel(alpha) * in.Iyy / (60 * in.S * in.cbar); };
    const double alphaB = 0.42 / in.aw;
    // Just below the break the moment is zero (all pitch derivatives zeroed).
    EXPECT_NEAR(moment(alphaB * 0.999), 0.0, 1e-12);
    // Just above it: a small nose-down increment (|alpha| - alpha_b) k_s.
    const double a = alphaB + 0.002;
    EXPECT_NEAR(moment(a), (a - alphaB) * (-0.27 * in.aw), 1e-9);
    EXPECT_NEAR(moment(-a), -(a - alphaB) * (-0.27 * in.aw), 1e-9);
}

TEST(Dynamics, StalledWingSplitsWingAndTail) {
    sim::InputSet in = Plain();
    sim::Dynamics dyn(in, nullptr);
    FlightSample d;
    // The stalled wing holds its maximum lift; the tail still works in its
    // downwash (0.25) or has stalled as well (0.6, where the stall moment
    // is also at its limit). Pitch accelerations of the default glider.
    for (auto [alpha, pitch] :
         {std::pair{0.25, 133.85040703656017}, std::pair{0.6, 81.589385847797033},
          std::pair{-0.6, -81.589385847797033}}) {
        FlightSample s = Level(10 * std::cos(alpha), 10 * std::sin(alpha));
        dyn.evaluate(s, 0, d);
        EXPECT_NEAR(d.q, pitch, 1e-11) << alpha;
    }
}

TEST(Dynamics, SideslipAtZeroForwardSpeed) {
    sim::InputSet in = Plain();
    in.Cyb = 1;
    sim::Dynamics dyn(in, nullptr);
    FlightSample s;
    s.v = 4;
    s.z = -10;
    FlightSample d;
    dyn.evaluate(s, 0, d);
    const double qd = 0.5 * 1.2 * 16;
    EXPECT_NEAR(d.v, qd * in.S * (kPi / 2) / in.mass, 1e-9);
}

TEST(Dynamics, EulerAngleRatesFromTheBodyRates) {
    sim::InputSet in = Plain();
    sim::Dynamics dyn(in, nullptr);
    FlightSample s = Level(10);
    s.theta = 0.3;
    s.phi = 0.4;
    s.p = 0.1;
    s.q = 0.2;
    s.r = 0.3;
    FlightSample d;
    dyn.evaluate(s, 0, d);
    const double t = std::tan(0.3);
    EXPECT_NEAR(d.phi, 0.1 + 0.2 * std::sin(0.4) * t + 0.3 * std::cos(0.4) * t, 1e-12);
    EXPECT_NEAR(d.theta, 0.2 * std::cos(0.4) - 0.3 * std::sin(0.4), 1e-15);
    EXPECT_NEAR(d.psi, (0.2 * std::sin(0.4) + 0.3 * std::cos(0.4)) / std::cos(0.3), 1e-12);
}

TEST(Dynamics, PitchTangentSubstituteForACosineOfZero) {
    EXPECT_EQ(sim::PitchTangent(1.0, 0.0), 1000.0);
    EXPECT_EQ(sim::PitchTangent(-1.0, 0.0), 1000.0);
    EXPECT_EQ(sim::PitchTangent(std::sin(0.3), std::cos(0.3)), std::sin(0.3) / std::cos(0.3));
}

TEST(Dynamics, DesignLawsReplaceDragAndMaxima) {
    sim::InputSet in = Plain();
    in.CD0 = 0;
    FakeLaws laws;
    sim::Dynamics dyn(in, &laws);
    FlightSample d;
    FlightSample s = Level(10, 0.5);
    dyn.evaluate(s, 0, d);
    EXPECT_EQ(s.CD, 0.0625);
    EXPECT_EQ(laws.calls->wing, 1);
    EXPECT_EQ(laws.calls->moment, 1);
    EXPECT_EQ(laws.calls->tail, 0); // the wing is not stalled
    EXPECT_NEAR(laws.calls->lastAlpha, std::asin(0.5 / std::sqrt(100.25)), 1e-15);
    EXPECT_DOUBLE_EQ(laws.calls->lastV, std::sqrt(100.25));

    FlightSample stall = Level(10 * std::cos(0.4), 10 * std::sin(0.4));
    dyn.evaluate(stall, 0, d);
    EXPECT_EQ(laws.calls->tail, 1);
    EXPECT_EQ(stall.CL, 1.1 * in.CLa / in.aw); // clamped at the law's maximum
    EXPECT_EQ(stall.CD, 0.0625);

    sim::Dynamics noDesign(in, nullptr);
    EXPECT_THROW(noDesign.evaluate(s, 0, d), sim::NoDesignError);
}
