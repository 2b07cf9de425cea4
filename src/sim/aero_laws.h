#pragma once
// The flight-time aerodynamic laws of a design. The equations of motion call
// them when the minimum drag coefficient is not above 0; the aircraft model
// implements them on the current design.

namespace skarvel::sim {

class DesignAeroLaws {
  public:
    virtual ~DesignAeroLaws() = default;
    virtual double wingMaxLift(double airspeed) = 0;
    virtual double tailMaxLift(double airspeed) = 0;
    virtual double flightDragCoefficient(double alpha, double airspeed) = 0;
    virtual double stallPitchMoment(double alpha, double airspeed) = 0;
};

} // namespace skarvel::sim
