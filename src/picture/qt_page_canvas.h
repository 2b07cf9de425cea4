#pragma once
// Pages through QtGui's painter: a canvas over a QPainter in a fine unit
// (printers), and PDF documents (QPdfWriter) with the Japanese face
// embedded. The only QtGui code outside the window: the window links it, the
// command line loads it as a module of its own (skarvel-pdf) when it writes
// a PDF.

#include "picture/page_document.h"
#include "view/canvas.h"

#include <memory>

class QPainter;

namespace skarvel::picture {

// Draws on a painter that is active: a canvas unit is `pixelsPerUnit` device
// pixels, antialiased; the painter's state is the caller's to save. Lines
// have flat caps and mitred joins; text is set in a Japanese gothic face.
class PainterPageCanvas : public view::PathCanvas {
  public:
    PainterPageCanvas(QPainter& painter, double pixelsPerUnit);

    void setPen(view::Colour colour, int width = 1,
                view::LineStyle style = view::LineStyle::Solid) override;
    void setBrush(view::Colour colour) override;
    void setHollowBrush() override;
    void ellipse(view::Rect box) override;
    void rectangle(view::Rect box) override;
    void fill(view::Rect box, view::Colour colour) override;
    void text(view::Point p, std::string_view utf8) override;
    void path(std::span<const view::PointF> points, bool closed) override;
    void textOnBaseline(view::PointF p, int height, std::string_view utf8) override;
    void beginGroup(std::optional<view::RectF> clip) override;
    void endGroup() override;

  private:
    QPainter& painter_;
    double k_;
};

// A PDF of pages drawn in 1/unitsPerMm mm, titled 型紙 by Skarvel. Needs the
// program's Qt application for the fonts (each program starts its own;
// without one this throws std::logic_error).
std::unique_ptr<PageDocument> NewPdfDocument(int unitsPerMm);

} // namespace skarvel::picture
