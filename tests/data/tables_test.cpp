#include "data/tables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

using namespace skarvel::data;

namespace {

Tables FreshTables() {
    Tables tables;
    ResetTables(tables);
    return tables;
}

std::vector<int> Widths(const Table& table) {
    std::vector<int> widths;
    for (int c = 0; c < table.columnCount(); ++c)
        widths.push_back(table.columnWidth(c));
    return widths;
}

// Every cell text of a table, one row per line, cells between tabs.
std::string Dump(const char* name, const Table& table) {
    std::string text = std::string("[") + name + "]\n";
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            if (column > 0)
                text += '\t';
            text += table.cell(column, row);
        }
        text += '\n';
    }
    return text;
}

} // namespace

// Captions are the input-data file's keys and the design file's key parts: a
// changed character here changes the files.
TEST(TableReset, EveryCellTextOfTheFiveTables) {
    Tables t = FreshTables();
    const std::string dump = Dump("input", t.input) + Dump("parameter", t.parameter) +
                             Dump("marker", t.marker) + Dump("design", t.design) +
                             Dump("computed", t.computed);
    const auto golden = std::filesystem::path(__FILE__).parent_path() / "reset_tables.golden";
    std::ifstream file(golden, std::ios::binary);
    ASSERT_TRUE(file) << golden;
    const std::string expected{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
    EXPECT_EQ(dump, expected);
}

TEST(TableShapes, ColumnsRowsAndWidths) {
    Tables t = FreshTables();
    EXPECT_EQ(Widths(t.input), (std::vector<int>{92, 43, 33}));
    EXPECT_EQ(Widths(t.parameter), (std::vector<int>{53, 76, 39}));
    EXPECT_EQ(Widths(t.marker), (std::vector<int>{79, 57, 32}));
    EXPECT_EQ(Widths(t.design), (std::vector<int>{75, 60, 60, 60, 60, 60, 60, 40}));
    EXPECT_EQ(Widths(t.computed), (std::vector<int>{120, 60, 60, 60, 60, 60, 40}));
    EXPECT_EQ(t.input.rowCount(), 38);
    EXPECT_EQ(t.parameter.rowCount(), 38);
    EXPECT_EQ(t.marker.rowCount(), 25);
    EXPECT_EQ(t.design.rowCount(), 22);
    EXPECT_EQ(t.computed.rowCount(), 25);
    EXPECT_EQ(t.input.fixedColumns(), 0);
    EXPECT_EQ(t.design.fixedColumns(), 1);
    EXPECT_EQ(t.computed.fixedColumns(), 1);
}

TEST(InputTable, CaptionsAreUniqueFileKeys) {
    std::set<std::string_view> seen;
    for (int row = 1; row < input::kRows; ++row) {
        EXPECT_FALSE(input::kCaptions[row].empty()) << row;
        EXPECT_TRUE(seen.insert(input::kCaptions[row]).second) << input::kCaptions[row];
    }
}

TEST(InputTable, StylesOfValueCaptionAndUnitCells) {
    Tables t = FreshTables();
    const Table& in = t.input;
    for (int row = 1; row < input::kRows; ++row) {
        const CellStyle& value = in.style(1, row);
        EXPECT_TRUE(in.isEditable(1, row)) << row;
        EXPECT_EQ(value.kind, ValueKind::Real);
        EXPECT_EQ(value.background, CellColour::Window);
        EXPECT_EQ(value.indent, 3);
        EXPECT_FALSE(in.isEditable(0, row)) << row;
        EXPECT_FALSE(in.isEditable(2, row)) << row;
        EXPECT_EQ(in.style(2, row).background, CellColour::Window) << row;
        bool shaded = row <= 3 || (row >= 16 && row <= 19);
        EXPECT_EQ(in.style(0, row).background, shaded ? CellColour::ButtonFace : CellColour::Window)
            << row;
    }
    EXPECT_FALSE(in.isEditable(1, 0));
    EXPECT_FALSE(AcceptsCharacter(in.style(1, 1).kind, U'x'));
    EXPECT_TRUE(AcceptsCharacter(in.style(1, 1).kind, U'E'));
}

TEST(ParameterTable, EditableValues) {
    Tables t = FreshTables();
    const Table& p = t.parameter;
    for (int row = 1; row < param::kRows; ++row) {
        EXPECT_TRUE(p.isEditable(1, row)) << row;
        EXPECT_EQ(p.style(1, row).kind, ValueKind::Real);
        EXPECT_FALSE(p.isEditable(0, row)) << row;
        EXPECT_FALSE(p.isEditable(2, row)) << row;
    }
}

TEST(MarkerTable, ValueStyles) {
    Tables t = FreshTables();
    const Table& m = t.marker;
    EXPECT_TRUE(m.isEditable(1, 1));
    EXPECT_TRUE(m.isEditable(1, 2));
    // The point number and the time take what the number reader takes, so
    // that "-5" or "1e3" is not read as 5 or 13.
    for (int row : {1, 2}) {
        EXPECT_EQ(m.style(1, row).kind, ValueKind::Real) << row;
    }
    for (int row = 1; row < marker::kRows; ++row) {
        EXPECT_EQ(m.style(1, row).align, CellAlign::Right) << row;
        EXPECT_EQ(m.style(1, row).indent, 5) << row;
        if (row > 2) {
            EXPECT_FALSE(m.isEditable(1, row)) << row;
        }
        EXPECT_FALSE(m.isEditable(0, row)) << row;
        EXPECT_FALSE(m.isEditable(2, row)) << row;
    }
}

TEST(DesignTable, StyleListOrder) {
    Tables t = FreshTables();
    const auto& s = t.design.styles();
    ASSERT_EQ(s.size(), 6u);
    EXPECT_TRUE(s[design::EditableReal].editable);
    EXPECT_EQ(s[design::EditableReal].kind, ValueKind::Real);
    EXPECT_EQ(s[design::EditableReal].background, CellColour::Window);
    EXPECT_FALSE(s[design::ReadOnlyGrey].editable);
    EXPECT_EQ(s[design::ReadOnlyGrey].background, CellColour::ButtonFace);
    EXPECT_FALSE(s[design::PickCell].editable);
    EXPECT_EQ(s[design::PickCell].background, CellColour::Window);
    EXPECT_FALSE(s[design::Hidden].editable);
    EXPECT_TRUE(s[design::Hidden].hiddenText);
    EXPECT_EQ(s[design::Hidden].background, CellColour::ButtonFace);
    EXPECT_EQ(s[design::CaptionLeft].background, CellColour::ButtonFace);
    EXPECT_EQ(s[design::CaptionLeft].align, CellAlign::Left);
    EXPECT_EQ(s[design::CaptionRight].background, CellColour::ButtonFace);
    EXPECT_EQ(s[design::CaptionRight].align, CellAlign::Right);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i != design::Hidden) {
            EXPECT_FALSE(s[i].hiddenText) << i;
        }
    }
}

