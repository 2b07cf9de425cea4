#include "model/section_laws.h"

#include "sim/checked.h"
#include "sim/units.h"

#include <cmath>
#include <limits>

namespace skarvel::model {

using sim::ArithmeticError;
using sim::checkedDiv;
using sim::checkedLog10;
using sim::checkedSqrt;
using sim::requireFinite;

namespace {

// Relative thickness over the 1 % that the limits are measured from.
double Tau(const Section& s) {
    return checkedDiv((s.e1 + s.t + s.e2) / 3, s.c) - 0.01;
}

double ReynoldsFactor(double reynolds) {
    return 1 + 0.07 * checkedLog10(reynolds / 10000);
}

double Cube(double x) {
    return x * x * x;
}

} // namespace

double ReynoldsNumber(double speed, double chord) {
    return speed * chord / 0.015;
}

namespace {

// The three lift limits share their thickness and Reynolds terms.
struct LiftLimits {
    double max, min, minDrag;
};

LiftLimits Limits(double reynolds, const Section& s) {
    const double r = ReynoldsFactor(reynolds);
    const double tau = Tau(s);
    const double sign = s.camber >= 0 ? 0.3 : -0.3;
    return {requireFinite(0.8 * r * (1 + 0.09 * s.camber - 3 * tau)),
            requireFinite(-0.8 * r * (1 - 0.07 * s.camber - 3 * tau)),
            requireFinite((1 - 20 * tau) * std::sqrt(std::fabs(s.camber)) * r * sign)};
}

} // namespace

double MaxLiftCoefficient(double reynolds, const Section& s) {
    return SectionLaws(s).maxLift(reynolds);
}

double MinLiftCoefficient(double reynolds, const Section& s) {
    return Limits(reynolds, s).min;
}

double MinDragLiftCoefficient(double reynolds, const Section& s) {
    return Limits(reynolds, s).minDrag;
}

double ProfileDrag(double CL, double speed, const Section& s) {
    return SectionLaws(s).profileDrag(CL, speed);
}

double StallPitchIncrement(double CL, double reynolds, const Section& s) {
    return SectionLaws(s).stallPitchIncrement(CL, reynolds);
}

SectionLaws::SectionLaws(const Section& s)
    : s_(s), lastReynolds_(std::numeric_limits<double>::quiet_NaN()) {
    try {
        const double tau = Tau(s);
        maxTerm_ = 1 + 0.09 * s.camber - 3 * tau;
        minTerm_ = 1 - 0.07 * s.camber - 3 * tau;
        minDragTerm_ = (1 - 20 * tau) * std::sqrt(std::fabs(s.camber));
        thicknessKnown_ = true;
    } catch (const ArithmeticError&) {
    }
    sign_ = s.camber >= 0 ? 0.3 : -0.3;
    try {
        edge1_ = checkedDiv(s.e1, s.c);
        edge2_ = checkedDiv(s.e2, s.c);
        camberTerm_ = 55 * Cube(s.camber / sim::kPercentPerWhole);
        thicknessTerm_ = 30 * Cube(checkedDiv(s.t - (s.e1 + s.e2) / 2, s.c));
        dragKnown_ = true;
    } catch (const ArithmeticError&) {
    }
}

double SectionLaws::reynoldsFactor(double reynolds) const {
    if (reynolds != lastReynolds_) {
        lastFactor_ = ReynoldsFactor(reynolds);
        lastReynolds_ = reynolds;
    }
    return lastFactor_;
}

SectionLaws::Limits SectionLaws::limits(double reynolds) const {
    const double r = reynoldsFactor(reynolds);
    if (!thicknessKnown_) {
        sim::ThrowArithmetic("division by zero");
    }
    return {requireFinite(0.8 * r * maxTerm_), requireFinite(-0.8 * r * minTerm_),
            requireFinite(minDragTerm_ * r * sign_)};
}

double SectionLaws::maxLift(double reynolds) const {
    return limits(reynolds).max;
}

double SectionLaws::profileDrag(double CL, double speed) const {
    try {
        const Section& s = s_;
        const double re = ReynoldsNumber(speed, s.c);
        const double cf = checkedDiv(1.328, checkedSqrt(re)) + checkedDiv(4.12, re);
        auto factor = [&](double e) {
            return e > 0 ? 0.11 * std::pow(checkedDiv(cf * s.c, e), -1.0 / 3) : 1.0;
        };
        const double f1 = factor(s.e1);
        const double f2 = s.e2 == s.e1 ? f1 : factor(s.e2);
        if (!dragKnown_) {
            return 0;
        }
        const double d0 = 2 * cf + edge1_ * f1 + edge2_ * f2 + camberTerm_ + thicknessTerm_;
        const Limits lim = limits(re);
        double x;
        if (CL > lim.minDrag) {
            if (CL >= lim.max) {
                return 0.2;
            }
            x = checkedDiv(CL - lim.minDrag, lim.max - lim.minDrag);
        } else {
            if (CL <= lim.min) {
                return 0.2;
            }
            x = checkedDiv(CL - lim.minDrag, lim.min - lim.minDrag);
        }
        return requireFinite(d0 + (1 - checkedSqrt(1 - x * x)) * (12 * cf - d0));
    } catch (const ArithmeticError&) {
        return 0;
    }
}

double SectionLaws::stallPitchIncrement(double CL, double reynolds) const {
    const double b = 0.56 * maxLift(reynolds);
    if (std::fabs(CL) < b) {
        return 0;
    }
    const double k = -(0.05 * s_.camber + 0.27);
    return CL > 0 ? k * (CL - b) : k * (CL + b);
}

} // namespace skarvel::model
