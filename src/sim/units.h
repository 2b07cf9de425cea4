#pragma once
// Unit factors between the units the tables show (per cent, mm, cm², g,
// g·cm², km/h) and the units the computations use. Each says how many of the
// smaller unit make one of the larger: a value comes in divided by it and goes
// out multiplied by it. Dividing by one of these gives the same bits as
// dividing by its literal; multiplying by a reciprocal would not (1/10000 has
// no exact double), so every conversion stays a division or a product.

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

} // namespace skarvel::sim
