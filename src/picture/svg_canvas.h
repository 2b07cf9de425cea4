#pragma once
// A canvas that keeps what is drawn on it as SVG elements, one per drawing
// call and in drawing order, and gives the whole document as text. Roles are
// resolved through the palette it was made with, so a picture written off
// screen does not depend on the desktop's colours. Writing the text to a file
// is the caller's business (safely, through the data layer).

#include "view/canvas.h"
#include "view/palette.h"

#include <cstddef>
#include <string>
#include <vector>

namespace skarvel::picture {

// Pictures are drawn in the view's vocabulary: canvas, points, colours.
using namespace view;

// Text with &, <, > and " written as XML entities; a byte that starts no
// UTF-8 character (a file name in another encoding) and a control character
// XML does not allow become U+FFFD, so that the document stays well formed.
std::string XmlEscaped(std::string_view text);

class SvgCanvas : public Canvas {
  public:
    SvgCanvas(int width, int height, Palette palette = LightPalette());

    void setPen(Colour colour, int width = 1, LineStyle style = LineStyle::Solid) override;
    void setBrush(Colour colour) override;
    void setHollowBrush() override;
    void moveTo(Point p) override;
    void lineTo(Point p) override;
    void polyline(std::span<const Point> points) override;
    void polygon(std::span<const Point> points) override;
    void ellipse(Rect box) override;
    void rectangle(Rect box) override;
    void fill(Rect box, Colour colour) override;
    void text(Point p, std::string_view utf8) override;

    // The XML declaration, the svg element with every drawn element inside,
    // one per line; ends with a line feed.
    std::string document() const;
    // Forgets the drawn elements; pen, brush and current position stay.
    void clear() { elements_.clear(); }
    std::size_t elementCount() const { return elements_.size(); }

  private:
    // ` stroke="#RRGGBB" stroke-width="w"` for the current pen, and its
    // dashes when it is dotted.
    std::string stroke() const;
    // ` fill="#RRGGBB"`, or ` fill="none"` with the hollow brush.
    std::string brushFill() const;

    int width_;
    int height_;
    Palette palette_;
    Rgb pen_;
    int penWidth_ = 1;
    LineStyle penStyle_ = LineStyle::Solid;
    Rgb brush_;
    bool hollow_ = false;
    Point current_;
    std::vector<std::string> elements_;
};

} // namespace skarvel::picture
