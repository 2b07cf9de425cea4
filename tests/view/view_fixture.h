#pragma once
// A small made-up flight for the view tests.

#include "sim/flight_record.h"

#include <memory>
#include <numbers>

namespace skarvel::test {

// A record of n + 1 samples 10 ms apart: climbing for the first half, then
// descending, drifting along +x and +y.
inline std::unique_ptr<sim::FlightRecord> Flight(int n, double z0 = -2) {
    auto record = std::make_unique<sim::FlightRecord>();
    for (int i = 0; i <= n; ++i) {
        sim::FlightSample& s = record->sample(i);
        s.t = i * 0.01;
        s.x = i * 0.5;
        s.y = i * 0.25;
        s.z = z0 - (i <= n / 2 ? i : n - i) * 0.1;
    }
    record->lastIndex = n;
    return record;
}

// Sample k of a made-up flight for the charts: every value differs from
// chart to chart, the angles lie beyond half a turn, and from k = 2 on it is
// below the ground.
inline sim::FlightSample ChartSample(int k) {
    constexpr double deg = std::numbers::pi / 180;
    sim::FlightSample s;
    s.t = 0.05 * k;
    s.u = 10 + k;
    s.v = 0.1 * k;
    s.w = -0.2 * k;
    s.p = 0.01 * k;
    s.q = 0.02 * k;
    s.r = 0.03 * k;
    s.x = 2.0 * k;
    s.y = -1.0 * k;
    s.z = -5 + 2.5 * k;
    s.psi = 190 * deg;
    s.theta = (-190 + k) * deg;
    s.phi = 5 * k * deg;
    s.CL = 0.004 * k;
    s.ua = 99; // the airspeed comes from the caller, not from the sample
    return s;
}

} // namespace skarvel::test
