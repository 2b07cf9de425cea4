#pragma once
// The figures of one flight that the run history shows.

#include "sim/flight_record.h"

#include <array>
#include <string>

namespace skarvel::sim {

struct FlightSummary {
    double airborneTime = 0;    // s, time of the last sample
    double maxAltitude = 0;     // m
    double landingDistance = 0; // m, from the earth origin
    bool straight = false;      // yaw rate exactly 0 at the last sample
    double turnRadius = 0;      // m, |u / r|
    double speed = 0;           // m/s, inertial
    double sinkRate = 0;        // m/s, positive when descending
};

FlightSummary Summarize(const FlightRecord& record, const RunStatistics& stats);

// The six result cells of a history row, formatted as the list shows them.
std::array<std::string, 6> SummaryTexts(const FlightSummary& summary);

} // namespace skarvel::sim
