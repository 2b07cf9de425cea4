// The sweep window's decisions without its widgets: the cells it offers,
// its entries checked, and a sweep's results as the chart and list show them.

#include "app/sweep_model.h"

#include "data/tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace {

using skarvel::app::ParseSweepVariable;
using skarvel::app::SummaryFigure;
using skarvel::app::SweepGrid;
using skarvel::app::SweepResults;
using skarvel::app::SweepRow;
namespace data = skarvel::data;

bool Offers(const std::vector<skarvel::app::SweepChoice>& list, const std::string& name,
            const std::string& label) {
    return std::any_of(list.begin(), list.end(),
                       [&](const auto& c) { return c.name == name && c.label == label; });
}

TEST(SweepWindow, OffersTheCellsThatTakeNumbers) {
    const skarvel::app::SweepChoices choices = skarvel::app::SweepChoiceLists();
    EXPECT_TRUE(Offers(choices.input, "初速", "初速 (km/h)"));
    EXPECT_TRUE(Offers(choices.design, "主翼/上反角", "主翼/上反角 (deg)"));
    EXPECT_TRUE(std::none_of(choices.design.begin(), choices.design.end(),
                             [](const auto& c) { return c.name == "主翼/形式"; }));
}

// A variable headed as the history list heads a column, with its cell's unit.
TEST(SweepWindow, TitlesCarryTheCellsUnit) {
    using skarvel::app::SweepVariableTitle;
    EXPECT_EQ(SweepVariableTitle(ParseSweepVariable("初速=1")), "初速(km/h)");
    EXPECT_EQ(SweepVariableTitle(ParseSweepVariable("主翼/上反角=5")), "主翼/上反角(deg)");
    EXPECT_EQ(SweepVariableTitle(ParseSweepVariable("主翼テーパー比=0.5")), "主翼テーパー比");
}

std::string Text(const skarvel::app::SweepRange& r) {
    return r.from + " " + r.to + " " + r.step;
}

// The range offered about a cell's value.
TEST(SweepWindow, RangeAboutACell) {
    const auto range = [](std::string_view cell) {
        return Text(skarvel::app::SweepRangeAbout(cell));
    };
    // A trim's full-precision value: the ends as precise, the step as round as it is.
    EXPECT_EQ(range("13.164138998510214"), "11.164138998510214 15.164138998510214 0.5");
    EXPECT_EQ(range("0.44"), "0.36 0.52 0.02");
    EXPECT_EQ(range(" 150 "), "110 190 10");
    EXPECT_EQ(range("1e3"), "800 1200 50");
    EXPECT_EQ(range("x"), "-2.0 2.0 0.5");
    // The cell a name means, in the tables as they are.
    data::Tables tables;
    data::ResetTables(tables);
    tables.input.setCell(data::input::kValueColumn, data::input::ClimbAngle, "0.44 ");
    tables.design.setCell(data::design::Fuselage, data::design::CgPosition, "150");
    EXPECT_EQ(Text(skarvel::app::SweepRangeOfCell(tables, "上下角")), "0.36 0.52 0.02");
    EXPECT_EQ(Text(skarvel::app::SweepRangeOfCell(tables, "胴体/重心位置")), "110 190 10");
}

