// Rounding to whole pixels.

#include "view/pixel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace skarvel::view;

TEST(PixelRounding, HalvesToEvenAndRangeChecked) {
    EXPECT_EQ(RoundPixel(2.5), 2);
    EXPECT_EQ(RoundPixel(3.5), 4);
    EXPECT_EQ(RoundPixel(-2.5), -2);
    EXPECT_EQ(RoundPixel(2147483647.0), 2147483647);
    EXPECT_THROW(RoundPixel(2147483647.5 + 1), RangeError);
    EXPECT_THROW(RoundPixel(-2147483649.0), RangeError);
    EXPECT_THROW(RoundPixel(std::nan("")), RangeError);
}

} // namespace
