// Planform geometry: areas, chords and sweeps of the edge shapes.

#include "model_fixture.h"

#include "model/planform.h"
#include "sim/input_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace skarvel;
using model::DesignComponent;
using model::EdgeShape;
using sim::kPi;
using test::DesignTables;
namespace dz = data::design;

namespace {

double Integral(const std::function<double(double)>& f) {
    constexpr int n = 200000;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        sum += f((i + 0.5) / n);
    }
    return sum / n;
}

DesignComponent Surface(EdgeShape le, EdgeShape te, double cr, double ct, double s, double span,
                        double dihedral) {
    DesignComponent c;
    c.leadingEdgeShape = le;
    c.trailingEdgeShape = te;
    c.rootChord = cr;
    c.tipChord = ct;
    c.sweepLength = s;
    c.span = span;
    c.dihedral = dihedral;
    return c;
}

} // namespace

TEST(Planform, StraightTaperGivesBackItsOwnFigures) {
    const auto c = Surface(EdgeShape::Straight, EdgeShape::Straight, 40, 20, 10, 200, 10);
    const auto g = model::ComputeSurface(c);
    const double cosG = std::cos(10 * kPi / 180);
    EXPECT_DOUBLE_EQ(g.meanChord, 30.0);
    EXPECT_NEAR(g.projectedArea, 200 * cosG * 30, 1e-9);
    EXPECT_NEAR(g.taper, 0.5, 1e-4);
    EXPECT_NEAR(g.dihedral * 180 / kPi, 10.0, 1e-2);
    // Quarter-chord line: 10 + (20 - 40) / 4 aft at the projected half-span.
    EXPECT_NEAR(g.sweep, std::atan(5.0 / (100 * cosG)), 1e-4);
    EXPECT_NEAR(g.mac, (2.0 / 3) * (40 + 20 - 40.0 * 20 / 60), 1e-12);
    // Area centroid and aerodynamic centre against direct integration.
    const model::SurfaceShape p = model::SurfaceShape::Of(c);
    const double area = Integral([&](double e) { return p.chord(e); });
    EXPECT_NEAR(g.centroidX, Integral([&](double e) {
                                 return p.chord(e) * (p.leadingEdge(e) + p.trailingEdge(e)) / 2;
                             }) / area,
                1e-6);
    EXPECT_NEAR(g.acX, Integral([&](double e) {
                           return p.chord(e) * (p.leadingEdge(e) + p.chord(e) / 4);
                       }) / area,
                1e-6);
    EXPECT_NEAR(g.centroidZ, Integral([&](double e) { return e * p.chord(e); }) / area, 1e-9);
}

TEST(Planform, ClosedFormsAgreeWithIntegration) {
    for (const auto& c : {Surface(EdgeShape::Ellipse, EdgeShape::Ellipse, 30, 8, 6, 120, 0),
                          Surface(EdgeShape::Ellipse, EdgeShape::Ellipse, 30, 0, 6, 120, 0),
                          Surface(EdgeShape::Parabola, EdgeShape::Parabola, 30, 8, 6, 120, 0),
                          Surface(EdgeShape::Sine, EdgeShape::Parabola, 30, 8, 6, 120, 0)}) {
        const auto g = model::ComputeSurface(c);
        const model::SurfaceShape p = model::SurfaceShape::Of(c);
        const double area = Integral([&](double e) { return p.chord(e); });
        EXPECT_NEAR(g.meanChord, area, 1e-6);
        EXPECT_NEAR(g.mac, Integral([&](double e) { return p.chord(e) * p.chord(e); }) / area,
                    2e-3);
        EXPECT_NEAR(g.acX, Integral([&](double e) {
                               return p.chord(e) * (p.leadingEdge(e) + p.chord(e) / 4);
                           }) / area,
                    2e-3);
        EXPECT_NEAR(g.centroidX, Integral([&](double e) {
                                     return p.chord(e) * (p.leadingEdge(e) + p.trailingEdge(e)) / 2;
                                 }) / area,
                    1e-6);
    }
}

TEST(Planform, EllipticWingIsTheReference) {
    const auto g =
        model::ComputeSurface(Surface(EdgeShape::Ellipse, EdgeShape::Ellipse, 30, 0, 0, 150, 0));
    EXPECT_NEAR(g.mac, 8 * 30 / (3 * kPi), 1e-12);
    EXPECT_NEAR(g.efficiency, 1.0, 1e-12);
}

TEST(Planform, FailedIntegralsFallBackToFixedValues) {
    const auto g = model::ComputeSurface(
        Surface(EdgeShape::Straight, EdgeShape::Straight, 30, 10, 0, 0, 0)); // no span
    // The efficiency does not depend on the span (the sum of its rule, taken
    // by hand for chords 30 to 10); the others divide by it.
    EXPECT_NEAR(g.efficiency, 0.9597785474107967, 1e-14);
    EXPECT_EQ(g.taper, 1.0);
    EXPECT_EQ(g.dihedral, 0.0);
    EXPECT_EQ(g.sweep, 0.0);
}

TEST(Planform, SweepStartsAtTheDesignRootChord) {
    // With an unknown trailing edge the law's chord at the root (sweep plus
    // tip chord) is not the root chord; the quarter-chord line still starts
    // a quarter of the root chord aft.
    DesignTables f;
    f.set(dz::VerticalTail, dz::Type, "通常尾翼");
    f.set(dz::HorizontalTail, dz::TrailingEdge, "なし");
    EXPECT_TRUE(f.compute());
    EXPECT_EQ(f.computed(data::computed::HorizontalTail, data::computed::Sweep), "24.11");
}
