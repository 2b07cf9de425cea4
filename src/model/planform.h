#pragma once
// Planform geometry of the lifting surfaces and the fuselage side profile.

#include "model/design_data.h"

#include <array>

namespace skarvel::model {

// The chord laws of one surface: root chord cr, tip chord ct, sweep s.
struct SurfaceShape {
    EdgeShape le = EdgeShape::Straight;
    EdgeShape te = EdgeShape::Straight;
    double cr = 0, ct = 0, s = 0;

    static SurfaceShape Of(const DesignComponent& c) {
        return {c.leadingEdgeShape, c.trailingEdgeShape, c.rootChord, c.tipChord, c.sweepLength};
    }
    double leadingEdge(double eta) const;  // x of the leading edge
    double trailingEdge(double eta) const; // x of the trailing edge
    double chord(double eta) const;

    // Exact integrals over a <= eta <= b of the chord, of the chord times its
    // midpoint x, and of eta times the chord.
    double chordIntegral(double a, double b) const;
    double chordMomentX(double a, double b) const;
    double chordMomentEta(double a, double b) const;
};

struct SurfaceGeometry {
    double meanChord = 0;     // mm
    double developedArea = 0; // mm^2
    double projectedSpan = 0; // mm
    double projectedArea = 0; // mm^2
    double aspectRatio = 0;
    double centroidX = 0;
    double centroidZ = 0;
    double mac = 0;
    double acX = 0;
    double efficiency = 0;
    double taper = 1;
    double dihedral = 0; // radians
    double sweep = 0;    // radians
};

// A horizontal tail, fin or wing panel on its own. Throws ArithmeticError when
// the basic quantities cannot be formed; the integrals fall back to fixed values.
SurfaceGeometry ComputeSurface(const DesignComponent& c);

// Sampled chord and placement along a span, for the summed integrals of
// efficiency, taper, dihedral and sweep.
struct SpanPoint {
    double chord = 0;
    double quarterChord = 0; // x of the quarter-chord point
    double cosDihedral = 1;
    double sinDihedral = 0;
    bool skipSweep = false; // an unknown leading edge adds nothing to the sweep
};

inline constexpr int kSpanIntervals = 500;

struct SummedInputs {
    double span = 0;               // mm, developed
    double meanChord = 0;          // reference chord of the efficiency
    double developedArea = 0;      // mm^2
    double projectedArea = 0;      // mm^2
    double rootChord = 0;          // end value at the root
    double rootQuarterChord = 0;   // where the quarter-chord line starts: c_r / 4
    double tipChord = 0;           // end value at the tip
    double tipSin = 0, tipCos = 1; // dihedral at the tip
    // points[i] at eta = i / 500 for i = 1..500; points[0] is unused.
    std::array<SpanPoint, kSpanIntervals + 1> points{};
};

// Fills efficiency, taper, dihedral and sweep of `g`; each falls back to its
// fixed value (0, 1, 0, 0) when its arithmetic fails.
void SummedPlanform(const SummedInputs& in, SurfaceGeometry& g);

// Fuselage side profile from the nose and body plates.
struct FuselageGeometry {
    double area = 0;          // mm^2
    double projectedSpan = 0; // nose height
    double meanChord = 0;
    double aspectRatio = 0;
    double mac = 0;
    double centroidX = 0;
    double acX = 0;
    double taper = 0;
    double efficiency = 0;
    double acZ = 0; // mm, negative: below the mount line
};

// Chord of the profile at depth fraction eta (0 at the top, 1 at the nose
// height), and the tapering law of the lower part.
double FuselageChord(const DesignData& d, double eta);

FuselageGeometry ComputeFuselage(const DesignData& d);

// Straight-tapered mean aerodynamic chord of a root and tip chord.
double StraightMac(double cr, double ct);

} // namespace skarvel::model
