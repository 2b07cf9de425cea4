#include "data/tables.h"

#include "data/data_fixture.h"

#include "common/golden.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace skarvel::data;
using skarvel::test::FreshTables;

namespace {

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

// How a table's cells look and take input: its widths, its style list, then
// per row each cell's style index with "e" when it can be edited.
std::string StyleDump(const char* name, const Table& table) {
    std::string text = std::string("[") + name + "] widths";
    for (int c = 0; c < table.columnCount(); ++c)
        text += ' ' + std::to_string(table.columnWidth(c));
    text += ", fixed columns " + std::to_string(table.fixedColumns()) + '\n';
    const auto& styles = table.styles();
    for (std::size_t i = 0; i < styles.size(); ++i) {
        const CellStyle& s = styles[i];
        text += "style " + std::to_string(i) + ": " + (s.editable ? "editable " : "") +
                (s.kind == ValueKind::Real ? "real " : "text ") +
                (s.background == CellColour::Window ? "window " : "button-face ") +
                (s.align == CellAlign::Left    ? "left"
                 : s.align == CellAlign::Right ? "right"
                                               : "centre") +
                " indent " + std::to_string(s.indent) + (s.hiddenText ? " hidden" : "") + '\n';
    }
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            text += column > 0 ? " " : "";
            text += std::to_string(table.styleIndex(column, row)) +
                    (table.isEditable(column, row) ? "e" : "-");
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
    EXPECT_EQ(dump, skarvel::test::Golden(__FILE__, "reset_tables.golden", dump));
}

// Which cells take what input and how they look, as the reset leaves them:
// in the input, parameter and marker tables only the value column is edited
// (the marker's point number and time read as numbers, so that "-5" or "1e3"
// is not read as 5 or 13); in the design table the component cells with a
// figure, with pick cells for the shapes and papers; the computed table is
// grey and read-only.
TEST(TableReset, EveryCellStyleOfTheFiveTables) {
    Tables t = FreshTables();
    const std::string dump = StyleDump("input", t.input) + StyleDump("parameter", t.parameter) +
                             StyleDump("marker", t.marker) + StyleDump("design", t.design) +
                             StyleDump("computed", t.computed);
    EXPECT_EQ(dump, skarvel::test::Golden(__FILE__, "reset_styles.golden", dump));
}

TEST(InputTable, CaptionsAreUniqueFileKeys) {
    std::set<std::string_view> seen;
    for (int row = 1; row < input::kRows; ++row) {
        EXPECT_FALSE(input::kCaptions[row].empty()) << row;
        EXPECT_TRUE(seen.insert(input::kCaptions[row]).second) << input::kCaptions[row];
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
