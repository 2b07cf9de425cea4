#include "sim/modes.h"

#include <Eigen/Eigenvalues>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skarvel::sim {

namespace {

constexpr double kDifferenceStep = 1e-6;
constexpr double kRealLimit = 1e-9; // |Im| <= this * |root|: a real root
constexpr int kLateralPlaces = 4;

using StateMember = double FlightSample::*;
constexpr std::array<StateMember, kModeStates> kStates = {
    &FlightSample::u, &FlightSample::v, &FlightSample::w,   &FlightSample::p,
    &FlightSample::q, &FlightSample::r, &FlightSample::phi, &FlightSample::theta};

// The rate of each state: d(phi)/dt and d(theta)/dt for the attitude.
constexpr std::array<StateMember, kModeStates> kRates = kStates;

// Multiplies each state to make it non-dimensional: velocities over V,
// p and r by b/(2V), q by cbar/(2V), the angles as they are.
std::array<double, kModeStates> Scales(double V, double b, double cbar) {
    return {1 / V, 1 / V, 1 / V, b / (2 * V), cbar / (2 * V), b / (2 * V), 1, 1};
}

bool IsLateralState(int i) {
    return i == 1 || i == 3 || i == 5 || i == 6; // v, p, r, phi
}

using EigenMatrix = Eigen::Matrix<double, kModeStates, kModeStates>;

EigenMatrix ToEigen(const StateMatrix& a) {
    EigenMatrix m;
    for (int i = 0; i < kModeStates; ++i) {
        for (int j = 0; j < kModeStates; ++j) {
            m(i, j) = a[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
        }
    }
    return m;
}

// A real root, or a complex pair given by its member with Im > 0.
struct Unit {
    std::complex<double> root;
    std::array<std::complex<double>, kModeStates> shape{};
    double lateralShare = 0;
    bool pair = false;
    int size() const { return pair ? 2 : 1; }
};

Mode MakeMode(ModeKind kind, const Unit& u) {
    Mode m;
    m.kind = kind;
    m.root = u.root;
    m.shape = u.shape;
    const double re = u.root.real();
    const double magnitude = std::abs(u.root);
    m.naturalFrequency = magnitude;
    m.damping = magnitude == 0 ? 0 : -re / magnitude;
    // A root next to the axis may have no finite period or time.
    const auto finite = [](double x) { return std::isfinite(x) ? std::optional(x) : std::nullopt; };
    if (u.pair) {
        m.period = finite(2 * std::numbers::pi / u.root.imag());
    }
    if (re != 0) {
        m.timeTo = finite(std::numbers::ln2 / std::fabs(re));
    }
    return m;
}

// The slower two longitudinal roots are the phugoid, the others the short
// period; a single pair between two real roots goes by the geometric mean
// of the real roots' sizes.
void NameLongitudinal(std::vector<Unit> units, std::vector<Mode>& modes) {
    std::sort(units.begin(), units.end(),
              [](const Unit& a, const Unit& b) { return std::abs(a.root) < std::abs(b.root); });
    std::vector<Unit> reals;
    std::vector<Unit> pairs;
    for (const Unit& u : units) {
        (u.pair ? pairs : reals).push_back(u);
    }
    std::vector<Unit> slow;
    std::vector<Unit> fast;
    if (pairs.size() == 1 && reals.size() == 2 &&
        std::abs(reals[0].root) <= std::abs(pairs[0].root) &&
        std::abs(pairs[0].root) <= std::abs(reals[1].root)) {
        const double mean = std::sqrt(std::abs(reals[0].root) * std::abs(reals[1].root));
        if (std::abs(pairs[0].root) <= mean) {
            slow = pairs;
            fast = reals;
        } else {
            slow = reals;
            fast = pairs;
        }
    } else {
        int places = 0;
        for (const Unit& u : units) {
            (places < 2 ? slow : fast).push_back(u);
            places += u.size();
        }
    }
    for (const Unit& u : slow) {
        modes.push_back(MakeMode(u.pair ? ModeKind::Phugoid : ModeKind::PhugoidReal, u));
    }
    for (const Unit& u : fast) {
        modes.push_back(MakeMode(u.pair ? ModeKind::ShortPeriod : ModeKind::ShortPeriodReal, u));
    }
}

void NameLateral(const std::vector<Unit>& units, std::vector<Mode>& modes) {
    const Unit* dutch = nullptr;
    const Unit* roll = nullptr;
    const Unit* spiral = nullptr;
    for (const Unit& u : units) {
        if (u.pair) {
            if (dutch == nullptr || std::abs(u.root) > std::abs(dutch->root)) {
                dutch = &u;
            }
        } else if (roll == nullptr || u.root.real() < roll->root.real()) {
            roll = &u;
        }
    }
    for (const Unit& u : units) {
        if (!u.pair && &u != roll && (spiral == nullptr || u.root.real() > spiral->root.real())) {
            spiral = &u;
        }
    }
    for (const Unit& u : units) {
        ModeKind kind = ModeKind::LateralReal;
        if (&u == dutch) {
            kind = ModeKind::DutchRoll;
        } else if (u.pair) {
            kind = ModeKind::LateralOscillatory;
        } else if (&u == roll) {
            kind = ModeKind::RollSubsidence;
        } else if (&u == spiral) {
            kind = ModeKind::Spiral;
        }
        modes.push_back(MakeMode(kind, u));
    }
}

} // namespace

std::string_view ModeName(ModeKind kind) {
    switch (kind) {
    case ModeKind::Phugoid:
        return "phugoid";
    case ModeKind::PhugoidReal:
        return "phugoid (real)";
    case ModeKind::ShortPeriod:
        return "short period";
    case ModeKind::ShortPeriodReal:
        return "short period (real)";
    case ModeKind::DutchRoll:
        return "Dutch roll";
    case ModeKind::LateralOscillatory:
        return "lateral oscillatory";
    case ModeKind::RollSubsidence:
        return "roll subsidence";
    case ModeKind::Spiral:
        return "spiral";
    case ModeKind::LateralReal:
        break;
    }
    return "lateral real";
}

std::optional<StateMatrix> Linearise(AnalysisPoint& point, const FlightSample& trimmed) {
    StateMatrix a{};
    for (int j = 0; j < kModeStates; ++j) {
        const StateMember x = kStates[static_cast<std::size_t>(j)];
        const double h = kDifferenceStep * std::max(1.0, std::fabs(trimmed.*x));
        FlightSample up = trimmed;
        FlightSample down = trimmed;
        up.*x += h;
        down.*x -= h;
        const std::optional<Evaluation> fu = point.evaluate(up);
        const std::optional<Evaluation> fd = point.evaluate(down);
        if (!fu || !fd) {
            return std::nullopt;
        }
        for (int i = 0; i < kModeStates; ++i) {
            const StateMember f = kRates[static_cast<std::size_t>(i)];
            a[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
                (fu->rates.*f - fd->rates.*f) / (2 * h);
        }
    }
    return a;
}

std::optional<double> LargestRealPart(const StateMatrix& a) {
    const EigenMatrix m = ToEigen(a);
    if (!m.allFinite()) {
        return std::nullopt;
    }
    const Eigen::EigenSolver<EigenMatrix> solver(m, false);
    if (solver.info() != Eigen::Success) {
        return std::nullopt;
    }
    return solver.eigenvalues().real().maxCoeff();
}

std::optional<std::vector<Mode>> ClassifyModes(const StateMatrix& a, double V, double b,
                                               double cbar) {
    const EigenMatrix m = ToEigen(a);
    if (!m.allFinite()) {
        return std::nullopt;
    }
    const Eigen::EigenSolver<EigenMatrix> solver(m);
    if (solver.info() != Eigen::Success) {
        return std::nullopt;
    }
    const auto scales = Scales(V, b, cbar);
    std::vector<Unit> units;
    for (int k = 0; k < kModeStates; ++k) {
        const std::complex<double> root = solver.eigenvalues()[k];
        const bool real = std::fabs(root.imag()) <= kRealLimit * std::abs(root);
        if (!real && root.imag() < 0) {
            continue; // the pair is counted by its other member
        }
        Unit u;
        u.pair = !real;
        u.root = real ? std::complex<double>(root.real(), 0) : root;
        double lateral = 0;
        double total = 0;
        for (int i = 0; i < kModeStates; ++i) {
            std::complex<double> c = solver.eigenvectors()(i, k);
            if (real) {
                c = {c.real(), 0};
            }
            u.shape[static_cast<std::size_t>(i)] = c;
            const double share = std::norm(c * scales[static_cast<std::size_t>(i)]);
            total += share;
            if (IsLateralState(i)) {
                lateral += share;
            }
        }
        u.lateralShare = total == 0 ? 0 : lateral / total;
        units.push_back(u);
    }
    std::stable_sort(units.begin(), units.end(),
                     [](const Unit& x, const Unit& y) { return x.lateralShare > y.lateralShare; });
    std::vector<Unit> lateral;
    std::vector<Unit> longitudinal;
    int places = 0;
    for (const Unit& u : units) {
        if (places + u.size() <= kLateralPlaces) {
            lateral.push_back(u);
            places += u.size();
        } else {
            longitudinal.push_back(u);
        }
    }
    std::vector<Mode> modes;
    NameLongitudinal(longitudinal, modes);
    NameLateral(lateral, modes);
    std::stable_sort(modes.begin(), modes.end(), [](const Mode& x, const Mode& y) {
        if (x.kind != y.kind) {
            return x.kind < y.kind;
        }
        return x.root.real() < y.root.real();
    });
    return modes;
}

StabilityAnalysis AnalyseStability(const data::Table& input, const data::Table& parameter,
                                   const DesignAeroLaws* laws) {
    StabilityAnalysis result;
    AnalysisPoint point(input, parameter, laws);
    result.loaded = point.loaded();
    if (!point.loaded()) {
        return result;
    }
    const InputSet& in = point.inputSet();
    result.span = in.b;
    result.meanChord = in.cbar;
    // In per cent a margin near the largest double may overflow, even where
    // the quotient itself does not.
    if (const double margin = -in.Cma / in.CLa * 100; std::isfinite(margin)) {
        result.staticMargin = margin;
    }
    result.trim = TrimGlide(point);
    if (!result.trim) {
        return result;
    }
    const std::optional<StateMatrix> a = Linearise(point, result.trim->state);
    if (a) {
        if (auto modes = ClassifyModes(*a, result.trim->V, in.b, in.cbar)) {
            result.modes = std::move(*modes);
        }
    }
    return result;
}

FlightSample ExciteMode(const StabilityAnalysis& analysis, std::size_t index, double amplitude) {
    const GlideTrim& trim = *analysis.trim;
    const Mode& mode = analysis.modes.at(index);
    // Turned in phase so that its largest component is real: the real part
    // then holds the whole mode at that instant.
    const auto scales = Scales(trim.V, analysis.span, analysis.meanChord);
    std::complex<double> largest = 0;
    for (int i = 0; i < kModeStates; ++i) {
        const std::complex<double> c =
            mode.shape[static_cast<std::size_t>(i)] * scales[static_cast<std::size_t>(i)];
        if (std::abs(c) > std::abs(largest)) {
            largest = c;
        }
    }
    FlightSample s = trim.state;
    if (std::abs(largest) == 0 || !std::isfinite(std::abs(largest))) {
        return s;
    }
    const std::complex<double> k = amplitude * std::conj(largest) / std::norm(largest);
    for (int i = 0; i < kModeStates; ++i) {
        s.*kStates[static_cast<std::size_t>(i)] +=
            (k * mode.shape[static_cast<std::size_t>(i)]).real();
    }
    return s;
}

} // namespace skarvel::sim
