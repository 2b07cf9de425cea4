#include "picture/metafile.h"

namespace skarvel::picture {

MetafileCanvas::MetafileCanvas(MetafileWriter& writer, Palette palette)
    : writer_(writer), palette_(palette) {}

void MetafileCanvas::setPen(Colour colour, int width, LineStyle style) {
    penColour_ = Resolve(colour, palette_);
    writer_.setPen(penColour_, width,
                   style == LineStyle::Dotted   ? PenStyle::Dot
                   : style == LineStyle::Dashed ? PenStyle::Dash
                                                : PenStyle::Solid);
}
void MetafileCanvas::setBrush(Colour colour) {
    writer_.setBrush(Resolve(colour, palette_));
}
void MetafileCanvas::setHollowBrush() {
    writer_.setHollowBrush();
}
void MetafileCanvas::moveTo(Point p) {
    writer_.moveTo(p);
}
void MetafileCanvas::lineTo(Point p) {
    writer_.lineTo(p);
}
void MetafileCanvas::polyline(std::span<const Point> points) {
    writer_.polyline(points);
}
void MetafileCanvas::polygon(std::span<const Point> points) {
    writer_.polygon(points);
}
void MetafileCanvas::ellipse(Rect box) {
    writer_.ellipse(box);
}
void MetafileCanvas::rectangle(Rect box) {
    writer_.rectangle(box);
}
void MetafileCanvas::fill(Rect box, Colour colour) {
    writer_.fill(box, Resolve(colour, palette_));
}
void MetafileCanvas::text(Point p, std::string_view utf8) {
    // Text drawn on the canvas takes the pen's colour.
    writer_.setTextColour(penColour_);
    writer_.text(p, utf8, TextAnchor::TopLeft, {});
}

} // namespace skarvel::picture
