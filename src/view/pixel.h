#pragma once
// Image coordinates: whole pixels in a 32-bit integer.

#include "view/canvas.h"

#include <cstdint>
#include <stdexcept>

namespace skarvel::view {

// A coordinate that does not fit the 32-bit pixel range.
class RangeError : public std::range_error {
  public:
    using std::range_error::range_error;
};

// Rounds to the nearest whole pixel, halves to the even one; throws
// RangeError outside the 32-bit range (and for a value that is not a number).
std::int32_t RoundPixel(double v);

// A sum of pixel coordinates, checked against the same range.
std::int32_t AddPixels(std::int64_t a, std::int64_t b);

} // namespace skarvel::view
