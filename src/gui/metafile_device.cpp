#include "gui/metafile_device.h"

#include "sim/units.h"
#include "view/pixel.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QTextItem>
#include <QTransform>

#include <cmath>
#include <vector>

namespace skarvel::gui {

namespace {

constexpr int kDpi = 96;

view::Rgb ToRgb(const QColor& c) {
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

// Device coordinates, rounded and kept inside the pixel range.
view::Point ToPoint(const QPointF& p) {
    const auto clamp = [](double v) {
        return std::isfinite(v) ? std::clamp(std::lround(v), -1000000L, 1000000L) : 0L;
    };
    return {static_cast<std::int32_t>(clamp(p.x())), static_cast<std::int32_t>(clamp(p.y()))};
}

picture::PenStyle ToPenStyle(Qt::PenStyle s) {
    switch (s) {
    case Qt::NoPen:
        return picture::PenStyle::None;
    case Qt::DashLine:
        return picture::PenStyle::Dash;
    case Qt::DotLine:
        return picture::PenStyle::Dot;
    case Qt::DashDotLine:
    case Qt::DashDotDotLine:
        return picture::PenStyle::DashDot;
    default:
        return picture::PenStyle::Solid;
    }
}

} // namespace

class MetafilePaintEngine : public QPaintEngine {
  public:
    explicit MetafilePaintEngine(picture::MetafileWriter& writer)
        : QPaintEngine(QPaintEngine::AllFeatures), writer_(writer) {}

    bool begin(QPaintDevice*) override {
        setActive(true);
        return true;
    }
    bool end() override {
        setActive(false);
        return true;
    }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override {
        const DirtyFlags flags = state.state();
        if (flags & DirtyTransform) {
            transform_ = state.transform();
        }
        if (flags & (DirtyPen | DirtyTransform)) {
            pen_ = flags & DirtyPen ? state.pen() : pen_;
            applyPen();
        }
        if (flags & DirtyBrush) {
            brush_ = state.brush();
            applyBrush();
        }
        if (flags & (DirtyClipRegion | DirtyClipPath | DirtyClipEnabled)) {
            applyClip(state);
        }
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        std::vector<view::Point> pts;
        pts.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            pts.push_back(ToPoint(transform_.map(points[i])));
        }
        if (mode == PolylineMode) {
            writer_.polyline(pts);
        } else {
            writer_.polygon(pts);
        }
    }

    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override {
        std::vector<QPointF> pts(points, points + count);
        drawPolygon(pts.data(), count, mode);
    }

