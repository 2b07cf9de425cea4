// The flight as a tab-separated text table.

#include "sim/text_export.h"

#include <gtest/gtest.h>

#include <memory>

using namespace skarvel;
using sim::FlightRecord;

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
