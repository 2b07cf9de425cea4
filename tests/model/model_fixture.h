#pragma once
// The default design in its tables, ready to change and recompute.

#include "data/numtext.h"
#include "data/tables.h"
#include "model/aircraft.h"
#include "model/conversion.h"

#include <string>

namespace skarvel::test {

struct DesignTables {
    data::Tables tables;
    model::AircraftModel model;

    DesignTables() { data::ResetTables(tables); }
    void set(int column, int row, const std::string& text) {
        tables.design.setCell(column, row, text);
    }
    bool compute() { return model::ComputeDesign(tables, model); }
    void convert() {
        compute();
        model::TransferDesignToInput(tables, model);
    }
    const std::string& input(int row) const { return tables.input.cell(1, row); }
    const std::string& computed(int column, int row) const {
        return tables.computed.cell(column, row);
    }
};

// True when a table text shows no NaN or infinity.
inline bool CleanText(const std::string& t) {
    return t.find("nan") == std::string::npos && t.find("inf") == std::string::npos;
}

} // namespace skarvel::test
