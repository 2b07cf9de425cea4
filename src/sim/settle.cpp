#include "sim/settle.h"

#include "data/numtext.h"
#include "data/tables.h"
#include "sim/checked.h"
#include "sim/dynamics.h"
#include "sim/glide_polar.h"
#include "sim/modes.h"
#include "sim/simulator.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace skarvel::sim {

namespace {

constexpr double kSettleAltitude = 1000; // m
constexpr double kSettleSeconds = 600;
constexpr double kSampleStep = 0.01; // s between the samples judged
constexpr double kSteadyWindow = 20; // s
constexpr double kSteadyTolerance = 1e-3;
constexpr double kTurnRateScale = 0.01;  // rad/s: the least the turn rate is measured against
constexpr double kCycleTolerance = 0.01; // change of the swing per period
constexpr double kCrossingHysteresis = 1e-3;
constexpr double kDivergentSpeed = 50; // m/s, or twice the launch speed
constexpr double kRollOvers = 5;
constexpr double kStraightTurnRate = 1e-6; // rad/s
constexpr double kSameTrim = 1e-5;         // relative: two trims are one

struct Judged {
    double t = 0;
    double V = 0;
    double sink = 0;
    double omega = 0;
    double horizontal = 0;
};

double Mean(const std::vector<Judged>& s, std::size_t from, double Judged::*value) {
    double sum = 0;
    for (std::size_t i = from; i < s.size(); ++i) {
        sum += s[i].*value;
    }
    return sum / static_cast<double>(s.size() - from);
}

bool Steady(const std::vector<Judged>& s, std::size_t from) {
    const auto varies = [&](double Judged::*value, double floor) {
        double lo = s[from].*value;
        double hi = lo;
        for (std::size_t i = from; i < s.size(); ++i) {
            lo = std::min(lo, s[i].*value);
            hi = std::max(hi, s[i].*value);
        }
        const double scale = std::max(std::fabs(Mean(s, from, value)), floor);
        return (hi - lo) > kSteadyTolerance * scale;
    };
    return !varies(&Judged::V, 0) && !varies(&Judged::sink, 0) &&
           !varies(&Judged::omega, kTurnRateScale);
}

// The samples where the airspeed crosses `mean` upwards, with hysteresis.
std::vector<std::size_t> UpwardCrossings(const std::vector<Judged>& s, std::size_t from,
                                         double mean) {
    std::vector<std::size_t> crossings;
    const double band = kCrossingHysteresis * mean;
    bool below = false;
    for (std::size_t i = std::max<std::size_t>(from, 1); i < s.size(); ++i) {
        if (s[i].V < mean - band) {
            below = true;
        } else if (below && s[i].V > mean + band) {
            crossings.push_back(i);
            below = false;
        }
    }
    return crossings;
}

// When the airspeed passed `level` between sample i - 1 and sample i.
double CrossingTime(const std::vector<Judged>& s, std::size_t i, double level) {
    const Judged& a = s[i - 1];
    const Judged& b = s[i];
    const double f = std::clamp((level - a.V) / (b.V - a.V), 0.0, 1.0);
    return a.t + f * (b.t - a.t);
}

// The last three periods of an oscillation; none with fewer. `settled`:
// their swings change less than kCycleTolerance per period.
struct Periods {
    Settling cycle;
    bool settled = false;
};

std::optional<Periods> LastPeriods(const std::vector<Judged>& s, std::size_t windowStart) {
    const double mean = Mean(s, windowStart, &Judged::V);
    const std::vector<std::size_t> c = UpwardCrossings(s, 0, mean);
    if (c.size() < 4) {
        return std::nullopt;
    }
    Periods out;
    Settling& cycle = out.cycle;
    cycle.kind = SettleKind::Cycle;
    std::array<double, 3> swing{};
    double sink = 0;
    double horizontal = 0;
    std::size_t n = 0;
    cycle.vMin = s[c[c.size() - 4]].V;
    cycle.vMax = cycle.vMin;
    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t a = c[c.size() - 4 + k];
        const std::size_t b = c[c.size() - 3 + k];
        double lo = s[a].V;
        double hi = lo;
        for (std::size_t i = a; i < b; ++i) {
            lo = std::min(lo, s[i].V);
            hi = std::max(hi, s[i].V);
            sink += s[i].sink;
            horizontal += s[i].horizontal;
            ++n;
        }
        swing[k] = hi - lo;
        cycle.vMin = std::min(cycle.vMin, lo);
        cycle.vMax = std::max(cycle.vMax, hi);
    }
    const double level = mean * (1 + kCrossingHysteresis);
    cycle.period = (CrossingTime(s, c.back(), level) - CrossingTime(s, c[c.size() - 4], level)) / 3;
    cycle.meanSink = sink / static_cast<double>(n);
    if (const double r = horizontal / sink; std::isfinite(r) && sink > 0) {
        cycle.meanRatio = r;
    }
    out.settled = swing[0] > kCrossingHysteresis * mean &&
                  std::fabs(swing[1] - swing[0]) < kCycleTolerance * swing[0] &&
                  std::fabs(swing[2] - swing[1]) < kCycleTolerance * swing[1];
    return out;
}

