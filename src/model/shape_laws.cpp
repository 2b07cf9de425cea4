#include "model/shape_laws.h"

#include "sim/input_set.h"

#include <algorithm>
#include <cmath>

namespace skarvel::model {

using sim::kPi;

namespace {
// The laws are defined on 0..1; rounding must not take a square root below 0.
double Clamp01(double eta) {
    return std::clamp(eta, 0.0, 1.0);
}
} // namespace

double EdgeF(EdgeShape shape, double eta) {
    switch (shape) {
    case EdgeShape::Straight:
        return eta;
    case EdgeShape::Ellipse:
        return 1 - std::sqrt(1 - Clamp01(eta) * Clamp01(eta));
    case EdgeShape::Parabola:
        return 1 - std::sqrt(1 - Clamp01(eta));
    case EdgeShape::Sine:
        return (2 / kPi) * std::asin(Clamp01(eta));
    case EdgeShape::Other:
        break;
    }
    return 1;
}

double EdgeG(EdgeShape shape, double eta) {
    switch (shape) {
    case EdgeShape::Straight:
        return 1 - eta;
    case EdgeShape::Ellipse:
        return std::sqrt(1 - Clamp01(eta) * Clamp01(eta));
    case EdgeShape::Parabola:
        return std::sqrt(1 - Clamp01(eta));
    case EdgeShape::Sine:
        return (2 / kPi) * std::acos(Clamp01(eta));
    case EdgeShape::Other:
        break;
    }
    return 0;
}

namespace {

// Per law: integral of g (k), the leading-edge strip's moment (a), the
// trailing-edge strip's moment (K) and the strip's spanwise centroid (m).
// An unknown edge has no strip.
struct LawConstants {
    double k, a, bigK, m;
};

const LawConstants& Constants(EdgeShape shape) {
    static const LawConstants table[] = {
        {0.5, 1.0 / 3, 1.0 / 3, 1.0 / 3},                           // Straight
        {kPi / 4, kPi / 4 - 1.0 / 3, 4 / (3 * kPi), 4 / (3 * kPi)}, // Ellipse
        {2.0 / 3, 5.0 / 12, 3.0 / 8, 2.0 / 5},                      // Parabola
        {2 / kPi, 4 / (kPi * kPi), (kPi - 2) / kPi, kPi / 8},       // Sine
        {0, 0, 0, 0},                                               // Other
    };
    return table[static_cast<int>(shape)];
}

} // namespace

double EdgeK(EdgeShape shape) {
    return Constants(shape).k;
}
double EdgeA(EdgeShape shape) {
    return Constants(shape).a;
}
double EdgeBigK(EdgeShape shape) {
    return Constants(shape).bigK;
}
double EdgeM(EdgeShape shape) {
    return Constants(shape).m;
}

double EdgeIntF(EdgeShape shape, double eta) {
    const double e = Clamp01(eta);
    switch (shape) {
    case EdgeShape::Straight:
        return e * e / 2;
    case EdgeShape::Ellipse: {
        const double r = std::sqrt(1 - e * e);
        return e - (e * r + std::asin(e)) / 2;
    }
    case EdgeShape::Parabola: {
        const double u = 1 - e;
        return e + (2.0 / 3) * u * std::sqrt(u) - 2.0 / 3;
    }
    case EdgeShape::Sine:
        return (2 / kPi) * (e * std::asin(e) + std::sqrt(1 - e * e) - 1);
    case EdgeShape::Other:
        break;
    }
    return e;
}

double EdgeIntF2(EdgeShape shape, double eta) {
    const double e = Clamp01(eta);
    switch (shape) {
    case EdgeShape::Straight:
        return e * e * e / 3;
    case EdgeShape::Ellipse: {
        // (1 - r)^2 = 2 - e^2 - 2 r
        const double r = std::sqrt(1 - e * e);
        return 2 * e - e * e * e / 3 - (e * r + std::asin(e));
    }
    case EdgeShape::Parabola: {
        // (1 - sqrt(u))^2 = 2 - e - 2 sqrt(u), u = 1 - e
        const double u = 1 - e;
        return 2 * e - e * e / 2 + (4.0 / 3) * (u * std::sqrt(u) - 1);
    }
    case EdgeShape::Sine: {
        const double as = std::asin(e);
        const double r = std::sqrt(1 - e * e);
        return (4 / (kPi * kPi)) * (e * as * as + 2 * r * as - 2 * e);
    }
    case EdgeShape::Other:
        break;
    }
    return e;
}

double EdgeIntEtaF(EdgeShape shape, double eta) {
    const double e = Clamp01(eta);
    switch (shape) {
    case EdgeShape::Straight:
        return e * e * e / 3;
    case EdgeShape::Ellipse: {
        const double u = 1 - e * e;
        return e * e / 2 + (u * std::sqrt(u) - 1) / 3;
    }
    case EdgeShape::Parabola: {
        // eta sqrt(1 - eta) integrates to -(2/3) u^1.5 + (2/5) u^2.5, u = 1 - eta
        const double u = 1 - e;
        const double s = std::sqrt(u);
        return e * e / 2 - ((-2.0 / 3) * u * s + (2.0 / 5) * u * u * s - (-2.0 / 3 + 2.0 / 5));
    }
    case EdgeShape::Sine: {
        const double as = std::asin(e);
        const double r = std::sqrt(1 - e * e);
        return (2 / kPi) * ((e * e / 2) * as - (as - e * r) / 4);
    }
    case EdgeShape::Other:
        break;
    }
    return e * e / 2;
}

} // namespace skarvel::model
