#include "model/planform.h"
#include "model/shape_laws.h"
#include "sim/input_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace skarvel::model;
using skarvel::sim::kPi;

namespace {

constexpr EdgeShape kLaws[] = {EdgeShape::Straight, EdgeShape::Ellipse, EdgeShape::Parabola,
                               EdgeShape::Sine};

// Midpoint rule, fine enough for the square-root ends of the curved laws.
double Integral(const std::function<double(double)>& f, double a = 0, double b = 1) {
    constexpr int n = 200000;
    const double h = (b - a) / n;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        sum += f(a + (i + 0.5) * h);
    }
    return sum * h;
}

} // namespace

TEST(ShapeLaws, EndsAndComplements) {
    for (EdgeShape s : kLaws) {
        EXPECT_NEAR(EdgeF(s, 0), 0.0, 1e-15);
        EXPECT_NEAR(EdgeF(s, 1), 1.0, 1e-15);
        EXPECT_NEAR(EdgeF(s, 0.37) + EdgeG(s, 0.37), 1.0, 1e-15);
    }
    EXPECT_EQ(EdgeF(EdgeShape::Other, 0.3), 1.0);
    EXPECT_EQ(EdgeG(EdgeShape::Other, 0.3), 0.0);
    EXPECT_EQ(EdgeK(EdgeShape::Other), 0.0);
    EXPECT_EQ(EdgeA(EdgeShape::Other), 0.0);
    EXPECT_EQ(EdgeM(EdgeShape::Other), 0.0);
}

// The tabulated constants are integrals of the laws: k of g, the leading-edge
// strip's moment a of (1 - f^2)/2, the trailing-edge strip's K of g^2 / (2k),
// and the spanwise centroid m of eta g / k.
TEST(ShapeLaws, ConstantsAreTheIntegralsOfTheLaws) {
    for (EdgeShape s : kLaws) {
        const double k = Integral([s](double e) { return EdgeG(s, e); });
        EXPECT_NEAR(EdgeK(s), k, 1e-7) << static_cast<int>(s);
        EXPECT_NEAR(EdgeA(s),
                    Integral([s](double e) { return (1 - EdgeF(s, e) * EdgeF(s, e)) / 2; }), 1e-7)
            << static_cast<int>(s);
        EXPECT_NEAR(EdgeBigK(s),
                    Integral([s](double e) { return EdgeG(s, e) * EdgeG(s, e); }) / (2 * k), 1e-7)
            << static_cast<int>(s);
        EXPECT_NEAR(EdgeM(s), Integral([s](double e) { return e * EdgeG(s, e); }) / k, 1e-7)
            << static_cast<int>(s);
    }
}

TEST(ShapeLaws, AntiderivativesMatchNumericIntegrals) {
    for (EdgeShape s : kLaws) {
        for (auto [a, b] : {std::pair{0.0, 1.0}, std::pair{0.2, 0.7}, std::pair{0.6, 1.0}}) {
            EXPECT_NEAR(EdgeIntF(s, b) - EdgeIntF(s, a),
                        Integral([s](double e) { return EdgeF(s, e); }, a, b), 1e-8);
            EXPECT_NEAR(EdgeIntF2(s, b) - EdgeIntF2(s, a),
                        Integral([s](double e) { return EdgeF(s, e) * EdgeF(s, e); }, a, b), 1e-8);
            EXPECT_NEAR(EdgeIntEtaF(s, b) - EdgeIntEtaF(s, a),
                        Integral([s](double e) { return e * EdgeF(s, e); }, a, b), 1e-8);
        }
    }
}

TEST(ShapeLaws, PanelIntegralsOfASurface) {
    const SurfaceShape p{EdgeShape::Parabola, EdgeShape::Ellipse, 35, 10, 25};
    EXPECT_NEAR(p.chord(0), 35.0, 1e-12);
    EXPECT_NEAR(p.chord(1), 10.0, 1e-12);
    EXPECT_NEAR(p.leadingEdge(1), 25.0, 1e-12);
    EXPECT_NEAR(p.trailingEdge(1), 35.0, 1e-12);
    for (auto [a, b] : {std::pair{0.0, 0.3}, std::pair{0.3, 1.0}}) {
        EXPECT_NEAR(p.chordIntegral(a, b), Integral([&](double e) { return p.chord(e); }, a, b),
                    1e-6);
        EXPECT_NEAR(
            p.chordMomentX(a, b),
            Integral(
                [&](double e) { return p.chord(e) * (p.leadingEdge(e) + p.trailingEdge(e)) / 2; },
                a, b),
            1e-5);
        EXPECT_NEAR(p.chordMomentEta(a, b),
                    Integral([&](double e) { return e * p.chord(e); }, a, b), 1e-6);
    }
}