// The entries' refusals in the window's words, and the count of a grid.
TEST(SweepWindow, EntriesCheckedInTheWindowsWords) {
    const auto check = [](const std::string& from, const std::string& to, const std::string& step,
                          const std::string& second = {}) {
        skarvel::app::SweepEntry climb{"上下角", "0", "1", "0.5"};
        if (!second.empty()) {
            climb.name = second;
        }
        const auto checked = skarvel::app::CheckSweepEntries({{"初速", from, to, step}, climb});
        EXPECT_EQ(checked.grid.has_value(), checked.text.starts_with("点数: ")) << checked.text;
        return checked.text;
    };
    EXPECT_EQ(check("4", "6", "1"), "点数: 3 × 3 = 9");
    EXPECT_EQ(skarvel::app::CheckSweepEntries({{"初速", "4", "6", "1"}, {}}).text, "点数: 3");
    EXPECT_EQ(check("4", "6", "0"), "変数1の刻みに 0 は使えません");
    EXPECT_EQ(check("4", "6", "-1"), "変数1の刻みの符号が逆です（開始値から終了値へ向かいません）");
    EXPECT_EQ(check("abc", "6", "1"), "変数1の開始値「abc」は数値ではありません");
    EXPECT_EQ(check("", "6", "1"), "変数1の開始値を入力してください");
    EXPECT_EQ(check("4", "6", "1", "初速"), "変数1と変数2に同じセルは選べません");
    EXPECT_EQ(check("0", "1", "0.00002"),
              "点数 150003 はこの画面の上限 100000 点を超えています。範囲を狭めるか刻みを大きく"
              "してください（skarvel-cli sweep なら、いくつものマシンに分けて計算できます）");
    // The sweep's own refusals: a count it can tell, one it cannot, a range
    // beyond the doubles.
    EXPECT_EQ(check("0", "1e8", "1"), "変数1の点数 100000001 は上限 10000000 点を超えています。"
                                      "範囲を狭めるか刻みを大きくしてください");
    EXPECT_EQ(
        check("0", "1", "1e-300"),
        "変数1の点数が多すぎます（上限 10000000 点）。範囲を狭めるか刻みを大きくしてください");
    EXPECT_EQ(check("-1e308", "1e308", "1e307"),
              "変数1の範囲が大きすぎて計算できません（開始値・終了値・刻みの値が大きすぎます）");
}

TEST(SweepWindow, ProgressText) {
    using skarvel::app::SweepProgressText;
    EXPECT_EQ(SweepProgressText({12, 100, 3.44, 26.2}, false),
              "12 / 100 点　3.4 点/秒　残り 27 秒");
    EXPECT_EQ(SweepProgressText({50, 99999, 13.6, 3725}, false),
              "50 / 99999 点　14 点/秒　残り 1 時間 2 分");
    EXPECT_EQ(SweepProgressText({0, 9, 0, std::nullopt}, false), "0 / 9 点　0.0 点/秒　残り -");
    EXPECT_EQ(SweepProgressText({1, 9, 1, 8}, true), "中止しています…");
}

// A click flies a point only on it or a few pixels off it.
TEST(SweepWindow, AClickHitsThePointDrawnUnderIt) {
    using skarvel::app::ClickedPoint;
    const std::vector<skarvel::app::Pixel> drawn = {{0, 0}, {10, 0}, {100, 50}};
    EXPECT_EQ(ClickedPoint(drawn, {9, 2}), 1u);
    EXPECT_EQ(ClickedPoint(drawn, {5, 0}), 0u); // halfway: the first
    EXPECT_EQ(ClickedPoint(drawn, {103, 54}), 2u);
    EXPECT_FALSE(ClickedPoint(drawn, {104, 54}));
    EXPECT_FALSE(ClickedPoint(drawn, {50, 25})); // on the line between two
}

// A row of the grid flown to the given figures; no time: an "Error" row.
SweepRow Flown(const SweepGrid& grid, std::size_t point, std::optional<double> time,
               double sink = 1) {
    SweepRow row{point, grid.valuesOf(point), std::nullopt};
    if (time) {
        row.summary.emplace();
        row.summary->airborneTime = *time;
        row.summary->sinkRate = sink;
        row.summary->straight = point == 0;
        row.summary->turnRadius = 9.0 + double(point);
    }
    return row;
}

