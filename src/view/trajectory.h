#pragma once
// The flight drawn in three dimensions: the trajectory coloured by climb and
// descent, its ground track, span verticals, and the flight cursor.

#include "sim/flight_record.h"
#include "view/canvas.h"
#include "view/view_state.h"

namespace skarvel::view {

// What the check commands let the drawing show.
struct DrawOptions {
    bool groundTrack = true;    // the trajectory's projection on the ground
    bool spanVerticals = false; // ground-to-trajectory lines every 0.5 s
    bool cursorGround = true;   // the cursor's line to the ground and circle
};

// The step routine keeps the last ground point and the last trajectory point
// between calls, so that the run loop can draw a flight piece by piece.
class TrajectoryDrawing {
  public:
    // Draws the step that ends at sample i (sample 0: the vertical from the
    // ground below the launch point up to it).
    void step(Canvas& canvas, const ViewState& v, const sim::FlightRecord& record, int i,
              const DrawOptions& options);

    // Fills the whole image and draws the flight with a vertex every 50 ms
    // and at the last sample, up to the first sample below the ground.
    // False, with nothing drawn, when sample 0 lies below the ground.
    bool redraw(Canvas& canvas, const ViewState& v, const sim::FlightRecord& record,
                const DrawOptions& options);

  private:
    Point lastGround_{};
    Point lastPoint_{};
};

// The flight cursor at sample i: the thermal outline drifting with the wind,
// then (for 0 <= i <= N) the aircraft symbol, whose fill tells which face of
// the wing is seen, and its ground marker.
void DrawFlightCursor(Canvas& canvas, const ViewState& v, const sim::FlightRecord& record, int i,
                      double windSpeed, double thermalRadius, const DrawOptions& options);

} // namespace skarvel::view
