// The safe ranges against a fine sweep of the same setting: 400 steps walked
// outwards from the current value, each trim started from the step before
// (a glider trims on more than one branch; the range is the one the current
// glide is on), no bisection.

#include "app/advice.h"
#include "app/workspace.h"
#include "data/numtext.h"
#include "sim/modes.h"
#include "sim/trim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using skarvel::app::Workspace;
namespace sim = skarvel::sim;

// Whether the value trims unstalled with every root decaying; the trim
// starts from `start` and leaves its straight glide there.
bool Good(const std::string& name, double value, sim::StraightGlide& start) {
    Workspace ws;
    ws.files().openDesignFile(std::string(SKARVEL_EXAMPLES) + "/default.kx");
    ws.sweeps().applySettings({name + "=" + skarvel::data::FormatShortest(value)});
    const auto base = ws.sweeps().base();
    sim::AnalysisPoint point(base.tables.input, base.tables.parameter, base.model.get());
    const auto straight = sim::TrimStraightGlide(point, start);
    const auto trim = straight ? sim::TrimSteadyGlide(point, *straight) : std::nullopt;
    if (!trim || trim->stalled) {
        return false;
    }
    start = *straight;
    const auto a = sim::Linearise(point, trim->state);
    const auto re = a ? sim::LargestRealPart(*a) : std::nullopt;
    return re && *re < 0;
}

TEST(Advice, RangesAgreeWithAFineSweepWithinOnePercentOfTheBox) {
    Workspace ws;
    ws.files().openDesignFile(std::string(SKARVEL_EXAMPLES) + "/default.kx");
    const auto advice = skarvel::app::Advise(ws.sweeps().base(), true);
    ASSERT_TRUE(advice.currentTrims);
    ASSERT_EQ(advice.settings.size(), 4u);
    for (const std::size_t k : {0u, 1u}) { // the centre of gravity, the tail setting
        const auto& s = advice.settings[k];
        ASSERT_TRUE(s.low && s.high && s.best) << s.name;
        const double span = s.boxHigh - s.boxLow;
        const double step = span / 400;
        // The run of good values around the current one, walked outwards.
        sim::StraightGlide start;
        ASSERT_TRUE(Good(s.name, s.current, start)) << s.name;
        double low = s.current;
        while (low - step >= s.boxLow && Good(s.name, low - step, start)) {
            low -= step;
        }
        start = {};
        Good(s.name, s.current, start);
        double high = s.current;
        while (high + step <= s.boxHigh && Good(s.name, high + step, start)) {
            high += step;
        }
        EXPECT_NEAR(*s.low, low, 0.01 * span) << s.name;
        EXPECT_NEAR(*s.high, high, 0.01 * span) << s.name;
        EXPECT_GE(*s.best, *s.low) << s.name;
        EXPECT_LE(*s.best, *s.high) << s.name;
    }
    // The ballast follows the centre of gravity: more of it the further forward.
    const auto& cg = advice.settings[0];
    ASSERT_TRUE(cg.ballast);
    EXPECT_GT((*cg.ballast)[0], (*cg.ballast)[1]);
}

TEST(Advice, TextNamesTheLimits) {
    skarvel::app::Advice advice;
    skarvel::app::SettingAdvice s;
    s.name = "水平尾翼取付角";
    s.low = -0.957935;
    s.high = 0.422388;
    s.best = 0.42;
    s.lowLimit = "phugoid-unstable";
    s.highLimit = "box-edge";
    advice.settings = {s};
    skarvel::app::SettingAdvice none;
    none.name = "垂直尾翼容積";
    none.current = 0.07;
    none.lowLimit = none.highLimit = "no-trim";
    none.ballast = std::array<double, 3>{1, 2, 3};
    advice.settings.push_back(none);
    EXPECT_EQ(skarvel::app::AdviceText(advice),
              "setting\t水平尾翼取付角\t0\t-0.957935\t0.422388\t0.42\tphugoid-unstable\tbox-edge\n"
              "setting\t垂直尾翼容積\t0.07\t-\t-\t-\tno-trim\tno-trim\n"
              "ballast\t1\t2\t3\n");
}

} // namespace

// The window's page: a row per setting in its words, and the best value
// written into the tables as one step that undo takes back.
TEST(Advice, ThePageAndItsButton) {
    Workspace ws;
    ws.files().openDesignFile(std::string(SKARVEL_EXAMPLES) + "/default.kx");
    const skarvel::app::Advice advice = ws.analysis().advice();
    const auto rows = skarvel::app::ViewAdvice(advice);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].caption, "胴体/重心位置（mm）");
    EXPECT_EQ(rows[1].text,
              "現在 0。安定な範囲 -0.96〜0.42（下限: フゴイドが発散、上限: フゴイド(実根)が発散）。"
              "最良滑空比 0.42、最小沈下率 0.32。");
    EXPECT_EQ(rows[1].applyText, "最良値 0.42 にする");
    const std::string before = ws.tables().input.cell(1, skarvel::data::input::TailSetting);
    ASSERT_TRUE(ws.analysis().applyAdvice(advice.settings[1]));
    EXPECT_EQ(ws.tables().input.cell(1, skarvel::data::input::TailSetting), "0.42");
    EXPECT_EQ(ws.edits().undoName(), "調整の目安: 水平尾翼取付角 を 0.42 に");
    EXPECT_EQ(ws.history().rows().size(), 0u); // nothing flew
    ws.edits().undo();
    EXPECT_EQ(ws.tables().input.cell(1, skarvel::data::input::TailSetting), before);
    // A design cell: the design converted with it.
    ASSERT_TRUE(ws.analysis().applyAdvice(advice.settings[0]));
    EXPECT_EQ(
        ws.tables().design.cell(skarvel::data::design::Fuselage, skarvel::data::design::CgPosition),
        skarvel::app::BestValueText(advice.settings[0]));
    // Rounded inwards: a best value at the range's edge stays inside.
    skarvel::app::SettingAdvice edge;
    edge.boxLow = -6;
    edge.boxHigh = 6;
    edge.low = edge.best = -0.958;
    edge.high = 0.42;
    EXPECT_EQ(skarvel::app::BestValueText(edge), "-0.95");
}
