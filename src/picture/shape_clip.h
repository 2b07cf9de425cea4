#pragma once
// Shapes cut to a rectangle before they are written, for picture formats
// whose players size the picture from every coordinate in it. The
// rectangle's four edges all belong to it here: a point may lie on the right
// or bottom edge itself.

#include "view/canvas.h"

#include <span>
#include <vector>

namespace skarvel::picture {

// Pictures are drawn in the view's vocabulary: canvas, points, colours.
using namespace view;

bool Inside(Point p, Rect box);

// The parts of an open polyline inside the box, each a polyline of its own:
// one more wherever the line leaves the box and comes back. A polyline
// wholly inside comes back as it is.
std::vector<std::vector<Point>> ClipPolyline(std::span<const Point> points, Rect box);

// The area of a polygon inside the box as one polygon; fewer than three
// corners when nothing of it is. A polygon wholly inside comes back as it is.
std::vector<Point> ClipPolygon(std::span<const Point> points, Rect box);

// The corners of a polygon that follows the ellipse inscribed in the box to
// within a fraction of a pixel, the first not repeated at the end.
std::vector<Point> EllipseCorners(Rect box);

} // namespace skarvel::picture
