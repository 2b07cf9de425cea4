#pragma once
// The flight-time aerodynamic laws of a design. The equations of motion call
// them when the minimum drag coefficient is not above 0; the aircraft model
// implements them on the current design.

#include <memory>

namespace skarvel::sim {

// The laws as one flight evaluates them. An evaluation keeps what it worked
// out last (the Reynolds terms of the last airspeed) as its own scratch
// state: it belongs to one flight and is never shared between threads.
class AeroEvaluation {
  public:
    virtual ~AeroEvaluation() = default;
    virtual double wingMaxLift(double airspeed) = 0;
    virtual double tailMaxLift(double airspeed) = 0;
    virtual double flightDragCoefficient(double alpha, double airspeed) = 0;
    virtual double stallPitchMoment(double alpha, double airspeed) = 0;
};

// A design's laws. They do not change once built: one object may be shared
// by any number of flights on any threads, each flight starting its own
// evaluation.
class DesignAeroLaws {
  public:
    virtual ~DesignAeroLaws() = default;
    virtual std::unique_ptr<AeroEvaluation> startEvaluation() const = 0;
};

} // namespace skarvel::sim
