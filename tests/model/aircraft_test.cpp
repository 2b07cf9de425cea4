#include "model_fixture.h"

#include "model/planform.h"
#include "sim/estimate.h"
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
namespace in = data::input;

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

bool CleanText(const std::string& t) {
    return t.find("nan") == std::string::npos && t.find("inf") == std::string::npos;
}

} // namespace

TEST(DesignConversion, DefaultDesignGivesTheKnownInputData) {
    DesignTables f;
    f.convert();
    const std::pair<int, const char*> expected[] = {
        {in::WingArea, "44.78"},    {in::WingSpan, "167.9"},     {in::TaperRatio, "0.4358"},
        {in::Dihedral, "9.062"},    {in::Sweep, "13.94"},        {in::SpanEfficiency, "0.9717"},
        {in::TailArm, "133.9"},     {in::HTailVolume, "1.157"},  {in::VTailVolume, "0.07095"},
        {in::HTailAspect, "2.919"}, {in::VTailAspect, "0.7587"}, {in::Mass, "4.542"},
        {in::RollInertia, "42.07"}, {in::PitchInertia, "106.5"}, {in::StaticMargin, "5.973"},
        {in::CgVertical, "3.344"},  {in::CgLateral, "0"},        {in::MinDrag, "0"}};
    for (const auto& [row, text] : expected) {
        EXPECT_EQ(f.input(row), text) << f.tables.input.cell(0, row);
    }
    EXPECT_NEAR(f.model.aircraft.ballastMass, 1.080, 0.0005);
    // The launch rows are not the design's business.
    EXPECT_EQ(f.input(in::LaunchSpeed), "150");
    // Whole-aircraft column and the glide speed.
    EXPECT_EQ(f.computed(5, 1), "4.542");
    EXPECT_EQ(f.computed(5, 22), "5.973");
    EXPECT_EQ(f.computed(5, 24), "5.000");
    // A V tail's fin column still shows its heights, but no mass.
    EXPECT_EQ(f.computed(3, 1), "0.000");
    EXPECT_NE(f.computed(3, 15), "0.000");
}

TEST(DesignConversion, GlideSpeedBelowOneIsOne) {
    DesignTables f;
    f.set(dz::Fuselage, dz::GlideSpeed, "0.5");
    f.compute();
    EXPECT_EQ(f.computed(5, 24), "1.000");
    EXPECT_EQ(f.model.design().glideSpeed, 1.0);
}

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

TEST(Wing, TwoStageWingWithTheMainShapeMatchesTheOneStageWing) {
    DesignTables one;
    one.compute();
    DesignTables two;
    two.set(dz::MainWing, dz::Type, "2段上反角");
    // The inner wing copies the main wing's shape and dihedral.
    for (int row = dz::LeadingEdge; row <= dz::Dihedral; ++row) {
        if (row != dz::Span) {
            two.set(dz::InnerWing, row, two.tables.design.cell(dz::MainWing, row));
        }
    }
    two.compute();
    const auto& w1 = one.model.wing;
    const auto& w2 = two.model.wing;
    EXPECT_NEAR(w2.projectedArea, w1.projectedArea, 1e-9);
    EXPECT_NEAR(w2.centroidX, w1.centroidX, 1e-9);
    EXPECT_NEAR(w2.mac, w1.mac, 0.05); // summed against the trapezoidal one-stage form
    EXPECT_NEAR(w2.efficiency, w1.efficiency, 1e-9);
    EXPECT_NEAR(w2.effectiveSweep, w1.effectiveSweep, 1e-9);
    // The junction lies on the main wing's own edges: the virtual root is the root.
    const auto& a = two.model.aircraft;
    EXPECT_NEAR(a.virtualRootLeadingEdge, 0.0, 1e-9);
    EXPECT_NEAR(a.virtualRootChord, 35.0, 1e-9);
    const double etaJ = 40.0 / 170;
    const model::SurfaceShape p{EdgeShape::Parabola, EdgeShape::Straight, 35, 10, 25};
    EXPECT_NEAR(a.junctionChord, p.chord(etaJ), 1e-9);
    // ... and is shown in the main wing's root chord cell, 4 decimals.
    EXPECT_EQ(two.tables.design.cell(dz::MainWing, dz::RootChord),
              data::FormatFixed(p.chord(etaJ), 4));
    // A one-stage wing never rewrites that cell.
    EXPECT_EQ(one.tables.design.cell(dz::MainWing, dz::RootChord), "35");
}

