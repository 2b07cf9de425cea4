#pragma once
// The flight as a tab-separated text table for spreadsheets.

#include "sim/flight_record.h"

#include <string>
#include <vector>

namespace skarvel::sim {

// Two header lines, then one line per sample 0 .. N (UTF-8, no line ends).
std::vector<std::string> FlightTextLines(const FlightRecord& record);

// Writes those lines in CP932 with CR LF; throws data::FileError.
void WriteFlightText(const std::string& path, const FlightRecord& record);

} // namespace skarvel::sim
