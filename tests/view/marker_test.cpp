// The marker table's texts, the instrument bars and the sample lookups.

#include "data/tables.h"
#include "sim/flight_record.h"
#include "sim/input_set.h"
#include "view/marker.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace {

using namespace skarvel::view;
using skarvel::sim::FlightRecord;
using skarvel::sim::FlightSample;
using skarvel::sim::InputSet;

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(MarkerValue, FiveSignificantDigitsFourDecimals) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {123.456789, "123.4600"},
        {0.0123456, "0.0123"},
        {1.23456, "1.2346"},
        {12345.678, "12346.0000"},
        {99999.4, "99999.0000"},
        {0.99999, "1.0000"}, // carry into a new digit
        {0.00005, "0.0001"}, // a half of the shortest decimal text
        {2.5e-5, "0.0000"},
        {1.00005, "1.0001"},
        {-0.00004, "0.0000"}, // never "-0.0000"
        {-0.0, "0.0000"},
        {-2.5, "-2.5000"},
        {123456.7, "1.2346E+05"},
        {-1234567, "-1.2346E+06"},
        {99999.5, "1.0000E+05"}, // the carry makes six digits
        {999995, "1.0000E+06"},
        {1e300, "1.0000E+300"},
        {std::nan(""), "0"},
        {kInf, "0"},
        {-kInf, "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatMarkerValue(c.value), c.text) << c.value;
    }
}

// Samples every 0.25 s, so that the mid-points are exact.
std::unique_ptr<FlightRecord> Times(int n) {
    auto record = std::make_unique<FlightRecord>();
    for (int i = 0; i <= n; ++i) {
        record->sample(i).t = i * 0.25;
    }
    record->lastIndex = n;
    return record;
}

TEST(MarkerTime, NearestSampleTiesToTheEarlier) {
    const auto record = Times(4);
    EXPECT_EQ(SampleAtTime(*record, 0.125), 0);
    EXPECT_EQ(SampleAtTime(*record, std::nextafter(0.125, 1.0)), 1);
    EXPECT_EQ(SampleAtTime(*record, 0.875), 3);
    EXPECT_EQ(SampleAtTime(*record, 0.9), 4);
    EXPECT_EQ(SampleAtTime(*record, 1.0), 4);
    EXPECT_EQ(SampleAtTime(*record, 7.0), 4);
    EXPECT_EQ(SampleAtTime(*record, kInf), 4);
    EXPECT_EQ(SampleAtTime(*record, -0.0), 0);
    EXPECT_EQ(SampleAtTime(*record, -0.01), 0);
    EXPECT_EQ(SampleAtTime(*record, std::nan("")), 0);
    EXPECT_EQ(SampleAtTime(*Times(0), 0.0), 0);
}

TEST(MarkerBars, RoundHalfAwayAndClampToTheirRanges) {
    FlightSample s;
    s.u = 3;
    s.w = 4;
    s.z = -12.34;
    s.CL = -0.125;
    // Sinking at 4 m/s; CL -12.5 rounds away from zero.
    EXPECT_EQ(BarValues(s), (InstrumentBars{50, 123, -40, -13}));

    s.u = 60;
    s.w = -7;
    s.z = 1;
    s.CL = 2;
    EXPECT_EQ(BarValues(s), (InstrumentBars{500, 0, 50, 100}));

    s.w = 0;
    s.theta = -std::acos(-1.0) / 2; // straight down at 60 m/s
    s.z = -kInf;
    s.CL = std::nan("");
    EXPECT_EQ(BarValues(s), (InstrumentBars{500, 500, -50, 0}));
}

TEST(MarkerValue, TwentyFourTexts) {
    auto record = std::make_unique<FlightRecord>();
    record->lastIndex = 5;
    FlightSample& s = record->sample(3);
    s.t = 0.03;
    s.u = 3;
    s.w = 4;
    s.p = 1.5;
    s.ua = 3;
    s.wa = 4;
    s.x = 3;
    s.y = 10;
    s.z = -12.34567;
    s.phi = 0.5;
    s.psi = -1;
    s.CL = 0.123456;
    s.CD = 0.05;
    InputSet in;
    in.windSpeed = 100; // the thermal has drifted to x = 3: d = 10
    in.thermalStrength = 2;
    in.thermalRadius = 10;
    const std::array<std::string, 24> expected = {
        "3",      "0.0300",   "5.0000", "5.0000", "0.1642",  "3.5103", "53.1300", "0.0000",
        "0.1235", "0.0500",   "0",      "0",      "12.3460", "3.0000", "10.0000", "28.6480",
        "0.0000", "-57.2960", "3.0000", "0.0000", "4.0000",  "1.5000", "0.0000",  "0.0000"};
    EXPECT_EQ(MarkerValueTexts(*record, 3, in), expected);
}

// The table adds the sink rate's three terms one after the other, as it
// always has; the history's grouping gives 0.2010 for this attitude.
TEST(MarkerValue, SinkRateTermByTerm) {
    auto record = std::make_unique<FlightRecord>();
    FlightSample& s = record->sample(0);
    s.u = 0x1.39c168f3bd732p+2;
    s.v = -0x1.ea789fea1b29p-1;
    s.w = -0x1.98f54e5e0c2e4p+2;
    s.theta = -0x1.76e90a81125e4p-1;
    s.phi = -0x1.7451b6bf739c2p-1;
    InputSet in;
    in.thermalRadius = 10;
    namespace row = skarvel::data::marker;
    EXPECT_EQ(MarkerValueTexts(*record, 0, in)[row::SinkRate - 1], "0.2011");
}

TEST(MarkerValue, DivisionsByZeroReadZero) {
    auto record = std::make_unique<FlightRecord>();
    FlightSample& s = record->sample(0);
    s.u = 6;
    s.va = 1;
    s.wa = 1;
    s.q = -4;
    s.r = -4;
    InputSet in;
    in.thermalStrength = 1;
    const auto texts = MarkerValueTexts(*record, 0, in);
    EXPECT_EQ(texts[4], "0"); // thermal radius 0
    EXPECT_EQ(texts[6], "0"); // u_a = 0
    EXPECT_EQ(texts[7], "0");
    EXPECT_EQ(texts[10], "1.5000");
    EXPECT_EQ(texts[11], "-1.5000");
}

TEST(MarkerIndex, WholeNumbersAsTheNumberReaderTakesThem) {
    using skarvel::view::ParseMarkerIndex;
    const std::pair<const char*, int> cases[] = {{" -5 ", -5},
                                                 {"1e3", 1000},
                                                 {"12.0", 12},
                                                 {"12.5", 0},
                                                 {"abc", 0},
                                                 {"", 0},
                                                 {"1e30", std::numeric_limits<int>::max()},
                                                 {"99999999999", std::numeric_limits<int>::max()},
                                                 {"-1e30", std::numeric_limits<int>::min()}};
    for (const auto& [text, index] : cases) {
        EXPECT_EQ(ParseMarkerIndex(text), index) << text;
    }
}

} // namespace
