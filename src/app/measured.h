#pragma once
// A measured flight: a track a video-tracking tool exported, as CSV or TSV
// with a header, read into the flight's own ground axes, and its distance
// from a simulated flight.
//
// Columns are found by their names, with or without a unit in brackets:
// time "t", "time" or "時刻" (s, or ms when the header says "[ms]"); "x";
// optionally "y"; and the height "h" or "高度" above the ground, or "z"
// pointing down as in the flight export. Positions are in m unless the
// header gives "[mm]", "[cm]" or "[m]", or the reader is given a unit for
// all of them. A side-view track has no y. x and y are the flight's ground
// axes (the launch at X座標, Y座標), t the time from the launch.

#include "sim/flight_record.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel::app {

class MeasuredError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct MeasuredPoint {
    double t = 0; // s
    double x = 0; // m
    double y = 0; // m; 0 on a side-view track
    double h = 0; // m above the ground
};

struct MeasuredTrack {
    std::vector<MeasuredPoint> points; // in the order of the file
    bool hasY = false;
    // A line for every row left out: "5 行目 x: 数ではありません: "abc"".
    std::vector<std::string> skipped;
};

// "mm", "cm", "m": metres per unit; none for anything else.
std::optional<double> LengthUnit(std::string_view name);

// Reads the text of a track; `unit` (metres per unit) is the positions'
// unit where the header gives none. Rows that cannot be read are left out
// and named; throws MeasuredError for a header without the columns, or a
// track without a single row that reads.
MeasuredTrack ParseMeasuredTrack(std::string_view text, std::optional<double> unit = {});
// The same from a file (UTF-8; at most 4 MB); throws data::FileError too.
MeasuredTrack ReadMeasuredTrack(const std::string& path, std::optional<double> unit = {});

// How far the flight is from the track: over the measured points within the
// flight's time (the flight interpolated at each, from its 10 ms samples),
// leaving out outliers, points farther than max(0.1 m, 5 × the median
// distance). Distances are 3-D, or in the x-h plane for a side-view track.
struct TrackDistance {
    std::size_t n = 0; // the points used
    double rms = 0;    // m
    double max = 0;    // m
};
// The flight's x, y and height at time t, between its 10 ms samples; at its
// end after it.
std::array<double, 3> FlightPositionAt(const sim::FlightRecord& record, double t);

// None when no measured point lies within the flight's time.
std::optional<TrackDistance> CompareTrack(const MeasuredTrack& track,
                                          const sim::FlightRecord& record);

// "measured N RMS MAX" (tab-separated, "%.6g"); "measured 0 - -" without points.
std::string MeasuredLine(const std::optional<TrackDistance>& distance);

} // namespace skarvel::app