TEST(Wing, JunctionLimits) {
    {
        DesignTables f; // no inner span: the main wing starts at the inner root chord
        f.set(dz::MainWing, dz::Type, "2段上反角");
        f.set(dz::InnerWing, dz::Span, "0");
        f.set(dz::InnerWing, dz::RootChord, "41");
        f.compute();
        EXPECT_EQ(f.model.design().mainWing.rootChord, 41.0);
        EXPECT_EQ(f.model.aircraft.junctionChord, 41.0);
    }
    {
        DesignTables f; // an inner span beyond the main span is the whole wing
        f.set(dz::MainWing, dz::Type, "2段上反角");
        f.set(dz::InnerWing, dz::Span, "300");
        f.compute();
        EXPECT_EQ(f.model.wingGeometry().etaJ, 1.0);
        EXPECT_NEAR(f.model.aircraft.junctionChord, 10.0, 1e-12); // the inner tip
        EXPECT_TRUE(std::isfinite(f.model.wing.projectedArea));
    }
    {
        DesignTables f; // unknown edge names still give a junction
        f.set(dz::MainWing, dz::Type, "2段上反角");
        f.set(dz::MainWing, dz::LeadingEdge, "波形");
        f.set(dz::InnerWing, dz::TrailingEdge, "?");
        EXPECT_TRUE(f.compute());
        EXPECT_TRUE(std::isfinite(f.model.aircraft.virtualRootChord));
    }
    {
        // An unknown inner edge keeps its own law (at its tip position all
        // along, 35 + 25 + 20 - 35 = 45 aft); only the main wing's edges
        // fall back to straight.
        DesignTables f;
        f.set(dz::MainWing, dz::Type, "2段上反角");
        f.set(dz::InnerWing, dz::TrailingEdge, "なし");
        f.set(dz::InnerWing, dz::TipChord, "20");
        EXPECT_TRUE(f.compute());
        EXPECT_EQ(f.tables.design.cell(dz::MainWing, dz::RootChord), "41.8619");
    }
}

TEST(TailLayouts, EachTypeAdjustsItsFin) {
    auto with = [](const char* type) {
        auto f = std::make_unique<DesignTables>();
        f->set(dz::VerticalTail, dz::Type, type);
        f->set(dz::VerticalTail, dz::Dihedral, "0");
        f->compute();
        return f;
    };
    const auto normal = with("通常尾翼");
    const auto twin = with("双垂直尾翼");
    const auto vtail = with("Ｖ尾翼");
    const auto canard = with("先尾翼");
    ASSERT_EQ(normal->model.design().tailType, model::TailType::Normal);
    ASSERT_EQ(canard->model.design().tailType, model::TailType::Canard);
    const auto& vn = normal->model.verticalTail;
    const auto& vt = twin->model.verticalTail;
    EXPECT_NEAR(vt.projectedArea, 2 * vn.projectedArea, 1e-12);
    EXPECT_NEAR(vt.mass, 2 * vn.mass, 1e-12);
    EXPECT_NEAR(vt.efficiency / vn.efficiency, 1.275 / 1.55, 1e-12);
    EXPECT_NEAR(vn.effectiveAspectRatio, vn.aspectRatio * vn.efficiency, 1e-12);
    // Twin fins at the tips widen the tail plane's effective span.
    const auto& ht = twin->model.horizontalTail;
    const auto& hn = normal->model.horizontalTail;
    EXPECT_NEAR(ht.efficiency, hn.efficiency * (20.0 / 2 + 64) / 64, 1e-12);
    // The V tail's fin is the tail plane seen from the side; it has no mass of its own.
    const auto& vv = vtail->model.verticalTail;
    EXPECT_EQ(vv.mass, 0.0);
    EXPECT_EQ(vv.rollInertia, 0.0);
    EXPECT_EQ(vv.developedArea, 0.0);
    EXPECT_EQ(vv.cd0, 0.0);
    EXPECT_NEAR(vtail->model.design().verticalTail.span, std::sin(27.5 * kPi / 180) * 32, 1e-12);
    // A canard's foreplane sits ahead of the centre of gravity.
    EXPECT_LT(canard->model.aircraft.tailArmH, 0.0);
    EXPECT_GT(normal->model.aircraft.tailArmH, 0.0);
    EXPECT_GT(normal->model.aircraft.hn, 0.25);
    for (const auto* f : {normal.get(), twin.get(), vtail.get(), canard.get()}) {
        for (int r = 1; r < data::computed::kRows; ++r) {
            for (int c = 1; c <= 5; ++c) {
                EXPECT_TRUE(CleanText(f->computed(c, r)));
            }
        }
    }
}

