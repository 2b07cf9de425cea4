#include "data/table_change.h"

namespace skarvel::data {

namespace {

std::size_t StylingBytes(const Table::Styling& s) {
    constexpr std::size_t kMapNode = 48; // a map entry with its tree links
    return s.widths.size() * sizeof(int) + s.styles.size() * sizeof(CellStyle) +
           (s.cellStyles.size() + s.rowStyles.size() + s.columnStyles.size()) * kMapNode;
}

} // namespace

std::size_t TableChange::bytes() const {
    std::size_t n = 0;
    for (const CellChange& c : cells) {
        n += sizeof(CellChange) + c.before.capacity() + c.after.capacity();
    }
    if (stylingBefore) {
        n += StylingBytes(*stylingBefore) + StylingBytes(*stylingAfter);
    }
    return n;
}

TableChange ChangeBetween(const Table& before, const Table& after) {
    TableChange change;
    for (int row = 0; row < before.rowCount(); ++row) {
        for (int column = 0; column < before.columnCount(); ++column) {
            const std::string& was = before.cell(column, row);
            const std::string& is = after.cell(column, row);
            if (was != is) {
                change.cells.push_back({column, row, was, is});
            }
        }
    }
    Table::Styling was = before.styling();
    Table::Styling is = after.styling();
    if (!(was == is)) {
        change.stylingBefore = std::make_shared<const Table::Styling>(std::move(was));
        change.stylingAfter = std::make_shared<const Table::Styling>(std::move(is));
    }
    return change;
}

void Undo(Table& table, const TableChange& change) {
    for (const CellChange& c : change.cells) {
        table.setCell(c.column, c.row, c.before);
    }
    if (change.stylingBefore) {
        table.setStyling(*change.stylingBefore);
    }
}

void Redo(Table& table, const TableChange& change) {
    for (const CellChange& c : change.cells) {
        table.setCell(c.column, c.row, c.after);
    }
    if (change.stylingAfter) {
        table.setStyling(*change.stylingAfter);
    }
}

} // namespace skarvel::data
