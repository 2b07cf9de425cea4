// Where a launch settles, on the examples whose end is known: a stalled
// turn, a limit cycle the trim never shows, two stable glides, and the
// ends that are no glide at all.

#include "app/workspace.h"
#include "sim/settle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using skarvel::app::Workspace;
using skarvel::sim::SettleKind;

skarvel::sim::SettleAnalysis Settle(const std::string& design,
                                    const std::vector<std::string>& settings = {}) {
    Workspace ws;
    if (!design.empty()) {
        ws.files().openDesignFile(std::string(SKARVEL_EXAMPLES) + "/" + design);
    }
    ws.sweeps().applySettings(settings);
    return ws.analysis().settling();
}

TEST(Settling, TheDefaultDataAtMinusOneDegreeSettleIntoAStalledTurn) {
    const auto a = Settle("", {"水平尾翼取付角=-1"});
    const auto& s = a.settling;
    ASSERT_EQ(s.kind, SettleKind::Glide);
    EXPECT_NEAR(s.V, 4.2775, 1e-3);
    EXPECT_NEAR(s.sink, 1.1816, 1e-3);
    ASSERT_TRUE(s.radius);
    EXPECT_NEAR(*s.radius, 10.59, 0.01);
    // Newton's method from there finds the stalled glide it flies.
    EXPECT_TRUE(s.equilibrium);
    const auto ends = std::find_if(a.equilibria.begin(), a.equilibria.end(),
                                   [](const auto& e) { return e.endsHere; });
    ASSERT_NE(ends, a.equilibria.end());
    EXPECT_TRUE(ends->trim.stalled);
    EXPECT_NEAR(ends->trim.V, s.V, 1e-4 * s.V);
}

TEST(Settling, VTailSineEndsInACycleItsTrimNeverShows) {
    const auto a = Settle("v-tail-sine.kx");
    const auto& s = a.settling;
    ASSERT_EQ(s.kind, SettleKind::Cycle);
    EXPECT_NEAR(s.vMin, 3.57, 0.01);
    EXPECT_NEAR(s.vMax, 6.13, 0.01);
    EXPECT_NEAR(s.period, 3.0, 0.05);
    ASSERT_FALSE(a.equilibria.empty());
    // The sink of the cycle is 11 % above the first trim's.
    EXPECT_NEAR(s.meanSink / a.equilibria.front().trim.sink, 1.116, 0.005);
    EXPECT_TRUE(std::none_of(a.equilibria.begin(), a.equilibria.end(),
                             [](const auto& e) { return e.endsHere; }));
}

TEST(Settling, TwinFinHasTwoStableGlidesAndItsPhugoidIsNoCycle) {
    const auto a = Settle("twin-fin.kx");
    // Its phugoid is damped only 0.02: it dies away, slowly.
    EXPECT_EQ(a.settling.kind, SettleKind::Glide);
    ASSERT_EQ(a.equilibria.size(), 2u);
    EXPECT_TRUE(a.equilibria[0].stable() && a.equilibria[1].stable());
    EXPECT_NE(a.equilibria[0].trim.stalled, a.equilibria[1].trim.stalled);
}

TEST(Settling, EndsThatAreNoGlide) {
    const auto diverges = Settle("", {"垂直尾翼容積=-0.2"}).settling;
    EXPECT_EQ(diverges.kind, SettleKind::Divergence);
    EXPECT_GT(diverges.time, 10);
    const auto dives = Settle("", {"両立余裕(重心)=-30"}).settling;
    EXPECT_EQ(dives.kind, SettleKind::Ground);
    EXPECT_LT(dives.time, 600);
}

} // namespace
