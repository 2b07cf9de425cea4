#include "data/table.h"

#include <gtest/gtest.h>

using namespace skarvel::data;

namespace {

CellStyle Style(bool editable, int indent) {
    CellStyle style;
    style.editable = editable;
    style.indent = indent;
    return style;
}

} // namespace

TEST(Table, CellsInsideAndOutside) {
    Table table(3, 4);
    EXPECT_EQ(table.columnCount(), 3);
    EXPECT_EQ(table.rowCount(), 4);
    table.setCell(2, 3, "x");
    table.setCell(0, 0, "h");
    EXPECT_EQ(table.cell(2, 3), "x");
    EXPECT_EQ(table.cell(0, 0), "h");
    EXPECT_EQ(table.cell(3, 2), ""); // not the next row's first cell
    table.setCell(3, 0, "outside");
    table.setCell(-1, 1, "outside");
    table.setCell(0, 4, "outside");
    EXPECT_EQ(table.cell(0, 1), "");
    EXPECT_EQ(table.cell(-1, 1), "");
    EXPECT_EQ(table.cell(0, 4), "");
    table.clearCells();
    EXPECT_EQ(table.cell(2, 3), "");
    EXPECT_EQ(table.cell(0, 0), "");
}

TEST(Table, ColumnWidths) {
    Table table(2, 2);
    EXPECT_EQ(table.columnWidth(0), 64);
    EXPECT_EQ(table.columnWidth(1), 64);
    table.setColumnWidth(1, 40);
    table.setColumnWidth(2, 99);
    EXPECT_EQ(table.columnWidth(0), 64);
    EXPECT_EQ(table.columnWidth(1), 40);
}

TEST(Table, StyleResolutionCellThenRowThenColumn) {
    Table table(4, 4);
    table.setStyles({Style(false, 0), Style(true, 1), Style(false, 2), Style(true, 3)});
    table.assignColumnStyle(1, 1);
    table.assignRowStyle(2, 2);
    table.assignCellStyle(1, 2, 3);
    EXPECT_EQ(table.styleIndex(0, 1), 0);
    EXPECT_EQ(table.styleIndex(1, 1), 1);
    EXPECT_EQ(table.styleIndex(0, 2), 2);
    EXPECT_EQ(table.styleIndex(1, 2), 3);
    EXPECT_EQ(table.styleIndex(2, 2), 2);
    EXPECT_EQ(table.style(1, 2).indent, 3);
    table.clearStyleAssignments();
    EXPECT_EQ(table.styleIndex(1, 2), 0);
    EXPECT_EQ(table.styleIndex(1, 1), 0);
}

TEST(Table, AssignmentBeyondTheListFallsBackToTheFirstStyle) {
    Table table(2, 2);
    table.setStyles({Style(false, 7)});
    table.assignCellStyle(1, 1, 5);
    EXPECT_EQ(table.style(1, 1).indent, 7);
    table.setStyles({});
    EXPECT_FALSE(table.style(1, 1).editable);
}

TEST(Table, HeaderAndFixedCellsAreNeverEditable) {
    Table table(3, 3, 1);
    table.setStyles({Style(true, 0)});
    EXPECT_EQ(table.fixedColumns(), 1);
    EXPECT_FALSE(table.isEditable(1, 0));
    EXPECT_FALSE(table.isEditable(0, 1));
    EXPECT_TRUE(table.isEditable(1, 1));
    EXPECT_TRUE(table.isEditable(2, 2));
    EXPECT_FALSE(table.isEditable(3, 1));
    EXPECT_FALSE(table.isEditable(1, 3));
    EXPECT_FALSE(table.isEditable(-1, 1));
    table.setStyles({Style(true, 0), Style(false, 0)});
    table.assignRowStyle(2, 1);
    EXPECT_FALSE(table.isEditable(1, 2));
    EXPECT_TRUE(table.isEditable(1, 1));
}

TEST(AcceptsCharacter, ByValueKind) {
    for (char32_t digit = U'0'; digit <= U'9'; ++digit) {
        EXPECT_TRUE(AcceptsCharacter(ValueKind::Real, digit));
    }
    for (char32_t ch : {U'+', U'-', U'.', U'E', U'e'})
        EXPECT_TRUE(AcceptsCharacter(ValueKind::Real, ch)) << static_cast<int>(ch);
    for (char32_t ch : {U'x', U'D', U',', U' ', U'Ｅ', U'１', U'/'})
        EXPECT_FALSE(AcceptsCharacter(ValueKind::Real, ch)) << static_cast<int>(ch);
    for (char32_t ch : {U'x', U'あ', U'ﾋ', U' ', U'-'})
        EXPECT_TRUE(AcceptsCharacter(ValueKind::Text, ch)) << static_cast<int>(ch);
}

TEST(AcceptsCharacter, ControlCharactersAlwaysPass) {
    for (char32_t ch :
         {char32_t(0x00), char32_t(0x08), char32_t(0x0D), char32_t(0x1F), char32_t(0x7F)})
        EXPECT_TRUE(AcceptsCharacter(ValueKind::Real, ch)) << static_cast<int>(ch);
    EXPECT_FALSE(AcceptsCharacter(ValueKind::Real, 0x80));
    EXPECT_FALSE(AcceptsCharacter(ValueKind::Real, U'a'));
}
