#pragma once
// Drawing records for the platform's picture files: an Enhanced Metafile
// (.emf) and a Windows Metafile with the placeable header (.wmf). A writer
// takes the drawing calls in device units (pixels, y down) and gives the
// file's bytes; the QPainter paint engine of the window and the metafile
// canvases of the drawing routines both write through it.

#include "view/canvas.h"
#include "view/palette.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel::picture {

// Pictures are drawn in the view's vocabulary: canvas, points, colours.
using namespace view;

enum class PenStyle { Solid, Dash, Dot, DashDot, None };

// The style as both metafile formats store it (PS_SOLID .. PS_NULL).
constexpr std::uint16_t PenStyleCode(PenStyle style) {
    switch (style) {
    case PenStyle::Solid:
        return 0;
    case PenStyle::Dash:
        return 1;
    case PenStyle::Dot:
        return 2;
    case PenStyle::DashDot:
        return 3;
    case PenStyle::None:
        return 5;
    }
    return 0;
}

enum class TextAnchor {
    TopLeft,      // the point is the top-left corner of the text
    BaselineLeft, // the point is the start of the text's baseline
};

class MetafileWriter {
  public:
    virtual ~MetafileWriter() = default;

    // Pens, brushes and fonts apply to what is drawn after them.
    virtual void setPen(Rgb colour, int width, PenStyle style) = 0;
    virtual void setBrush(Rgb colour) = 0;
    virtual void setHollowBrush() = 0;
    // `family` is UTF-8; `pixelHeight` is the character height in pixels;
    // text runs at `angle` tenths of a degree counter-clockwise from the
    // x axis (900: upwards).
    virtual void setFont(std::string_view family, int pixelHeight, bool bold, bool italic,
                         int angle) = 0;
    virtual void setTextColour(Rgb colour) = 0;
    // Drawing is clipped to the rectangle; none: no clipping.
    virtual void setClip(std::optional<Rect> clip) = 0;

    virtual void moveTo(Point p) = 0;
    virtual void lineTo(Point p) = 0;
    virtual void polyline(std::span<const Point> points) = 0;
    // Filled with the brush, outlined with the pen.
    virtual void polygon(std::span<const Point> points) = 0;
    virtual void rectangle(Rect box) = 0;
    virtual void ellipse(Rect box) = 0;
    // The rectangle in one colour without an outline.
    virtual void fill(Rect box, Rgb colour) = 0;
    // UTF-8 text in the current font and text colour, transparent background.
    // `advances` are the pixels from each character to the next along the
    // text, one per code point, as the font lays them out; none: the writer
    // estimates them where its format wants them.
    virtual void text(Point p, std::string_view utf8, TextAnchor anchor,
                      std::span<const std::int32_t> advances) = 0;

    // The whole file. The writer is done afterwards.
    virtual std::string finish() = 0;
};

// The writers keep a few objects (pens, brushes, fonts) in the file: when
// room is needed, the least recently used one not selected goes. `objects`
// holds entries with a `lastUse` count; end() when every one is selected.
template <class Objects, class Selected>
auto LeastRecentlyUsed(Objects& objects, Selected selected) {
    auto oldest = objects.end();
    for (auto it = objects.begin(); it != objects.end(); ++it) {
        if (!selected(*it) && (oldest == objects.end() || it->lastUse < oldest->lastUse)) {
            oldest = it;
        }
    }
    return oldest;
}

// The drawing routines' canvas over a metafile writer; roles through the
// palette. A canvas unit is `pixelsPerUnit` of the writer's pixels (a pen
// at least one); sized text is set in `face`, groups are clipped, and a text
// of a clipped group that starts outside its clip is left out (WMF players
// size the picture from every coordinate, a text's included).
class MetafileCanvas : public Canvas {
  public:
    MetafileCanvas(MetafileWriter& writer, Palette palette = LightPalette(),
                   double pixelsPerUnit = 1, std::string face = {});

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
    void path(std::span<const PointF> points, bool closed) override;
    void textOnBaseline(PointF p, int height, std::string_view utf8) override;
    void beginGroup(std::optional<RectF> clip) override;
    void endGroup() override;

  private:
    Point device(PointF p) const;
    Point device(Point p) const;
    Rect device(Rect box) const;
    std::vector<Point> device(std::span<const Point> points) const;

    MetafileWriter& writer_;
    Palette palette_;
    double k_;
    std::string face_;
    Rgb penColour_;
    std::optional<Rect> clip_;
};

} // namespace skarvel::picture
