#include "sim/summary.h"

#include "data/numtext.h"
#include "sim/flight_quantities.h"

#include <cmath>

namespace skarvel::sim {

FlightSummary Summarize(const FlightRecord& record, const RunStatistics& stats) {
    const FlightSample& s = record.sample(record.lastIndex);
    FlightSummary f;
    f.airborneTime = s.t;
    f.maxAltitude = -stats.minZ;
    f.landingDistance = std::sqrt(s.x * s.x + s.y * s.y);
    f.straight = s.r == 0;
    f.turnRadius = f.straight ? 0 : std::fabs(s.u / s.r);
    f.speed = std::sqrt(s.u * s.u + s.v * s.v + s.w * s.w);
    f.sinkRate = SinkRate(s);
    return f;
}

std::array<std::string, 6> SummaryTexts(const FlightSummary& f) {
    using data::FormatSignificant;
    return {FormatSignificant(5, true, f.airborneTime),
            FormatSignificant(4, false, f.maxAltitude),
            FormatSignificant(4, false, f.landingDistance),
            f.straight ? std::string("直線") : FormatSignificant(4, false, f.turnRadius),
            FormatSignificant(4, false, f.speed),
            FormatSignificant(4, false, f.sinkRate)};
}

} // namespace skarvel::sim
