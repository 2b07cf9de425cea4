#pragma once
// A small made-up flight for the view tests.

#include "sim/flight_record.h"

#include <memory>

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

} // namespace skarvel::test
