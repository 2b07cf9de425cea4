#include "view/chart_series.h"

#include "sim/simulator.h"

namespace skarvel::view {

ChartSample ChartValues(const sim::FlightSample& s, double airspeed) {
    using sim::WrapDegrees;
    ChartSample c;
    c.t = s.t;
    c.angles = {WrapDegrees(s.psi), WrapDegrees(s.theta), WrapDegrees(s.phi)};
    c.velocities = {s.u, s.v, s.w};
    c.rates = {s.p, s.q, s.r};
    c.position = {s.x, s.y, -s.z};
    c.overview = {-s.z, airspeed, WrapDegrees(s.theta), 100 * s.CL};
    return c;
}

} // namespace skarvel::view
