#include "sim/dynamics.h"

#include "sim/checked.h"
#include "sim/flight_quantities.h"

#include <cmath>

namespace skarvel::sim {

namespace {

// The simple model's stall. The pitching moment breaks once the wing's lift
// coefficient a_w alpha passes kBreakLift: beyond the break it changes by
// kBreakMomentSlope a_w per radian of angle of attack, by no more than
// kBreakMomentLimit. The wing and the tail lift at most kWingMaxLift and
// kTailMaxLift (as coefficients of their own areas).
constexpr double kBreakLift = 0.42;
constexpr double kBreakMomentSlope = -0.27;
constexpr double kBreakMomentLimit = 0.25;
constexpr double kWingMaxLift = 0.8;
constexpr double kTailMaxLift = 0.8;
// The simple model's profile drag is CD0 at this airspeed (m/s) and grows as
// 1 / sqrt(V) below it.
constexpr double kProfileDragSpeed = 5.0;

double sgn(double x) {
    return x >= 0 ? 1.0 : -1.0;
}

// The simple model's change of the pitching moment beyond the break.
double BreakMoment(double alpha, double alphaBreak, double aw) {
    const double ks = kBreakMomentSlope * aw;
    const double dCm = (std::fabs(alpha) - alphaBreak) * ks * sgn(alpha);
    return std::fabs(dCm) > kBreakMomentLimit ? -kBreakMomentLimit * sgn(alpha) : dCm;
}

} // namespace

// Sines and cosines of the attitude angles.
struct Dynamics::Attitude {
    explicit Attitude(const FlightSample& s)
        : spsi(std::sin(s.psi)), cpsi(std::cos(s.psi)), sth(std::sin(s.theta)),
          cth(std::cos(s.theta)), sphi(std::sin(s.phi)), cphi(std::cos(s.phi)) {}
    double spsi, cpsi, sth, cth, sphi, cphi;
};

// The air-relative flow: airspeed, sine of the angle of attack, the angles of
// attack and sideslip, and the nondimensional rates.
struct Dynamics::Flow {
    double V, sa, alpha, ca, beta, ph, qh, rh;
};

struct Dynamics::Coefficients {
    double CX, CY, CZ, Cl, Cm, Cn;
};

Dynamics::Dynamics(const InputSet& in, const DesignAeroLaws* laws)
    : in_(in), laws_(laws != nullptr ? laws->startEvaluation() : nullptr) {
    piAe_ = kPi * in.A * in.e;
    radiusSquared_ = in.thermalRadius * in.thermalRadius;
    try {
        alphaBreak_ = checkedDiv(kBreakLift, in.aw);
        simpleMaxLift_ = checkedDiv(kWingMaxLift * in.CLa, in.aw);
    } catch (const ArithmeticError&) {
        constantsFailed_ = true;
    }
}

void Dynamics::evaluate(FlightSample& s, double t, FlightSample& d) {
    const bool simple = in_.CD0 > 0;
    if (!simple && laws_ == nullptr) {
        throw NoDesignError();
    }
    if (constantsFailed_) {
        ThrowArithmetic("division by zero");
    }
    const Attitude a(s);
    moveWithAir(s, t, a);
    const Flow f = flowOf(s);
    const double kw = simple ? kWingMaxLift : laws_->wingMaxLift(f.V);
    const double CLw = in_.aw * f.alpha;
    liftAndDrag(s, f, simple, kw, CLw);
    const double Cm = pitchMoment(f, simple, kw, CLw);
    writeRates(s, a, f.V, coefficients(s, f, Cm), d);
}

void Dynamics::moveWithAir(FlightSample& s, double t, const Attitude& a) const {
    const auto& [spsi, cpsi, sth, cth, sphi, cphi] = a;

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
    const double W = in_.windSpeed;
    const double Wz = -ThermalUpdraft(in_, s.x, s.y, t);
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
}

Dynamics::Flow Dynamics::flowOf(const FlightSample& s) {
    Flow f;
    f.V = std::sqrt(s.ua * s.ua + s.va * s.va + s.wa * s.wa);
    airspeed_ = f.V;
    f.sa = f.V == 0.0 ? 0.0 : s.wa / f.V;
    f.alpha = checkedAsin(f.sa);
    f.ca = std::cos(f.alpha);
    f.beta = 0.0;
    if (s.ua != 0.0) {
        f.beta = std::atan(checkedDiv(s.va, s.ua));
    } else if (s.va > 0.0) {
        f.beta = kPi / 2;
    } else if (s.va < 0.0) {
        f.beta = -kPi / 2;
    }
    f.ph = checkedDiv((in_.b / 2) * s.pa, f.V);
    f.qh = checkedDiv((in_.cbar / 2) * s.qa, f.V);
    f.rh = checkedDiv((in_.b / 2) * s.ra, f.V);
    return f;
}

void Dynamics::liftAndDrag(FlightSample& s, const Flow& f, bool simple, double kw, double CLw) {
    const InputSet& in = in_;
    const double CLmax = simple ? simpleMaxLift_ : checkedDiv(kw * in.CLa, in.aw);
    double CL = in.CLa * f.alpha + in.CLq * f.qh + in.CLih * in.ih;
    const double Di = checkedDiv(CLw * CLw, piAe_);
    double CD;
    liftHeld_ = CL > CLmax || CL < -CLmax;
    if (CL > CLmax) {
        CL = CLmax;
        CD = f.sa + Di;
    } else if (CL < -CLmax) {
        CL = -CLmax;
        CD = -f.sa + Di;
    } else {
        CD = in.CD0 * std::sqrt(checkedDiv(kProfileDragSpeed, f.V)) + Di;
    }
    if (!simple) {
        CD = laws_->flightDragCoefficient(f.alpha, f.V);
    }
    s.CL = CL;
    s.CD = CD;
}

double Dynamics::pitchMoment(const Flow& f, bool simple, double kw, double CLw) {
    const InputSet& in = in_;
    double cm0 = in.Cmq * f.qh + in.Cmih * in.ih + in.Cm0 + in.Cmb_it * f.beta * in.it +
                 in.Cmr_it * f.rh * in.it;
    if (simple && std::fabs(CLw) <= kBreakLift) {
        wingStalled_ = false;
        return cm0 + in.Cma * f.alpha;
    }
    cm0 = cm0 + (simple ? BreakMoment(f.alpha, alphaBreak_, in.aw)
                        : laws_->stallPitchMoment(f.alpha, f.V));
    const bool stalled = !(std::fabs(CLw) < kw);
    const double kt = simple || !stalled ? kTailMaxLift : laws_->tailMaxLift(f.V);
    wingStalled_ = stalled;
    return stalled ? stalledWingMoment(cm0, f.alpha, CLw, kw, kt) : cm0 + in.Cma * f.alpha;
}

double Dynamics::stalledWingMoment(double cm0, double alpha, double CLw, double kw,
                                   double kt) const {
    const InputSet& in = in_;
    const double CLt = checkedDiv(in.CLih * in.S, in.St) * (alpha - checkedDiv(2 * kw, piAe_));
    const double Tw = sgn(CLw) * kw * in.h;
    if (std::fabs(CLt) < kt) {
        return cm0 + Tw - checkedDiv(in.St, in.S) * CLt * (in.L - in.h);
    }
    return cm0 + Tw - sgn(CLt) * kt * checkedDiv(in.St, in.S) * (in.L - in.h);
}

Dynamics::Coefficients Dynamics::coefficients(const FlightSample& s, const Flow& f,
                                              double Cm) const {
    const InputSet& in = in_;
    const auto& [V, sa, alpha, ca, beta, ph, qh, rh] = f;
    const double CL = s.CL, CD = s.CD;
    Coefficients c;
    // alpha = asin(w_a / V) never tells a glider flying backwards (u_a < 0)
    // from one flying forwards, so the axial force turns with the flow: drag
    // then opposes the air-relative velocity and lift stays across it, as on
    // a flat plate in reversed flow. The moments take the turned CX as well.
    const double CXforward = CL * sa - CD * ca;
    c.CX = s.ua < 0 ? -CXforward : CXforward;
    c.CZ = -CL * ca - CD * sa;
    c.CY = in.Cyb * beta + in.Cyp * ph + in.Cyr * rh + in.Cydr * in.iv;
    c.Cm = Cm - in.zcg * c.CX;

    c.Cl = in.Clb * beta + in.Clb_CL * CL * beta + in.Clp * ph + in.Clr_CL * CL * rh +
           in.Cldr * in.iv + in.Cl_iw * in.iw;
    c.Cl = c.Cl - c.CZ * in.ycg;

    c.Cn = (in.Cnb + in.Cnb_CL * CL) * beta + in.Cnp_CL * CL * ph + (in.Cnr + in.Cnr_CD * CD) * rh +
           in.Cndr * in.iv + in.Cna_it * alpha * in.it + in.Cnq_it * qh * in.it;
    c.Cn = c.Cn + c.CX * in.ycg;
    return c;
}

void Dynamics::writeRates(const FlightSample& s, const Attitude& a, double V, const Coefficients& c,
                          FlightSample& d) const {
    const InputSet& in = in_;
    const auto& [spsi, cpsi, sth, cth, sphi, cphi] = a;
    const double tanth = PitchTangent(sth, cth);

    const double qd = 0.5 * kAirDensity * V * V;
    const double X = qd * in.S * c.CX;
    const double Y = qd * in.S * c.CY;
    const double Z = qd * in.S * c.CZ;
    const double Lm = qd * in.S * in.b * c.Cl;
    const double Mm = qd * in.S * in.cbar * c.Cm;
    const double Nm = qd * in.S * in.b * c.Cn;

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
