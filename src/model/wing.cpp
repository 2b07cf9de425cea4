#include "model/wing.h"

#include "model/shape_laws.h"
#include "sim/checked.h"
#include "sim/input_set.h"
#include "sim/units.h"

#include <algorithm>
#include <cmath>

namespace skarvel::model {

using sim::ArithmeticError;
using sim::checkedDiv;
using sim::DegreesToRadians;

double WingGeometry::chordAt(double eta) const {
    return usesOuter(eta) ? outer.chord(eta) : inner.chord(eta);
}

namespace {

// The outer panel is laid back from the junction to a virtual root, which
// divides by 1 - f of the main wing's edges: an unknown main edge (f = 1
// everywhere) would divide by zero, so it is taken as straight. The inner
// wing's edges need no such help and keep their own laws.
EdgeShape MainEdgeLaw(EdgeShape s) {
    return s == EdgeShape::Other ? EdgeShape::Straight : s;
}

// Where the inner wing's edges are at the junction's span fraction.
void JunctionEdges(const DesignComponent& I, double eta, double& xJ, double& tJ) {
    if (eta <= 0) {
        xJ = 0;
        tJ = I.rootChord;
    } else if (eta >= 1) {
        xJ = I.sweepLength;
        tJ = I.sweepLength + I.tipChord;
    } else {
        xJ = I.sweepLength * EdgeF(I.leadingEdgeShape, eta);
        tJ = I.rootChord +
             (I.sweepLength + I.tipChord - I.rootChord) * EdgeF(I.trailingEdgeShape, eta);
    }
}

void Junction(DesignData& d, WingGeometry& w) {
    DesignComponent& I = d.innerWing;
    DesignComponent& M = d.mainWing;
    const double eta = w.etaJ;
    double xJ, tJ, X0 = 0, X1 = I.rootChord;
    JunctionEdges(I, eta, xJ, tJ);
    if (eta > 0 && eta < 1) {
        const double fle = EdgeF(MainEdgeLaw(M.leadingEdgeShape), eta);
        const double fte = EdgeF(MainEdgeLaw(M.trailingEdgeShape), eta);
        X0 = checkedDiv(xJ - fle * M.sweepLength, 1 - fle);
        X1 = checkedDiv(tJ - fte * (M.sweepLength + M.tipChord), 1 - fte);
    }
    w.junctionLeadingEdge = xJ;
    w.junctionTrailingEdge = tJ;
    w.virtualRootLeadingEdge = X0;
    w.virtualRootTrailingEdge = X1;
    M.sweepLength = M.sweepLength - X0;
    M.rootChord = X1 - X0;
    M.foreAft = X0;
}

} // namespace

WingGeometry ComputeMainWing(DesignData& d) {
    WingGeometry w;
    w.twoStage = d.dihedralType == DihedralType::TwoStage;
    DesignComponent& I = d.innerWing;
    DesignComponent& M = d.mainWing;
    if (!w.twoStage) {
        I.leadingEdgeShape = M.leadingEdgeShape;
        I.trailingEdgeShape = M.trailingEdgeShape;
        I.rootChord = M.rootChord;
        I.tipChord = M.tipChord;
        I.sweepLength = M.sweepLength;
        I.mountHeight = M.mountHeight;
        I.foreAft = M.foreAft;
        I.dihedral = M.dihedral;
    }
    I.lowerCamber = M.lowerCamber;

    w.mainSpan = M.span;
    const double fraction = checkedDiv(I.span, M.span);
    w.etaJ = std::min(fraction, 1.0);
    // A panel cannot be longer than the wing or shorter than nothing.
    w.innerSpan = std::clamp(I.span, std::min(0.0, M.span), std::max(0.0, M.span));

    if (w.twoStage) {
        Junction(d, w);
    } else {
        // Two panels of one shape: the fold between them is where the inner
        // wing's edges are, and the outer panel's root is the real one.
        JunctionEdges(I, w.etaJ, w.junctionLeadingEdge, w.junctionTrailingEdge);
        w.virtualRootLeadingEdge = 0;
        w.virtualRootTrailingEdge = M.rootChord;
        M.foreAft = 0;
    }
    w.inner = SurfaceShape::Of(I);
    w.outer = SurfaceShape::Of(M);
    w.outerOffset = w.twoStage ? M.foreAft : 0;

    const double gI = DegreesToRadians(I.dihedral), gM = DegreesToRadians(M.dihedral);
    w.cosInner = std::cos(gI);
    w.sinInner = std::sin(gI);
    w.cosMain = std::cos(gM);
    w.sinMain = std::sin(gM);

    // Panels (exact integrals of the laws).
    const double eJ = w.etaJ;
    if (eJ <= 0) {
        w.meanChordIn = I.rootChord;
        w.centroidXIn = I.rootChord / 2;
        w.centroidZIn = 0;
    } else {
        const double area = w.inner.chordIntegral(0, eJ);
        w.meanChordIn = area / eJ;
        try {
            w.centroidXIn = checkedDiv(w.inner.chordMomentX(0, eJ), area);
            w.centroidZIn = checkedDiv(w.inner.chordMomentEta(0, eJ), area);
        } catch (const ArithmeticError&) {
            w.centroidXIn = 0;
            w.centroidZIn = 0;
        }
    }
    if (eJ >= 1) {
        w.meanChordOut = M.tipChord;
        w.centroidXOut = w.outerOffset + M.sweepLength + M.tipChord / 2;
        w.centroidZOut = 1;
    } else {
        const double from = std::max(eJ, 0.0);
        const double area = w.outer.chordIntegral(from, 1);
        w.meanChordOut = area / (1 - from);
        w.centroidXOut = w.outerOffset + checkedDiv(w.outer.chordMomentX(from, 1), area);
        w.centroidZOut = checkedDiv(w.outer.chordMomentEta(from, 1), area);
    }

    const double outerSpan = w.mainSpan - w.innerSpan;
    w.projectedSpanIn = w.innerSpan * w.cosInner;
    w.projectedSpanOut = outerSpan * w.cosMain;
    SurfaceGeometry& g = w.whole;
    g.projectedSpan = w.projectedSpanIn + w.projectedSpanOut;
    g.projectedArea = w.projectedSpanIn * w.meanChordIn + w.projectedSpanOut * w.meanChordOut;
    g.developedArea = w.innerSpan * w.meanChordIn + outerSpan * w.meanChordOut;
    w.areaRatio = checkedDiv(g.developedArea, g.projectedArea);
    g.meanChord = checkedDiv(g.projectedArea, g.projectedSpan);
    g.aspectRatio = checkedDiv(g.projectedSpan, g.meanChord);

    constexpr int N = kSpanIntervals;
    if (!w.twoStage) {
        // One stage: the main wing on its own.
        const SurfaceGeometry alone = ComputeSurface(M);
        g.mac = alone.mac;
    } else {
        try {
            double v = (I.rootChord * I.rootChord + M.tipChord * M.tipChord) / 2;
            for (int i = 1; i < N; ++i) {
                const double eta = static_cast<double>(i) / N;
                const double c = w.chordAt(eta);
                v += c * c * (w.usesOuter(eta) ? w.cosMain : w.cosInner);
            }
            g.mac = checkedDiv((v / N) * w.mainSpan, g.meanChord * g.projectedSpan);
        } catch (const ArithmeticError&) {
            g.mac = 0;
        }
    }

    g.centroidX = checkedDiv(w.projectedSpanIn * w.meanChordIn * w.centroidXIn +
                                 w.projectedSpanOut * w.meanChordOut * w.centroidXOut,
                             g.projectedArea);
    g.acX = g.centroidX - g.mac / 4;

    w.heightIn = w.centroidZIn * w.mainSpan * w.sinInner / 2;
    w.heightOut =
        (w.centroidZOut * w.mainSpan - w.innerSpan) * w.sinMain / 2 + w.innerSpan * w.sinInner / 2;
    w.acZ = checkedDiv(w.innerSpan * w.meanChordIn * w.heightIn +
                           outerSpan * w.meanChordOut * w.heightOut,
                       g.developedArea);

    SummedInputs in;
    in.span = w.mainSpan;
    in.meanChord = g.meanChord;
    in.developedArea = g.developedArea;
    in.projectedArea = g.projectedArea;
    in.rootChord = I.rootChord;
    in.rootQuarterChord = I.rootChord / 4;
    in.tipChord = M.tipChord;
    in.tipSin = w.sinMain;
    in.tipCos = w.cosMain;
    for (int i = 1; i <= N; ++i) {
        const double eta = static_cast<double>(i) / N;
        SpanPoint& pt = in.points[static_cast<std::size_t>(i)];
        if (w.usesOuter(eta)) {
            pt.chord = w.outer.chord(eta);
            pt.quarterChord = w.outerOffset + w.outer.leadingEdge(eta) + pt.chord / 4;
            pt.cosDihedral = w.cosMain;
            pt.sinDihedral = w.sinMain;
            pt.skipSweep = M.leadingEdgeShape == EdgeShape::Other;
        } else {
            pt.chord = w.inner.chord(eta);
            pt.quarterChord = w.inner.leadingEdge(eta) + pt.chord / 4;
            pt.cosDihedral = w.twoStage ? w.cosInner : w.cosMain;
            pt.sinDihedral = w.twoStage ? w.sinInner : w.sinMain;
            pt.skipSweep = I.leadingEdgeShape == EdgeShape::Other;
        }
    }
    SummedPlanform(in, g);
    return w;
}

} // namespace skarvel::model
