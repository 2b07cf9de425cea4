#include "sim/trim.h"

#include "data/tables.h"
#include "sim/checked.h"
#include "sim/estimate.h"
#include "sim/load.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>

namespace skarvel::sim {

namespace {

constexpr double kAnalysisAltitude = 10; // m above the ground
constexpr double kResidualLimit = 1e-9;
constexpr int kMaxNewtonSteps = 100;
constexpr int kMaxHalvings = 30;
constexpr double kJacobianStep = 1e-7;

bool AllFinite(const FlightSample& s) {
    for (const auto member : FlightSample::kValues) {
        if (!std::isfinite(s.*member)) {
            return false;
        }
    }
    return true;
}

double WrapRadians(double a) {
    // (-pi, pi]
    double w = std::remainder(a, 2 * kPi);
    if (w <= -kPi) {
        w += 2 * kPi;
    }
    return w;
}

// Newton's method with a central-difference Jacobian and step halving. The
// residual function answers none where the evaluation fails or the unknowns
// leave the guard; such a trial point counts as one where the residual does
// not fall.
template <int N, class Residual>
std::optional<Eigen::Matrix<double, N, 1>> Solve(Eigen::Matrix<double, N, 1> z, Residual residual) {
    using Vec = Eigen::Matrix<double, N, 1>;
    std::optional<Vec> r = residual(z);
    if (!r) {
        return std::nullopt;
    }
    for (int step = 0;; ++step) {
        const double norm = r->norm();
        if (norm < kResidualLimit) {
            return z;
        }
        if (step == kMaxNewtonSteps) {
            return std::nullopt;
        }
        Eigen::Matrix<double, N, N> jacobian;
        for (int j = 0; j < N; ++j) {
            const double h = kJacobianStep * std::max(1.0, std::fabs(z[j]));
            Vec up = z;
            Vec down = z;
            up[j] += h;
            down[j] -= h;
            const std::optional<Vec> fu = residual(up);
            const std::optional<Vec> fd = residual(down);
            if (!fu || !fd) {
                return std::nullopt;
            }
            jacobian.col(j) = (*fu - *fd) / (2 * h);
        }
        const Vec dz = jacobian.fullPivLu().solve(-*r);
        if (!dz.allFinite()) {
            return std::nullopt;
        }
        bool fell = false;
        double t = 1;
        for (int k = 0; k <= kMaxHalvings; ++k, t /= 2) {
            const Vec trial = z + t * dz;
            const std::optional<Vec> rt = residual(trial);
            if (rt && rt->norm() < norm) {
                z = trial;
                r = rt;
                fell = true;
                break;
            }
        }
        if (!fell) {
            return std::nullopt;
        }
    }
}

bool WithinGuard(double V, std::initializer_list<double> angles) {
    if (!(V > 0)) {
        return false;
    }
    for (const double a : angles) {
        if (!(std::fabs(a) < kPi / 2)) {
            return false;
        }
    }
    return true;
}

// The state of a steady turn at rate omega with these air angles and attitude.
FlightSample TurnState(double V, double alpha, double beta, double theta, double phi,
                       double omega) {
    FlightSample s = AnalysisState();
    s.u = V * std::cos(alpha) * std::cos(beta);
    s.v = V * std::cos(alpha) * std::sin(beta);
    s.w = V * std::sin(alpha);
    s.p = -omega * std::sin(theta);
    s.q = omega * std::sin(phi) * std::cos(theta);
    s.r = omega * std::cos(phi) * std::cos(theta);
    s.theta = theta;
    s.phi = phi;
    return s;
}

} // namespace

FlightSample AnalysisState() {
    FlightSample s;
    s.z = -kAnalysisAltitude;
    return s;
}

InputSet AnalysisPoint::Load(const data::Table& input, const data::Table& parameter, bool& loaded) {
    InputSet in;
    data::Table estimated = parameter;
    loaded = EstimateDerivatives(input, estimated, in);
    if (loaded) {
        LoadInputSet(input, estimated, in);
        in.windSpeed = 0;
        in.thermalStrength = 0;
    }
    return in;
}

AnalysisPoint::AnalysisPoint(const data::Table& input, const data::Table& parameter,
                             const DesignAeroLaws* laws)
    : in_(Load(input, parameter, loaded_)), dynamics_(in_, laws) {}

std::optional<Evaluation> AnalysisPoint::evaluate(const FlightSample& state) {
    Evaluation e;
    e.state = state;
    try {
        dynamics_.evaluate(e.state, 0.0, e.rates);
    } catch (const ArithmeticError&) {
        return std::nullopt;
    } catch (const NoDesignError&) {
        return std::nullopt;
    }
    if (!AllFinite(e.state) || !AllFinite(e.rates)) {
        return std::nullopt;
    }
    e.stalled = dynamics_.stalled();
    return e;
}

std::optional<StraightGlide> TrimStraightGlide(AnalysisPoint& point, StraightGlide start) {
    if (!point.loaded()) {
        return std::nullopt;
    }
    using Vec = Eigen::Vector3d;
    const auto residual = [&point](const Vec& z) -> std::optional<Vec> {
        if (!WithinGuard(z[0], {z[1], z[2]})) {
            return std::nullopt;
        }
        FlightSample s = AnalysisState();
        s.u = z[0] * std::cos(z[1]);
        s.w = z[0] * std::sin(z[1]);
        s.theta = z[2];
        const std::optional<Evaluation> e = point.evaluate(s);
        if (!e) {
            return std::nullopt;
        }
        return Vec(e->rates.u, e->rates.w, e->rates.q);
    };
    const std::optional<Vec> z = Solve<3>(Vec(start.V, start.alpha, start.theta), residual);
    if (!z) {
        return std::nullopt;
    }
    return StraightGlide{(*z)[0], (*z)[1], (*z)[2]};
}

std::optional<GlideTrim> TrimSteadyGlide(AnalysisPoint& point, const StraightGlide& from) {
    return TrimTurn(point, TurnGuess{from.V, from.alpha, 0, from.theta, 0, 0}, from);
}

std::optional<GlideTrim> TrimTurn(AnalysisPoint& point, const TurnGuess& guess,
                                  const StraightGlide& from) {
    if (!point.loaded()) {
        return std::nullopt;
    }
    using Vec = Eigen::Matrix<double, 6, 1>;
    const auto residual = [&point](const Vec& z) -> std::optional<Vec> {
        if (!WithinGuard(z[0], {z[1], z[2], z[3], z[4]})) {
            return std::nullopt;
        }
        const std::optional<Evaluation> e =
            point.evaluate(TurnState(z[0], z[1], z[2], z[3], z[4], z[5]));
        if (!e) {
            return std::nullopt;
        }
        const FlightSample& d = e->rates;
        Vec r;
        r << d.u, d.v, d.w, d.p, d.q, d.r;
        return r;
    };
    Vec start;
    start << guess.V, guess.alpha, guess.beta, guess.theta, guess.phi, guess.omega;
    const std::optional<Vec> z = Solve<6>(start, residual);
    if (!z) {
        return std::nullopt;
    }
    const Vec& x = *z;
    const std::optional<Evaluation> e =
        point.evaluate(TurnState(x[0], x[1], x[2], x[3], x[4], x[5]));
    if (!e) {
        return std::nullopt;
    }
    GlideTrim t;
    t.V = x[0];
    t.alpha = WrapRadians(x[1]);
    t.beta = WrapRadians(x[2]);
    t.theta = WrapRadians(x[3]);
    t.phi = WrapRadians(x[4]);
    t.omega = x[5];
    const FlightSample& d = e->rates;
    const double horizontal = std::hypot(d.x, d.y);
    t.sink = d.z;
    t.gamma = std::asin(std::clamp(-d.z / t.V, -1.0, 1.0));
    if (const double ratio = horizontal / d.z; std::isfinite(ratio)) {
        t.ratio = ratio;
    }
    if (t.omega != 0) {
        // A turn so slow that its radius is beyond the range of a double is
        // a straight glide.
        if (const double radius = horizontal / std::fabs(t.omega); std::isfinite(radius)) {
            t.radius = radius;
        }
    }
    t.CL = e->state.CL;
    t.CD = e->state.CD;
    t.stalled = e->stalled;
    t.straight = from;
    t.state = e->state;
    return t;
}

std::optional<GlideTrim> TrimGlide(AnalysisPoint& point) {
    const std::optional<StraightGlide> straight = TrimStraightGlide(point);
    if (!straight) {
        return std::nullopt;
    }
    return TrimSteadyGlide(point, *straight);
}

} // namespace skarvel::sim
