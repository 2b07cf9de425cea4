#include "sim_fixture.h"

#include "data/numtext.h"
#include "sim/estimate.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace skarvel;
using sim::kPi;
using test::DefaultTables;
namespace row = data::input;
namespace par = data::param;

TEST(LiftSlope, BlendsSlenderAndTwoDimensionalSlopes) {
    EXPECT_EQ(sim::LiftSlope(0), 0.0);
    EXPECT_EQ(sim::LiftSlope(-3), 0.0);
    // Large aspect ratios approach the two-dimensional slope 2 pi.
    EXPECT_NEAR(sim::LiftSlope(1e6), 2 * kPi, 1e-4);
    EXPECT_NEAR(sim::LiftSlope(2.9), 2.88067, 1e-5);
}

// The estimate of the default inputs, pinned; `skarvel-cli estimate` prints
// them anew after a change meant to alter them.
TEST(Estimate, DefaultInputsGiveTheKnownParameters) {
    DefaultTables f;
    sim::EstimateDerivatives(f.tables.input, f.tables.parameter, f.in);
    const std::pair<int, const char*> expected[] = {{par::S, "45"},
                                                    {par::b, "168"},
                                                    {par::mass, "4.5"},
                                                    {par::Ixx, "42"},
                                                    {par::Iyy, "107"},
                                                    {par::Izz, "149"},
                                                    {par::hn, "65.339"},
                                                    {par::h, "71.339"},
                                                    {par::hnreal, "87.459"},
                                                    {par::CD0, "0.05"},
                                                    {par::Cm0, "0"},
                                                    {par::CLa, "4.6099"},
                                                    {par::CLq, "6.0641"},
                                                    {par::CLih, "0.66796"},
                                                    {par::Cma, "0.2766"},
                                                    {par::Cmq, "-27.527"},
                                                    {par::Cmih, "-3.0321"},
                                                    {par::Cyb, "-0.086234"},
                                                    {par::Cyp, "0"},
                                                    {par::Cyr, "0.12482"},
                                                    {par::Cydr, "0.086234"},
                                                    {par::Clb, "-0.21387"},
                                                    {par::Clb_CL, "-0.054252"},
                                                    {par::Clp, "-0.84358"},
                                                    {par::Clr_CL, "0.26852"},
                                                    {par::Cldr, "0"},
                                                    {par::Cnb, "0.062411"},
                                                    {par::Cnb_CL, "-0.0095106"},
                                                    {par::Cnp_CL, "-0.074716"},
                                                    {par::Cnr, "-0.090338"},
                                                    {par::Cnr_CD, "-0.26852"},
                                                    {par::Cndr, "-0.062411"},
                                                    {par::Cmb_it, "3.0321"},
                                                    {par::Cmr_it, "-4.3888"},
                                                    {par::Cna_it, "-0.26903"},
                                                    {par::Cnq_it, "-4.3888"},
                                                    {par::Cl_iw, "1.3672"}};
    for (const auto& [r, text] : expected) {
        EXPECT_EQ(f.param(r), text) << f.tables.parameter.cell(0, r);
    }
    // The stall model's values stay at full precision.
    EXPECT_NEAR(f.in.aw, 4.2382147637382035, 1e-13);
    EXPECT_NEAR(f.in.atEff, 0.3717250398726882, 1e-13);
    EXPECT_NEAR(f.in.St, 0.0010434434968017053, 1e-17);
    EXPECT_NEAR(f.in.L, 5.002666666666668, 1e-13);
    EXPECT_EQ(f.in.e, 0.97);
    // Displayed hn is 25 % plus 100 L a_t,eff / CLa.
    EXPECT_NEAR(data::ParseRealStrict(f.param(par::hn)),
                25 + 100 * f.in.L * f.in.atEff / (f.in.aw + f.in.atEff), 1e-3);
}

TEST(Estimate, SpecialInputs) {
    {
        DefaultTables f;
        f.setInput(row::StaticMargin, "0"); // centre of gravity on the neutral point
        sim::EstimateDerivatives(f.tables.input, f.tables.parameter, f.in);
        EXPECT_NEAR(f.in.Cma, 0.0, 1e-15);
        EXPECT_EQ(f.param(par::h), f.param(par::hn));
    }
    {
        DefaultTables f;
        f.setInput(row::TaperRatio, "1");
        sim::EstimateDerivatives(f.tables.input, f.tables.parameter, f.in);
        EXPECT_DOUBLE_EQ(f.in.Clp, -kPi / 3);
        EXPECT_DOUBLE_EQ(f.in.Cl_iw, kPi / 2);
        EXPECT_DOUBLE_EQ(f.in.Clr_CL, 2.0 / 6);
        EXPECT_EQ(f.param(par::Cl_iw), "1.5708");
    }
    {
        DefaultTables f;
        f.setInput(row::VTailAspect, "0");
        sim::EstimateDerivatives(f.tables.input, f.tables.parameter, f.in);
        for (int r : {par::Cyb, par::Cyr, par::Cnb, par::Cnr, par::Cydr, par::Cndr}) {
            EXPECT_EQ(data::ParseRealStrict(f.param(r)), 0.0) << r;
        }
    }
}

TEST(Estimate, FailureLeavesTheTableAsItWas) {
    DefaultTables f;
    sim::EstimateDerivatives(f.tables.input, f.tables.parameter, f.in);
    const data::Table before = f.tables.parameter;
    const double aw = f.in.aw;
    for (const auto& [r, text] :
         {std::pair{row::WingSpan, "0"}, std::pair{row::Mass, "0"}, std::pair{row::TailArm, "x"},
          std::pair{row::TaperRatio, "-1"}, std::pair{row::SpanEfficiency, "0"}}) {
        DefaultTables g;
        g.tables.parameter = before;
        g.in = f.in;
        g.setInput(r, text);
        sim::EstimateDerivatives(g.tables.input, g.tables.parameter, g.in);
        for (int p = 1; p < par::kRows; ++p) {
            EXPECT_EQ(g.param(p), before.cell(1, p)) << "row " << r << " param " << p;
        }
    }
    // A zero mass fails late: the lift slopes were already recomputed.
    DefaultTables g;
    g.in.aw = -1;
    g.setInput(row::Mass, "0");
    sim::EstimateDerivatives(g.tables.input, g.tables.parameter, g.in);
    EXPECT_EQ(g.in.aw, aw);
    EXPECT_EQ(g.param(par::S), "");
}
