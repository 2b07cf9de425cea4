#pragma once
// Shared set-up for the flight tests: the program's default tables.

#include "data/tables.h"
#include "sim/estimate.h"
#include "sim/flight_record.h"
#include "sim/input_set.h"
#include "sim/load.h"

#include <algorithm>
#include <string>

namespace skarvel::test {

struct DefaultTables {
    data::Tables tables;
    sim::InputSet in;

    DefaultTables() { data::ResetTables(tables); }
    void setInput(int row, const std::string& text) {
        tables.input.setCell(data::input::kValueColumn, row, text);
    }
    const std::string& param(int row) const {
        return tables.parameter.cell(data::param::kValueColumn, row);
    }
    // Estimate and load, as a run from the input data does.
    void prepare() {
        sim::EstimateDerivatives(tables.input, tables.parameter, in);
        sim::LoadInputSet(tables.input, tables.parameter, in);
    }
};

// The most the specific energy 1/2 V^2 + g h (J/kg) of a flight in still air
// ever rises above its least value so far. Lift across the flow and drag
// against it can only take energy away; what remains is integration error.
inline double LargestEnergyRise(const sim::FlightRecord& record) {
    double least = 0;
    double rise = 0;
    for (int k = 0; k <= record.lastIndex; ++k) {
        const sim::FlightSample& s = record.sample(k);
        const double energy = 0.5 * (s.u * s.u + s.v * s.v + s.w * s.w) - sim::kGravity * s.z;
        least = k == 0 ? energy : std::min(least, energy);
        rise = std::max(rise, energy - least);
    }
    return rise;
}

} // namespace skarvel::test
