#pragma once
// Unit factors between the units the tables show (per cent, mm, cm², g,
// g·cm², km/h) and the units the computations use. Each says how many of the
// smaller unit make one of the larger: a value comes in divided by it and goes
// out multiplied by it. Dividing by one of these gives the same bits as
// dividing by its literal; multiplying by a reciprocal would not (1/10000 has
// no exact double), so every conversion stays a division or a product.

#include <numbers>

namespace skarvel::sim {

inline constexpr double kPercentPerWhole = 100;

inline constexpr double kMillimetresPerMetre = 1000;
inline constexpr double kSquareMillimetresPerSquareCentimetre = 100;
inline constexpr double kSquareCentimetresPerSquareDecimetre = 100;
inline constexpr double kSquareCentimetresPerSquareMetre = 10000;
inline constexpr double kSquareMillimetresPerSquareMetre = 1000000;

inline constexpr double kGramsPerKilogram = 1000;
inline constexpr double kGramSquareCentimetresPerKilogramSquareMetre = 10000000;
// The design sums paper inertia as areal density (g/m²) times mm⁴.
inline constexpr double kPaperInertiaUnitsPerGramSquareCentimetre = 100000000;

inline constexpr double kMetresPerKilometre = 1000;
inline constexpr double kSecondsPerHour = 3600;
inline constexpr double kMillisecondsPerSecond = 1000;

// Angles. Degrees and radians convert in more than one operation order, and
// the orders differ in the last bit; each order has its own name here so that
// every place keeps the bits it has always had.
inline constexpr double kPi = std::numbers::pi;
// degrees * pi / 180
constexpr double DegreesToRadians(double degrees) {
    return degrees * kPi / 180;
}
// radians * 180 / pi
constexpr double RadiansToDegrees(double radians) {
    return radians * 180 / kPi;
}
// radians * 1800 / pi: tenths of a degree, as metafile text angles count them.
constexpr double RadiansToTenthsOfDegrees(double radians) {
    return radians * 1800 / kPi;
}
// The factors rounded once, for `degrees * kRadiansPerDegree` and
// `radians * kDegreesPerRadian`.
inline constexpr double kRadiansPerDegree = kPi / 180;
inline constexpr double kDegreesPerRadian = 180 / kPi;

} // namespace skarvel::sim
