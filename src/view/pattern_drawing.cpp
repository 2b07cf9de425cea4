#include "view/pattern_drawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace skarvel::view {

namespace {

constexpr Colour kInk = Colour::Rgb(0, 0, 0);
constexpr int kLineWidth = 250; // µm: cut and fold lines
constexpr int kMarkWidth = 200; // µm

PointF At(PointMm p) {
    return {p.x * kPatternUnitsPerMm, p.y * kPatternUnitsPerMm};
}

const char* KindName(PatternLine kind) {
    switch (kind) {
    case PatternLine::Outline:
        return "outline";
    case PatternLine::FoldMountain:
        return "fold-mountain";
    case PatternLine::FoldValley:
        return "fold-valley";
    case PatternLine::Ballast:
        return "ballast";
    case PatternLine::CgRange:
        return "cg-range";
    case PatternLine::Gauge:
        return "gauge";
    case PatternLine::Mark:
        break;
    }
    return "mark";
}

LineStyle StyleOf(PatternLine kind) {
    return kind == PatternLine::FoldMountain ? LineStyle::DashDot
           : kind == PatternLine::FoldValley ? LineStyle::Dashed
                                             : LineStyle::Solid;
}

void DrawPath(Canvas& canvas, const PatternPath& path) {
    if (path.points.empty()) {
        return;
    }
    const bool thin = path.kind == PatternLine::Mark || path.kind == PatternLine::CgRange;
    canvas.setPen(kInk, thin ? kMarkWidth : kLineWidth, StyleOf(path.kind));
    canvas.setTags({KindName(path.kind), path.piece});
    std::vector<PointF> points;
    points.reserve(path.points.size());
    for (const PointMm& p : path.points) {
        points.push_back(At(p));
    }
    canvas.path(points, path.closed);
}

} // namespace

std::int32_t PatternUnits(double mm) {
    // As "%.3f" rounds the millimetres: the SVG's numbers stay what they were.
    // Pages are at most a few metres away; the limit only keeps the
    // conversion defined.
    return static_cast<std::int32_t>(
        std::nearbyint(std::clamp(mm * kPatternUnitsPerMm, -2e9, 2e9)));
}

void DrawPatternPage(Canvas& canvas, const PatternPage& page) {
    canvas.setHollowBrush();
    for (const PatternGroup& g : page.groups) {
        std::optional<RectF> clip;
        if (g.clip) {
            const PointF corner = At({g.clip->x, g.clip->y});
            const PointF size = At({g.clip->width, g.clip->height});
            clip = RectF{corner.x, corner.y, size.x, size.y};
        }
        canvas.beginGroup(clip);
        for (const PatternPath& p : g.paths) {
            DrawPath(canvas, p);
        }
        canvas.setPen(kInk);
        canvas.setTags({});
        std::optional<PatternLine> tagged;
        for (const PatternText& t : g.texts) {
            if (t.kind != tagged) {
                tagged = t.kind;
                canvas.setTags({tagged ? KindName(*tagged) : "", {}});
            }
            canvas.textOnBaseline(At(t.at), PatternUnits(t.size), t.text);
        }
        canvas.endGroup();
    }
}

} // namespace skarvel::view
