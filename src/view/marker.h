#pragma once
// The marker sample's values: the texts of the marker table, the four
// instrument bars, and the lookups that turn a time or a typed point number
// into a sample index.

#include "sim/flight_record.h"
#include "sim/input_set.h"

#include <array>
#include <string>
#include <string_view>

namespace skarvel::view {

// A real value of the marker table: one rounding, halves away from zero, at the
// coarser of the 5th significant digit and the 4th decimal, then exactly four
// decimals ("123.4600", "0.0123"). A result with more than five digits before
// the point is written as "1.2346E+05". The value rounded is the shortest
// decimal text that reads back as the same double, so 0.00005 counts as a
// half and gives "0.0001". A value rounding to zero reads "0.0000" whatever its
// sign; a value that is not finite reads "0".
std::string FormatMarkerValue(double v);

// The 24 value texts of the marker table for sample i, from "ポイントNo" to
// "rヨー  角速度". A row whose value needs a division by zero (thermal radius
// 0, u_a = 0 for the two flow angles, r = 0 for the turn radius, q = 0 for the
// loop radius) reads "0". Requires 0 <= i <= lastIndex.
std::array<std::string, 24> MarkerValueTexts(const sim::FlightRecord& record, int i,
                                             const sim::InputSet& in);

// The sample nearest to time t, ties going to the earlier one: 0 when t is not
// >= 0 (NaN included), lastIndex when t lies beyond the last sample.
int SampleAtTime(const sim::FlightRecord& record, double t);

// The positions of the bars "V", "Z", "dZ" and "CL".
struct InstrumentBars {
    int v, z, dz, cl;
    friend bool operator==(const InstrumentBars&, const InstrumentBars&) = default;
};

inline constexpr InstrumentBars kInitialBars{350, 10, 0, 0};

// Speed and altitude in 0.1 m/s and 0.1 m (0 to 500), climb rate in 0.1 m/s
// (-50 to 50), CL in hundredths (-100 to 100); halves away from zero, a value
// beyond a bar's range (infinities included) at the nearest end, NaN at 0.
InstrumentBars BarValues(const sim::FlightSample& s);

// A typed point number: a whole number as the number reader takes it
// ("-5", "1e3", "12.0"), one beyond the range of int limited to it; anything
// else gives 0.
int ParseMarkerIndex(std::string_view text);

} // namespace skarvel::view
