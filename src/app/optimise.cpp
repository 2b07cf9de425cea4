#include "app/optimise.h"

#include "app/modules.h"
#include "data/numtext.h"
#include "data/tables.h"
#include "sim/checked.h"
#include "sim/estimate.h"
#include "sim/load.h"
#include "sim/modes.h"
#include "sim/settle.h"
#include "sim/simulator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <mutex>
#include <numeric>
#include <random>
#include <thread>

namespace skarvel::app {

namespace {

constexpr double kFailed = -1e10;       // a failed point's figure, to the local search
constexpr std::size_t kLocalStarts = 3; // besides the tables' own values
constexpr double kStepShare = 0.03;     // a local search's first step, of the box

double Number(const std::string& text, const std::string& what) {
    double v = 0;
    if (!data::TryParseRealStrict(text, v) || !std::isfinite(v)) {
        throw OptimiseError(what + ": \"" + text + "\" is not a number");
    }
    return v;
}

} // namespace

OptimiseFigure ParseOptimiseFigure(const std::string& name) {
    OptimiseFigure f;
    f.name = name;
    if (const auto figure = SummaryFigureNamed(name)) {
        f.flight = *figure;
        return f;
    }
    if (name == "glide-ratio") {
        f.kind = OptimiseFigure::Kind::GlideRatio;
    } else if (name == "sink") {
        f.kind = OptimiseFigure::Kind::Sink;
    } else if (name == "settled-sink") {
        f.kind = OptimiseFigure::Kind::SettledSink;
    } else {
        throw OptimiseError("unknown figure \"" + name +
                            "\": one of 滞空時間, 最大高度, 着地距離, 旋回半径, 速度, 沈下率, "
                            "glide-ratio, sink, settled-sink");
    }
    return f;
}

Requirement ParseRequirement(const std::string& text) {
    Requirement r;
    if (text == "stable") {
        return r;
    }
    if (text == "unstalled") {
        r.kind = Requirement::Kind::Unstalled;
        return r;
    }
    if (text.rfind("margin>=", 0) == 0) {
        r.kind = Requirement::Kind::Margin;
        r.margin = Number(text.substr(8), "--require margin>=X");
        return r;
    }
    throw OptimiseError("unknown requirement \"" + text +
                        "\": stable, unstalled or margin>=X (X in %)");
}

OptimiseVariable ParseOptimiseVariable(const std::string& spec) {
    const std::size_t eq = spec.find('=');
    const std::size_t colon = spec.find(':', eq == std::string::npos ? 0 : eq);
    if (eq == std::string::npos || colon == std::string::npos) {
        throw OptimiseError("--vary takes NAME=FROM:TO, not \"" + spec + "\"");
    }
    OptimiseVariable v;
    v.name = spec.substr(0, eq);
    v.from = Number(spec.substr(eq + 1, colon - eq - 1), v.name);
    v.to = Number(spec.substr(colon + 1), v.name);
    if (!(v.from < v.to)) {
        throw OptimiseError(v.name + ": the box needs FROM below TO");
    }
    try {
        // The name is one the sweep takes, and the cell takes a number.
        ParseSweepVariable(v.name + "=" + OptimiseValueText(v.from));
    } catch (const SweepError& e) {
        throw OptimiseError(e.what());
    }
    return v;
}

std::string OptimiseValueText(double value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return {buffer, end};
}

bool PointValue::feasible() const {
    return figure &&
           std::all_of(violations.begin(), violations.end(), [](double v) { return v <= 0; });
}

PointValue EvaluatePoint(const SweepBase& base, const OptimiseOptions& options,
                         const std::vector<double>& values) {
    PointValue out;
    out.violations.assign(options.requirements.size(), 1.0);
    data::Tables tables = base.tables;
    model::SharedAircraftModel model = base.model;
    bool computed = base.designComputed;
    std::vector<std::string> settings;
    for (std::size_t i = 0; i < options.variables.size(); ++i) {
        settings.push_back(options.variables[i].name + "=" + OptimiseValueText(values[i]));
    }
    try {
        ApplySettings(tables, model, computed, settings);
    } catch (const SweepError&) {
        return out; // a value the cell refuses
    }
    const sim::DesignAeroLaws* laws = computed ? model.get() : nullptr;
    const OptimiseFigure& f = options.figure;
    const bool glide = f.kind == OptimiseFigure::Kind::GlideRatio ||
                       f.kind == OptimiseFigure::Kind::Sink || !options.requirements.empty();
    sim::StabilityAnalysis a;
    if (glide) {
        a = sim::AnalyseStability(tables.input, tables.parameter, laws);
    }
    for (std::size_t i = 0; i < options.requirements.size(); ++i) {
        const Requirement& r = options.requirements[i];
        double& v = out.violations[i];
        if (r.kind == Requirement::Kind::Margin) {
            v = a.staticMargin ? r.margin - *a.staticMargin : 1;
        } else if (!a.trim) {
            v = 1;
        } else if (r.kind == Requirement::Kind::Unstalled) {
            v = a.trim->stalled ? 1 : -1;
        } else {
            double re = a.modes.empty() ? 1 : -HUGE_VAL;
            for (const sim::Mode& m : a.modes) {
                re = std::max(re, m.root.real());
            }
            v = re;
        }
    }
    switch (f.kind) {
    case OptimiseFigure::Kind::GlideRatio:
        if (a.trim && a.trim->ratio) {
            out.figure = *a.trim->ratio;
        }
        break;
    case OptimiseFigure::Kind::Sink:
        if (a.trim) {
            out.figure = a.trim->sink;
        }
        break;
    case OptimiseFigure::Kind::SettledSink: {
        const sim::SettleAnalysis s = sim::AnalyseSettling(tables.input, tables.parameter, laws);
        if (s.loaded && s.settling.kind == sim::SettleKind::Glide) {
            out.figure = s.settling.sink;
        } else if (s.loaded && s.settling.kind == sim::SettleKind::Cycle) {
            out.figure = s.settling.meanSink;
        }
        break;
    }
    case OptimiseFigure::Kind::Flight: {
        // A record is large: each thread keeps its own.
        thread_local const auto record = std::make_unique<sim::FlightRecord>();
        sim::RunStatistics stats;
        if (!FlyInputData(tables.input, tables.parameter, laws, *record, stats)) {
            break;
        }
        const double value = SummaryFigureValue(sim::Summarize(*record, stats), f.flight);
        if (std::isfinite(value)) {
            out.figure = value;
        }
        break;
    }
    }
    return out;
}

LocalSearch OpenLocalSearch() {
    return reinterpret_cast<LocalSearch>(ModuleSymbol("skarvel-optimise", "skarvel_local_search"));
}

namespace {

// The figure to be made largest; a failed point far below any other.
double Objective(const OptimiseOptions& o, const PointValue& p) {
    if (!p.figure) {
        return kFailed;
    }
    return o.maximise ? *p.figure : -*p.figure;
}

// Runs `count` tasks on `jobs` workers; each task's result is its own.
void Share(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& task) {
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next++) < count;) {
            task(i);
        }
    };
    std::vector<std::thread> workers;
    for (unsigned k = 1; k < std::min<std::size_t>(jobs, count); ++k) {
        workers.emplace_back(work);
    }
    work();
    for (std::thread& t : workers) {
        t.join();
    }
}

