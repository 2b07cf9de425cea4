// Speed of what every edit costs besides the edit: recording the step, and
// the recovery file written for unsaved tables (off the input event, but it
// must never be felt: under 5 ms for the default design).

#include "app/advice.h"
#include "app/recovery.h"
#include "app/workspace.h"
#include "data/tables.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

using namespace skarvel;

void BM_RecoveryWrite(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("skarvel-bench-" + std::to_string(::getpid()));
    app::Workspace ws;
    ws.editCell(app::TableId::Input, 1, data::input::Altitude, "30");
    app::RecoveryKeeper keeper(ws, folder, ::getpid());
    for (auto _ : state) {
        keeper.update(ws, std::chrono::system_clock::now());
    }
    keeper.remove();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_RecoveryWrite)->Unit(benchmark::kMillisecond);

// One input cell typed: the step recorded with it.
void BM_CellEditStep(benchmark::State& state) {
    app::Workspace ws;
    int i = 0;
    for (auto _ : state) {
        ws.editCell(app::TableId::Input, 1, data::input::Altitude, std::to_string(++i % 100));
    }
}
BENCHMARK(BM_CellEditStep)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// Where the default data's launch settles (it settles in a few seconds of
// flight; the limit is 600 s), and the advice on the default design's four
// settings.
void BM_Settling(benchmark::State& state) {
    app::Workspace ws;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ws.analysis().settling());
    }
}
BENCHMARK(BM_Settling)->Unit(benchmark::kMillisecond);

void BM_AdviseDefaultDesign(benchmark::State& state) {
    app::Workspace ws;
    ws.convertToInput();
    for (auto _ : state) {
        benchmark::DoNotOptimize(app::Advise(ws.sweeps().base(), true));
    }
}
BENCHMARK(BM_AdviseDefaultDesign)->Unit(benchmark::kMillisecond);

} // namespace