// The glide as flown over the last 20 s.
Settling GlideOf(const std::vector<Judged>& s, std::size_t from, const FlightSample& state) {
    Settling g;
    g.kind = SettleKind::Glide;
    g.V = Mean(s, from, &Judged::V);
    g.sink = Mean(s, from, &Judged::sink);
    const double horizontal = Mean(s, from, &Judged::horizontal);
    const double omega = Mean(s, from, &Judged::omega);
    if (const double r = horizontal / g.sink; std::isfinite(r) && g.sink > 0) {
        g.ratio = r;
    }
    if (std::fabs(omega) >= kStraightTurnRate) {
        g.radius = horizontal / std::fabs(omega);
    }
    g.phi = std::remainder(state.phi, 2 * kPi);
    return g;
}

struct Flown {
    Settling settling;
    FlightSample last; // the state it ended in
    double turnRate = 0;
};

Flown FlyLaunch(const InputSet& analysis, const DesignAeroLaws* laws) {
    InputSet in = analysis;
    in.initial.x = 0;
    in.initial.y = 0;
    in.initial.z = -kSettleAltitude;
    Dynamics dynamics(in, laws);
    Rk4Stepper stepper;
    FlightSample s = in.initial;
    std::vector<Judged> judged;
    judged.reserve(static_cast<std::size_t>(kSettleSeconds / kSampleStep) + 1);
    const auto window = [&judged] {
        const auto n = static_cast<std::size_t>(kSteadyWindow / kSampleStep);
        return judged.size() > n ? judged.size() - n : 0;
    };
    const double launch = std::sqrt(s.u * s.u + s.v * s.v + s.w * s.w);
    const double divergent = std::max(kDivergentSpeed, 2 * launch);
    Flown out;
    const auto ended = [&out](SettleKind kind, double t) {
        out.settling.kind = kind;
        out.settling.time = t;
        return out;
    };
    const long steps = std::lround(kSettleSeconds / kTimeStep);
    const long perSample = std::lround(kSampleStep / kTimeStep);
    for (long n = 0; n < steps; ++n) {
        const double t = static_cast<double>(n) * kTimeStep;
        try {
            stepper.step(dynamics, s, t, kTimeStep);
        } catch (const ArithmeticError&) {
            return ended(SettleKind::Divergence, t);
        }
        const FlightSample& d = stepper.rates(); // at the state before the step
        const double V = std::sqrt(s.ua * s.ua + s.va * s.va + s.wa * s.wa);
        out.last = s;
        if (V > divergent || std::fabs(s.phi) > 2 * kPi * kRollOvers) {
            return ended(SettleKind::Divergence, t + kTimeStep);
        }
        if (s.z > 0) {
            return ended(SettleKind::Ground, t + kTimeStep);
        }
        if (n % perSample != 0) {
            continue;
        }
        judged.push_back({t, V, d.z, d.psi, std::hypot(d.x, d.y)});
        out.turnRate = d.psi;
        const bool second = n % std::lround(1 / kTimeStep) == 0;
        if (!second || t < kSteadyWindow) {
            continue;
        }
        if (Steady(judged, window())) {
            out.settling = GlideOf(judged, window(), s);
            out.settling.time = t;
            return out;
        }
        if (const auto p = LastPeriods(judged, window()); p && p->settled) {
            out.settling = p->cycle;
            out.settling.time = t;
            return out;
        }
    }
    // Neither after the whole time: the nearer of the two.
    const auto p = LastPeriods(judged, window());
    out.settling = p ? p->cycle : GlideOf(judged, window(), s);
    out.settling.time = kSettleSeconds;
    return out;
}

