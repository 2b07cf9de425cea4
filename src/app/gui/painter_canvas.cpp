#include "app/gui/painter_canvas.h"

#include <QPolygon>
#include <QString>

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
    painter_.setPen(QPen(resolve(view::Colour::Role(view::ColourRole::WindowText)), 1));
}

void PainterCanvas::end() {
    if (painter_.isActive()) {
        painter_.end();
    }
    image_ = nullptr;
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

void PainterCanvas::setPen(view::Colour colour, int width) {
    if (painter_.isActive()) {
        QPen pen(resolve(colour), width);
        pen.setCapStyle(Qt::FlatCap);
        painter_.setPen(pen);
    }
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
    if (painter_.isActive()) {
        painter_.drawLine(position_, to);
    }
    position_ = to;
}

void PainterCanvas::polyline(std::span<const view::Point> points) {
    if (painter_.isActive()) {
        painter_.drawPolyline(ToPolygon(points));
    }
}

void PainterCanvas::polygon(std::span<const view::Point> points) {
    if (painter_.isActive()) {
        painter_.drawPolygon(ToPolygon(points));
    }
}

void PainterCanvas::ellipse(view::Rect box) {
    if (painter_.isActive()) {
        painter_.drawEllipse(ToRect(box));
    }
}

void PainterCanvas::rectangle(view::Rect box) {
    if (painter_.isActive()) {
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
        const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        painter_.drawText(QRect(ToQt(p), QSize(10000, 10000)), Qt::AlignLeft | Qt::AlignTop, s);
    }
}

} // namespace skarvel::gui
