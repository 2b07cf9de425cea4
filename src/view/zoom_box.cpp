#include "view/zoom_box.h"

namespace skarvel::view {

void DrawZoomBox(Canvas& canvas, Rect box) {
    canvas.setPen(Colour::Role(ColourRole::WindowText), 1, LineStyle::Dotted);
    canvas.setHollowBrush();
    canvas.rectangle(box);
}

} // namespace skarvel::view