// The trim at the table's tail setting reached by continuation in the
// polar's steps from the tail setting `from`, trimmed there from the fixed
// start, as the polar reaches its rows.
std::optional<GlideTrim> ContinuedTrim(const data::Table& input, const data::Table& parameter,
                                       const DesignAeroLaws* laws, double from) {
    // As the flight reads it.
    const double target =
        data::CellNumber(input, data::input::kValueColumn, data::input::TailSetting);
    if (!(std::fabs(target) <= 90)) {
        return std::nullopt;
    }
    const int steps = static_cast<int>(std::ceil(std::fabs(target - from) / kPolarStep));
    StraightGlide start;
    data::Table table = input;
    for (int i = 0; i <= steps; ++i) {
        const double setting =
            i == steps ? target : from + std::copysign(i * kPolarStep, target - from);
        table.setCell(data::input::kValueColumn, data::input::TailSetting,
                      data::FormatShortest(setting));
        AnalysisPoint point(table, parameter, laws);
        const std::optional<StraightGlide> straight = TrimStraightGlide(point, start);
        if (!straight) {
            return std::nullopt;
        }
        start = *straight;
        if (i == steps) {
            return TrimSteadyGlide(point, start);
        }
    }
    return std::nullopt;
}

bool SameTrim(const GlideTrim& a, const GlideTrim& b) {
    const auto near = [](double x, double y, double scale) {
        return std::fabs(x - y) <= kSameTrim * scale;
    };
    return near(a.V, b.V, a.V) && near(a.alpha, b.alpha, 1) && near(a.beta, b.beta, 1) &&
           near(a.theta, b.theta, 1) && near(a.phi, b.phi, 1) && near(a.omega, b.omega, 1);
}

// The settled glide is that equilibrium: within 1 % of its speed and sink.
bool Reaches(const Settling& g, const GlideTrim& t) {
    return std::fabs(t.V - g.V) < 0.01 * g.V && std::fabs(t.sink - g.sink) < 0.01 * g.sink;
}

} // namespace

SettleAnalysis AnalyseSettling(const data::Table& input, const data::Table& parameter,
                               const DesignAeroLaws* laws) {
    SettleAnalysis out;
    AnalysisPoint point(input, parameter, laws);
    out.loaded = point.loaded();
    if (!out.loaded) {
        return out;
    }
    const Flown flown = FlyLaunch(point.inputSet(), laws);
    out.settling = flown.settling;

    std::vector<GlideTrim> found;
    if (auto t = TrimGlide(point)) {
        found.push_back(*t);
    }
    // From the polar's middle and from both its ends: a glider may trim on
    // more than one branch (unstalled and stalled) at one setting.
    for (const double from : {0.0, kPolarFirstSetting, -kPolarFirstSetting}) {
        if (auto t = ContinuedTrim(input, parameter, laws, from)) {
            found.push_back(*t);
        }
    }
    std::optional<GlideTrim> settled;
    if (out.settling.kind == SettleKind::Glide) {
        const FlightSample& s = flown.last;
        const double V = std::sqrt(s.ua * s.ua + s.va * s.va + s.wa * s.wa);
        settled = TrimTurn(point, TurnGuess{V, std::atan2(s.wa, s.ua),
                                            std::asin(std::clamp(s.va / V, -1.0, 1.0)),
                                            std::remainder(s.theta, 2 * kPi),
                                            std::remainder(s.phi, 2 * kPi), flown.turnRate});
        if (settled && !Reaches(out.settling, *settled)) {
            settled.reset();
        }
        out.settling.equilibrium = settled.has_value();
        if (settled) {
            found.push_back(*settled);
        }
    }
    for (const GlideTrim& t : found) {
        const auto same = [&t](const Equilibrium& e) { return SameTrim(e.trim, t); };
        if (std::none_of(out.equilibria.begin(), out.equilibria.end(), same)) {
            Equilibrium e;
            e.trim = t;
            if (const std::optional<StateMatrix> a = Linearise(point, t.state)) {
                e.largestRealPart = LargestRealPart(*a);
            }
            out.equilibria.push_back(e);
        }
    }
    if (settled) {
        for (Equilibrium& e : out.equilibria) {
            e.endsHere = SameTrim(e.trim, *settled);
        }
    }
    return out;
}

} // namespace skarvel::sim
