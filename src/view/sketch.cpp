#include "view/sketch.h"

#include "model/shape_laws.h"
#include "sim/checked.h"
#include "sim/input_set.h"
#include "sim/units.h"
#include "view/pixel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace skarvel::view {

namespace {

using model::DesignComponent;
using model::DihedralType;
using model::EdgeShape;
using model::TailType;
using sim::checkedDiv;
using sim::DegreesToRadians;
using sim::kPi;

constexpr Colour kBlack = Colour::Rgb(0, 0, 0);
constexpr Colour kRed = Colour::Rgb(255, 0, 0);

// A point of the drawing in millimetres: x along the fuselage from the nose
// (drawn downwards), y across (drawn to the right).
struct Mm {
    double x = 0;
    double y = 0;
};

// An edge from w0 to w1 along its own span coordinate: d is the half-span of
// its law, c its chordwise amplitude, e its position at w = d and y0 its
// sideways offset.
struct EdgeRun {
    double w0, w1, d, c, e, y0;
};

// The chordwise amplitude of a trailing edge.
double TrailingAmplitude(const DesignComponent& c) {
    return c.sweepLength + c.tipChord - c.rootChord;
}

// g of the straight, elliptic and parabolic laws; the absolute value keeps a
// point a little beyond the tip drawable.
double DrawnG(EdgeShape shape, double eta) {
    switch (shape) {
    case EdgeShape::Ellipse:
        return std::sqrt(std::fabs(1 - eta * eta));
    case EdgeShape::Parabola:
        return std::sqrt(std::fabs(1 - eta));
    default:
        return 1 - eta;
    }
}

// How far the drawing reaches from its origin in each direction, in
// millimetres.
struct Reach {
    double up = 0, down = 0, left = 0, right = 0;

    void take(Mm p) {
        up = std::max(up, -p.x);
        down = std::max(down, p.x);
        left = std::max(left, -p.y);
        right = std::max(right, p.y);
    }
};

// The reach of the lines and, apart, of the centres of the 1-pixel circles.
struct Extent {
    Reach lines;
    Reach circles;
};

// Where millimetres land: k pixels per millimetre from the origin (x0, y0).
struct Placement {
    double k;
    std::int32_t x0;
    std::int32_t y0;
};

// The scale is set by the height, k = height / (1.4 L), unless that would
// carry a point of the drawing out of the area; then the scale is the largest
// at which all of it stays within the first and last pixels. A side with no
// pixel to spare beyond the origin does not limit the scale. Fails for a
// fuselage length of 0.
Placement Place(int width, int height, double length, const Extent& extent) {
    Placement p{checkedDiv(height, 1.4 * length), RoundPixel(0.4 * width),
                RoundPixel(height / 24.0)};
    const auto fit = [&](const Reach& r, double pad) {
        const auto limit = [&](double reach, double room) {
            room -= pad;
            if (reach > 0 && room > 0) {
                p.k = std::min(p.k, room / reach);
            }
        };
        limit(r.up, p.y0);
        limit(r.down, static_cast<double>(height) - 1 - p.y0);
        limit(r.left, p.x0);
        limit(r.right, static_cast<double>(width) - 1 - p.x0);
    };
    fit(extent.lines, 0);
    fit(extent.circles, 1);
    return p;
}

// Takes every drawing call and draws nothing.
class NoCanvas : public Canvas {
  public:
    void setPen(Colour, int, LineStyle) override {}
    void setBrush(Colour) override {}
    void setHollowBrush() override {}
    void moveTo(Point) override {}
    void lineTo(Point) override {}
    void polyline(std::span<const Point>) override {}
    void polygon(std::span<const Point>) override {}
    void ellipse(Rect) override {}
    void rectangle(Rect) override {}
    void fill(Rect, Colour) override {}
    void text(Point, std::string_view) override {}
};

class Sketch {
  public:
    Sketch(Canvas& canvas, Placement placement) : canvas_(canvas), place_(placement) {}
    // A sketch that draws nothing and notes how far the drawing reaches,
    // point by point as it would be drawn.
    explicit Sketch(Extent& extent) : canvas_(none_), place_{0, 0, 0}, extent_(&extent) {}

    void pen(Colour colour) { canvas_.setPen(colour, 1); }

