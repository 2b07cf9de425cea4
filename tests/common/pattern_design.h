#pragma once
// A design computed from the program's tables (or an example file), and its
// cutting pattern laid out on a paper, for the pattern's tests.

#include "data/design_file.h"
#include "data/tables.h"
#include "model/aircraft.h"
#include "model/conversion.h"
#include "view/pattern.h"

#include <optional>
#include <string>

namespace skarvel::test {

struct PatternDesign {
    data::Tables tables;
    model::AircraftModel model;
    bool computed = false;
    explicit PatternDesign(const std::string& file = {}) {
        data::ResetTables(tables);
        if (!file.empty()) {
            data::ReadDesignFile(std::string(SKARVEL_EXAMPLES) + "/" + file, tables.design);
        }
        computed = model::ComputeDesign(tables, model);
    }
    view::PatternLayout layout(view::PaperSize paper = view::PaperSize::A4,
                               const std::string& fileName = "test.kx",
                               std::optional<view::CgRange> stable = std::nullopt,
                               int copies = 1) const {
        return view::LayOutPattern(view::PatternPieces(model, computed, tables.design, stable),
                                   view::PaperDimensions(paper), view::kPatternMargin, fileName,
                                   "2026-12-07", copies);
    }
    // The design with `text` in a cell of the design table, computed again.
    PatternDesign& set(int column, int row, const std::string& text) {
        tables.design.setCell(column, row, text);
        computed = model::ComputeDesign(tables, model);
        return *this;
    }
};

} // namespace skarvel::test
