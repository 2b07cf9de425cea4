#include "sim/dynamics.h"

#include "sim/checked.h"
#include "sim/flight_quantities.h"

#include <cmath>

namespace skarvel::sim {

namespace {

double sgn(double x) {
    return x >= 0 ? 1.0 : -1.0;
}

} // namespace

Dynamics::Dynamics(const InputSet& in, const DesignAeroLaws* laws)
    : in_(in), laws_(laws != nullptr ? laws->startEvaluation() : nullptr) {
    piAe_ = kPi * in.A * in.e;
    radiusSquared_ = in.thermalRadius * in.thermalRadius;
    try {
        alphaBreak_ = checkedDiv(0.42, in.aw);
        simpleMaxLift_ = checkedDiv(0.8 * in.CLa, in.aw);
    } catch (const ArithmeticError&) {
        constantsFailed_ = true;
    }
}

void Dynamics::evaluate(FlightSample& s, double t, FlightSample& d) {
    const InputSet& in = in_;
    const bool simple = in.CD0 > 0;
    if (!simple && laws_ == nullptr) {
        throw NoDesignError();
    }
    if (constantsFailed_) {
        ThrowArithmetic("division by zero");
    }

    // Stall constants of the simple model.
    const double alphaB = alphaBreak_;
    const double ks = -0.27 * in.aw;

    const double spsi = std::sin(s.psi), cpsi = std::cos(s.psi);
    const double sth = std::sin(s.theta), cth = std::cos(s.theta);
    const double sphi = std::sin(s.phi), cphi = std::cos(s.phi);
    const double tanth = PitchTangent(sth, cth);

    // Earth-to-body rotation, one body axis per row.
    const double r11 = cth * cpsi, r12 = cth * spsi, r13 = -sth;
    const double r21 = sphi * sth * cpsi - cphi * spsi;
    const double r22 = sphi * sth * spsi + cphi * cpsi;
    const double r23 = sphi * cth;
    const double r31 = cphi * sth * cpsi + sphi * spsi;
    const double r32 = cphi * sth * spsi - sphi * cpsi;
    const double r33 = cphi * cth;

    // The air moves with the wind and rises in the thermal (Wz points down).
    // It turns at the gradient of Wz: Omega = (dWz/dy, -dWz/dx, 0), and the
    // gradient of the updraft is -2 kThermalFalloff / R^2 times the updraft
    // times the offset from the centre (x - W t, y).
    const double W = in.windSpeed;
    const double Wz = -ThermalUpdraft(in, s.x, s.y, t);
    const double ell = checkedDiv(2 * kThermalFalloff * (-Wz), radiusSquared_);
    const double omx = ell * s.y;
    const double omy = ell * (W * t - s.x);
    const double omz = 0.0;

    s.ua = s.u - (r11 * W + r12 * 0.0 + r13 * Wz);
    s.va = s.v - (r21 * W + r22 * 0.0 + r23 * Wz);
    s.wa = s.w - (r31 * W + r32 * 0.0 + r33 * Wz);
    s.pa = s.p - std::fabs(cphi * cth) * (r11 * omx + r12 * omy + r13 * omz);
    s.qa = s.q - std::fabs(cphi * cth) * (r21 * omx + r22 * omy + r23 * omz);
    s.ra = s.r - std::fabs(sphi * cth) * (r31 * omx + r32 * omy + r33 * omz);

    const double V = std::sqrt(s.ua * s.ua + s.va * s.va + s.wa * s.wa);
    airspeed_ = V;
    const double sa = V == 0.0 ? 0.0 : s.wa / V;
    const double alpha = checkedAsin(sa);
    const double ca = std::cos(alpha);
    double beta = 0.0;
    if (s.ua != 0.0) {
        beta = std::atan(checkedDiv(s.va, s.ua));
    } else if (s.va > 0.0) {
        beta = kPi / 2;
    } else if (s.va < 0.0) {
        beta = -kPi / 2;
    }

    const double ph = checkedDiv((in.b / 2) * s.pa, V);
    const double qh = checkedDiv((in.cbar / 2) * s.qa, V);
    const double rh = checkedDiv((in.b / 2) * s.ra, V);

    const double kw = simple ? 0.8 : laws_->wingMaxLift(V);
    const double CLmax = simple ? simpleMaxLift_ : checkedDiv(kw * in.CLa, in.aw);

    double CL = in.CLa * alpha + in.CLq * qh + in.CLih * in.ih;
    const double CLw = in.aw * alpha;
    const double piAe = piAe_;
    const double Di = checkedDiv(CLw * CLw, piAe);
    double CD;
    liftHeld_ = CL > CLmax || CL < -CLmax;
    if (CL > CLmax) {
        CL = CLmax;
        CD = sa + Di;
    } else if (CL < -CLmax) {
        CL = -CLmax;
        CD = -sa + Di;
    } else {
        CD = in.CD0 * std::sqrt(checkedDiv(5.0, V)) + Di;
    }
    if (!simple) {
        CD = laws_->flightDragCoefficient(alpha, V);
    }
    s.CL = CL;
    s.CD = CD;

    // alpha = asin(w_a / V) never tells a glider flying backwards (u_a < 0)
    // from one flying forwards, so the axial force turns with the flow: drag
    // then opposes the air-relative velocity and lift stays across it, as on
    // a flat plate in reversed flow. The moments take the turned CX as well.
    const double CXforward = CL * sa - CD * ca;
    const double CX = s.ua < 0 ? -CXforward : CXforward;
    const double CZ = -CL * ca - CD * sa;
    const double CY = in.Cyb * beta + in.Cyp * ph + in.Cyr * rh + in.Cydr * in.iv;

    // Pitching moment with the stall model.
    double cm0 =
        in.Cmq * qh + in.Cmih * in.ih + in.Cm0 + in.Cmb_it * beta * in.it + in.Cmr_it * rh * in.it;
    double kt = 0.8;
    double Cm = 0;
    bool stalled = false;
    if (simple) {
        if (std::fabs(CLw) <= 0.42) {
            Cm = cm0 + in.Cma * alpha;
        } else {
            double dCm = (std::fabs(alpha) - alphaB) * ks * sgn(alpha);
            if (std::fabs(dCm) > 0.25) {
                dCm = -0.25 * sgn(alpha);
            }
            cm0 = cm0 + dCm;
            if (std::fabs(CLw) < kw) {
                Cm = cm0 + in.Cma * alpha;
            } else {
                stalled = true;
            }
        }
    } else {
        cm0 = cm0 + laws_->stallPitchMoment(alpha, V);
        if (std::fabs(CLw) < kw) {
            Cm = cm0 + in.Cma * alpha;
        } else {
            kt = laws_->tailMaxLift(V);
            stalled = true;
        }
    }
    wingStalled_ = stalled;
    if (stalled) {
        // Wing and tail taken apart: the stalled wing holds its maximum lift at
        // the centre of gravity, the tail works in the wing's downwash.
        const double CLt = checkedDiv(in.CLih * in.S, in.St) * (alpha - checkedDiv(2 * kw, piAe));
        const double Tw = sgn(CLw) * kw * in.h;
        if (std::fabs(CLt) < kt) {
            Cm = cm0 + Tw - checkedDiv(in.St, in.S) * CLt * (in.L - in.h);
        } else {
            Cm = cm0 + Tw - sgn(CLt) * kt * checkedDiv(in.St, in.S) * (in.L - in.h);
        }
    }
    Cm = Cm - in.zcg * CX;

    double Cl = in.Clb * beta + in.Clb_CL * CL * beta + in.Clp * ph + in.Clr_CL * CL * rh +
                in.Cldr * in.iv + in.Cl_iw * in.iw;
    Cl = Cl - CZ * in.ycg;

    double Cn = (in.Cnb + in.Cnb_CL * CL) * beta + in.Cnp_CL * CL * ph +
                (in.Cnr + in.Cnr_CD * CD) * rh + in.Cndr * in.iv + in.Cna_it * alpha * in.it +
                in.Cnq_it * qh * in.it;
    Cn = Cn + CX * in.ycg;

    const double qd = 0.5 * kAirDensity * V * V;
    const double X = qd * in.S * CX;
    const double Y = qd * in.S * CY;
    const double Z = qd * in.S * CZ;
    const double Lm = qd * in.S * in.b * Cl;
    const double Mm = qd * in.S * in.cbar * Cm;
    const double Nm = qd * in.S * in.b * Cn;

    d.u = -s.q * s.w + s.r * s.v - kGravity * sth + checkedDiv(X, in.mass);
    d.v = -s.r * s.u + s.p * s.w + kGravity * cth * sphi + checkedDiv(Y, in.mass);
    d.w = -s.p * s.v + s.q * s.u + kGravity * cth * cphi + checkedDiv(Z, in.mass);

    d.p = checkedDiv(Lm - (in.Izz - in.Iyy) * s.q * s.r, in.Ixx);
    d.q = checkedDiv(Mm - (in.Ixx - in.Izz) * s.r * s.p, in.Iyy);
    d.r = checkedDiv(Nm - (in.Iyy - in.Ixx) * s.p * s.q, in.Izz);

    d.x = s.u * (cth * cpsi) + s.v * (sphi * sth * cpsi - cphi * spsi) +
          s.w * (cphi * sth * cpsi + sphi * spsi);
    d.y = s.u * (cth * spsi) + s.v * (sphi * sth * spsi + cphi * cpsi) +
          s.w * (cphi * sth * spsi - sphi * cpsi);
    d.z = -s.u * sth + s.v * sphi * cth + s.w * cphi * cth;

    d.phi = s.p + s.q * sphi * tanth + s.r * cphi * tanth;
    d.theta = s.q * cphi - s.r * sphi;
    d.psi = checkedDiv(s.q * sphi, cth) + checkedDiv(s.r * cphi, cth);
}

} // namespace skarvel::sim
