#pragma once
// The figures of one flight that the run history shows.

#include "sim/flight_record.h"

#include <array>
#include <string>
#include <string_view>

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

// The six figures' captions with their units, as the history list heads them.
inline constexpr std::array<std::string_view, 6> kSummaryCaptions = {
    "滞空時間(s)", "最大高度(m)", "着地距離(m)", "旋回半径(m)", "速度(m/s)", "沈下率(m/s)"};

// The six result cells of a history row, formatted as the list shows them.
std::array<std::string, 6> SummaryTexts(const FlightSummary& summary);

} // namespace skarvel::sim
