#include "data/table.h"

#include <algorithm>

namespace skarvel::data {
namespace {

constexpr int kDefaultColumnWidth = 64;

bool IsDigit(char32_t ch) {
    return ch >= U'0' && ch <= U'9';
}

} // namespace

bool AcceptsCharacter(ValueKind kind, char32_t ch) {
    // Backspace, Enter and the like must reach the editor whatever the kind.
    if (ch < 0x20 || ch == 0x7F)
        return true;
    switch (kind) {
    case ValueKind::Real:
        return IsDigit(ch) || ch == U'+' || ch == U'-' || ch == U'.' || ch == U'E' || ch == U'e';
    case ValueKind::Text:
        return true;
    }
    return false;
}

Table::Table(int columns, int rows, int fixedColumns)
    : columns_(std::max(columns, 0)), rows_(std::max(rows, 0)),
      fixedColumns_(std::clamp(fixedColumns, 0, std::max(columns, 0))),
      cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_)),
      widths_(static_cast<std::size_t>(columns_), kDefaultColumnWidth), styles_(1) {}

bool Table::inside(int column, int row) const {
    return column >= 0 && column < columns_ && row >= 0 && row < rows_;
}

const std::string& Table::cell(int column, int row) const {
    static const std::string empty;
    if (!inside(column, row))
        return empty;
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                  static_cast<std::size_t>(column)];
}

void Table::setCell(int column, int row, std::string text) {
    if (!inside(column, row))
        return;
    cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(column)] = std::move(text);
}

void Table::clearCells() {
    for (std::string& text : cells_)
        text.clear();
}

int Table::columnWidth(int column) const {
    if (column < 0 || column >= columns_)
        return 0;
    return widths_[static_cast<std::size_t>(column)];
}

void Table::setColumnWidth(int column, int pixels) {
    if (column < 0 || column >= columns_)
        return;
    widths_[static_cast<std::size_t>(column)] = pixels;
}

void Table::setStyles(std::vector<CellStyle> styles) {
    styles_ = std::move(styles);
    // Style 0 is the fallback of every cell, so the list is never empty.
    if (styles_.empty())
        styles_.emplace_back();
}

void Table::assignCellStyle(int column, int row, int style) {
    cellStyles_[{column, row}] = style;
}

void Table::assignRowStyle(int row, int style) {
    rowStyles_[row] = style;
}

void Table::assignColumnStyle(int column, int style) {
    columnStyles_[column] = style;
}

Table::Styling Table::styling() const {
    return {widths_, styles_, cellStyles_, rowStyles_, columnStyles_};
}

void Table::setStyling(Styling styling) {
    widths_ = std::move(styling.widths);
    styles_ = std::move(styling.styles);
    cellStyles_ = std::move(styling.cellStyles);
    rowStyles_ = std::move(styling.rowStyles);
    columnStyles_ = std::move(styling.columnStyles);
}

void Table::clearStyleAssignments() {
    cellStyles_.clear();
    rowStyles_.clear();
    columnStyles_.clear();
}

int Table::styleIndex(int column, int row) const {
    if (auto it = cellStyles_.find({column, row}); it != cellStyles_.end())
        return it->second;
    if (auto it = rowStyles_.find(row); it != rowStyles_.end())
        return it->second;
    if (auto it = columnStyles_.find(column); it != columnStyles_.end())
        return it->second;
    return 0;
}

const CellStyle& Table::style(int column, int row) const {
    int index = styleIndex(column, row);
    // An assignment past the end of the list falls back to the first style.
    if (index < 0 || static_cast<std::size_t>(index) >= styles_.size())
        index = 0;
    return styles_[static_cast<std::size_t>(index)];
}

bool Table::isEditable(int column, int row) const {
    if (!inside(column, row) || row == 0 || column < fixedColumns_)
        return false;
    return style(column, row).editable;
}

} // namespace skarvel::data
