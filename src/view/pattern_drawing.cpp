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
    case PatternLine::Fold:
        return "fold";
    case PatternLine::Mark:
        break;
    }
    return "mark";
}

void DrawPath(Canvas& canvas, const PatternPath& path) {
    if (path.points.empty()) {
        return;
    }
    canvas.setPen(kInk, path.kind == PatternLine::Mark ? kMarkWidth : kLineWidth,
                  path.kind == PatternLine::Fold ? LineStyle::Dashed : LineStyle::Solid);
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
        for (const PatternText& t : g.texts) {
            canvas.textOnBaseline(At(t.at), PatternUnits(t.size), t.text);
        }
        canvas.endGroup();
    }
}

} // namespace skarvel::view