    // Consecutive lines through the points.
    void path(std::initializer_list<Mm> points) {
        bool first = true;
        for (const Mm& p : points) {
            if (first) {
                canvas_.moveTo(pixel(p));
                first = false;
            } else {
                canvas_.lineTo(pixel(p));
            }
        }
    }
    void line(Mm a, Mm b) { path({a, b}); }
    // The line and its mirror image on the other side.
    void bothSides(Mm a, Mm b) {
        line(a, b);
        line({a.x, -a.y}, {b.x, -b.y});
    }

    // Red, around the point, filled with the window colour.
    void centreOfGravity(Mm centre) {
        if (extent_ != nullptr) {
            Finite(centre);
            extent_->circles.take(centre);
            return;
        }
        const Point c = pixel(centre);
        pen(kRed);
        canvas_.setBrush(Colour::Role(ColourRole::WindowBackground));
        canvas_.ellipse(
            {AddPixels(c.x, -1), AddPixels(c.y, -1), AddPixels(c.x, 1), AddPixels(c.y, 1)});
        pen(kBlack);
    }

    // side -1 draws the edge's mirror image.
    void edge(EdgeShape shape, const EdgeRun& r, double side = 1) {
        const auto at = [&](EdgeShape law, double w) {
            return pixel({r.e - r.c * DrawnG(law, checkedDiv(w, r.d)), side * (r.y0 + w)});
        };
        switch (shape) {
        case EdgeShape::Straight:
            canvas_.moveTo(at(shape, r.w1));
            canvas_.lineTo(at(shape, r.w0));
            break;
        case EdgeShape::Ellipse:
        case EdgeShape::Parabola:
            canvas_.moveTo(at(shape, r.w0));
            for (int i = 0; i <= 50; ++i) {
                canvas_.lineTo(at(shape, r.w0 + (r.w1 - r.w0) * i / 50));
            }
            break;
        case EdgeShape::Sine:
            if (r.c == 0) {
                canvas_.moveTo(at(EdgeShape::Straight, r.w1));
                canvas_.lineTo(at(EdgeShape::Straight, r.w0));
                break;
            }
            sine(r, side);
            break;
        case EdgeShape::Other:
            break;
        }
    }
    void mirroredEdge(EdgeShape shape, const EdgeRun& r) {
        edge(shape, r, 1);
        edge(shape, r, -1);
    }

  private:
    // Near the tip a sine edge runs along the flight direction, so it is
    // stepped evenly in x rather than in w.
    void sine(const EdgeRun& r, double side) {
        const auto xAt = [&](double w) {
            return r.e - r.c * (2 / kPi) * std::acos(checkedDiv(w, r.d));
        };
        const double xStart = xAt(r.w0), xEnd = xAt(r.w1);
        for (int i = 0; i <= 51; ++i) {
            const double x = xStart + (xEnd - xStart) * i / 51;
            const double y = r.y0 + r.d * std::cos(checkedDiv(r.e - x, r.c) * (kPi / 2));
            const Point p = pixel({x, side * y});
            if (i == 0) {
                canvas_.moveTo(p);
            } else {
                canvas_.lineTo(p);
            }
        }
    }

    // A point that is not a number stops the measuring where it would stop
    // the drawing.
    static void Finite(Mm p) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            throw RangeError("sketch point out of range");
        }
    }

    Point pixel(Mm p) const {
        if (extent_ != nullptr) {
            Finite(p);
            extent_->lines.take(p);
            return {};
        }
        return {AddPixels(place_.x0, RoundPixel(place_.k * p.y)),
                AddPixels(place_.y0, RoundPixel(place_.k * p.x))};
    }

    NoCanvas none_;
    Canvas& canvas_;
    Placement place_;
    Extent* extent_ = nullptr;
};

