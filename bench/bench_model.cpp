// Speed of the aircraft model: the design recomputation behind every design
// edit, and a 90 s flight on the design-based laws.

#include "data/tables.h"
#include "model/aircraft.h"
#include "model/conversion.h"
#include "sim/estimate.h"
#include "sim/load.h"
#include "sim/simulator.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace skarvel;

void BM_ComputeDesign(benchmark::State& state) {
    data::Tables tables;
    data::ResetTables(tables);
    model::AircraftModel model;
    for (auto _ : state) {
        benchmark::DoNotOptimize(model::ComputeDesign(tables, model));
    }
}
BENCHMARK(BM_ComputeDesign)->Unit(benchmark::kMicrosecond);

// Arg 0: the default design (a V tail, whose halves share one section);
// Arg 1: the same with a conventional tail and a fin of its own.
void BM_DesignFlight90s(benchmark::State& state) {
    data::Tables tables;
    data::ResetTables(tables);
    if (state.range(0) == 1) {
        namespace dz = data::design;
        tables.design.setCell(dz::VerticalTail, dz::Type, "通常尾翼");
        tables.design.setCell(dz::VerticalTail, dz::RootChord, "24");
    }
    model::AircraftModel model;
    model::ComputeDesign(tables, model);
    model::TransferDesignToInput(tables, model);
    tables.input.setCell(data::input::kValueColumn, data::input::Altitude, "2000");
    sim::InputSet in;
    sim::EstimateDerivatives(tables.input, tables.parameter, in);
    sim::LoadInputSet(tables.input, tables.parameter, in);
    auto record = std::make_unique<sim::FlightRecord>();
    sim::RunStatistics stats;
    sim::RunObserver silent;
    for (auto _ : state) {
        sim::RunFlight(in, &model, *record, stats, silent);
        benchmark::DoNotOptimize(record->lastIndex);
    }
    state.counters["samples"] = record->lastIndex;
}
BENCHMARK(BM_DesignFlight90s)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
