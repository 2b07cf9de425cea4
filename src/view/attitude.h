#pragma once
// The three attitude dials: a rear view for roll, a side view for pitch and a
// top view for yaw, each a silhouette of the glider turned by its Euler angle
// and a line along its motion through the air.

#include "sim/flight_record.h"
#include "view/canvas.h"

namespace skarvel::view {

// Each draws around the centre (width / 2, height / 2) of a width x height
// area and erases nothing: the owner fills the background in the button-face
// colour first. Offsets from the centre round half away from zero; an offset
// that is not finite throws RangeError.
void DrawRollInstrument(Canvas& c, int width, int height, const sim::FlightSample& s);
void DrawPitchInstrument(Canvas& c, int width, int height, const sim::FlightSample& s);
void DrawYawInstrument(Canvas& c, int width, int height, const sim::FlightSample& s);

} // namespace skarvel::view
