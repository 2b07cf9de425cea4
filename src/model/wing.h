#pragma once
// The main wing: the inner wing and the outer main wing as two panels.

#include "model/design_data.h"
#include "model/planform.h"

namespace skarvel::model {

struct WingGeometry {
    bool twoStage = false;
    double etaJ = 0;      // inner span over main span, at most 1
    double innerSpan = 0; // mm, developed, 0 .. main span
    double mainSpan = 0;  // mm, developed
    double cosInner = 1, sinInner = 0, cosMain = 1, sinMain = 0;

    SurfaceShape inner;     // drawn over the whole main span, built up to etaJ
    SurfaceShape outer;     // the main wing laid from its virtual root
    double outerOffset = 0; // X0: the virtual root's leading edge

    // Junction of a two-stage wing.
    double junctionLeadingEdge = 0, junctionTrailingEdge = 0;
    double virtualRootLeadingEdge = 0, virtualRootTrailingEdge = 0;

    // Panels: mean chords, chordwise centroids (from the inner root leading
    // edge), spanwise centroids (fractions of the main half-span), projected spans.
    double meanChordIn = 0, meanChordOut = 0;
    double centroidXIn = 0, centroidXOut = 0;
    double centroidZIn = 0, centroidZOut = 0;
    double projectedSpanIn = 0, projectedSpanOut = 0;
    double heightIn = 0, heightOut = 0; // mm

    SurfaceGeometry whole; // projected span, areas, chords, centroid, ac, summed values
    double areaRatio = 0;
    double acZ = 0;

    // Chord and quarter-chord point at eta on the panel that owns it.
    bool usesOuter(double eta) const { return twoStage && eta >= etaJ; }
    double chordAt(double eta) const;
};

// Rules of the two wing types: in a one-stage wing the inner wing takes the
// main wing's shape; in a two-stage wing the main wing is re-based on the
// virtual root through the junction. Changes `d` accordingly. Throws
// ArithmeticError when the basic quantities cannot be formed.
WingGeometry ComputeMainWing(DesignData& d);

} // namespace skarvel::model
