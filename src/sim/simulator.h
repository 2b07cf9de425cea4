#pragma once
// Integrates one flight with the classical fourth-order Runge-Kutta step.

#include "sim/aero_laws.h"
#include "sim/flight_record.h"
#include "sim/input_set.h"

namespace skarvel::sim {

class Dynamics;

// Told about the flight while it is computed. The default does nothing.
class RunObserver {
  public:
    virtual ~RunObserver() = default;
    // A sample was stored at a 50 ms point: live charts and the trajectory
    // step. `airspeed` is that of the most recent evaluation.
    virtual void sampleStored(const FlightRecord& record, int index, double airspeed);
    // Once per simulated second; may let the window process its events.
    // Returns true when the flight must stop.
    virtual bool secondElapsed();
};

// One step of the classical fourth-order Runge-Kutta method over the twelve
// integrated states, every stage evaluated at the step's start time. The
// stages are kept between steps, as a flight keeps them.
class Rk4Stepper {
  public:
    // Evaluates `s` (which gets its air-relative values, CL and CD) and
    // advances it by `dt`. Throws ArithmeticError (or NoDesignError) when an
    // evaluation fails or a state stops being finite.
    void step(Dynamics& dynamics, FlightSample& s, double t, double dt);
    // The rates at the state the last step started from.
    const FlightSample& rates() const { return k1_; }

  private:
    FlightSample k1_, k2_, k3_, k4_, s2_, s3_, s4_;
};

// Radians to degrees folded into -180 .. 180.
double WrapDegrees(double radians);

// Runs a flight from in.initial. A launch below the ground (initial z > 0)
// integrates nothing and leaves record and statistics as they were. Throws
// ArithmeticError (or NoDesignError) when an evaluation fails; the record then
// holds the samples stored so far. Returns the final simulated time.
double RunFlight(const InputSet& in, const DesignAeroLaws* laws, FlightRecord& record,
                 RunStatistics& stats, RunObserver& observer);

} // namespace skarvel::sim
