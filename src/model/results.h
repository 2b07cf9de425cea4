#pragma once
// What the aircraft model computes from a design.

namespace skarvel::model {

struct ComponentResult {
    double camberPercent = 0;
    double thicknessPercent = 0; // fuselage: the two paper thicknesses, mm
    double meanEdge = 0;         // mm
    double mass = 0;             // g
    double rollInertia = 0;      // g cm^2, about the component's own root line
    double pitchInertia = 0;     // g cm^2, own
    double centroidX = 0;        // mm aft of the root leading edge
    double centroidZ = 0;        // fraction of the half-span (fin: of the height)
    double massCentreX = 0;      // mm
    double massCentreZ = 0;      // mm above the root
    double acX = 0;              // mm
    double acZ = 0;              // main wing and fuselage mm, tails the fraction centroidZ
    double projectedArea = 0;    // cm^2
    double developedArea = 0;    // cm^2
    double areaRatio = 0;
    double aspectRatio = 0;
    double effectiveAspectRatio = 0;
    double efficiency = 0;
    double projectedSpan = 0;     // mm
    double meanChord = 0;         // mm
    double mac = 0;               // mm
    double effectiveDihedral = 0; // degrees
    double effectiveSweep = 0;    // degrees
    double effectiveTaper = 0;
    double cosDihedral = 0;
    double sinDihedral = 0;
    double reynolds = 0;
    double liftSlope = 0; // per radian
    double cd0 = 0;
};

struct AircraftResult {
    double totalMass = 0;           // g
    double totalRollInertia = 0;    // g cm^2
    double totalPitchInertia = 0;   // g cm^2
    double ballastMass = 0;         // g
    bool ballastAtTail = false;     // at the tail end; else at the nose
    double ballastStation = 5;      // mm from the nose: 5, or L - 5 for ballast at the tail
    double wingLoading = 0;         // g/dm^2
    double wingLoadingWithTail = 0; // g/dm^2
    double tailArmH = 0;            // mm
    double tailArmV = 0;            // mm
    double tailVolumeH = 0;
    double tailVolumeV = 0;
    double cgZ = 0; // mm
    double acZ = 0; // mm
    double h = 0;   // centre of gravity, fraction of the main-wing MAC
    double cgHeightRatio = 0;
    double hn = 0;
    double hnreal = 0;
    double staticMarginCompat = 0;
    double dynamicMargin = 0;
    double totalCd0 = 0;
    // Junction of a two-stage wing, mm from the inner root leading edge.
    double junctionLeadingEdge = 0;
    double junctionTrailingEdge = 0;
    double junctionChord = 0;
    double virtualRootLeadingEdge = 0;
    double virtualRootTrailingEdge = 0;
    double virtualRootChord = 0;
};

} // namespace skarvel::model
