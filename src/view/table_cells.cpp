#include "view/table_cells.h"

#include <algorithm>
#include <set>
#include <utility>

namespace skarvel::view {

namespace {

// Room around a cell's text: the frame, the margins and the caret.
constexpr int kTextPadding = 10;
// The widest number a value cell must show whole.
constexpr char kWidestNumber[] = "0.98360";

} // namespace

int RefusedCount(data::ValueKind kind, std::u32string_view text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [kind](char32_t ch) {
        return !data::AcceptsCharacter(kind, ch);
    }));
}

bool TakesEdit(const data::Table& table, int column, int row) {
    return table.isEditable(column, row) && !table.style(column, row).hiddenText;
}

std::vector<TableCell> BlockTargets(const data::Table& table,
                                    const std::vector<TableCell>& selected, TableCell edited) {
    if (selected.size() < 2)
        return {};
    int top = edited.row, bottom = edited.row;
    int left = edited.column, right = edited.column;
    std::set<std::pair<int, int>> cells;
    for (const TableCell& c : selected) {
        cells.insert({c.row, c.column});
        top = std::min(top, c.row);
        bottom = std::max(bottom, c.row);
        left = std::min(left, c.column);
        right = std::max(right, c.column);
    }
    // Only one rectangle holding the edited cell is a block.
    if (cells.count({edited.row, edited.column}) == 0 ||
        static_cast<long long>(cells.size()) !=
            static_cast<long long>(bottom - top + 1) * (right - left + 1))
        return {};
    std::vector<TableCell> targets;
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            const TableCell cell{c, r};
            if (cell != edited && TakesEdit(table, c, r))
                targets.push_back(cell);
        }
    }
    return targets;
}

bool ShownFromLeft(int textWidth, int room) {
    return textWidth > room;
}

int NeededWidth(const data::Table& table, int column, const TextWidth& header,
                const TextWidth& cells, const std::vector<std::string>& reserved) {
    int width = table.columnWidth(column);
    for (int row = 0; row < table.rowCount(); ++row) {
        const data::CellStyle& style = table.style(column, row);
        const TextWidth& measure = row == 0 ? header : cells;
        int needed = measure(table.cell(column, row)) + style.indent + kTextPadding;
        if (row > 0 && style.kind != data::ValueKind::Text)
            needed = std::max(needed, cells(kWidestNumber) + style.indent + kTextPadding);
        width = std::max(width, needed);
    }
    for (const std::string& text : reserved)
        width = std::max(width, cells(text) + kTextPadding);
    return width;
}

} // namespace skarvel::view
