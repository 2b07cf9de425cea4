#pragma once
// The derivative function: air-relative motion through wind and thermal,
// aerodynamic coefficients with the stall model, forces, moments and the
// rates of the twelve integrated states.

#include "sim/aero_laws.h"
#include "sim/flight_record.h"
#include "sim/input_set.h"

#include <memory>
#include <stdexcept>

namespace skarvel::sim {

// A flight that needs the design-based model while no design is there.
class NoDesignError : public std::runtime_error {
  public:
    NoDesignError() : std::runtime_error("the design-based aerodynamic model has no design") {}
};

// tan theta from its sine and cosine for the roll-angle rate; a cosine of
// exactly 0 gives 1000 in its place. (No finite angle has a cosine of
// exactly 0: at ±90° the quotient of the tiny cosine is used.)
inline double PitchTangent(double sth, double cth) {
    return cth == 0.0 ? 1000.0 : sth / cth;
}

class Dynamics {
  public:
    // `laws` may be null; the design-based model then fails the evaluation.
    // The dynamics evaluate the laws with scratch state of their own: one
    // object belongs to one flight (or one analysis) and one thread.
    Dynamics(const InputSet& in, const DesignAeroLaws* laws);

    // Writes the rates into `rates` (u..r and x..phi are meaningful) and the
    // air-relative values, CL and CD into `state`. Throws ArithmeticError.
    void evaluate(FlightSample& state, double t, FlightSample& rates);

    // Airspeed of the most recent evaluation.
    double airspeed() const { return airspeed_; }
    // Whether the most recent evaluation was stalled: CL held at its maximum,
    // or the wing past its maximum lift so that the stalled-wing moment applied.
    bool stalled() const { return liftHeld_ || wingStalled_; }

  private:
    struct Attitude;
    struct Flow;
    struct Coefficients;

    // Each step below is one part of evaluate(), in the order it runs.
    // The air-relative velocities and rates through wind and thermal, into s.
    void moveWithAir(FlightSample& s, double t, const Attitude& a) const;
    // Airspeed, angles of attack and sideslip, nondimensional rates.
    Flow flowOf(const FlightSample& s);
    // CL, held at its maximum, and CD, into s.
    void liftAndDrag(FlightSample& s, const Flow& f, bool simple, double kw, double CLw);
    // The pitching moment with the stall model; kw is the wing's maximum lift.
    double pitchMoment(const Flow& f, bool simple, double kw, double CLw);
    // The moment once the wing has stalled; kt is the tail's maximum lift.
    double stalledWingMoment(double cm0, double alpha, double CLw, double kw, double kt) const;
    // The force and moment coefficients in body axes.
    Coefficients coefficients(const FlightSample& s, const Flow& f, double Cm) const;
    // The rates of the twelve states.
    void writeRates(const FlightSample& s, const Attitude& a, double V, const Coefficients& c,
                    FlightSample& d) const;

    const InputSet in_; // a copy: the run must not see the window change it
    std::unique_ptr<AeroEvaluation> laws_;
    double airspeed_ = 0;
    bool liftHeld_ = false;
    bool wingStalled_ = false;
    // Values that stay the same through a run, worked out once. A zero divisor
    // among them still fails every evaluation.
    bool constantsFailed_ = false;
    double alphaBreak_ = 0;    // kBreakLift / a_w
    double piAe_ = 0;          // pi A e
    double radiusSquared_ = 0; // R_th^2
    double simpleMaxLift_ = 0; // kWingMaxLift CLa / a_w
};

} // namespace skarvel::sim
