// What the charts plot for a sample, pinned as one table.

#include "sim/flight_record.h"
#include "view/chart_series.h"

#include "view/view_fixture.h"

#include <gtest/gtest.h>

#include <charconv>
#include <numbers>
#include <span>
#include <string>

namespace {

using skarvel::sim::FlightSample;
using skarvel::view::ChartSample;
using skarvel::view::ChartValues;

// Shortest text that reads back as the same double.
std::string Text(double v) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return std::string(buffer, end);
}

std::string Row(const char* chart, double t, std::span<const double> values) {
    std::string row = chart;
    row += ' ';
    row += Text(t);
    row += ':';
    for (double v : values) {
        row += ' ';
        row += Text(v);
    }
    row += '\n';
    return row;
}

std::string Table(const ChartSample& c) {
    return Row("angles", c.t, c.angles) + Row("velocities", c.t, c.velocities) +
           Row("rates", c.t, c.rates) + Row("position", c.t, c.position) +
           Row("overview", c.t, c.overview);
}

} // namespace

TEST(ChartValues, EveryChartsSeriesInOrder) {
    const std::string table = Table(ChartValues(skarvel::test::ChartSample(1), 8.5)) + "--\n" +
                              Table(ChartValues(skarvel::test::ChartSample(3), 7.25));
    EXPECT_EQ(table, "angles 0.05: -170 171 5\n"
                     "velocities 0.05: 11 0.1 -0.2\n"
                     "rates 0.05: 0.01 0.02 0.03\n"
                     "position 0.05: 2 -1 2.5\n"
                     "overview 0.05: 2.5 8.5 171 0.4\n"
                     "--\n"
                     "angles 0.15000000000000002: -170 172.99999999999997 15\n"
                     "velocities 0.15000000000000002: 13 0.30000000000000004 -0.6000000000000001\n"
                     "rates 0.15000000000000002: 0.03 0.06 0.09\n"
                     "position 0.15000000000000002: 6 -3 -2.5\n"
                     "overview 0.15000000000000002: -2.5 7.25 172.99999999999997 1.2\n");
}
