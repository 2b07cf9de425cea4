#include "picture/qt_page_canvas.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <vector>

namespace skarvel::picture {

namespace {

constexpr double kPdfResolution = 600; // dots per inch
constexpr double kMmPerInch = 25.4;

QString Text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QColor Ink(view::Colour colour) {
    // Pages are printed on white paper: a role is the light palette's.
    if (colour.isRole) {
        return colour.role == view::ColourRole::WindowBackground ? Qt::white : Qt::black;
    }
    return QColor(colour.r, colour.g, colour.b);
}

// The face the pattern's text asks for: one that holds Japanese.
QFont PageFont(double pixels) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    return font;
}

} // namespace

PainterPageCanvas::PainterPageCanvas(QPainter& painter, double pixelsPerUnit)
    : painter_(painter), k_(pixelsPerUnit) {
    painter_.setRenderHint(QPainter::Antialiasing);
}

void PainterPageCanvas::setPen(view::Colour colour, int width, view::LineStyle style) {
    QPen pen(Ink(colour), width * k_);
    if (style == view::LineStyle::Dashed) {
        pen.setDashPattern({8, 4});
    } else if (style == view::LineStyle::DashDot) {
        pen.setDashPattern({12, 4, 2, 4});
    } else if (style == view::LineStyle::Dotted) {
        pen.setStyle(Qt::DotLine);
    }
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(pen);
}

void PainterPageCanvas::setBrush(view::Colour colour) {
    painter_.setBrush(Ink(colour));
}

void PainterPageCanvas::setHollowBrush() {
    painter_.setBrush(Qt::NoBrush);
}

void PainterPageCanvas::path(std::span<const view::PointF> points, bool closed) {
    if (points.empty()) {
        return;
    }
    QPainterPath shape(QPointF(points[0].x * k_, points[0].y * k_));
    for (std::size_t i = 1; i < points.size(); ++i) {
        shape.lineTo(points[i].x * k_, points[i].y * k_);
    }
    if (closed) {
        shape.closeSubpath();
    }
    painter_.drawPath(shape);
}

void PainterPageCanvas::ellipse(view::Rect box) {
    painter_.drawEllipse(QRectF(box.left * k_, box.top * k_, (box.right - box.left) * k_,
                                (box.bottom - box.top) * k_));
}

void PainterPageCanvas::rectangle(view::Rect box) {
    painter_.drawRect(QRectF(box.left * k_, box.top * k_, (box.right - box.left) * k_,
                             (box.bottom - box.top) * k_));
}

void PainterPageCanvas::fill(view::Rect box, view::Colour colour) {
    painter_.fillRect(QRectF(box.left * k_, box.top * k_, (box.right - box.left) * k_,
                             (box.bottom - box.top) * k_),
                      Ink(colour));
}

void PainterPageCanvas::text(view::Point p, std::string_view utf8) {
    const QFontMetricsF metrics(painter_.font());
    painter_.drawText(QPointF(p.x * k_, p.y * k_ + metrics.ascent()), Text(utf8));
}

void PainterPageCanvas::textOnBaseline(view::PointF p, int height, std::string_view utf8) {
    // Text takes the pen's colour and nothing else of it.
    painter_.setPen(painter_.pen().color());
    painter_.setFont(PageFont(height * k_));
    painter_.drawText(QPointF(p.x * k_, p.y * k_), Text(utf8));
}

void PainterPageCanvas::beginGroup(std::optional<view::RectF> clip) {
    if (clip) {
        painter_.setClipRect(
            QRectF(clip->x * k_, clip->y * k_, clip->width * k_, clip->height * k_));
    } else {
        painter_.setClipping(false);
    }
}

void PainterPageCanvas::endGroup() {
    painter_.setClipping(false);
}

namespace {

class PdfDocument : public PageDocument {
  public:
    explicit PdfDocument(int unitsPerMm)
        : buffer_(&bytes_), k_(kPdfResolution / kMmPerInch / unitsPerMm) {
        buffer_.open(QIODevice::WriteOnly);
        writer_.emplace(&buffer_);
        writer_->setCreator(QStringLiteral("Skarvel"));
        writer_->setTitle(QStringLiteral("型紙"));
        writer_->setResolution(static_cast<int>(kPdfResolution));
    }

    view::Canvas& newPage(double widthMm, double heightMm) override {
        const QPageLayout layout(QPageSize(QSizeF(widthMm, heightMm), QPageSize::Millimeter,
                                           QString(), QPageSize::ExactMatch),
                                 QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                 QPageLayout::Millimeter);
        writer_->setPageLayout(layout);
        if (painter_.isActive()) {
            painter_.restore();
            writer_->newPage();
        } else {
            painter_.begin(&*writer_);
        }
        painter_.save();
        canvas_.emplace(painter_, k_);
        return *canvas_;
    }

    std::string finish() override {
        canvas_.reset();
        if (painter_.isActive()) {
            painter_.restore();
        } else {
            painter_.begin(&*writer_);
        }
        painter_.end();
        writer_.reset();
        buffer_.close();
        return std::string(bytes_.constData(), static_cast<std::size_t>(bytes_.size()));
    }

  private:
    QByteArray bytes_;
    QBuffer buffer_;
    std::optional<QPdfWriter> writer_;
    QPainter painter_;
    double k_;
    std::optional<PainterPageCanvas> canvas_;
};

} // namespace

std::unique_ptr<PageDocument> NewPdfDocument(int unitsPerMm) {
    // Qt's fonts need the program's Qt application, started by its main.
    if (QCoreApplication::instance() == nullptr) {
        throw std::logic_error("the PDF pattern needs the program's Qt application");
    }
    return std::make_unique<PdfDocument>(unitsPerMm);
}

} // namespace skarvel::picture
