// What the charts decide about their axes, legend and colour-map cells.

#include "view/plot_ranges.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace skarvel::view;

void ExpectRange(AxisRange r, double lower, double upper) {
    EXPECT_DOUBLE_EQ(r.lower, lower);
    EXPECT_DOUBLE_EQ(r.upper, upper);
}

TEST(PlotRanges, LineChartAxes) {
    ExpectRange(FittedKeys({2, 2}), 2, 3); // a flight that ended at its launch
    ExpectRange(FittedKeys({0, 90}), 0, 90);
    ExpectRange(FittedValues({0, 50}), -1, 51);
    ExpectRange(FittedValues({0, 0}), -1, 1);       // flat: at least 1
    ExpectRange(FittedValues({100, 100}), 98, 102); // flat: 2 % of the size
}

TEST(PlotRanges, LegendColumnsThatFit) {
    const std::vector<int> widths = {80, 40, 40, 40};
    EXPECT_EQ(LegendColumns(widths, 10, 230), 4);
    EXPECT_EQ(LegendColumns(widths, 10, 229), 3); // 80 and 40 share a column
    EXPECT_EQ(LegendColumns(widths, 10, 129), 1);
    EXPECT_EQ(LegendColumns({}, 10, 100), 1);
}

TEST(PlotRanges, ColourMapCells) {
    const std::vector<double> down = {30, 20, 10};
    EXPECT_TRUE(Descending(down));
    ExpectRange(CellAxisRange(down), 5, 35);
    ExpectRange(CellAxisRange({7}), 6, 8);
    EXPECT_EQ(NearestCentre(down, 24), 1);
    EXPECT_EQ(NearestCentre(down, 34), 0);
    EXPECT_EQ(NearestCentre(down, 36), std::nullopt); // beyond half a spacing
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ExpectRange(ColourRange({nan, 3, 1}), 1, 3);
    ExpectRange(ColourRange({5, nan}), 4, 6);
    ExpectRange(ColourRange({nan}), 0, 1);
}

} // namespace
