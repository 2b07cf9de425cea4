#pragma once
// How the flight is looked at: the view angles, the scale, the symbol size,
// the image origin and the projection made from them.

#include "view/canvas.h"

#include <array>
#include <cstdint>

namespace skarvel::view {

struct ViewState {
    int a = 0;                   // horizontal view angle, degrees, -180 .. 180
    int b = 20;                  // vertical view angle, degrees, 0 .. 90 (90: plan view)
    double k = 10;               // scale, pixels per metre
    double s = 10;               // size of the aircraft symbol, pixels
    std::int32_t ox = 0, oy = 0; // image position of x = y = z = 0
    int width = 0, height = 0;   // the image, pixels
    std::array<std::array<double, 3>, 2> P{}; // positions: k * R
    std::array<std::array<double, 3>, 2> Q{}; // the symbol: s * R
};

// Recomputes P and Q from a, b, k and s.
void UpdateProjection(ViewState& v);

// The start-up view of an image: angles 0 and 20 degrees (or those given),
// 10 pixels per metre, symbol 10, origin at half the width and three
// quarters of the height; the projection computed.
ViewState InitialView(int width, int height, int a = 0, int b = 20);

// The image point of (x, y, z); RangeError outside the pixel range.
Point Project(const ViewState& v, double x, double y, double z);
// The ground point below (x, y).
inline Point ProjectGround(const ViewState& v, double x, double y) {
    return Project(v, x, y, 0);
}

} // namespace skarvel::view
