// The run history: rows, sorting, copying and restoring the inputs.

#include "common/split.h"

#include "data/tables.h"
#include "sim/history.h"
#include "sim/summary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skarvel;
using sim::RunHistory;

namespace {

sim::FlightSummary SummaryWithTime(double t) {
    sim::FlightSummary s;
    s.airborneTime = t;
    s.maxAltitude = 2;
    s.turnRadius = 1500;
    s.speed = 5;
    s.sinkRate = 0.5;
    return s;
}

using skarvel::test::Split;

} // namespace

TEST(History, RowsCountAndLimit) {
    data::Tables tables;
    data::ResetTables(tables);
    RunHistory h;
    h.setInputCaptions(tables.input);
    for (int i = 1; i <= 21; ++i) {
        h.appendSummary(SummaryWithTime(i), tables.input);
    }
    ASSERT_EQ(h.rows().size(), 20u);
    EXPECT_EQ(h.rows().front().caption, "21");
    EXPECT_EQ(h.rows().back().caption, "2");
    EXPECT_EQ(h.selected(), 0);
    EXPECT_EQ(h.rows().front().cells.size(), 43u);
    EXPECT_EQ(h.rows().front().cells[6], "0");     // 風速
    EXPECT_EQ(h.rows().front().cells[42], "0.05"); // 最小抗力係数

    // Errors bypass the limit and are selected like a flight's row.
    const long runs = h.summaryRevision();
    h.appendError();
    EXPECT_EQ(h.rows().size(), 21u);
    EXPECT_EQ(h.rows().front().caption, "22");
    EXPECT_EQ(h.rows().front().cells, std::vector<std::string>{"Error"});
    EXPECT_EQ(h.selected(), 0);
    EXPECT_GT(h.summaryRevision(), runs);

    h.clear();
    h.appendSummary(SummaryWithTime(1), tables.input);
    EXPECT_EQ(h.rows().front().caption, "1");
}

TEST(History, SortingReadsNumbersWithPrefixes) {
    data::Tables tables;
    data::ResetTables(tables);
    RunHistory h;
    h.setInputCaptions(tables.input);
    auto straight = SummaryWithTime(1);
    straight.straight = true;
    h.appendSummary(straight, tables.input);           // run 1: 直線
    h.appendSummary(SummaryWithTime(2), tables.input); // run 2: 1500
    h.appendError();                                   // run 3: Error
    h.select(2);                                       // run 1
    h.sortByColumn(4);                                 // 旋回半径(m)
    ASSERT_EQ(h.rows().size(), 3u);
    EXPECT_EQ(h.rows()[0].caption, "2");
    // "直線" and "Error" both read as 0 and follow the 1500 m row.
    EXPECT_NE(h.rows()[1].caption, h.rows()[2].caption);
    EXPECT_NE(h.rows()[1].caption, "2");
    EXPECT_NE(h.rows()[2].caption, "2");
    EXPECT_EQ(h.rows()[h.selected()].caption, "1");
    h.sortByColumn(0);
    EXPECT_EQ(h.rows()[0].caption, "3");
    EXPECT_EQ(h.rows()[2].caption, "1");
    h.sortByColumn(1);
    EXPECT_EQ(h.rows()[0].caption, "2");
    EXPECT_EQ(h.rows()[2].caption, "3"); // "Error" reads as 0
}

TEST(History, CopyTextAndDelete) {
    data::Tables tables;
    data::ResetTables(tables);
    RunHistory h;
    h.setInputCaptions(tables.input);
    h.select(-1);
    const std::string header = h.copyText(false);
    ASSERT_GE(header.size(), 2u);
    EXPECT_EQ(header.substr(header.size() - 2), "\r\n");
    const auto captions = Split(header.substr(0, header.size() - 2), "\t");
    ASSERT_EQ(captions.size(), 44u);
    EXPECT_EQ(captions[0], "No");
    EXPECT_EQ(captions[4], "旋回半径(m)");
    EXPECT_EQ(captions[6], "沈下率(m/s)");
    // Then the input table's own captions.
    for (int r = 1; r < data::input::kRows; ++r) {
        EXPECT_EQ(captions[static_cast<std::size_t>(6 + r)], tables.input.cell(0, r)) << r;
    }

    h.appendSummary(SummaryWithTime(3), tables.input);
    h.appendError();
    h.select(0);
    EXPECT_EQ(h.copyText(false), "2\tError\r\n");
    EXPECT_EQ(h.copyText(true), "2\r\nError\r\n");
    h.select(1);
    const std::string row = h.copyText(true);
    const auto fields = Split(row.substr(0, row.size() - 2), "\r\n");
    ASSERT_EQ(fields.size(), 44u);
    EXPECT_EQ(fields[0], "1");
    EXPECT_EQ(fields[1], "3");

    h.deleteSelected();
    ASSERT_EQ(h.rows().size(), 1u);
    EXPECT_EQ(h.selected(), 0);
    h.deleteSelected();
    EXPECT_TRUE(h.rows().empty());
    EXPECT_EQ(h.selected(), -1);
    EXPECT_EQ(h.counter(), 2); // deleting keeps the numbering
}

TEST(History, RestoresTheInputsOfARow) {
    data::Tables tables;
    data::ResetTables(tables);
    RunHistory h;
    tables.input.setCell(1, data::input::WindSpeed, "2.5");
    tables.input.setCell(1, data::input::MinDrag, "abc");
    h.appendSummary(SummaryWithTime(1), tables.input);
    h.appendError();
    data::Tables fresh;
    data::ResetTables(fresh);
    const data::Table before = fresh.input;
    EXPECT_FALSE(h.restoreInputs(0, fresh.input)); // the error row
    EXPECT_FALSE(h.restoreInputs(7, fresh.input));
    for (int r = 1; r < data::input::kRows; ++r) {
        EXPECT_EQ(fresh.input.cell(1, r), before.cell(1, r));
    }
    ASSERT_TRUE(h.restoreInputs(1, fresh.input));
    for (int r = 1; r < data::input::kRows; ++r) {
        EXPECT_EQ(fresh.input.cell(1, r), tables.input.cell(1, r)) << r;
    }
}