TEST(DesignTable, EditableCellsAfterReset) {
    Tables t = FreshTables();
    // Row -> editable columns, as the reset leaves them.
    const std::vector<std::set<int>> editable = {
        {},                 // header
        {},                 // 形式
        {},                 // 前縁平面形
        {},                 // 後縁平面形
        {1, 2, 3, 4, 5, 6}, // 展開長
        {1, 2, 3, 4, 5},    // 翼根翼弦長
        {1, 2, 3, 4, 5},    // 翼端翼弦長
        {1, 2, 3, 4},       // 前縁後退長
        {1, 2, 3, 4},       // 取付位置
        {1, 2, 3, 4},       // 前後位置
        {1, 2, 3},          // 上反角
        {},                 // 紙名称
        {},                 // 紙重さ
        {},                 // 紙厚さ
        {1, 2, 3, 4, 5, 6}, // 紙枚数
        {1, 2, 3, 4, 5, 6}, // 紙質量
        {1, 2, 3, 4, 5, 6}, // 紙厚
        {1, 2, 3, 4},       // エッジ
        {1, 3},             // 下面キャンバ
        {5},                // 塗装回数
        {5},                // 重心位置
        {5},                // 滑空速度
    };
    ASSERT_EQ(editable.size(), static_cast<std::size_t>(design::kRows));
    for (int row = 0; row < design::kRows; ++row) {
        for (int column = 0; column < design::kColumns; ++column) {
            EXPECT_EQ(t.design.isEditable(column, row), editable[row].count(column) == 1)
                << "column " << column << " row " << row;
        }
    }
}

