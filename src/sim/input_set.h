#pragma once
// Every value the equations of motion consume, in SI units.

#include "sim/flight_record.h"
#include "sim/units.h"

namespace skarvel::sim {

inline constexpr double kTimeStep = 0.005; // s
inline constexpr double kGravity = 9.8;    // m/s^2
inline constexpr double kAirDensity = 1.2; // kg/m^3

struct InputSet {
    // Environment.
    double windSpeed = 0;       // W, along +x of the earth frame
    double thermalStrength = 0; // w_th, updraft at the thermal centre
    double thermalRadius = 0;   // R_th

    // Launch.
    double launchSpeed = 0;   // V_0, m/s
    double climbAngle = 0;    // gamma, rad
    double bankAngle = 0;     // rad
    double heading = 0;       // rad
    double angleOfAttack = 0; // alpha_0, rad
    double sideslip = 0;      // beta_0, rad
    FlightSample initial;     // the launch state formed from the above

    // Settings.
    double ih = 0, it = 0, iv = 0, iw = 0; // tail, stabiliser tilt, fin, wing twist; rad
    double zcg = 0, ycg = 0;               // centre-of-gravity offsets, fractions

    // Reference geometry and mass properties.
    double S = 0, b = 0, mass = 0;
    double Ixx = 0, Iyy = 0, Izz = 0;
    double hn = 0, h = 0, hnreal = 0; // from the quarter chord, fractions of the mean chord
    double cbar = 0, A = 0, e = 0;

    // Stability derivatives.
    double CD0 = 0, Cm0 = 0, CLa = 0, CLq = 0, CLih = 0, Cma = 0, Cmq = 0, Cmih = 0;
    double Cyb = 0, Cyp = 0, Cyr = 0, Cydr = 0;
    double Clb = 0, Clb_CL = 0, Clp = 0, Clr_CL = 0, Cldr = 0;
    double Cnb = 0, Cnb_CL = 0, Cnp_CL = 0, Cnr = 0, Cnr_CD = 0, Cndr = 0;
    double Cmb_it = 0, Cmr_it = 0, Cna_it = 0, Cnq_it = 0, Cl_iw = 0;

    // Set only by the derivative estimate, at full precision, for the stall model.
    double aw = 0;    // wing lift slope
    double atEff = 0; // effective tail lift slope
    double St = 0;    // horizontal tail area
    double L = 0;     // tail arm over mean chord
};

} // namespace skarvel::sim