    void drawPath(const QPainterPath& path) override {
        // Curves become polygons; each closed part is filled, open parts are lines.
        for (const QPolygonF& part : path.toSubpathPolygons()) {
            const bool closed = part.size() > 2 && part.isClosed();
            const bool filled = brush_.style() != Qt::NoBrush && part.size() > 2;
            drawPolygon(part.constData(), static_cast<int>(part.size()),
                        closed || filled ? OddEvenMode : PolylineMode);
        }
    }

    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            writer_.moveTo(ToPoint(transform_.map(lines[i].p1())));
            writer_.lineTo(ToPoint(transform_.map(lines[i].p2())));
        }
    }

    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            drawPolygon(QPolygonF(rects[i]).constData(), 4, OddEvenMode);
        }
    }

    void drawEllipse(const QRectF& r) override {
        if (transform_.type() <= QTransform::TxTranslate) {
            const QRectF m = transform_.mapRect(r);
            writer_.ellipse({ToPoint(m.topLeft()).x, ToPoint(m.topLeft()).y,
                             ToPoint(m.bottomRight()).x, ToPoint(m.bottomRight()).y});
            return;
        }
        QPainterPath path;
        path.addEllipse(r);
        drawPath(path);
    }

    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QFont& f = item.font();
        const double pixels = f.pixelSize() > 0 ? f.pixelSize() : f.pointSizeF() * kDpi / 72;
        // The direction the baseline runs in on the picture, counter-clockwise
        // as the picture shows it (y grows downwards).
        const QPointF along = transform_.map(QPointF(1, 0)) - transform_.map(QPointF(0, 0));
        int angle = static_cast<int>(
            std::lround(sim::RadiansToTenthsOfDegrees(-std::atan2(along.y(), along.x()))));
        angle = (angle % 3600 + 3600) % 3600;
        writer_.setFont(f.family().toStdString(), static_cast<int>(std::lround(pixels)), f.bold(),
                        f.italic(), angle);
        writer_.setTextColour(ToRgb(pen_.color()));

        // Each character's advance as the font lays the text out, rounded so
        // that every character starts where Qt starts it.
        const QString text = item.text();
        const QFontMetricsF metrics(f, paintDevice());
        std::vector<std::int32_t> advances;
        std::int32_t placed = 0;
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype next = i + (text[i].isHighSurrogate() && i + 1 < text.size() &&
                                                text[i + 1].isLowSurrogate()
                                            ? 2
                                            : 1);
            const auto end =
                static_cast<std::int32_t>(std::lround(metrics.horizontalAdvance(text.left(next))));
            advances.push_back(end - placed);
            placed = end;
            i = next;
        }
        writer_.text(ToPoint(transform_.map(p)), text.toStdString(),
                     picture::TextAnchor::BaselineLeft, advances);
    }

    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {
        // Pictures inside a picture are left out: charts draw none.
    }

  private:
    void applyPen() {
        const double scale = std::sqrt(std::abs(transform_.determinant()));
        const double width = pen_.isCosmetic() ? pen_.widthF() : pen_.widthF() * scale;
        writer_.setPen(ToRgb(pen_.color()), std::max(1, static_cast<int>(std::lround(width))),
                       pen_.brush().style() == Qt::NoBrush ? picture::PenStyle::None
                                                           : ToPenStyle(pen_.style()));
    }

    void applyBrush() {
        if (brush_.style() == Qt::NoBrush) {
            writer_.setHollowBrush();
        } else {
            writer_.setBrush(ToRgb(brush_.color()));
        }
    }

    void applyClip(const QPaintEngineState& state) {
        if (!state.isClipEnabled() || state.clipOperation() == Qt::NoClip) {
            writer_.setClip(std::nullopt);
            return;
        }
        QRectF box = state.clipRegion().boundingRect();
        if (box.isEmpty()) {
            box = state.clipPath().boundingRect();
        }
        if (box.isEmpty()) {
            writer_.setClip(std::nullopt);
            return;
        }
        const QRectF m = transform_.mapRect(box);
        // As large as the picture, the clip takes nothing away: QCustomPlot
        // gives the whole chart's a row higher, which would cut the last row.
        const QPaintDevice* device = paintDevice();
        if (device != nullptr && m.width() >= device->width() && m.height() >= device->height()) {
            writer_.setClip(std::nullopt);
            return;
        }
        const view::Point a = ToPoint(m.topLeft());
        const view::Point b = ToPoint(m.bottomRight());
        writer_.setClip(view::Rect{a.x, a.y, b.x, b.y});
    }

    picture::MetafileWriter& writer_;
    QTransform transform_;
    QPen pen_;
    QBrush brush_;
};

MetafileDevice::MetafileDevice(picture::MetafileWriter& writer, QSize size)
    : size_(size), engine_(std::make_unique<MetafilePaintEngine>(writer)) {}

MetafileDevice::~MetafileDevice() = default;

QPaintEngine* MetafileDevice::paintEngine() const {
    return engine_.get();
}

int MetafileDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return size_.width();
    case PdmHeight:
        return size_.height();
    case PdmWidthMM:
        return size_.width() * 254 / (kDpi * 10);
    case PdmHeightMM:
        return size_.height() * 254 / (kDpi * 10);
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return kDpi;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

} // namespace skarvel::gui