// Two variables: a colour map, a point by its cell; the best point the
// longest flight, or the least sink, the first of equals.
TEST(SweepResults, AColourMapOfTwoVariables) {
    const SweepGrid grid({ParseSweepVariable("初速=4:6:1"), ParseSweepVariable("上下角=-5:5:5")});
    SweepResults results(grid, SummaryFigure::AirborneTime);
    EXPECT_EQ(results.statusText(false), "完了: 0 点（Error 0 点）");
    EXPECT_TRUE(results.add({Flown(grid, 0, 2.0, 0.5), Flown(grid, 1, std::nullopt),
                             Flown(grid, 2, 3.5, 0.5), Flown(grid, 3, 3.5, 0.7)}));
    EXPECT_FALSE(results.add({Flown(grid, 4, 1.0, 0.4), Flown(grid, 5, 1.0, 0.4)}));
    ASSERT_TRUE(results.colourMap());
    EXPECT_EQ(results.values(1), (std::vector<double>{-5, 0, 5}));
    EXPECT_EQ(results.pointAt({2, 1}), 7u);
    EXPECT_FALSE(results.pointAt({3, 0}));
    const auto cells = results.map(2);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[1].cell, (SweepResults::Cell{1, 0}));
    EXPECT_EQ(cells[1].value, 3.5);
    EXPECT_TRUE(std::isnan(results.map()[1].value)); // the "Error" row
    EXPECT_EQ(results.best(), 2u);
    EXPECT_EQ(results.bestCell(), (SweepResults::Cell{0, 2}));
    EXPECT_FALSE(results.clickedPoint(
        [](double x, double y) {
            return skarvel::app::Pixel{x, y};
        },
        {4, 2.0}));
    results.setFigure(SummaryFigure::SinkRate);
    EXPECT_EQ(results.best(), 4u);

    EXPECT_EQ(results.describe(std::nullopt),
              (std::vector<std::string>{"最良点（沈下率(m/s)）: 点 4", "初速(km/h) = 5",
                                        "上下角(度) = 0"}));
    EXPECT_EQ(results.describe(1).back(), "Error");
    EXPECT_EQ(results.describe(8).back(), "（未計算）");
    const std::vector<std::string> flown = results.describe(2);
    ASSERT_EQ(flown.size(), 9u);
    EXPECT_EQ(flown[0], "点 2");
    EXPECT_EQ(flown[3].substr(0, flown[3].find(' ')), "滞空時間(s)");
    EXPECT_EQ(results.statusText(false), "完了: 6 点（Error 1 点）");
    EXPECT_EQ(results.statusText(true), "中止しました: 6 / 9 点");
    // The list: a failed flight's "Error" under its first figure.
    EXPECT_EQ(results.columnTitles().size(), 9u);
    EXPECT_EQ(results.columnTitles()[2], "上下角(度)");
    EXPECT_EQ(results.cellText(1, 2), "0");
    EXPECT_EQ(results.cellText(1, 3), "Error");
    EXPECT_EQ(results.cellText(1, 4), "");
}

// One variable varied: a line against it, without the points whose figure
// is no number; the point nearest the mouse, the point clicked.
TEST(SweepResults, ALineOfOneVariable) {
    const SweepGrid grid({ParseSweepVariable("高度=5"), ParseSweepVariable("初速=4:7:1")});
    SweepResults results(grid, SummaryFigure::TurnRadius);
    EXPECT_FALSE(results.colourMap());
    EXPECT_EQ(results.lineVariable(), 1u);
    results.add({Flown(grid, 0, 2.0), Flown(grid, 1, 2.0), Flown(grid, 2, std::nullopt),
                 Flown(grid, 3, 2.0)});
    const auto line = results.line();
    ASSERT_EQ(line.size(), 2u); // a straight flight's radius and an "Error" left out
    EXPECT_EQ(line[1].x, 7);
    EXPECT_EQ(line[1].y, 12);
    EXPECT_EQ(line[1].point, 3u);
    EXPECT_EQ(results.best(), 0u); // the straight flight's radius is the largest
    EXPECT_FALSE(results.bestOnLine());
    const auto [x, y] = results.lineRanges();
    EXPECT_EQ(x.lower, 3.5);
    EXPECT_EQ(x.upper, 7.5);
    EXPECT_DOUBLE_EQ(y.lower, 9.84);
    EXPECT_DOUBLE_EQ(y.upper, 12.16);
    EXPECT_EQ(results.pointNear(5.4), 1u);
    EXPECT_EQ(results.pointNear(100), 3u);
    const auto pixelOf = [](double px, double py) {
        return skarvel::app::Pixel{px * 100, py * 10};
    };
    EXPECT_EQ(results.clickedPoint(pixelOf, {503, 104}), 1u);
    EXPECT_FALSE(results.clickedPoint(pixelOf, {600, 110})); // the "Error" point is not drawn
}

} // namespace
