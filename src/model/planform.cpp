#include "model/planform.h"

#include "model/shape_laws.h"
#include "sim/checked.h"
#include "sim/input_set.h"
#include "sim/units.h"

#include <cmath>

namespace skarvel::model {

using sim::ArithmeticError;
using sim::checkedAsin;
using sim::checkedDiv;
using sim::checkedSqrt;
using sim::kPi;

double SurfaceShape::leadingEdge(double eta) const {
    return s * EdgeF(le, eta);
}

double SurfaceShape::trailingEdge(double eta) const {
    return cr + (s + ct - cr) * EdgeF(te, eta);
}

double SurfaceShape::chord(double eta) const {
    return ct + s * EdgeG(le, eta) + (cr - s - ct) * EdgeG(te, eta);
}

double SurfaceShape::chordIntegral(double a, double b) const {
    // c = x_TE - x_LE = cr + (s + ct - cr) f_TE - s f_LE
    const double d = s + ct - cr;
    return cr * (b - a) + d * (EdgeIntF(te, b) - EdgeIntF(te, a)) -
           s * (EdgeIntF(le, b) - EdgeIntF(le, a));
}

double SurfaceShape::chordMomentX(double a, double b) const {
    // (x_TE^2 - x_LE^2) / 2
    const double d = s + ct - cr;
    const double te2 = cr * cr * (b - a) + 2 * cr * d * (EdgeIntF(te, b) - EdgeIntF(te, a)) +
                       d * d * (EdgeIntF2(te, b) - EdgeIntF2(te, a));
    const double le2 = s * s * (EdgeIntF2(le, b) - EdgeIntF2(le, a));
    return (te2 - le2) / 2;
}

double SurfaceShape::chordMomentEta(double a, double b) const {
    const double d = s + ct - cr;
    return cr * (b * b - a * a) / 2 + d * (EdgeIntEtaF(te, b) - EdgeIntEtaF(te, a)) -
           s * (EdgeIntEtaF(le, b) - EdgeIntEtaF(le, a));
}

double StraightMac(double cr, double ct) {
    return (2.0 / 3) * (cr + ct - checkedDiv(cr * ct, cr + ct));
}

namespace {

constexpr int N = kSpanIntervals;

double Eta(int i) {
    return static_cast<double>(i) / N;
}

double MeanChord(const SurfaceShape& p) {
    return p.ct + p.s * EdgeK(p.le) + (p.cr - p.s - p.ct) * EdgeK(p.te);
}

double CentroidX(const SurfaceShape& p) {
    const double h = (p.cr - p.s - p.ct) * EdgeK(p.te);
    const double ale = p.s * p.s * EdgeA(p.le);
    return checkedDiv(ale + p.ct * (p.s + p.ct / 2) + (p.s + p.ct) * h +
                          (p.cr - p.s - p.ct) * EdgeBigK(p.te) * h,
                      p.ct + p.s * EdgeK(p.le) + h);
}

double CentroidZ(const SurfaceShape& p, double meanChord) {
    return checkedDiv(p.s * EdgeK(p.le) * EdgeM(p.le) + p.ct / 2 +
                          (p.cr - p.s - p.ct) * EdgeK(p.te) * EdgeM(p.te),
                      meanChord);
}

double Mac(const SurfaceShape& p, double meanChord) {
    const double cr = p.cr, ct = p.ct;
    if (p.le == p.te) {
        switch (p.le) {
        case EdgeShape::Straight:
            return StraightMac(cr, ct);
        case EdgeShape::Parabola:
            return checkedDiv(3 * cr * cr + 2 * cr * ct + ct * ct, 2 * (ct + 2 * cr));
        case EdgeShape::Ellipse:
            if (ct > 0) {
                return 2 * ct + checkedDiv((2.0 / 3) * (cr - ct) * (cr - ct) - ct * ct,
                                           ct + (cr - ct) * kPi / 4);
            }
            return 8 * cr / (3 * kPi);
        default:
            break;
        }
    }
    double sum = (p.chord(0) * p.chord(0) + p.chord(1) * p.chord(1)) / 2;
    for (int i = 1; i < N; ++i) {
        const double c = p.chord(Eta(i));
        sum += c * c;
    }
    return checkedDiv(sum / N, meanChord);
}

double AerodynamicCentreX(const SurfaceShape& p) {
    const double cr = p.cr, ct = p.ct, s = p.s;
    if (p.le == p.te && p.le == EdgeShape::Straight) {
        return (cr + ct - checkedDiv(cr * ct, cr + ct)) / 6 +
               checkedDiv(s * (cr + 2 * ct), 3 * (cr + ct));
    }
    if (p.le == p.te && p.le == EdgeShape::Ellipse) {
        if (ct > 0) {
            const double d = cr - ct;
            return checkedDiv(d * d / 6 - ct * ct / 4 +
                                  s * (ct * (1 - kPi / 4) + d * (kPi / 4 - 2.0 / 3)),
                              ct + d * kPi / 4) +
                   ct / 2;
        }
        return s + (cr / 4 - s) * 8 / (3 * kPi);
    }
    // Quarter-chord point weighted by chord over 1000 intervals; an unknown
    // leading edge stays at the root, an unknown trailing edge adds no strip.
    const bool leOther = p.le == EdgeShape::Other;
    double num = cr * cr / 4 + ct * (ct / 4 + s);
    double den = cr + ct;
    for (int i = 1; i < 1000; ++i) {
        const double eta = static_cast<double>(i) / 1000;
        const double gle = leOther ? 1.0 : EdgeG(p.le, eta);
        const double xle = leOther ? 0.0 : p.leadingEdge(eta);
        const double c = ct + s * gle + (cr - s - ct) * EdgeG(p.te, eta);
        num += c * (xle + c / 4);
        den += c;
    }
    return checkedDiv(num, den);
}

} // namespace

void SummedPlanform(const SummedInputs& in, SurfaceGeometry& g) {
    const double halfSpan = in.span / 2;
    try {
        const double c0 = 4 * in.meanChord / kPi;
        double v = ((in.rootChord - c0) * (in.rootChord - c0) + in.tipChord * in.tipChord) / 2;
        for (int i = 1; i < N; ++i) {
            const double eta = Eta(i);
            const SpanPoint& pt = in.points[static_cast<std::size_t>(i)];
            const double dev = pt.chord - c0 * std::sqrt(1 - eta * eta);
            v += pt.cosDihedral * (dev * dev);
        }
        g.efficiency = 1 - checkedDiv(0.45 * checkedSqrt(v / N), c0);
    } catch (const ArithmeticError&) {
        g.efficiency = 0;
    }
    try {
        double i2 = in.tipChord / 2;
        for (int i = 1; i < N; ++i) {
            const double eta = Eta(i);
            i2 += eta * eta * in.points[static_cast<std::size_t>(i)].chord;
        }
        const double C = checkedDiv(-48 * (halfSpan * halfSpan * halfSpan) * (i2 / N),
                                    in.developedArea * (in.span * in.span));
        g.taper = -checkedDiv(C + 1, C + 3);
    } catch (const ArithmeticError&) {
        g.taper = 1;
    }
    const double lambda = g.taper;
    try {
        double m = in.tipChord * in.tipSin * in.tipCos / 2;
        for (int i = 1; i < N; ++i) {
            const SpanPoint& pt = in.points[static_cast<std::size_t>(i)];
            m += Eta(i) * pt.chord * pt.sinDihedral * pt.cosDihedral;
        }
        g.dihedral = checkedAsin(
            checkedDiv(12 * (halfSpan * halfSpan) * (m / N), in.projectedArea * in.span) *
            checkedDiv(1 + lambda, 1 + 2 * lambda));
    } catch (const ArithmeticError&) {
        g.dihedral = 0;
    }
    try {
        double q = in.rootQuarterChord;
        double t = 0;
        for (int i = 1; i <= N; ++i) {
            const SpanPoint& pt = in.points[static_cast<std::size_t>(i)];
            if (pt.skipSweep) {
                continue;
            }
            t += Eta(i) * (pt.quarterChord - q) * pt.chord;
            q = pt.quarterChord;
        }
        g.sweep = std::atan(checkedDiv(12 * halfSpan * t, in.projectedArea * in.span) *
                            checkedDiv(1 + lambda, 1 + 2 * lambda));
    } catch (const ArithmeticError&) {
        g.sweep = 0;
    }
}

SurfaceGeometry ComputeSurface(const DesignComponent& c) {
    const SurfaceShape p = SurfaceShape::Of(c);
    const double gamma = sim::DegreesToRadians(c.dihedral);
    const double cosG = std::cos(gamma), sinG = std::sin(gamma);
    SurfaceGeometry g;
    g.meanChord = MeanChord(p);
    g.developedArea = c.span * g.meanChord;
    g.projectedSpan = c.span * cosG;
    g.projectedArea = g.projectedSpan * g.meanChord;
    g.aspectRatio = checkedDiv(g.projectedSpan, g.meanChord);
    g.centroidX = CentroidX(p);
    g.centroidZ = CentroidZ(p, g.meanChord);
    g.mac = Mac(p, g.meanChord);
    g.acX = AerodynamicCentreX(p);

    SummedInputs in;
    in.span = c.span;
    in.meanChord = g.meanChord;
    in.developedArea = g.developedArea;
    in.projectedArea = g.projectedArea;
    // The law's own chord at the root differs from the design's root chord
    // when the trailing edge is unknown; the quarter-chord line starts at
    // the design's.
    in.rootChord = p.chord(0);
    in.rootQuarterChord = c.rootChord / 4;
    in.tipChord = p.chord(1);
    in.tipSin = sinG;
    in.tipCos = cosG;
    for (int i = 1; i <= N; ++i) {
        SpanPoint& pt = in.points[static_cast<std::size_t>(i)];
        const double eta = Eta(i);
        pt.chord = p.chord(eta);
        pt.quarterChord = p.leadingEdge(eta) + pt.chord / 4;
        pt.cosDihedral = cosG;
        pt.sinDihedral = sinG;
        pt.skipSweep = c.leadingEdgeShape == EdgeShape::Other;
    }
    SummedPlanform(in, g);
    return g;
}

double FuselageChord(const DesignData& d, double eta) {
    const double L = d.fuselageBody.rootChord;
    const double Ln = d.fuselageNose.tipChord;
    const double hn = d.fuselageNose.span;
    const double hr = d.fuselageBody.span;
    if (eta < checkedDiv(hr, hn)) {
        return L;
    }
    const double root = hn == hr ? L : Ln + checkedDiv(hn * (L - Ln), hn - hr);
    return root + (Ln - root) * eta;
}

FuselageGeometry ComputeFuselage(const DesignData& d) {
    const double L = d.fuselageBody.rootChord;
    const double Ln = d.fuselageNose.tipChord;
    const double hn = d.fuselageNose.span;
    const double hr = d.fuselageBody.span;
    FuselageGeometry f;
    const double a2 = (hn - hr) * (L + Ln) / 2;
    f.area = L * hr + a2;
    f.projectedSpan = hn;
    f.meanChord = checkedDiv(f.area, hn);
    f.aspectRatio = checkedDiv(hn, f.meanChord);
    f.mac = checkedDiv(L * (L * hr) + a2 * StraightMac(L, Ln), f.area);
    const SurfaceShape nose{EdgeShape::Straight, EdgeShape::Straight, L, Ln, 0};
    f.centroidX = checkedDiv(L * hr * L / 2 + a2 * CentroidX(nose), f.area);
    f.acX = f.centroidX - f.mac / 4;
    f.taper = 1 - 2 * (1 - checkedDiv(f.meanChord, L));
    try {
        const double c0 = 4 * f.meanChord / kPi;
        double v = ((L - c0) * (L - c0) + Ln * Ln) / 2;
        for (int i = 1; i < N; ++i) {
            const double eta = Eta(i);
            const double dev = FuselageChord(d, eta) - c0 * std::sqrt(1 - eta * eta);
            v += dev * dev;
        }
        f.efficiency = 1 - checkedDiv(0.45 * checkedSqrt(v / N), c0);
    } catch (const ArithmeticError&) {
        f.efficiency = 0;
    }
    f.acZ = -checkedDiv(Ln * hn * hn / 2 + ((hn + hr) * (hn + hr) / 8) * (L - Ln), f.area);
    return f;
}

} // namespace skarvel::model
