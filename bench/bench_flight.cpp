// Speed of the flight core: a 90 s flight, the derivative estimate, one
// evaluation of the equations of motion, and the stability analysis.

#include "data/tables.h"
#include "sim/dynamics.h"
#include "sim/estimate.h"
#include "sim/glide_polar.h"
#include "sim/load.h"
#include "sim/modes.h"
#include "sim/simulator.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace skarvel;

// Default tables launched high enough to fly the whole 90 s record.
struct LongFlight {
    data::Tables tables;
    sim::InputSet in;
    LongFlight() {
        data::ResetTables(tables);
        tables.input.setCell(data::input::kValueColumn, data::input::Altitude, "2000");
        sim::EstimateDerivatives(tables.input, tables.parameter, in);
        sim::LoadInputSet(tables.input, tables.parameter, in);
    }
};

void BM_Flight90s(benchmark::State& state) {
    LongFlight f;
    auto record = std::make_unique<sim::FlightRecord>();
    sim::RunStatistics stats;
    sim::RunObserver silent;
    for (auto _ : state) {
        sim::RunFlight(f.in, nullptr, *record, stats, silent);
        benchmark::DoNotOptimize(record->lastIndex);
    }
    state.counters["samples"] = record->lastIndex;
    state.counters["steps"] = 18000;
}
BENCHMARK(BM_Flight90s)->Unit(benchmark::kMillisecond);

void BM_Estimate(benchmark::State& state) {
    LongFlight f;
    for (auto _ : state) {
        sim::EstimateDerivatives(f.tables.input, f.tables.parameter, f.in);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Estimate)->Unit(benchmark::kMicrosecond);

void BM_Evaluate(benchmark::State& state) {
    LongFlight f;
    sim::Dynamics dyn(f.in, nullptr);
    sim::FlightSample s = f.in.initial;
    sim::FlightSample rates;
    for (auto _ : state) {
        dyn.evaluate(s, 0.5, rates);
        benchmark::DoNotOptimize(rates);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Evaluate);

// The stability analysis of the default data: estimate, both trim stages,
// linearisation and eigenvalues.
void BM_AnalyseStability(benchmark::State& state) {
    data::Tables tables;
    data::ResetTables(tables);
    for (auto _ : state) {
        const sim::StabilityAnalysis a =
            sim::AnalyseStability(tables.input, tables.parameter, nullptr);
        benchmark::DoNotOptimize(a.modes.data());
    }
}
BENCHMARK(BM_AnalyseStability)->Unit(benchmark::kMicrosecond);

// The 25-row glide polar of the default data.
void BM_GlidePolar(benchmark::State& state) {
    data::Tables tables;
    data::ResetTables(tables);
    for (auto _ : state) {
        const sim::GlidePolar p = sim::ComputeGlidePolar(tables.input, tables.parameter, nullptr);
        benchmark::DoNotOptimize(p.rows.data());
    }
}
BENCHMARK(BM_GlidePolar)->Unit(benchmark::kMillisecond);

} // namespace
