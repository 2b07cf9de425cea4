#pragma once
// The glider's motions about its steady glide: the equations of motion
// linearised there, their eigenvalues, and each root named as the mode it is.

#include "data/table.h"
#include "sim/aero_laws.h"
#include "sim/trim.h"

#include <array>
#include <complex>
#include <optional>
#include <string_view>
#include <vector>

namespace skarvel::sim {

// The linearised states, in this order.
inline constexpr int kModeStates = 8; // u, v, w, p, q, r, phi, theta

enum class ModeKind {
    Phugoid,
    PhugoidReal,
    ShortPeriod,
    ShortPeriodReal,
    DutchRoll,
    LateralOscillatory,
    RollSubsidence,
    Spiral,
    LateralReal,
};

// "phugoid", "phugoid (real)", "short period", "short period (real)",
// "Dutch roll", "lateral oscillatory", "roll subsidence", "spiral",
// "lateral real".
std::string_view ModeName(ModeKind kind);

struct Mode {
    ModeKind kind = ModeKind::Phugoid;
    std::complex<double> root; // 1/s; a pair is given once, by Im > 0
    // The eigenvector over the linearised states, in SI units.
    std::array<std::complex<double>, kModeStates> shape{};
    double naturalFrequency = 0;  // |root|
    double damping = 0;           // -Re / |root|
    std::optional<double> period; // 2 pi / Im, oscillatory roots only
    std::optional<double> timeTo; // to half (decaying) or to double (growing), s
    bool grows() const { return root.real() > 0; }
};

// A = d(rates)/d(state) by central differences at the trimmed state.
using StateMatrix = std::array<std::array<double, kModeStates>, kModeStates>;
std::optional<StateMatrix> Linearise(AnalysisPoint& point, const FlightSample& trimmed);

// The largest real part among the roots of A (1/s): below 0 when every
// motion about the trim decays. None when A is not finite or the eigenvalue
// solver fails.
std::optional<double> LargestRealPart(const StateMatrix& a);

// The roots of A named and ordered as reported: phugoid, short period,
// Dutch roll, lateral oscillatory, roll subsidence, spiral, lateral real;
// roots of one name by increasing real part. None when the eigenvalue
// solver fails. `V`, `b` and `cbar` scale the eigenvectors to decide
// which roots are lateral.
std::optional<std::vector<Mode>> ClassifyModes(const StateMatrix& a, double V, double b,
                                               double cbar);

struct StabilityAnalysis {
    bool loaded = false;           // false: the estimate failed
    std::optional<GlideTrim> trim; // none: the method did not converge
    // -Cma / CLa in % of the mean chord, positive when the centre of gravity
    // lies ahead of the neutral point; none without a lift slope or where it
    // lies beyond the range of a double.
    std::optional<double> staticMargin;
    std::vector<Mode> modes; // empty without a trim
    double span = 0;         // b and the mean chord, m: the modes' scales
    double meanChord = 0;
};

StabilityAnalysis AnalyseStability(const data::Table& input, const data::Table& parameter,
                                   const DesignAeroLaws* laws);

// The trimmed state with the shape of the mode at `index` added, scaled so
// that its largest non-dimensional component (velocities over V, p and r
// times b/(2V), q times cbar/(2V), angles as they are) has the size
// `amplitude`. Needs a trim.
FlightSample ExciteMode(const StabilityAnalysis& analysis, std::size_t index,
                        double amplitude = 0.05);

} // namespace skarvel::sim
