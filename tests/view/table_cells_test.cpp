// The decisions of the data tables on screen, without a widget.

#include "data/table.h"
#include "view/table_cells.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using skarvel::data::CellStyle;
using skarvel::data::Table;
using skarvel::data::ValueKind;
using namespace skarvel::view;

// Three columns by four rows: row 0 the header, column 2 read-only.
Table Editable() {
    Table table(3, 4);
    CellStyle editable;
    editable.editable = true;
    editable.kind = ValueKind::Real;
    table.setStyles({CellStyle{}, editable});
    table.assignColumnStyle(0, 1);
    table.assignColumnStyle(1, 1);
    for (int column = 0; column < 3; ++column)
        table.setColumnWidth(column, 0);
    return table;
}

TEST(TableCells, BlockEditWritesTheOtherEditableCellsOfTheRectangle) {
    const Table table = Editable();
    const std::vector<TableCell> selected{{0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
    const std::vector<TableCell> expected{{1, 1}, {0, 2}, {1, 2}};
    EXPECT_EQ(BlockTargets(table, selected, {0, 1}), expected);
}

TEST(TableCells, NoBlockUnlessOneRectangleHoldsTheEditedCell) {
    const Table table = Editable();
    // An L of three cells.
    EXPECT_TRUE(BlockTargets(table, {{0, 1}, {1, 1}, {0, 2}}, {0, 1}).empty());
    // A rectangle beside the edited cell.
    EXPECT_TRUE(BlockTargets(table, {{0, 2}, {0, 3}}, {0, 1}).empty());
}

TEST(TableCells, ValueColumnIsWideEnoughForASevenCharacterNumber) {
    Table table = Editable();
    table.setCell(0, 0, "a");
    table.setCell(2, 0, "a");
    // Ten pixels a character: "0.98360" and the padding round it.
    const TextWidth width = [](const std::string& text) {
        return 10 * static_cast<int>(text.size());
    };
    EXPECT_EQ(NeededWidth(table, 0, width, width, {}), 80);
    EXPECT_EQ(NeededWidth(table, 2, width, width, {}), 20);
    EXPECT_EQ(NeededWidth(table, 2, width, width, {"abcdef"}), 70);
}

} // namespace