TEST(DesignTable, PickCellsAndCaptionStyles) {
    Tables t = FreshTables();
    const Table& d = t.design;
    std::set<std::pair<int, int>> picks = {{1, 1}, {4, 1}};
    for (int column = 1; column <= 4; ++column) {
        picks.insert({column, 2});
        picks.insert({column, 3});
    }
    for (int column = 1; column <= 6; ++column)
        picks.insert({column, 11});
    for (int row = 1; row < design::kRows; ++row) {
        for (int column = 1; column < design::kColumns; ++column) {
            EXPECT_EQ(d.styleIndex(column, row) == design::PickCell,
                      picks.count({column, row}) == 1)
                << "column " << column << " row " << row;
        }
    }
    EXPECT_EQ(d.styleIndex(0, design::PaperName), design::CaptionLeft);
    EXPECT_EQ(d.styleIndex(0, design::PaperWeight), design::CaptionRight);
    EXPECT_EQ(d.styleIndex(0, design::PaperThickness), design::CaptionRight);
    EXPECT_EQ(d.styleIndex(0, design::SheetCount), design::CaptionRight);
    EXPECT_NE(d.styleIndex(0, design::PaperMass), design::CaptionRight);
    EXPECT_EQ(d.styleIndex(design::Unit, design::SheetCount), design::ReadOnlyGrey);
    EXPECT_EQ(d.styleIndex(design::NoseReinforcement, design::RootChord), design::ReadOnlyGrey);
}

TEST(ComputedTable, ReadOnlyGrey) {
    Tables t = FreshTables();
    const Table& c = t.computed;
    ASSERT_EQ(c.styles().size(), 1u);
    for (int row = 0; row < computed::kRows; ++row) {
        for (int column = 0; column < computed::kColumns; ++column) {
            EXPECT_FALSE(c.isEditable(column, row));
            EXPECT_EQ(c.style(column, row).background, CellColour::ButtonFace);
        }
    }
}

TEST(TableReset, RestoresInputButKeepsComputedValues) {
    Tables t = FreshTables();
    t.input.setCell(1, input::WindSpeed, "9");
    t.input.setCell(2, input::Mass, "kg");
    t.parameter.setCell(1, param::CLa, "4.5");
    t.marker.setCell(1, 2, "1.25");
    t.computed.setCell(1, 1, "3.2");
    t.design.setCell(design::MainWing, design::Span, "999");
    t.design.setCell(design::InnerWing, design::Type, "kept");
    ResetTables(t);
    EXPECT_EQ(t.input.cell(1, input::WindSpeed), "0");
    EXPECT_EQ(t.input.cell(2, input::Mass), "g");
    EXPECT_EQ(t.parameter.cell(1, param::CLa), "4.5");
    EXPECT_EQ(t.marker.cell(1, 2), "1.25");
    EXPECT_EQ(t.computed.cell(1, 1), "3.2");
    EXPECT_EQ(t.design.cell(design::MainWing, design::Span), "170");
    // Cells without a default are not written by the reset.
    EXPECT_EQ(t.design.cell(design::InnerWing, design::Type), "kept");
}

TEST(TableReset, ClearAllTablesEmptiesEveryCell) {
    Tables t = FreshTables();
    t.parameter.setCell(1, 1, "x");
    ClearAllTables(t);
    for (const Table* table : {&t.input, &t.parameter, &t.marker, &t.design, &t.computed}) {
        for (int row = 0; row < table->rowCount(); ++row) {
            for (int column = 0; column < table->columnCount(); ++column)
                EXPECT_EQ(table->cell(column, row), "") << column << "," << row;
        }
    }
    // The styles stay; the reset command follows with a reset anyway.
    EXPECT_TRUE(t.input.isEditable(1, 1));
}
