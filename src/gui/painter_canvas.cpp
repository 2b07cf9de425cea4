#include "gui/painter_canvas.h"

#include <QPolygon>

#include <QString>
#include <cstdlib>

#include <vector>

namespace skarvel::gui {

namespace {

QPoint ToQt(view::Point p) {
    return {p.x, p.y};
}

QPolygon ToPolygon(std::span<const view::Point> points) {
    QPolygon polygon(static_cast<int>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        polygon.setPoint(static_cast<int>(i), ToQt(points[i]));
    }
    return polygon;
}

// Shapes are drawn from corner to corner as the box gives them: the right and
// bottom edges lie just outside, as in the platform's rectangle calls.
QRect ToRect(view::Rect r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

} // namespace

void PainterCanvas::begin(QImage& image) {
    if (painter_.isActive() && image_ == &image) {
        return;
    }
    end();
    if (image.isNull()) {
        return;
    }
    image_ = &image;
    painter_.begin(&image);
    // Beginning made the pixels the image's own: lines may go straight in.
    const bool direct =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    bits_ = direct ? image.bits() : nullptr;
    bytesPerLine_ = image.bytesPerLine();
    resetPen();
}

void PainterCanvas::begin(QPaintDevice& device) {
    end();
    painter_.begin(&device);
    resetPen();
}

void PainterCanvas::resetPen() {
    penColour_ = view::Colour::Role(view::ColourRole::WindowText);
    penWidth_ = 1;
    penStyle_ = view::LineStyle::Solid;
    penRgb_ = resolve(penColour_).rgb();
    penApplied_ = false;
}

void PainterCanvas::end() {
    if (painter_.isActive()) {
        painter_.end();
    }
    image_ = nullptr;
    bits_ = nullptr;
}

QColor PainterCanvas::resolve(view::Colour colour) const {
    if (!colour.isRole) {
        return QColor(colour.r, colour.g, colour.b);
    }
    switch (colour.role) {
    case view::ColourRole::WindowBackground:
        return palette_.color(QPalette::Base);
    case view::ColourRole::WindowText:
        return palette_.color(QPalette::Text);
    case view::ColourRole::ButtonFace:
        return palette_.color(QPalette::Button);
    case view::ColourRole::Highlight:
        return palette_.color(QPalette::Highlight);
    case view::ColourRole::HighlightText:
        return palette_.color(QPalette::HighlightedText);
    }
    return palette_.color(QPalette::Text);
}

void PainterCanvas::setPen(view::Colour colour, int width, view::LineStyle style) {
    // A flight's steps switch between three pens all the time; the painter's
    // pen is changed only when one of its own shapes needs it.
    if (colour == penColour_ && width == penWidth_ && style == penStyle_) {
        return;
    }
    penColour_ = colour;
    penWidth_ = width;
    penStyle_ = style;
    penRgb_ = resolve(colour).rgb();
    penApplied_ = false;
}

void PainterCanvas::applyPen() {
    if (penApplied_) {
        return;
    }
    QPen pen(QColor::fromRgb(penRgb_), penWidth_,
             penStyle_ == view::LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    if (penStyle_ == view::LineStyle::Dashed) {
        pen.setDashPattern({8, 4});
    } else if (penStyle_ == view::LineStyle::DashDot) {
        pen.setDashPattern({12, 4, 2, 4});
    }
    pen.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen);
    penApplied_ = true;
}

bool PainterCanvas::directLine(QPoint from, QPoint to) {
    const QRect inside(0, 0, image_ != nullptr ? image_->width() : 0,
                       image_ != nullptr ? image_->height() : 0);
    if (bits_ == nullptr || penWidth_ != 1 || penStyle_ != view::LineStyle::Solid ||
        !inside.contains(from) || !inside.contains(to)) {
        return false;
    }
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), sx = x < to.x() ? 1 : -1;
    const int dy = -std::abs(to.y() - y), sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        reinterpret_cast<QRgb*>(bits_ + y * bytesPerLine_)[x] = penRgb_;
        if (x == to.x() && y == to.y()) {
            break;
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return true;
}

void PainterCanvas::setBrush(view::Colour colour) {
    if (painter_.isActive()) {
        painter_.setBrush(resolve(colour));
    }
}

void PainterCanvas::setHollowBrush() {
    if (painter_.isActive()) {
        painter_.setBrush(Qt::NoBrush);
    }
}

void PainterCanvas::moveTo(view::Point p) {
    position_ = ToQt(p);
}

void PainterCanvas::lineTo(view::Point p) {
    const QPoint to = ToQt(p);
    if (painter_.isActive() && !directLine(position_, to)) {
        applyPen();
        painter_.drawLine(position_, to);
    }
    position_ = to;
}

void PainterCanvas::polyline(std::span<const view::Point> points) {
    if (!painter_.isActive()) {
        return;
    }
    if (points.size() == 2 && directLine(ToQt(points[0]), ToQt(points[1]))) {
        return;
    }
    applyPen();
    painter_.drawPolyline(ToPolygon(points));
}

void PainterCanvas::polygon(std::span<const view::Point> points) {
    if (painter_.isActive()) {
        applyPen();
        painter_.drawPolygon(ToPolygon(points));
    }
}

void PainterCanvas::ellipse(view::Rect box) {
    if (painter_.isActive()) {
        applyPen();
        painter_.drawEllipse(ToRect(box));
    }
}

void PainterCanvas::rectangle(view::Rect box) {
    if (painter_.isActive()) {
        applyPen();
        painter_.drawRect(ToRect(box));
    }
}

void PainterCanvas::fill(view::Rect box, view::Colour colour) {
    if (painter_.isActive()) {
        painter_.fillRect(QRect(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1)),
                          resolve(colour));
    }
}

void PainterCanvas::text(view::Point p, std::string_view utf8) {
    if (painter_.isActive()) {
        applyPen();
        const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        painter_.drawText(QRect(ToQt(p), QSize(10000, 10000)), Qt::AlignLeft | Qt::AlignTop, s);
    }
}

} // namespace skarvel::gui
