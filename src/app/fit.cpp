#include "app/fit.h"

#include "app/modules.h"
#include "app/optimise.h"
#include "data/numtext.h"
#include "data/tables.h"
#include "sim/analysis_text.h"

#include <cmath>
#include <limits>
#include <memory>

namespace skarvel::app {

FitVariable ParseFitVariable(const std::string& spec) {
    FitVariable v;
    const std::size_t eq = spec.find('=');
    v.name = spec.substr(0, eq);
    if (eq != std::string::npos) {
        try {
            const OptimiseVariable box = ParseOptimiseVariable(spec);
            v.from = box.from;
            v.to = box.to;
        } catch (const OptimiseError& e) {
            throw MeasuredError(e.what());
        }
        return v;
    }
    try {
        ParseSweepVariable(v.name + "=0");
    } catch (const SweepError& e) {
        throw MeasuredError(e.what());
    }
    return v;
}

FitSolver OpenFitSolver() {
    return reinterpret_cast<FitSolver>(ModuleSymbol("skarvel-fit", "skarvel_fit"));
}

namespace {

// The flight with the variables at these values, in a record of this
// thread's; null when it fails.
const sim::FlightRecord* FlyWith(const SweepBase& base, const std::vector<FitVariable>& vars,
                                 const std::vector<double>& values) {
    data::Tables tables = base.tables;
    model::SharedAircraftModel model = base.model;
    bool computed = base.designComputed;
    std::vector<std::string> settings;
    for (std::size_t i = 0; i < vars.size(); ++i) {
        settings.push_back(vars[i].name + "=" + OptimiseValueText(values[i]));
    }
    try {
        ApplySettings(tables, model, computed, settings);
    } catch (const SweepError&) {
        return nullptr;
    }
    thread_local const auto record = std::make_unique<sim::FlightRecord>();
    sim::RunStatistics stats;
    return FlyInputData(tables.input, tables.parameter, computed ? model.get() : nullptr, *record,
                        stats)
               ? record.get()
               : nullptr;
}

} // namespace

FitResult FitTrack(const SweepBase& base, const std::vector<FitVariable>& variables,
                   const MeasuredTrack& track, FitSolver solver) {
    FitResult result;
    result.variables = variables;
    FitProblem problem;
    constexpr double kInf = std::numeric_limits<double>::infinity();
    for (const FitVariable& v : variables) {
        const std::optional<double> current = CellValue(base.tables, v.name);
        if (!current) {
            throw MeasuredError(v.name + ": the cell holds no number to start from");
        }
        problem.start.push_back(*current);
        problem.lower.push_back(v.from.value_or(-kInf));
        problem.upper.push_back(v.to.value_or(kInf));
    }
    problem.points = track.points.size();
    problem.dims = track.hasY ? 3 : 2;
    problem.evaluate = [&](const std::vector<double>& values, std::vector<double>& r) {
        const sim::FlightRecord* record = FlyWith(base, variables, values);
        if (record == nullptr) {
            return false;
        }
        r.clear();
        for (const MeasuredPoint& p : track.points) {
            const std::array<double, 3> f = FlightPositionAt(*record, p.t);
            r.push_back(f[0] - p.x);
            if (track.hasY) {
                r.push_back(f[1] - p.y);
            }
            r.push_back(f[2] - p.h);
        }
        return true;
    };
    if (const sim::FlightRecord* before = FlyWith(base, variables, problem.start)) {
        result.before = CompareTrack(track, *before);
    }
    FitSolution solution;
    solver(problem, solution);
    result.values = solution.values.empty() ? problem.start : solution.values;
    result.stderrs = solution.stderrs;
    result.stderrs.resize(variables.size());
    result.determined = solution.determined;
    if (const sim::FlightRecord* after = FlyWith(base, variables, result.values)) {
        result.after = CompareTrack(track, *after);
    }
    return result;
}

std::string FitText(const FitResult& r) {
    std::string text;
    for (std::size_t i = 0; i < r.variables.size(); ++i) {
        text += "fit\t" + r.variables[i].name + '\t' + sim::FieldText(r.values[i]) + '\t' +
                sim::FieldText(r.stderrs[i]) + '\n';
    }
    const auto rms = [](const std::optional<TrackDistance>& d) {
        return sim::FieldText(d ? std::optional(d->rms) : std::nullopt);
    };
    return text + "rms\t" + rms(r.before) + '\t' + rms(r.after) + '\n';
}

} // namespace skarvel::app
