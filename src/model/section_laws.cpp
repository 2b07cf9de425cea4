#include "model/section_laws.h"

#include "sim/checked.h"
#include "sim/units.h"

#include <bit>
#include <cmath>
#include <cstdint>
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
    SectionLaws::Memo memo;
    return SectionLaws(s).maxLift(reynolds, memo);
}

double MinLiftCoefficient(double reynolds, const Section& s) {
    return Limits(reynolds, s).min;
}

double MinDragLiftCoefficient(double reynolds, const Section& s) {
    return Limits(reynolds, s).minDrag;
}

double ProfileDrag(double CL, double speed, const Section& s) {
    SectionLaws::Memo memo;
    return SectionLaws(s).profileDrag(CL, speed, memo);
}

double StallPitchIncrement(double CL, double reynolds, const Section& s) {
    SectionLaws::Memo memo;
    return SectionLaws(s).stallPitchIncrement(CL, reynolds, memo);
}

SectionLaws::SectionLaws(const Section& s) : s_(s) {
    try {
        const double tau = Tau(s);
        maxTerm_ = 1 + 0.09 * s.camber - 3 * tau;
        minTerm_ = 1 - 0.07 * s.camber - 3 * tau;
        minDragTerm_ = (1 - 20 * tau) * std::sqrt(std::fabs(s.camber));
        thicknessKnown_ = true;
        plainAtZeroLift_ = minDragTerm_ == 0 && std::fabs(maxTerm_) <= 1e300 &&
                           minTerm_ >= 1e-300 && minTerm_ <= 1e300;
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

double SectionLaws::reynolds(double speed, Memo& memo) const {
    if (std::bit_cast<std::uint64_t>(speed) != std::bit_cast<std::uint64_t>(memo.speed)) {
        memo.speedReynolds = ReynoldsNumber(speed, s_.c);
        memo.speed = speed;
    }
    return memo.speedReynolds;
}

double SectionLaws::reynoldsFactor(double reynolds, Memo& memo) {
    if (reynolds != memo.reynolds) {
        memo.factor = ReynoldsFactor(reynolds);
        memo.reynolds = reynolds;
    }
    return memo.factor;
}

SectionLaws::Limits SectionLaws::limits(double reynolds, Memo& memo) const {
    const double r = reynoldsFactor(reynolds, memo);
    if (!thicknessKnown_) {
        sim::ThrowArithmetic("division by zero");
    }
    return {requireFinite(0.8 * r * maxTerm_), requireFinite(-0.8 * r * minTerm_),
            requireFinite(minDragTerm_ * r * sign_)};
}

double SectionLaws::maxLift(double reynolds, Memo& memo) const {
    return limits(reynolds, memo).max;
}

double SectionLaws::profileDrag(double CL, double speed, Memo& memo) const {
    const SectionLaws* self = this;
    Memo* const memos[] = {&memo};
    double drag = 0;
    profileDrags(&self, memos, &CL, speed, &drag, 1);
    return drag;
}

namespace {

// The checked operations of sim/checked.h as tests: false where those throw.
bool Quotient(double a, double b, double& q) {
    if (b == 0.0) {
        return false;
    }
    q = a / b;
    return std::isfinite(q);
}

double EdgeTerm(double q) {
    return 0.11 * std::pow(q, -1.0 / 3);
}

} // namespace

// A section whose arithmetic fails on the way (a zero chord, speed or edge, an
// overflow, a root or logarithm out of its domain) has drag 0.
void SectionLaws::profileDrags(const SectionLaws* const laws[], Memo* const memos[],
                               const double CL[], double speed, double drag[], int count) {
    double re[kBatch], cf[kBatch], q1[kBatch]{}, q2[kBatch]{}, f1[kBatch], f2[kBatch], lg[kBatch]{};
    bool ok[kBatch], pow1[kBatch], pow2[kBatch], plain[kBatch], log[kBatch];
    // A section given twice (at two lifts) has its airspeed terms worked out
    // once, in its first lane.
    int first[kBatch];
    for (int i = 0; i < count; ++i) {
        first[i] = i;
        for (int j = 0; j < i; ++j) {
            if (laws[j] == laws[i]) {
                first[i] = j;
                break;
            }
        }
    }

    // Skin friction and the edge quotients.
    for (int i = 0; i < count; ++i) {
        const SectionLaws& l = *laws[i];
        const Section& s = l.s_;
        drag[i] = 0;
        if (const int j = first[i]; j != i) {
            re[i] = re[j];
            cf[i] = cf[j];
            ok[i] = ok[j];
            pow1[i] = pow2[i] = false;
            continue;
        }
        re[i] = l.reynolds(speed, *memos[i]);
        double a = 0, b = 0;
        ok[i] = l.dragKnown_ && re[i] >= 0.0 && Quotient(1.328, std::sqrt(re[i]), a) &&
                Quotient(4.12, re[i], b);
        cf[i] = a + b;
        pow1[i] = ok[i] && s.e1 > 0;
        ok[i] = ok[i] && (!pow1[i] || Quotient(cf[i] * s.c, s.e1, q1[i]));
        pow2[i] = ok[i] && s.e2 != s.e1 && s.e2 > 0;
        ok[i] = ok[i] && (!pow2[i] || Quotient(cf[i] * s.c, s.e2, q2[i]));
    }
    for (int i = 0; i < count; ++i) {
        f1[i] = first[i] != i ? f1[first[i]] : pow1[i] ? EdgeTerm(q1[i]) : 1.0;
    }
    for (int i = 0; i < count; ++i) {
        const Section& s = laws[i]->s_;
        f2[i] = first[i] != i  ? f2[first[i]]
                : s.e2 == s.e1 ? f1[i]
                : pow2[i]      ? EdgeTerm(q2[i])
                               : 1.0;
    }
    // A section with minimum-drag lift 0 (no camber) flown at lift 0 has x = 0
    // and so drag d0, given that the limits are finite with the minimum below
    // 0: for Reynolds numbers from 1e-5 to 1e300 the Reynolds term lies
    // between 0.36 and 22, so the bounds on the terms guarantee both. Its
    // logarithm is then not needed. (d0 starts from 2 cf > 0, so it is never
    // -0, and d0 + 0 * (12 cf - d0) is d0 whenever d0 is finite.)
    for (int i = 0; i < count; ++i) {
        plain[i] =
            ok[i] && laws[i]->plainAtZeroLift_ && CL[i] == 0.0 && re[i] >= 1e-5 && re[i] <= 1e300;
    }
    // The Reynolds terms not kept from the last call.
    for (int i = 0; i < count; ++i) {
        log[i] = ok[i] && !plain[i] && re[i] != memos[i]->reynolds;
        if (log[i]) {
            lg[i] = re[i] / 10000;
            ok[i] = lg[i] > 0.0;
            // An earlier lane of the same section may already work it out.
            log[i] = ok[i] && !(first[i] != i && log[first[i]]);
        }
    }
    for (int i = 0; i < count; ++i) {
        if (log[i]) {
            lg[i] = std::log10(lg[i]);
        }
    }
    for (int i = 0; i < count; ++i) {
        if (!ok[i]) {
            continue;
        }
        const SectionLaws& l = *laws[i];
        const double d0 =
            2 * cf[i] + l.edge1_ * f1[i] + l.edge2_ * f2[i] + l.camberTerm_ + l.thicknessTerm_;
        if (plain[i]) {
            drag[i] = std::isfinite(d0) ? d0 : 0;
            continue;
        }
        if (log[i]) {
            memos[i]->factor = 1 + 0.07 * lg[i];
            memos[i]->reynolds = re[i];
        }
        const double r = memos[i]->factor;
        if (!l.thicknessKnown_) {
            continue;
        }
        const double max = 0.8 * r * l.maxTerm_;
        const double min = -0.8 * r * l.minTerm_;
        const double minDrag = l.minDragTerm_ * r * l.sign_;
        if (!std::isfinite(max) || !std::isfinite(min) || !std::isfinite(minDrag)) {
            continue;
        }
        double x = 0;
        if (CL[i] > minDrag) {
            if (CL[i] >= max) {
                drag[i] = 0.2;
                continue;
            }
            if (!Quotient(CL[i] - minDrag, max - minDrag, x)) {
                continue;
            }
        } else {
            if (CL[i] <= min) {
                drag[i] = 0.2;
                continue;
            }
            if (!Quotient(CL[i] - minDrag, min - minDrag, x)) {
                continue;
            }
        }
        const double root = 1 - x * x;
        if (!(root >= 0.0)) {
            continue;
        }
        const double d = d0 + (1 - std::sqrt(root)) * (12 * cf[i] - d0);
        if (std::isfinite(d)) {
            drag[i] = d;
        }
    }
}

double SectionLaws::stallPitchIncrement(double CL, double reynolds, Memo& memo) const {
    const double b = 0.56 * maxLift(reynolds, memo);
    if (std::fabs(CL) < b) {
        return 0;
    }
    const double k = -(0.05 * s_.camber + 0.27);
    return CL > 0 ? k * (CL - b) : k * (CL + b);
}

} // namespace skarvel::model
