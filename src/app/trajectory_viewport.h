#pragma once
// The "軌跡" page without its display: the view state, the drawing of the
// flight on a surface, the flight cursor, and what the view commands and
// mouse gestures do to them. It draws the flight it was made with and draws
// nothing while a flight runs (the live steps aside).

#include "sim/flight_record.h"
#include "sim/input_set.h"
#include "view/navigation.h"
#include "view/trajectory.h"
#include "view/view_state.h"

namespace skarvel::app {

class TrajectorySurface;

class TrajectoryViewport {
  public:
    // `busy` is true while a flight runs.
    TrajectoryViewport(const sim::FlightRecord& record, const sim::InputSet& input,
                       const sim::RunStatistics& stats, const bool& busy);

    const view::ViewState& state() const { return state_; }
    const view::MouseGesture& mouse() const { return mouse_; }
    // Where the trajectory is drawn; none: nothing is drawn.
    void setSurface(TrajectorySurface* surface) { surface_ = surface; }
    // Ground track, span verticals, cursor ground projection: redraws.
    void setDrawOptions(view::DrawOptions options);
    // The sample the marker's track bar marks: every redraw puts the cursor there.
    void setMarkedSample(int i) { marked_ = i; }

    // The start-up view of an image of that size (angles a and b).
    void prepare(int width, int height, int a = 0, int b = 20);
    // The image has a new size: the trajectory is drawn again at that size.
    void resize(int width, int height);
    // The view commands. Fits, the origin reset and the zoom do nothing while
    // a flight runs (false) and swallow their errors; the moves and the
    // angles let a coordinate beyond the pixel range reach the caller.
    bool fitToTrajectory();
    bool fitToRange();
    bool resetOrigin();
    bool zoom(double factor);
    bool move(view::Direction d);
    // The view angles (the scroll bars); nothing happens when unchanged.
    void setAngles(int a, int b);
    void mousePress(view::Point p);
    void mouseMove(view::Point p, bool leftHeld, bool rightHeld);
    void mouseRelease(view::Point p, view::MouseButton button);

    // A flight drawn live: a blank picture, then each stored step.
    void beginLiveFlight();
    void drawLiveStep(int index);
    // The flight drawn again from the record (nothing while a flight runs or
    // a redraw is under way), then the cursor at the marked sample.
    void redraw();
    // The cursor at sample i over the flight as drawn.
    void showCursorAt(int i);

  private:
    void redrawFlight();
    void drawCursor(int i);
    // Runs a view command that swallows its errors; false while busy.
    template <class F> bool quietCommand(F command);

    const sim::FlightRecord& record_;
    const sim::InputSet& input_;
    const sim::RunStatistics& stats_;
    const bool& busy_;
    TrajectorySurface* surface_ = nullptr;
    view::ViewState state_ = view::InitialView(0, 0);
    view::TrajectoryDrawing drawing_;
    view::MouseGesture mouse_;
    view::DrawOptions options_;
    int marked_ = 0;
    bool redrawing_ = false;
};

} // namespace skarvel::app
