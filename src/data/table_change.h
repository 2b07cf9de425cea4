#pragma once
// What an edit changed in a table, kept small: the texts of the cells that
// changed, and the styling only when it changed. Applied backwards it gives
// the table before the edit, forwards the table after it, byte for byte.

#include "data/table.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace skarvel::data {

struct CellChange {
    int column = 0;
    int row = 0;
    std::string before;
    std::string after;
};

struct TableChange {
    std::vector<CellChange> cells;
    // Both set, or neither (the styling did not change).
    std::shared_ptr<const Table::Styling> stylingBefore;
    std::shared_ptr<const Table::Styling> stylingAfter;

    bool empty() const { return cells.empty() && !stylingBefore; }
    // The memory the change holds beyond its own object, roughly, in bytes.
    std::size_t bytes() const;
};

// The change from `before` to `after`, tables of one shape.
TableChange ChangeBetween(const Table& before, const Table& after);
// Puts the table back as it was before the change, or forward to after it.
void Undo(Table& table, const TableChange& change);
void Redo(Table& table, const TableChange& change);

} // namespace skarvel::data
