#pragma once
// The design sketch: the current design in three outline views to one scale,
// the plan view with the side view to its right and the front view below it.
// It is drawn from the design as the last recomputation left it and keeps no
// state of its own.

#include "model/aircraft.h"
#include "view/canvas.h"

namespace skarvel::view {

// Fills the area with the window colour and, when enabled, draws the three
// views at height / (1.4 x fuselage length) pixels per millimetre, or at the
// largest scale that keeps all of them inside the area when that is smaller.
// A fuselage length of 0 or a point beyond the pixel range ends the drawing
// quietly, keeping what was drawn: false then.
bool DrawDesignSketch(Canvas& canvas, int width, int height, const model::AircraftModel& model,
                      bool enabled);

} // namespace skarvel::view
