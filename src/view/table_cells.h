#pragma once
// What the data tables on screen decide about their cells, apart from any
// widget: which cells take an edit, which cells a block edit writes, how a
// cut text is shown and how wide a column must be.

#include "data/table.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel::view {

// A table cell.
struct TableCell {
    int column = 0;
    int row = 0;
    friend bool operator==(const TableCell&, const TableCell&) = default;
};

// The characters of `text` (Unicode code points) a cell of that kind refuses.
int RefusedCount(data::ValueKind kind, std::u32string_view text);

// The cell can be edited: its style is editable, it is no header or fixed
// cell, and it shows its text.
bool TakesEdit(const data::Table& table, int column, int row);

// The other cells a text confirmed in `edited` is written into when the
// cells `selected` are one rectangle holding it: its editable cells but
// `edited`, row by row. None when fewer than two cells are selected or the
// selection is no such rectangle.
std::vector<TableCell> BlockTargets(const data::Table& table,
                                    const std::vector<TableCell>& selected, TableCell edited);

// True when a right-aligned text `textWidth` pixels wide is drawn from the
// left instead: it does not fit into `room` pixels, and a text wider than
// its cell is cut on the right, so that a number keeps its sign and its
// leading digits.
bool ShownFromLeft(int textWidth, int room);

// The width in pixels of a text in a font.
using TextWidth = std::function<int(const std::string& text)>;

// The width table column `column` needs: its own width, widened for each of
// its texts (the header in the header font), for a 7-character number in a
// value cell, and for the texts `reserved` it may come to hold.
int NeededWidth(const data::Table& table, int column, const TextWidth& header,
                const TextWidth& cells, const std::vector<std::string>& reserved);

} // namespace skarvel::view
