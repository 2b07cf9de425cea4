#include "picture/shape_clip.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace skarvel::picture {

namespace {

struct PointF {
    double x = 0, y = 0;
};

// The nearest pixel, kept on the box where a cut lands a hair outside.
Point Snap(PointF p, Rect box) {
    const auto round = [](double v, std::int32_t lo, std::int32_t hi) {
        return static_cast<std::int32_t>(
            std::clamp(std::nearbyint(v), static_cast<double>(lo), static_cast<double>(hi)));
    };
    return {round(p.x, box.left, box.right), round(p.y, box.top, box.bottom)};
}

struct Cut {
    PointF from, to;
    bool fromCut = false, toCut = false; // moved onto the box's edge
};

// The part of the segment inside the box, if any: the parameter range left
// after each edge has had its say.
bool CutSegment(Point a, Point b, Rect box, Cut& cut) {
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    double t0 = 0, t1 = 1;
    // Each edge: where the segment crosses it, entering (q < 0) or leaving.
    const auto edge = [&](double q, double room) {
        if (q == 0) {
            return room >= 0;
        }
        const double t = room / q;
        if (q < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        return t0 <= t1;
    };
    if (!edge(-dx, static_cast<double>(a.x) - box.left) ||
        !edge(dx, static_cast<double>(box.right) - a.x) ||
        !edge(-dy, static_cast<double>(a.y) - box.top) ||
        !edge(dy, static_cast<double>(box.bottom) - a.y)) {
        return false;
    }
    cut.from = {a.x + t0 * dx, a.y + t0 * dy};
    cut.to = {a.x + t1 * dx, a.y + t1 * dy};
    cut.fromCut = t0 > 0;
    cut.toCut = t1 < 1;
    return true;
}

} // namespace

bool Inside(Point p, Rect box) {
    return p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom;
}

std::vector<std::vector<Point>> ClipPolyline(std::span<const Point> points, Rect box) {
    std::vector<std::vector<Point>> runs;
    std::vector<Point> run;
    bool runCut = false;
    const auto close = [&] {
        // A run cut down to one pixel only grazes the edge.
        const bool dot = std::all_of(run.begin(), run.end(), [&](Point p) { return p == run[0]; });
        if (run.size() >= 2 && !(runCut && dot)) {
            runs.push_back(std::move(run));
        }
        run.clear();
        runCut = false;
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        Cut cut;
        if (!CutSegment(points[i - 1], points[i], box, cut)) {
            close();
            continue;
        }
        if (run.empty() || cut.fromCut) {
            close();
            run.push_back(cut.fromCut ? Snap(cut.from, box) : points[i - 1]);
            runCut = cut.fromCut;
        }
        // A part that leaves the box ends there: the next one starts on the
        // edge again.
        run.push_back(cut.toCut ? Snap(cut.to, box) : points[i]);
        runCut = runCut || cut.toCut;
    }
    close();
    return runs;
}

std::vector<Point> ClipPolygon(std::span<const Point> points, Rect box) {
    if (std::all_of(points.begin(), points.end(), [&](Point p) { return Inside(p, box); })) {
        return {points.begin(), points.end()};
    }
    std::vector<PointF> ring;
    ring.reserve(points.size());
    for (const Point& p : points) {
        ring.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
    }
    // One edge of the box at a time: corners on its inner side stay, and
    // each side of the polygon crossing it gains the crossing point.
    const auto byEdge = [&](auto inside, auto cross) {
        std::vector<PointF> kept;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const PointF a = ring[(i + ring.size() - 1) % ring.size()], b = ring[i];
            if (inside(b)) {
                if (!inside(a)) {
                    kept.push_back(cross(a, b));
                }
                kept.push_back(b);
            } else if (inside(a)) {
                kept.push_back(cross(a, b));
            }
        }
        ring = std::move(kept);
    };
    const auto atX = [](double x) {
        return [x](PointF a, PointF b) {
            return PointF{x, a.y + (x - a.x) * (b.y - a.y) / (b.x - a.x)};
        };
    };
    const auto atY = [](double y) {
        return [y](PointF a, PointF b) {
            return PointF{a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y), y};
        };
    };
    const double left = box.left, top = box.top, right = box.right, bottom = box.bottom;
    byEdge([&](PointF p) { return p.x >= left; }, atX(left));
    byEdge([&](PointF p) { return p.x <= right; }, atX(right));
    byEdge([&](PointF p) { return p.y >= top; }, atY(top));
    byEdge([&](PointF p) { return p.y <= bottom; }, atY(bottom));

    std::vector<Point> clipped;
    for (const PointF& p : ring) {
        const Point q = Snap(p, box);
        if (clipped.empty() || q != clipped.back()) {
            clipped.push_back(q);
        }
    }
    while (clipped.size() > 1 && clipped.back() == clipped.front()) {
        clipped.pop_back();
    }
    if (clipped.size() < 3) {
        clipped.clear();
    }
    return clipped;
}

std::vector<Point> EllipseCorners(Rect box) {
    const double cx = (static_cast<double>(box.left) + box.right) / 2;
    const double cy = (static_cast<double>(box.top) + box.bottom) / 2;
    const double rx = std::abs(static_cast<double>(box.right) - box.left) / 2;
    const double ry = std::abs(static_cast<double>(box.bottom) - box.top) / 2;
    // Sides short enough that the curve strays from each by at most a
    // quarter pixel, within reason for an ellipse far larger than any picture.
    constexpr double kStray = 0.25;
    const double r = std::max(rx, ry);
    const double step = r > kStray ? 2 * std::acos(1 - kStray / r) : std::numbers::pi / 4;
    const int count =
        std::clamp(static_cast<int>(std::ceil(2 * std::numbers::pi / step)), 8, 16384);
    std::vector<Point> corners;
    corners.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double a = 2 * std::numbers::pi * i / count;
        const Point p{static_cast<std::int32_t>(std::nearbyint(cx + rx * std::cos(a))),
                      static_cast<std::int32_t>(std::nearbyint(cy + ry * std::sin(a)))};
        if (corners.empty() || p != corners.back()) {
            corners.push_back(p);
        }
    }
    return corners;
}

} // namespace skarvel::picture
