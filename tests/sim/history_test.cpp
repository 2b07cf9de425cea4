#include "common/split.h"
#include "sim_fixture.h"

#include "data/tables.h"
#include "sim/history.h"
#include "sim/summary.h"
#include "sim/text_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace skarvel;
using sim::FlightRecord;
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

TEST(Summary, FiguresOfTheLastSample) {
    auto record = std::make_unique<FlightRecord>();
    record->lastIndex = 3;
    sim::FlightSample& s = record->sample(3);
    s.t = 2.5;
    s.x = 3;
    s.y = -4;
    s.u = 6;
    s.v = 0.5;
    s.w = 1;
    s.r = -2;
    s.theta = 0.1;
    s.phi = 0.2;
    sim::RunStatistics stats;
    stats.minZ = -12.3456;
    const auto f = sim::Summarize(*record, stats);
    EXPECT_EQ(f.landingDistance, 5.0);
    EXPECT_EQ(f.turnRadius, 3.0);
    const auto texts = sim::SummaryTexts(f);
    EXPECT_EQ(texts[0], "2.5");   // five digits, no padding
    EXPECT_EQ(texts[1], "12.35"); // four digits, padded
    EXPECT_EQ(texts[2], "5.000");
    EXPECT_EQ(texts[3], "3.000");
    EXPECT_EQ(texts[5], "0.4750"); // descending at 0.475 m/s

    s.r = 0;
    EXPECT_EQ(sim::SummaryTexts(sim::Summarize(*record, stats))[3], "直線");
}

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

    // Errors bypass the limit and keep the selection on its row.
    h.appendError();
    EXPECT_EQ(h.rows().size(), 21u);
    EXPECT_EQ(h.rows().front().caption, "22");
    EXPECT_EQ(h.rows().front().cells, std::vector<std::string>{"Error"});
    EXPECT_EQ(h.selected(), 1);

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
    EXPECT_EQ(captions[7], "風速");
    EXPECT_EQ(captions[19], "ピッチ角速度");
    EXPECT_EQ(captions[43], "最小抗力係数");

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

TEST(TextExport, LinesAndNumberFormat) {
    auto record = std::make_unique<FlightRecord>();
    record->lastIndex = 250;
    // Every field its own value, so that any two swapped columns show.
    sim::FlightSample& s = record->sample(2);
    s = {0.02, 4.125, -0.0625,       0.375, 0.11,  -0.12, 0.13, 9,       9,    9, 9,
         9,    9,     12.3456789012, -2.5,  -3.75, 2.5,   -0.2, 1.0 / 3, 0.51, 9};
    const auto lines = sim::FlightTextLines(*record);
    ASSERT_EQ(lines.size(), 253u);
    EXPECT_EQ(lines[0], "No\tt\tCL\tx\ty\tz\tu\tv\tw\tphi\ttheta\tpsi\tp\tq\tr");
    EXPECT_EQ(lines[1], "\t時刻(s)\t揚力係数\tx座標(m)\ty座標(m)\t-z座標(m)\t軸速度(m/s)\t"
                        "横滑速度(m/s)\t縦滑速度(m/s)\tロール角(rad)\tピッチ角(rad)\t"
                        "ヨー角(rad)\tロール角速度\tピッチ角速度\tヨー角速度");
    EXPECT_EQ(lines[4], "2\t0.020\t0.5100000000\t12.3456790000\t-2.5000000000\t-3.7500000000\t"
                        "4.1250000000\t-0.0625000000\t0.3750000000\t0.3333333300\t-0.2000000000\t"
                        "2.5000000000\t0.1100000000\t-0.1200000000\t0.1300000000");
    EXPECT_EQ(lines[252], "250\t0.000\t0.0000000000\t0.0000000000\t0.0000000000\t0.0000000000\t"
                          "0.0000000000\t0.0000000000\t0.0000000000\t0.0000000000\t0.0000000000\t"
                          "0.0000000000\t0.0000000000\t0.0000000000\t0.0000000000");
}
