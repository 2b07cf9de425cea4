#include "view/pixel.h"

#include <cmath>
#include <limits>

namespace skarvel::view {

namespace {
constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
} // namespace

std::int32_t RoundPixel(double v) {
    // nearbyint rounds halves to even in the default rounding mode.
    const double r = std::nearbyint(v);
    if (!(r >= kLowest && r <= kHighest)) {
        throw RangeError("pixel coordinate out of range");
    }
    return static_cast<std::int32_t>(r);
}

std::int32_t AddPixels(std::int64_t a, std::int64_t b) {
    const std::int64_t sum = a + b;
    if (sum < std::numeric_limits<std::int32_t>::min() ||
        sum > std::numeric_limits<std::int32_t>::max()) {
        throw RangeError("pixel coordinate out of range");
    }
    return static_cast<std::int32_t>(sum);
}

} // namespace skarvel::view
