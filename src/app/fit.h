#pragma once
// Fitting the model to a measured track: chosen input rows or design cells
// (the launch speed and angles, 最小抗力係数, 両立余裕(重心), ...) adjusted by
// nonlinear least squares over the position residuals at the measured
// times, with a robust loss against a few points tracked wrong. The solver
// (Ceres, numeric derivatives, bounds, the covariance at the solution) is
// the module skarvel-fit.so, opened only when fitting.

#include "app/measured.h"
#include "app/sweep.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace skarvel::app {

// "NAME" or "NAME=FROM:TO": a cell the sweep takes, within its bounds.
struct FitVariable {
    std::string name;
    std::optional<double> from, to;
};
// Throws MeasuredError naming what is wrong.
FitVariable ParseFitVariable(const std::string& spec);

// What the solver is given.
struct FitProblem {
    std::vector<double> start, lower, upper; // lower and upper may be infinite
    std::size_t points = 0;
    std::size_t dims = 3;      // residuals per point: x, y, h (x, h for a side view)
    double robustScale = 0.05; // m: residuals beyond it count less
    // All points' residuals (dims each) for the values; false when the
    // flight fails there.
    std::function<bool(const std::vector<double>& values, std::vector<double>& residuals)> evaluate;
};
struct FitSolution {
    std::vector<double> values;
    std::vector<std::optional<double>> stderrs; // none where not determined
    bool determined = false;                    // the covariance at the solution exists
    bool converged = false;
};
using FitSolver = void (*)(const FitProblem& problem, FitSolution& solution);
// The module's solver; throws std::runtime_error when it cannot be opened.
FitSolver OpenFitSolver();

struct FitResult {
    std::vector<FitVariable> variables;
    std::vector<double> values; // in the cells' own units
    std::vector<std::optional<double>> stderrs;
    bool determined = false;
    std::optional<TrackDistance> before, after; // as the measured line has them
};

// Fits the variables of `base`'s tables to the track. Throws MeasuredError
// when a variable's cell holds no number to start from.
FitResult FitTrack(const SweepBase& base, const std::vector<FitVariable>& variables,
                   const MeasuredTrack& track, FitSolver solver);

// "fit NAME VALUE STDERR" per variable, then "rms BEFORE AFTER".
std::string FitText(const FitResult& result);

} // namespace skarvel::app
