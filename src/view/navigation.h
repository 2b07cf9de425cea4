#pragma once
// Moving, scaling and turning the trajectory view: the fits, the origin
// reset, the 5 % steps, the view-angle texts and the mouse gestures. Each
// changes the ViewState only; the caller redraws.

#include "sim/flight_record.h"
#include "view/canvas.h"
#include "view/view_state.h"

#include <string_view>

namespace skarvel::view {

// Scales and centres the view so that the whole flight and the origin fit
// the image with a 10-pixel margin. Throws (ArithmeticError, RangeError)
// with the steps done so far in effect.
void FitToTrajectory(ViewState& v, const sim::FlightRecord& record);
// Scales to the flight's largest distances from the origin: the horizontal
// one (dh) across the width, the horizontal and the whole one (d) down the
// height. A flight without horizontal extent throws ArithmeticError.
void FitToRange(ViewState& v, double dh, double d);
// The origin back to the middle of the width and two thirds of the height.
void ResetOrigin(ViewState& v);
// Scales by f (1.05 or 0.95) about the middle of the image.
void Zoom(ViewState& v, double f);

enum class Direction { Up, Down, Left, Right };
// Moves the origin by 5 % of the image size.
void Move(ViewState& v, Direction d);

// The number a view-angle dialog's text stands for; anything but an integer is 0.
int ParseAngleText(std::string_view text);
// The angles limited to their ranges: a to -180 .. 180, b to 0 .. 90.
int LimitHorizontalAngle(int a);
int LimitVerticalAngle(int b);

// The mouse over the image: a left-button drag shows a zoom box, a
// right-button drag moves the drawing with the mouse.
enum class MouseButton { Left, Right, Other };

class MouseGesture {
  public:
    void press(Point p) { anchor_ = p; }
    // True when the view moved and must be redrawn.
    bool move(ViewState& v, Point p, bool leftHeld, bool rightHeld);
    bool release(ViewState& v, Point p, MouseButton button);

    bool boxShown() const { return boxShown_; }
    // Left, top, right, bottom of the zoom box.
    Rect box() const { return box_; }

  private:
    // The drawing follows the mouse from the anchor to p.
    void drag(ViewState& v, Point p);

    Point anchor_{};
    Point last_{};
    bool boxShown_ = false;
    Rect box_{};
};

} // namespace skarvel::view
