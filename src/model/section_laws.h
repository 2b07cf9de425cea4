#pragma once
// Section aerodynamics of thin paper surfaces: Reynolds number, stall limits,
// profile drag and the pitching moment beyond the stall break.

#include <limits>

namespace skarvel::model {

// The section a law is evaluated for: camber in percent of the chord, the two
// edge thicknesses e1 and e2, the thickness t and the chord c (mm).
struct Section {
    double camber = 0;
    double e1 = 0;
    double t = 0;
    double e2 = 0;
    double c = 0;
};

// V in m/s, c in mm.
double ReynoldsNumber(double speed, double chord);

double MaxLiftCoefficient(double reynolds, const Section& s);
double MinLiftCoefficient(double reynolds, const Section& s);
double MinDragLiftCoefficient(double reynolds, const Section& s);

// Profile drag coefficient at lift coefficient CL and airspeed V; 0 when its
// arithmetic fails (a zero chord or speed).
double ProfileDrag(double CL, double speed, const Section& s);

double StallPitchIncrement(double CL, double reynolds, const Section& s);

// The laws above for one section, with the parts that do not depend on the
// airspeed worked out once: a flight evaluates them four times a step. The
// laws never change once made and may be shared between threads; what an
// evaluation keeps between calls (the Reynolds terms of the last airspeed)
// lives in a `Memo` the caller owns, one per section and flight. The free
// functions make one of each for each call.
class SectionLaws {
  public:
    // The last airspeed and Reynolds number seen and what they gave.
    struct Memo {
        double speed = std::numeric_limits<double>::quiet_NaN();
        double speedReynolds = 0;
        double reynolds = std::numeric_limits<double>::quiet_NaN();
        double factor = 0;
    };

    explicit SectionLaws(const Section& s = {});
    double maxLift(double reynolds, Memo& memo) const;
    // ReynoldsNumber(speed, c), kept in `memo` for the last speed.
    double reynolds(double speed, Memo& memo) const;
    double profileDrag(double CL, double speed, Memo& memo) const;
    // The profile drags of up to kBatch sections at one airspeed, each exactly
    // as profileDrag gives it. The sections are taken step by step side by
    // side, so that the slow library calls (pow, log10) of one overlap with
    // those of the others instead of waiting for each other; a section given
    // in two lanes (at two lifts, with the same memo) has its airspeed terms
    // worked out once.
    static constexpr int kBatch = 4;
    static void profileDrags(const SectionLaws* const laws[], Memo* const memos[],
                             const double CL[], double speed, double drag[], int count);
    double stallPitchIncrement(double CL, double reynolds, Memo& memo) const;

  private:
    struct Limits {
        double max, min, minDrag;
    };
    Limits limits(double reynolds, Memo& memo) const;
    static double reynoldsFactor(double reynolds, Memo& memo);

    Section s_;
    bool thicknessKnown_ = false; // tau could be formed (a chord that is not 0)
    double maxTerm_ = 0;          // 1 + 0.09 camber - 3 tau
    double minTerm_ = 0;          // 1 - 0.07 camber - 3 tau
    double minDragTerm_ = 0;      // (1 - 20 tau) sqrt|camber|
    double sign_ = 0;
    // At lift 0 the drag is d0 itself whatever the Reynolds term, when the
    // minimum-drag lift is 0 and the limits keep their signs (see profileDrags).
    bool plainAtZeroLift_ = false;
    bool dragKnown_ = false;       // the edge and camber terms could be formed
    double edge1_ = 0, edge2_ = 0; // e1 / c, e2 / c
    double camberTerm_ = 0;        // 55 (camber / 100)^3
    double thicknessTerm_ = 0;     // 30 ((t - (e1 + e2) / 2) / c)^3
};

} // namespace skarvel::model
