#pragma once
// The zoom box a left-button drag shows over the trajectory image.

#include "view/canvas.h"

namespace skarvel::view {

// The box's outline in a dotted window-text pen, one pixel wide, the picture
// under it left showing through. `box` as MouseGesture::box() gives it.
void DrawZoomBox(Canvas& canvas, Rect box);

} // namespace skarvel::view
