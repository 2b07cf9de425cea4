// Two-stage wings and their junction.

#include "model_fixture.h"

#include "model/planform.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace skarvel;
using model::EdgeShape;
using test::DesignTables;
namespace dz = data::design;

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
    const auto& w1 = one.model.wing();
    const auto& w2 = two.model.wing();
    EXPECT_NEAR(w2.projectedArea, w1.projectedArea, 1e-9);
    EXPECT_NEAR(w2.centroidX, w1.centroidX, 1e-9);
    EXPECT_NEAR(w2.mac, w1.mac, 0.05); // summed against the trapezoidal one-stage form
    EXPECT_NEAR(w2.efficiency, w1.efficiency, 1e-9);
    EXPECT_NEAR(w2.effectiveSweep, w1.effectiveSweep, 1e-9);
    // The junction lies on the main wing's own edges: the virtual root is the root.
    const auto& a = two.model.aircraft();
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
        EXPECT_EQ(f.model.aircraft().junctionChord, 41.0);
    }
    {
        DesignTables f; // an inner span beyond the main span is the whole wing
        f.set(dz::MainWing, dz::Type, "2段上反角");
        f.set(dz::InnerWing, dz::Span, "300");
        f.compute();
        EXPECT_EQ(f.model.wingGeometry().etaJ, 1.0);
        EXPECT_NEAR(f.model.aircraft().junctionChord, 10.0, 1e-12); // the inner tip
        EXPECT_TRUE(std::isfinite(f.model.wing().projectedArea));
    }
    {
        DesignTables f; // unknown edge names still give a junction
        f.set(dz::MainWing, dz::Type, "2段上反角");
        f.set(dz::MainWing, dz::LeadingEdge, "波形");
        f.set(dz::InnerWing, dz::TrailingEdge, "?");
        EXPECT_TRUE(f.compute());
        EXPECT_TRUE(std::isfinite(f.model.aircraft().virtualRootChord));
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
