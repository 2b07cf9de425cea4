#pragma once
// Shared set-up for the flight tests: the program's default tables.

#include "data/tables.h"
#include "sim/estimate.h"
#include "sim/input_set.h"
#include "sim/load.h"

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

} // namespace skarvel::test
