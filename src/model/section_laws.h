#pragma once
// Section aerodynamics of thin paper surfaces: Reynolds number, stall limits,
// profile drag and the pitching moment beyond the stall break.

namespace skarvel::model {

// The section a law is evaluated for: camber in percent of the chord, the two
// edge thicknesses e1 and e2, the thickness t and the chord c (mm).
struct Section {
    double camber = 0;
    double e1 = 0;
    double t = 0;
    double e2 = 0;
    double c = 0;
};

// V in m/s, c in mm.
double ReynoldsNumber(double speed, double chord);

double MaxLiftCoefficient(double reynolds, const Section& s);
double MinLiftCoefficient(double reynolds, const Section& s);
double MinDragLiftCoefficient(double reynolds, const Section& s);

// Profile drag coefficient at lift coefficient CL and airspeed V; 0 when its
// arithmetic fails (a zero chord or speed).
double ProfileDrag(double CL, double speed, const Section& s);

double StallPitchIncrement(double CL, double reynolds, const Section& s);

} // namespace skarvel::model
