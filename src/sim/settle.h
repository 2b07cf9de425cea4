#pragma once
// Where a launch settles. The launch in the tables is flown in still air
// from 1,000 m for up to 600 s (the flight's own equations and step) and its
// end classified:
//  - a steady glide: airspeed, sink and turn rate vary less than 1e-3
//    relative over the last 20 s (the turn rate relative to at least
//    0.01 rad/s); Newton's method is then started from the settled state;
//  - a limit cycle: the airspeed oscillates (crossing its 20 s mean upwards
//    with a hysteresis of 1e-3) and its peak-to-peak swing over each of the
//    last three periods changes less than 1 % from one period to the next;
//  - a divergence: the airspeed passes 50 m/s, the glider rolls over five
//    times, or the numbers run away;
//  - the ground.
// A motion that is none of these after 600 s is called a cycle when it
// still oscillates, else a glide, with the values of its last periods or
// seconds. Besides, every distinct steady glide the trim methods reach (from
// the fixed start, by continuation over the tail setting from 0 and from
// the settled state) is collected with its stability.

#include "data/table.h"
#include "sim/aero_laws.h"
#include "sim/trim.h"

#include <optional>
#include <vector>

namespace skarvel::sim {

enum class SettleKind { Glide, Cycle, Divergence, Ground };

struct Settling {
    SettleKind kind = SettleKind::Ground;
    // When the glide was settled, the cycle found, the divergence or the
    // ground met (s after the launch).
    double time = 0;
    // A glide: the values as flown, means over its last 20 s.
    double V = 0;    // airspeed, m/s
    double sink = 0; // m/s, positive descending
    std::optional<double> ratio;
    std::optional<double> radius; // m; none when straight
    double phi = 0;               // bank, rad
    // Newton's method from the settled state reached a steady glide there.
    bool equilibrium = false;
    // A cycle, over its last three periods.
    double period = 0; // s
    double vMin = 0;
    double vMax = 0;
    double meanSink = 0;
    std::optional<double> meanRatio;
};

struct Equilibrium {
    GlideTrim trim;
    std::optional<double> largestRealPart; // of the linearisation's roots, 1/s
    bool endsHere = false;                 // the launch settles into it
    bool stable() const { return largestRealPart && *largestRealPart < 0; }
};

struct SettleAnalysis {
    bool loaded = false; // false: the estimate failed, nothing was flown
    Settling settling;
    std::vector<Equilibrium> equilibria;
};

SettleAnalysis AnalyseSettling(const data::Table& input, const data::Table& parameter,
                               const DesignAeroLaws* laws);

} // namespace skarvel::sim
