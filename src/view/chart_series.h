#pragma once
// What the five charts of a flight plot for one stored sample: the time on
// every bottom axis and, per chart, one value for each of its line series in
// the order the chart lists them. The charts themselves only draw these.

#include "sim/flight_record.h"

#include <array>

namespace skarvel::view {

struct ChartSample {
    double t = 0; // seconds since launch, the x of every chart's point
    // Yaw, pitch and roll in degrees folded into -180 .. 180.
    std::array<double, 3> angles{};
    // u, v, w along the body axes.
    std::array<double, 3> velocities{};
    // p, q, r.
    std::array<double, 3> rates{};
    // x, y and the altitude (z points down).
    std::array<double, 3> position{};
    // Altitude, airspeed, pitch in folded degrees and the lift coefficient
    // times 100, so that the four share one axis.
    std::array<double, 4> overview{};
};

// `airspeed` is the one the force model last computed for the sample.
ChartSample ChartValues(const sim::FlightSample& s, double airspeed);

} // namespace skarvel::view
