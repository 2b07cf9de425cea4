#pragma once
// Integrates one flight with the classical fourth-order Runge-Kutta step.

#include "sim/aero_laws.h"
#include "sim/flight_record.h"
#include "sim/input_set.h"

namespace skarvel::sim {

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

// Radians to degrees folded into -180 .. 180.
double WrapDegrees(double radians);

// Runs a flight from in.initial. A launch below the ground (initial z > 0)
// integrates nothing and leaves record and statistics as they were. Throws
// ArithmeticError (or NoDesignError) when an evaluation fails; the record then
// holds the samples stored so far. Returns the final simulated time.
double RunFlight(const InputSet& in, const DesignAeroLaws* laws, FlightRecord& record,
                 RunStatistics& stats, RunObserver& observer);

} // namespace skarvel::sim
