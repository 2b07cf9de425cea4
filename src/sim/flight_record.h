#pragma once
// One state of the glider and the time series a flight leaves behind.

#include <array>

namespace skarvel::sim {

// 21 values in a fixed order; the twelve integrated states are u, v, w, p, q, r,
// x, y, z, psi, theta, phi. An evaluation of the equations of motion writes the
// air-relative values, CL and CD into the state it is given.
struct FlightSample {
    double t = 0;
    double u = 0, v = 0, w = 0;
    double p = 0, q = 0, r = 0;
    double ua = 0, va = 0, wa = 0;
    double pa = 0, qa = 0, ra = 0;
    double x = 0, y = 0, z = 0;
    double psi = 0, theta = 0, phi = 0;
    double CL = 0;
    double CD = 0;

    static constexpr int kValueCount = 21;
    // All 21 values in their order, for code that treats them alike.
    static constexpr std::array<double FlightSample::*, kValueCount> kValues = {
        &FlightSample::t,   &FlightSample::u,     &FlightSample::v,   &FlightSample::w,
        &FlightSample::p,   &FlightSample::q,     &FlightSample::r,   &FlightSample::ua,
        &FlightSample::va,  &FlightSample::wa,    &FlightSample::pa,  &FlightSample::qa,
        &FlightSample::ra,  &FlightSample::x,     &FlightSample::y,   &FlightSample::z,
        &FlightSample::psi, &FlightSample::theta, &FlightSample::phi, &FlightSample::CL,
        &FlightSample::CD};
};

// 9002 slots: slot 0 is the launch preview, sample k lives in slot k + 1.
// After a run samples 0 to lastIndex are valid. A record belongs to the
// flight that writes it: never shared between threads while it is written.
struct FlightRecord {
    static constexpr int kMaxSamples = 9000; // highest sample index
    static constexpr int kSlots = kMaxSamples + 2;

    std::array<FlightSample, kSlots> slots{};
    int lastIndex = 0; // N

    FlightSample& sample(int k) { return slots[static_cast<std::size_t>(k + 1)]; }
    const FlightSample& sample(int k) const { return slots[static_cast<std::size_t>(k + 1)]; }
    FlightSample& launchPreview() { return slots[0]; }
    const FlightSample& launchPreview() const { return slots[0]; }
};

// Kept beside the record; reset at the start of every integrated run.
struct RunStatistics {
    double minZ = 0;                  // maximum altitude is -minZ
    double maxHorizontalDistance = 0; // sqrt(x^2 + y^2)
    double maxDistance = 0;           // sqrt(x^2 + y^2 + z^2)
};

} // namespace skarvel::sim
