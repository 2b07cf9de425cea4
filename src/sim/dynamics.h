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
    const InputSet in_; // a copy: the run must not see the window change it
    std::unique_ptr<AeroEvaluation> laws_;
    double airspeed_ = 0;
    bool liftHeld_ = false;
    bool wingStalled_ = false;
    // Values that stay the same through a run, worked out once. A zero divisor
    // among them still fails every evaluation.
    bool constantsFailed_ = false;
    double alphaBreak_ = 0;    // 0.42 / a_w
    double piAe_ = 0;          // pi A e
    double radiusSquared_ = 0; // R_th^2
    double simpleMaxLift_ = 0; // 0.8 CLa / a_w
};

} // namespace skarvel::sim
