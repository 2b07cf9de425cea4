#pragma once
// The program's tables as the reset leaves them, for the data tests.

#include "data/tables.h"

#include <string>
#include <vector>

namespace skarvel::test {

inline data::Tables FreshTables() {
    data::Tables tables;
    data::ResetTables(tables);
    return tables;
}

inline data::Table DefaultInput() {
    return FreshTables().input;
}
inline data::Table DefaultDesign() {
    return FreshTables().design;
}

// Every cell text of a table, row after row.
inline std::vector<std::string> Cells(const data::Table& table) {
    std::vector<std::string> cells;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column)
            cells.push_back(table.cell(column, row));
    }
    return cells;
}

} // namespace skarvel::test
