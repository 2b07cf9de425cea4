#pragma once
// The optimiser: the values of a few cells (the sweep's variables, each in a
// box) that give the best figure of the launch in the tables or of its
// steady glide, under requirements. A coarse grid over the box (its offset
// drawn from the seed) finds where to start; local searches from the best
// grid points and from the tables' own values polish them (a derivative-free
// method with the requirements as constraints, from the optimiser module).
// The grid and the starts are shared out over workers; every start's
// evaluations are its own, so the result is the same whatever the number of
// workers.

#include "app/sweep.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace skarvel::app {

class OptimiseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What is made best: a history figure of the flight ("滞空時間", ...) or a
// figure of the steady glide ("glide-ratio", "sink" of the trim,
// "settled-sink" of where the launch settles).
struct OptimiseFigure {
    enum class Kind { Flight, GlideRatio, Sink, SettledSink };
    Kind kind = Kind::Flight;
    SummaryFigure flight = SummaryFigure::AirborneTime;
    std::string name;
};
// Throws OptimiseError naming the figures there are.
OptimiseFigure ParseOptimiseFigure(const std::string& name);

// "stable" (a trim whose every mode decays), "margin>=X" (the static margin
// at least X %), "unstalled" (a trim that is not stalled).
struct Requirement {
    enum class Kind { Stable, Margin, Unstalled };
    Kind kind = Kind::Stable;
    double margin = 0;
};
Requirement ParseRequirement(const std::string& text);

// "NAME=FROM:TO": a cell the sweep takes and its box.
struct OptimiseVariable {
    std::string name;
    double from = 0;
    double to = 0;
};
OptimiseVariable ParseOptimiseVariable(const std::string& spec);

struct OptimiseOptions {
    OptimiseFigure figure;
    bool maximise = true;
    std::vector<OptimiseVariable> variables;
    std::vector<Requirement> requirements;
    unsigned jobs = 1;
    std::uint64_t seed = 1;
    int budget = 200; // evaluations of every start together
};

// One evaluation: the figure, and whether every requirement holds (with how
// far from holding each is: <= 0 where it holds).
struct PointValue {
    std::optional<double> figure; // none: the point failed (no trim, an Error flight)
    std::vector<double> violations;
    bool feasible() const;
};

// Evaluates the figure and the requirements at `values` (one per variable,
// written into the tables as the sweep writes its points).
PointValue EvaluatePoint(const SweepBase& base, const OptimiseOptions& options,
                         const std::vector<double>& values);

// What a local search is given, and gives back. `evaluate` returns the
// figure (to be made largest: a least figure is negated) and fills the
// violations; a point that fails has figure -HUGE_VAL and violations 1.
struct LocalProblem {
    std::vector<double> lower, upper, start, step;
    int maxEvaluations = 0;
    std::size_t constraints = 0;
    std::function<double(const std::vector<double>& x, std::vector<double>& violations)> evaluate;
};
// The optimiser module's local search (see OpenLocalSearch).
using LocalSearch = void (*)(const LocalProblem& problem);

// The local search of the module skarvel-optimise.so. Throws
// std::runtime_error when the module cannot be opened.
LocalSearch OpenLocalSearch();

struct OptimiseProgress {
    int evaluations = 0;
    std::optional<double> best;
};

struct OptimiseResult {
    std::optional<double> best; // none: no feasible point
    std::optional<double> start;
    std::vector<double> values; // the best point's
    int evaluations = 0;
    bool stopped = false;
};

// Runs the optimisation; `stop` ends it early with the best so far;
// `progress` is called (from any worker, one at a time) after each evaluation.
OptimiseResult Optimise(const SweepBase& base, const OptimiseOptions& options, LocalSearch search,
                        const std::atomic<bool>* stop = nullptr,
                        const std::function<void(const OptimiseProgress&)>& progress = {});

// A value as text that reads back to the same number.
std::string OptimiseValueText(double value);

// The lines of standard output: best FIGURE VALUE, start FIGURE VALUE,
// value NAME VALUE per variable, evaluations N.
std::string OptimiseText(const OptimiseOptions& options, const OptimiseResult& result);

} // namespace skarvel::app
