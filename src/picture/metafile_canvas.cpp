#include "picture/metafile.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace skarvel::picture {

MetafileCanvas::MetafileCanvas(MetafileWriter& writer, Palette palette, double pixelsPerUnit,
                               std::string face)
    : writer_(writer), palette_(palette), k_(pixelsPerUnit), face_(std::move(face)) {}

Point MetafileCanvas::device(PointF p) const {
    // Far beyond any picture all the same: the writers cut what lies outside.
    const auto round = [this](double v) {
        return static_cast<std::int32_t>(std::lround(std::clamp(v * k_, -1e9, 1e9)));
    };
    return {round(p.x), round(p.y)};
}

Point MetafileCanvas::device(Point p) const {
    return k_ == 1 ? p : device(PointF{static_cast<double>(p.x), static_cast<double>(p.y)});
}

Rect MetafileCanvas::device(Rect box) const {
    const Point a = device(Point{box.left, box.top});
    const Point b = device(Point{box.right, box.bottom});
    return {a.x, a.y, b.x, b.y};
}

std::vector<Point> MetafileCanvas::device(std::span<const Point> points) const {
    std::vector<Point> out;
    out.reserve(points.size());
    for (const Point& p : points) {
        out.push_back(device(p));
    }
    return out;
}

void MetafileCanvas::setPen(Colour colour, int width, LineStyle style) {
    penColour_ = Resolve(colour, palette_);
    if (k_ != 1) {
        width = std::max(1, static_cast<int>(std::lround(width * k_)));
    }
    writer_.setPen(penColour_, width,
                   style == LineStyle::Dotted    ? PenStyle::Dot
                   : style == LineStyle::Dashed  ? PenStyle::Dash
                   : style == LineStyle::DashDot ? PenStyle::DashDot
                                                 : PenStyle::Solid);
}
void MetafileCanvas::setBrush(Colour colour) {
    writer_.setBrush(Resolve(colour, palette_));
}
void MetafileCanvas::setHollowBrush() {
    writer_.setHollowBrush();
}
void MetafileCanvas::moveTo(Point p) {
    writer_.moveTo(device(p));
}
void MetafileCanvas::lineTo(Point p) {
    writer_.lineTo(device(p));
}
void MetafileCanvas::polyline(std::span<const Point> points) {
    if (k_ == 1) {
        writer_.polyline(points);
    } else {
        writer_.polyline(device(points));
    }
}
void MetafileCanvas::polygon(std::span<const Point> points) {
    if (k_ == 1) {
        writer_.polygon(points);
    } else {
        writer_.polygon(device(points));
    }
}
void MetafileCanvas::ellipse(Rect box) {
    writer_.ellipse(device(box));
}
void MetafileCanvas::rectangle(Rect box) {
    writer_.rectangle(device(box));
}
void MetafileCanvas::fill(Rect box, Colour colour) {
    writer_.fill(device(box), Resolve(colour, palette_));
}
void MetafileCanvas::text(Point p, std::string_view utf8) {
    // Text drawn on the canvas takes the pen's colour.
    writer_.setTextColour(penColour_);
    writer_.text(device(p), utf8, TextAnchor::TopLeft, {});
}
void MetafileCanvas::path(std::span<const PointF> points, bool closed) {
    std::vector<Point> whole;
    whole.reserve(points.size());
    for (const PointF& p : points) {
        whole.push_back(device(p));
    }
    if (closed) {
        writer_.polygon(whole);
    } else {
        writer_.polyline(whole);
    }
}
void MetafileCanvas::textOnBaseline(PointF p, int height, std::string_view utf8) {
    const Point at = device(p);
    if (clip_ && (at.x < clip_->left || at.x >= clip_->right || at.y < clip_->top ||
                  at.y >= clip_->bottom)) {
        return;
    }
    writer_.setFont(face_, std::max(1, static_cast<int>(std::lround(height * k_))), false, false,
                    0);
    writer_.setTextColour(penColour_);
    writer_.text(at, utf8, TextAnchor::BaselineLeft, {});
}
void MetafileCanvas::beginGroup(std::optional<RectF> clip) {
    clip_.reset();
    if (clip) {
        const Point a = device(PointF{clip->x, clip->y});
        const Point b = device(PointF{clip->x + clip->width, clip->y + clip->height});
        clip_ = Rect{a.x, a.y, b.x, b.y};
    }
    writer_.setClip(clip_);
}
void MetafileCanvas::endGroup() {
    clip_.reset();
    writer_.setClip(std::nullopt);
}

} // namespace skarvel::picture
