#pragma once
// The stability analysis and the glide polar as tab-separated lines, one
// record a line, numbers as "%.6g" and "-" where a value does not apply:
//   trim V alpha beta theta phi omega gamma sink ratio radius CL CD stalled
//   trim none
//   margin PERCENT
//   mode NAME re im wn zeta period time
//   polar ih V alpha sink ratio stalled stable maxre | polar ih none
//   best ratio ih V | best none
//   minsink sink ih V | minsink none
//   settles glide V sink ratio radius phi eq | settles cycle period vmin vmax
//     meansink meanratio | settles divergence t | settles ground t | settles none
//   equilibrium <the trim line's 13 values> stable maxre ends
// Angles in degrees, the turn rate in degrees per second.

#include "sim/glide_polar.h"
#include "sim/modes.h"
#include "sim/settle.h"

#include <optional>
#include <string>

namespace skarvel::sim {

// A value as these lines write it: "%.6g", or "-" for none.
std::string FieldText(const std::optional<double>& value);

std::string StabilityText(const StabilityAnalysis& analysis);
std::string PolarText(const GlidePolar& polar);
std::string SettleText(const SettleAnalysis& analysis);

} // namespace skarvel::sim