// The best feasible point seen by one part of the run (the grid, a start).
struct Best {
    std::optional<double> objective;
    std::vector<double> values;
    void offer(double objective, const std::vector<double>& x) {
        if (!this->objective || objective > *this->objective) {
            this->objective = objective;
            values = x;
        }
    }
};

class Run {
  public:
    Run(const SweepBase& base, const OptimiseOptions& options, const std::atomic<bool>* stop,
        const std::function<void(const OptimiseProgress&)>& progress)
        : base_(base), o_(options), stop_(stop), progress_(progress) {}

    bool stopped() const { return stop_ != nullptr && stop_->load(); }

    PointValue evaluate(const std::vector<double>& x) {
        PointValue p = EvaluatePoint(base_, o_, x);
        std::lock_guard lock(mutex_);
        ++evaluations_;
        if (p.feasible()) {
            const double value = Objective(o_, p);
            if (!shownBest_ || value > *shownBest_) {
                shownBest_ = value;
            }
        }
        if (progress_) {
            OptimiseProgress shown{evaluations_, std::nullopt};
            if (shownBest_) {
                shown.best = o_.maximise ? *shownBest_ : -*shownBest_;
            }
            progress_(shown);
        }
        return p;
    }

  private:
    const SweepBase& base_;
    const OptimiseOptions& o_;
    const std::atomic<bool>* stop_;
    const std::function<void(const OptimiseProgress&)>& progress_;
    std::mutex mutex_;
    int evaluations_ = 0;
    std::optional<double> shownBest_;
};

} // namespace

