// Sweeps of default flights on one and two workers: points per second, and
// the cost of one flight inside a sweep against a flight of its own.

#include "app/sweep.h"
#include "app/workspace.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using namespace skarvel;

// Default flights, the launch speed varied by a thousandth of a km/h.
void BM_Sweep(benchmark::State& state) {
    const auto workers = static_cast<int>(state.range(0));
    const auto points = state.range(1);
    app::Workspace ws;
    const app::SweepGrid grid({app::ParseSweepVariable(
        "初速=150:" + std::to_string(150 + 0.001 * static_cast<double>(points - 1)) + ":0.001")});
    for (auto _ : state) {
        app::Sweep sweep(ws.sweeps().base(), grid, {workers});
        std::size_t rows = 0;
        while (!sweep.finished()) {
            rows += sweep.takeRows(std::chrono::milliseconds(20)).size();
        }
        benchmark::DoNotOptimize(rows);
    }
    state.counters["points"] = static_cast<double>(grid.size());
    state.counters["points/s"] = benchmark::Counter(static_cast<double>(grid.size()),
                                                    benchmark::Counter::kIsIterationInvariantRate);
    state.counters["ms/point/worker"] = benchmark::Counter(
        static_cast<double>(grid.size()) / workers / 1000.0,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Sweep)
    ->Args({1, 200})
    ->Args({2, 200})
    ->Args({2, 1000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
