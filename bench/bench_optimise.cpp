// One optimisation of the default design over the centre of gravity and the
// tail setting: the trim's glide ratio under the stability requirement in 62
// evaluations, and the longest flight in 200; the evaluations it made and
// its time.

#include "app/optimise.h"
#include "app/workspace.h"

#include <benchmark/benchmark.h>

namespace {

using namespace skarvel;

void BM_Optimise(benchmark::State& state) {
    app::Workspace ws;
    ws.convertToInput();
    app::OptimiseOptions o;
    const bool glide = state.range(0) == 0;
    o.figure = app::ParseOptimiseFigure(glide ? "glide-ratio" : "滞空時間");
    o.variables = {app::ParseOptimiseVariable("胴体/重心位置=0:52.5"),
                   app::ParseOptimiseVariable("水平尾翼取付角=-6:6")};
    if (glide) {
        o.requirements = {app::ParseRequirement("stable")};
    }
    o.budget = glide ? 62 : 200;
    o.jobs = 2;
    const app::LocalSearch search = app::OpenLocalSearch();
    int evaluations = 0;
    for (auto _ : state) {
        evaluations = app::Optimise(ws.sweeps().base(), o, search).evaluations;
    }
    state.counters["evaluations"] = evaluations;
    state.SetLabel(glide ? "glide ratio, stable" : "滞空時間");
}
BENCHMARK(BM_Optimise)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