void DrawViews(Sketch& s, const model::AircraftModel& model) {
    const model::DesignData& d = model.design();
    const DesignComponent& I = d.innerWing;
    const DesignComponent& M = d.mainWing;
    const DesignComponent& H = d.horizontalTail;
    const DesignComponent& V = d.verticalTail;
    const double L = d.fuselageNose.rootChord;
    const double Ln = d.fuselageNose.tipChord;
    const double hn = d.fuselageNose.span;
    const double hr = d.fuselageBody.span;
    const double tB = d.fuselageBody.paperThickness;
    const double tN = d.fuselageNose.paperThickness;
    const double SM = model.wing().projectedSpan;
    const double SH = model.horizontalTail().projectedSpan;
    const bool twoStage = d.dihedralType == DihedralType::TwoStage;
    const TailType tail = d.tailType;
    const model::AircraftResult& j = model.aircraft();

    const double gI = DegreesToRadians(I.dihedral), gM = DegreesToRadians(M.dihedral),
                 gH = DegreesToRadians(H.dihedral);
    const double riseI = (I.span / 2) * std::sin(gI);
    const double riseTip = riseI + ((M.span - I.span) / 2) * std::sin(gM);
    const double riseH = (H.span / 2) * std::sin(gH);
    const double innerProjected = I.span * std::cos(gI);

    const model::FuselageStations at = model.stations();
    const double xw = at.wing;
    const double xh = at.horizontalTail;
    const double xv = at.finTrailingEdge;
    const double xtLE = xw + j.virtualRootLeadingEdge + M.sweepLength;
    const double xtTE = xtLE + M.tipChord;
    const double hLead = xh + H.sweepLength, hTrail = hLead + H.tipChord;

    s.pen(kBlack);

    // Plan view.
    s.path({{0, tB / 2}, {L, tB / 2}, {L, -tB / 2}, {0, -tB / 2}, {0, tB / 2}});
    const double nose = (tB + tN) / 2;
    s.path({{0, nose}, {Ln, nose}, {Ln, -nose}, {0, -nose}, {0, nose}});
    s.bothSides({xw + j.junctionLeadingEdge, innerProjected / 2},
                {xw + j.junctionTrailingEdge, innerProjected / 2});
    s.bothSides({xtLE, SM / 2}, {xtTE, SM / 2});
    if (!twoStage) {
        s.mirroredEdge(M.leadingEdgeShape, {0, SM / 2, SM / 2, M.sweepLength, xtLE, 0});
        s.mirroredEdge(M.trailingEdgeShape, {0, SM / 2, SM / 2, TrailingAmplitude(M), xtTE, 0});
    } else {
        const double B = M.span * std::cos(gI) / 2;
        const double iLead = xw + I.sweepLength;
        s.mirroredEdge(I.leadingEdgeShape, {0, innerProjected / 2, B, I.sweepLength, iLead, 0});
        s.mirroredEdge(I.trailingEdgeShape,
                       {0, innerProjected / 2, B, TrailingAmplitude(I), iLead + I.tipChord, 0});
        const double E = M.span * std::cos(gM) / 2;
        const double F = I.span * std::cos(gM) / 2;
        const double G = SM / 2 - E;
        s.mirroredEdge(M.leadingEdgeShape, {F, E, E, M.sweepLength, xtLE, G});
        s.mirroredEdge(M.trailingEdgeShape, {F, E, E, TrailingAmplitude(M), xtTE, G});
    }
    s.centreOfGravity({at.centreOfGravity, 0});
    s.bothSides({hLead, SH / 2}, {hTrail, SH / 2});
    s.mirroredEdge(H.leadingEdgeShape, {0, SH / 2, SH / 2, H.sweepLength, hLead, 0});
    s.mirroredEdge(H.trailingEdgeShape, {0, SH / 2, SH / 2, TrailingAmplitude(H), hTrail, 0});
    if (tail != TailType::VTail) {
        s.pen(kRed);
        if (tail == TailType::TwinFin) {
            s.bothSides({xv, SH / 2}, {xv - V.rootChord, SH / 2});
        } else {
            s.line({xv, 0}, {xv - V.rootChord, 0});
        }
        s.pen(kBlack);
    }

    // Side view: heights to the right of the base line, the fuselage's depth
    // to its left.
    const double A = 0.7 * SM;
    const double zI = I.mountHeight;
    s.path({{0, A}, {Ln, A}, {Ln, A - hn}, {0, A - hn}, {0, A}});
    s.path({{0, A}, {L, A}, {L, A - hr}, {Ln, A - hn}});
    s.line({xw + j.junctionLeadingEdge, A + zI + riseI},
           {xw + j.junctionTrailingEdge, A + zI + riseI});
    s.line({xw, A + zI}, {xw + I.rootChord, A + zI});
    s.line({xtLE, A + zI + riseTip}, {xtTE, A + zI + riseTip});
    if (!twoStage) {
        if (riseTip != 0) {
            s.edge(M.leadingEdgeShape, {0, riseTip, riseTip, M.sweepLength, xtLE, A + zI});
            s.edge(M.trailingEdgeShape, {0, riseTip, riseTip, TrailingAmplitude(M), xtTE, A + zI});
        }
    } else {
        const double M2 = M.span * std::sin(gI) / 2;
        if (M2 != 0) {
            const double iLead = xw + I.sweepLength;
            s.edge(I.leadingEdgeShape, {0, riseI, M2, I.sweepLength, iLead, A + zI});
            s.edge(I.trailingEdgeShape,
                   {0, riseI, M2, TrailingAmplitude(I), iLead + I.tipChord, A + zI});
        }
        const double Q2 = M.span * std::sin(gM) / 2;
        if (Q2 != 0) {
            const double w0 = Q2 - riseTip + riseI, y0 = A + zI + riseTip - Q2;
            s.edge(M.leadingEdgeShape, {w0, Q2, Q2, M.sweepLength, xtLE, y0});
            s.edge(M.trailingEdgeShape, {w0, Q2, Q2, TrailingAmplitude(M), xtTE, y0});
        }
    }
    s.centreOfGravity({at.centreOfGravity, A + model.aircraft().cgZ});
    const double zV = V.mountHeight, bV = V.span;
    if (tail != TailType::VTail) {
        // A twin fin is drawn once: both fins stand at the same place seen from the side.
        const double vLead = xv - V.rootChord + V.sweepLength;
        s.line({xv, A + zV}, {xv - V.rootChord, A + zV});
        s.line({vLead, A + zV + bV}, {vLead + V.tipChord, A + zV + bV});
        s.edge(V.leadingEdgeShape, {0, bV, bV, V.sweepLength, vLead, A + zV});
        s.edge(V.trailingEdgeShape, {0, bV, bV, TrailingAmplitude(V), vLead + V.tipChord, A + zV});
    }
    const double zH = H.mountHeight;
    if (riseH != 0) {
        s.edge(H.leadingEdgeShape, {0, riseH, riseH, H.sweepLength, hLead, A + zH});
        s.edge(H.trailingEdgeShape, {0, riseH, riseH, TrailingAmplitude(H), hTrail, A + zH});
    }
    // The tail's chords are red, flat or not, so that a flat tail shows as well.
    s.pen(kRed);
    s.line({hLead, A + zH + riseH}, {hTrail, A + zH + riseH});
    s.line({xh, A + zH}, {xh + H.rootChord, A + zH});
    s.pen(kBlack);

    // Front view: heights upwards from the base line.
    const double F0 = 1.2 * L;
    s.path({{F0, nose}, {F0 + hn, nose}, {F0 + hn, -nose}, {F0, -nose}, {F0, nose}});
    for (const double side : {1.0, -1.0}) {
        s.path({{F0 - zI, 0},
                {F0 - zI - riseI, side * (innerProjected / 2)},
                {F0 - zI - riseTip, side * (SM / 2)}});
    }
    s.bothSides({F0 - zH, 0}, {F0 - zH - riseH, SH / 2});
    if (tail == TailType::TwinFin) {
        s.bothSides({F0 - zV, SH / 2}, {F0 - zV - bV, SH / 2});
    } else if (tail != TailType::VTail) {
        s.line({F0 - zV, 0}, {F0 - zV - bV, 0});
    }
}

} // namespace

bool DrawDesignSketch(Canvas& canvas, int width, int height, const model::AircraftModel& model,
                      bool enabled) {
    canvas.fill({0, 0, width, height}, Colour::Role(ColourRole::WindowBackground));
    if (!enabled) {
        return true;
    }
    try {
        // A drawing that fails part way is measured as far as it goes.
        Extent extent;
        try {
            Sketch measure(extent);
            DrawViews(measure, model);
        } catch (const sim::ArithmeticError&) {
        } catch (const RangeError&) {
        }
        const double length = model.design().fuselageNose.rootChord;
        Sketch s(canvas, Place(width, height, length, extent));
        DrawViews(s, model);
    } catch (const sim::ArithmeticError&) {
        return false;
    } catch (const RangeError&) {
        return false;
    }
    return true;
}

} // namespace skarvel::view
