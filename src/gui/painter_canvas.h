#pragma once
// The drawing surface on screen and in bitmaps: a QPainter on a QImage, the
// colour roles taken from the window's palette.

#include "view/canvas.h"

#include <QImage>
#include <QPainter>
#include <QPalette>

namespace skarvel::gui {

class PainterCanvas : public view::Canvas {
  public:
    explicit PainterCanvas(QPalette palette) : palette_(std::move(palette)) {}
    ~PainterCanvas() override { end(); }
    PainterCanvas(const PainterCanvas&) = delete;
    PainterCanvas& operator=(const PainterCanvas&) = delete;

    // Starts drawing on the image unless already drawing on it.
    void begin(QImage& image);
    // Starts drawing on another device, a widget in its paint event, say.
    void begin(QPaintDevice& device);
    void end();
    bool active() const { return painter_.isActive(); }

    void setPen(view::Colour colour, int width = 1,
                view::LineStyle style = view::LineStyle::Solid) override;
    void setBrush(view::Colour colour) override;
    void setHollowBrush() override;
    void moveTo(view::Point p) override;
    void lineTo(view::Point p) override;
    void polyline(std::span<const view::Point> points) override;
    void polygon(std::span<const view::Point> points) override;
    void ellipse(view::Rect box) override;
    void rectangle(view::Rect box) override;
    void fill(view::Rect box, view::Colour colour) override;
    void text(view::Point p, std::string_view utf8) override;

    QColor resolve(view::Colour colour) const;

  private:
    // The window-text pen, one pixel, solid: where every drawing starts.
    void resetPen();
    // The pen reaches the painter only when a shape of the painter's needs it.
    void applyPen();
    // A one-pixel line written straight into the image's pixels, the fast path
    // of a flight drawn live.
    // Contract: draws and returns true only when the pen is solid and one
    // pixel wide, the canvas draws on a 32-bit image, and both ends lie inside
    // it (so no pixel outside can be touched); otherwise draws nothing and
    // returns false, and QPainter draws the line.
    // Notes: Bresenham's line from pixel centre to pixel centre, both end
    // pixels coloured, as every straight line of the drawings colours its
    // end. QPainter counts whole coordinates as pixel corners and leaves the
    // last pixel out, so the two may differ by one pixel along a line.
    bool directLine(QPoint from, QPoint to);

    QPalette palette_;
    QPainter painter_;
    QImage* image_ = nullptr;
    QPoint position_;
    view::Colour penColour_;
    int penWidth_ = 1;
    view::LineStyle penStyle_ = view::LineStyle::Solid;
    QRgb penRgb_ = 0;
    bool penApplied_ = false;
    uchar* bits_ = nullptr; // the image's pixels while drawing on a 32-bit image
    qsizetype bytesPerLine_ = 0;
};

} // namespace skarvel::gui