OptimiseResult Optimise(const SweepBase& base, const OptimiseOptions& o, LocalSearch search,
                        const std::atomic<bool>* stop,
                        const std::function<void(const OptimiseProgress&)>& progress) {
    const std::size_t n = o.variables.size();
    Run run(base, o, stop, progress);
    OptimiseResult result;
    int used = 0;

    // The tables as they are: the start's figure, and a start of its own.
    std::vector<double> current(n);
    for (std::size_t i = 0; i < n; ++i) {
        // A cell holding no number flies as 0.
        current[i] = CellValue(base.tables, o.variables[i].name).value_or(0);
    }
    const PointValue atStart = run.evaluate(current);
    ++used;
    result.start = atStart.figure;
    Best best;
    const bool inBox =
        std::equal(current.begin(), current.end(), o.variables.begin(),
                   [](double x, const OptimiseVariable& v) { return x >= v.from && x <= v.to; });
    if (atStart.feasible() && inBox) {
        best.offer(Objective(o, atStart), current);
    }

    // A coarse grid, shifted by the seed, over about a quarter of the budget.
    const int perAxis =
        std::max(2, static_cast<int>(std::floor(std::pow(std::max(1, o.budget / 4), 1.0 / n))));
    std::mt19937_64 random(o.seed);
    std::vector<double> shift(n);
    for (double& s : shift) {
        s = static_cast<double>(random() >> 11) / static_cast<double>(1ULL << 53);
    }
    std::size_t gridSize = 1;
    for (std::size_t i = 0; i < n; ++i) {
        gridSize *= static_cast<std::size_t>(perAxis);
    }
    gridSize =
        std::min<std::size_t>(gridSize, static_cast<std::size_t>(std::max(0, o.budget - used)));
    std::vector<std::vector<double>> grid(gridSize, std::vector<double>(n));
    for (std::size_t k = 0; k < gridSize; ++k) {
        std::size_t index = k;
        for (std::size_t i = 0; i < n; ++i) {
            const auto cell = static_cast<double>(index % static_cast<std::size_t>(perAxis));
            index /= static_cast<std::size_t>(perAxis);
            const OptimiseVariable& v = o.variables[i];
            grid[k][i] = v.from + (cell + shift[i]) / perAxis * (v.to - v.from);
        }
    }
    std::vector<PointValue> gridValues(gridSize);
    Share(gridSize, o.jobs, [&](std::size_t k) {
        if (!run.stopped()) {
            gridValues[k] = run.evaluate(grid[k]);
        }
    });
    used += static_cast<int>(gridSize);

    // The starts: the best feasible grid points, then the tables' own values.
    std::vector<std::size_t> order(gridSize);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const bool fa = gridValues[a].feasible();
        const bool fb = gridValues[b].feasible();
        if (fa != fb) {
            return fa;
        }
        return Objective(o, gridValues[a]) > Objective(o, gridValues[b]);
    });
    // The starts: the best feasible grid point, the tables' own values, then
    // the next grid points; as many as leave each at least a dozen
    // evaluations per variable.
    const int left = o.budget - used;
    const auto wanted = static_cast<std::size_t>(
        std::clamp(left / (12 * static_cast<int>(n)), 1, static_cast<int>(kLocalStarts) + 1));
    std::vector<std::vector<double>> starts;
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (gridValues[order[k]].feasible()) {
            best.offer(Objective(o, gridValues[order[k]]), grid[order[k]]);
            if (starts.size() < wanted) {
                starts.push_back(grid[order[k]]);
            }
        }
        if (k == 0 && inBox && starts.size() < wanted) {
            starts.push_back(current);
        }
    }
    if (starts.empty() && inBox) {
        starts.push_back(current);
    } else if (starts.empty() && !order.empty()) {
        starts.push_back(grid[order.front()]);
    }

    // Local searches, each with an equal share of what is left.
    const int share = starts.empty() ? 0 : (o.budget - used) / static_cast<int>(starts.size());
    std::vector<Best> found(starts.size());
    std::vector<int> spent(starts.size(), 0);
    if (search != nullptr && share >= static_cast<int>(n) + 2) {
        Share(starts.size(), o.jobs, [&](std::size_t s) {
            LocalProblem p;
            for (const OptimiseVariable& v : o.variables) {
                p.lower.push_back(v.from);
                p.upper.push_back(v.to);
                p.step.push_back(kStepShare * (v.to - v.from));
            }
            p.start = starts[s];
            p.maxEvaluations = share;
            p.constraints = o.requirements.size();
            p.evaluate = [&, s](const std::vector<double>& x, std::vector<double>& violations) {
                if (run.stopped() || spent[s] >= share) {
                    violations.assign(o.requirements.size(), 1.0);
                    return kFailed;
                }
                ++spent[s];
                const PointValue v = run.evaluate(x);
                violations = v.violations;
                if (v.feasible()) {
                    found[s].offer(Objective(o, v), x);
                }
                return Objective(o, v);
            };
            search(p);
        });
    }
    for (std::size_t s = 0; s < starts.size(); ++s) {
        used += spent[s];
        if (found[s].objective) {
            best.offer(*found[s].objective, found[s].values);
        }
    }
    result.evaluations = used;
    result.stopped = run.stopped();
    if (best.objective) {
        result.best = o.maximise ? *best.objective : -*best.objective;
        result.values = best.values;
    }
    return result;
}

std::string OptimiseText(const OptimiseOptions& o, const OptimiseResult& r) {
    // (Values as text that reads back to the same number, not "%.6g".)
    const auto value = [](const std::optional<double>& v) {
        return v ? OptimiseValueText(*v) : std::string("-");
    };
    std::string text = "best\t" + o.figure.name + '\t' + value(r.best) + '\n';
    text += "start\t" + o.figure.name + '\t' + value(r.start) + '\n';
    for (std::size_t i = 0; i < o.variables.size(); ++i) {
        text += "value\t" + o.variables[i].name + '\t' +
                (i < r.values.size() ? OptimiseValueText(r.values[i]) : std::string("-")) + '\n';
    }
    return text + "evaluations\t" + std::to_string(r.evaluations) + '\n';
}

} // namespace skarvel::app