TEST(Ballast, BalancedDesignNeedsNoneAndNoseHeavyGetsTailBallast) {
    DesignTables f;
    f.compute();
    const auto& a = f.model.aircraft;
    const double xWing = f.model.wingStation();
    const double xcg = xWing + 26.817;
    // The components' own centre of gravity, from the nose ballast that moved it.
    const double own = xcg + a.ballastMass * (xcg - 5) / (a.totalMass - a.ballastMass);
    f.set(dz::Fuselage, dz::CgPosition, data::FormatSignificant(17, true, own - xWing));
    f.compute();
    EXPECT_NEAR(f.model.aircraft.ballastMass, 0.0, 1e-9);

    f.set(dz::Fuselage, dz::CgPosition, "60"); // wanted far aft of the components' centre
    f.compute();
    const double m = f.model.aircraft.ballastMass;
    EXPECT_GT(m, 0.0);
    const double L = 190;
    const double target = xWing + 60;
    const double u = (f.model.aircraft.totalMass - m) * (own - target);
    EXPECT_NEAR(u + m * ((L - 5) - target), 0.0, 1e-9);
}

TEST(DesignConversion, BrokenDesignsKeepTheTablesFinite) {
    for (auto [column, row, text] :
         {std::tuple{dz::MainWing, dz::Span, "0"}, std::tuple{dz::MainWing, dz::RootChord, "0"},
          std::tuple{dz::HorizontalTail, dz::Span, "0"}, std::tuple{dz::Fuselage, dz::Span, "0"},
          std::tuple{dz::MainWing, dz::TipChord, "-50"},
          std::tuple{dz::Fuselage, dz::RootChord, "x"}, std::tuple{dz::MainWing, dz::Span, "1e999"},
          std::tuple{dz::MainWing, dz::Span, "1e300"}}) {
        DesignTables f;
        f.compute();
        const data::Table before = f.tables.computed;
        f.set(column, row, text);
        const bool ok = f.compute();
        model::TransferDesignToInput(f.tables, f.model);
        for (int r = 1; r < data::computed::kRows; ++r) {
            for (int c = 1; c <= 5; ++c) {
                EXPECT_TRUE(CleanText(f.computed(c, r))) << text << " " << c << "," << r;
                if (!ok) {
                    EXPECT_EQ(f.computed(c, r), before.cell(c, r));
                }
            }
        }
        for (int r = 1; r < data::input::kRows; ++r) {
            EXPECT_TRUE(CleanText(f.input(r))) << text << " row " << r;
        }
    }
}

TEST(FlightLaws, ZeroIncidenceAtGlideSpeedIsTheZeroLiftDrag) {
    DesignTables f;
    f.compute();
    auto& m = f.model;
    const double total = m.aircraft.totalCd0;
    EXPECT_NEAR(m.flightDragCoefficient(0, 5), total, 1e-15);
    EXPECT_EQ(m.wing.liftCoefficient, 0.0);
    // At an angle of attack the laws store the lifts and drags they used.
    const double cd = m.flightDragCoefficient(0.05, 6);
    EXPECT_NEAR(m.wing.liftCoefficient, m.wing.liftSlope * 0.05, 1e-15);
    EXPECT_NEAR(cd,
                (m.wing.cd0 * m.wing.developedArea +
                 m.horizontalTail.cd0 * m.horizontalTail.developedArea +
                 m.fuselage.cd0 * m.fuselage.developedArea) /
                    m.wing.projectedArea,
                1e-15);
    EXPECT_GT(m.flightDragCoefficient(0.4, 5), total); // a stalled wing
    // The default wing's section at its mean chord: more lift at more speed.
    EXPECT_NEAR(m.wingMaxLift(6), 0.87266234951388266, 1e-15);
    EXPECT_NEAR(m.wingMaxLift(3), 0.85430952991111797, 1e-15);
    EXPECT_EQ(m.stallPitchMoment(0.01, 6), 0.0); // below the break
    EXPECT_LT(m.stallPitchMoment(0.4, 6), 0.0);  // nose down beyond it
}
