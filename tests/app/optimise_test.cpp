// The optimiser against the sweep it replaces: on the default design over the
// centre of gravity and the tail setting, at least as good as the best of a
// 25 x 25 grid in a tenth of its evaluations for the steady glide's ratio,
// and within 5 % of the grid's longest flight in no more evaluations; the
// same result whatever the number of workers.

#include "app/optimise.h"
#include "app/optimise_model.h"
#include "app/workspace.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

using namespace skarvel::app;

OptimiseOptions Options(const std::string& figure, int budget) {
    OptimiseOptions o;
    o.figure = ParseOptimiseFigure(figure);
    o.variables = {ParseOptimiseVariable("胴体/重心位置=0:52.5"),
                   ParseOptimiseVariable("水平尾翼取付角=-6:6")};
    o.budget = budget;
    o.jobs = 2;
    return o;
}

// The best feasible figure of a 25 x 25 grid over the box, corners included.
double GridBest(const SweepBase& base, const OptimiseOptions& o) {
    double best = -HUGE_VAL;
    for (int i = 0; i < 25; ++i) {
        for (int j = 0; j < 25; ++j) {
            const std::vector<double> x = {
                o.variables[0].from + (o.variables[0].to - o.variables[0].from) * i / 24,
                o.variables[1].from + (o.variables[1].to - o.variables[1].from) * j / 24};
            const PointValue p = EvaluatePoint(base, o, x);
            if (p.feasible()) {
                best = std::max(best, *p.figure);
            }
        }
    }
    return best;
}

Workspace& DefaultDesign() {
    static Workspace ws;
    static const bool opened = [] {
        ws.files().openDesignFile(std::string(SKARVEL_EXAMPLES) + "/default.kx");
        return true;
    }();
    (void)opened;
    return ws;
}

TEST(Optimise, BeatsAGridOfTheSteadyGlideInATenthOfItsEvaluations) {
    const SweepBase base = DefaultDesign().sweeps().base();
    OptimiseOptions o = Options("glide-ratio", 62);
    o.requirements = {ParseRequirement("stable")};
    const double grid = GridBest(base, o);
    const OptimiseResult r = Optimise(base, o, OpenLocalSearch());
    ASSERT_TRUE(r.best);
    EXPECT_LE(r.evaluations, 62);
    EXPECT_GE(*r.best, grid);
    // The printed values fly the best point again.
    EXPECT_TRUE(EvaluatePoint(base, o, r.values).feasible());
    EXPECT_EQ(*EvaluatePoint(base, o, r.values).figure, *r.best);
}

// (Also run under ThreadSanitizer.)
TEST(Optimise, TheSameResultWhateverTheNumberOfWorkers) {
    const SweepBase base = DefaultDesign().sweeps().base();
    OptimiseOptions o = Options("glide-ratio", 40);
    o.requirements = {ParseRequirement("stable")};
    o.jobs = 1;
    const std::string one = OptimiseText(o, Optimise(base, o, OpenLocalSearch()));
    o.jobs = 3;
    EXPECT_EQ(OptimiseText(o, Optimise(base, o, OpenLocalSearch())), one);
    // A run of the window's stops when asked, with what it found so far.
    o.budget = 100000;
    OptimiseJob job(base, o, OpenLocalSearch());
    job.cancel();
    while (!job.finished()) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(job.result().stopped);
    EXPECT_LT(job.result().evaluations, 100000);
}

TEST(Optimise, NearTheGridsLongestFlightInNoMoreEvaluations) {
    const SweepBase base = DefaultDesign().sweeps().base();
    const OptimiseOptions o = Options("滞空時間", 625);
    const double grid = GridBest(base, o);
    const OptimiseResult r = Optimise(base, o, OpenLocalSearch());
    ASSERT_TRUE(r.best);
    EXPECT_LE(r.evaluations, 625);
    EXPECT_GE(*r.best, 0.95 * grid) << "grid " << grid;
}

TEST(Optimise, RefusalsAndTheText) {
    // Every figure the window offers is one the optimiser takes.
    for (const OptimiseChoice& c : OptimiseFigureChoices()) {
        EXPECT_NO_THROW(ParseOptimiseFigure(c.name)) << c.name;
    }
    OptimiseEntries e;
    e.figure = "滞空時間";
    e.variables = {{"水平尾翼取付角", "2", "-2"}};
    e.budgetText = "50";
    EXPECT_EQ(CheckOptimiseEntries(e, 2).error,
              "変数 1（水平尾翼取付角）: 範囲の下限を上限より小さくしてください");
    e.variables = {{"水平尾翼取付角", "-2", "2"}};
    EXPECT_TRUE(CheckOptimiseEntries(e, 2).options);
    EXPECT_THROW(ParseOptimiseFigure("speed"), OptimiseError);
    EXPECT_THROW(ParseRequirement("margin>=x"), OptimiseError);
    EXPECT_EQ(ParseRequirement("margin>=5").margin, 5);
    EXPECT_THROW(ParseOptimiseVariable("水平尾翼取付角=6:-6"), OptimiseError);
    EXPECT_THROW(ParseOptimiseVariable("どこにもない=0:1"), OptimiseError);
    OptimiseOptions o = Options("sink", 10);
    o.maximise = false;
    OptimiseResult r;
    r.start = 0.7;
    r.evaluations = 10;
    EXPECT_EQ(OptimiseText(o, r), "best\tsink\t-\nstart\tsink\t0.7\nvalue\t胴体/重心位置\t-\n"
                                  "value\t水平尾翼取付角\t-\nevaluations\t10\n");
}

} // namespace
