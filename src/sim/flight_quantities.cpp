#include "sim/flight_quantities.h"

#include "sim/checked.h"
#include "sim/units.h"

#include <cmath>

namespace skarvel::sim {

double ThermalUpdraft(const InputSet& in, double x, double y, double t) {
    const double dx = x - in.windSpeed * t;
    const double d = std::sqrt(dx * dx + y * y);
    const double q = checkedDiv(d, in.thermalRadius);
    return in.thermalStrength * std::exp(-kThermalFalloff * (q * q));
}

double SinkRate(const FlightSample& s) {
    return -std::sin(s.theta) * s.u +
           std::cos(s.theta) * (std::sin(s.phi) * s.v + std::cos(s.phi) * s.w);
}

double SinkRateTermByTerm(const FlightSample& s) {
    return -s.u * std::sin(s.theta) + s.v * std::sin(s.phi) * std::cos(s.theta) +
           s.w * std::cos(s.phi) * std::cos(s.theta);
}

long Milliseconds(double t) {
    return std::lround(t * kMillisecondsPerSecond);
}

} // namespace skarvel::sim
