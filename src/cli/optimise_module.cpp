// skarvel-optimise.so: the optimiser's local search over NLopt, a module of
// its own so that neither program loads NLopt unless it optimises
// (app/modules.h opens it). COBYLA: derivative-free, within the box, with
// the requirements as inequality constraints (each <= 0 where it holds).

#include "app/optimise.h"

#include <nlopt.hpp>

#include <exception>
#include <vector>

namespace {

using skarvel::app::LocalProblem;

// NLopt asks for the objective and then each constraint at the same point:
// the point is evaluated once, its violations kept for the constraints.
struct Cache {
    const LocalProblem* problem = nullptr;
    nlopt::opt* opt = nullptr;
    std::vector<double> x;
    std::vector<double> violations;
    double value = 0;

    void at(const std::vector<double>& point) {
        if (point != x) {
            x = point;
            value = problem->evaluate(x, violations);
            violations.resize(problem->constraints, 1.0);
        }
    }
};

double Objective(const std::vector<double>& x, std::vector<double>& /*grad*/, void* data) {
    auto* cache = static_cast<Cache*>(data);
    cache->at(x);
    return cache->value;
}

struct ConstraintData {
    Cache* cache;
    std::size_t index;
};

double Constraint(const std::vector<double>& x, std::vector<double>& /*grad*/, void* data) {
    const auto* c = static_cast<ConstraintData*>(data);
    c->cache->at(x);
    return c->cache->violations[c->index];
}

} // namespace

extern "C" __attribute__((visibility("default"))) void
skarvel_local_search(const LocalProblem& problem) {
    const auto n = static_cast<unsigned>(problem.start.size());
    nlopt::opt opt(nlopt::LN_COBYLA, n);
    Cache cache;
    cache.problem = &problem;
    cache.opt = &opt;
    std::vector<ConstraintData> constraints;
    constraints.reserve(problem.constraints);
    try {
        opt.set_lower_bounds(problem.lower);
        opt.set_upper_bounds(problem.upper);
        opt.set_initial_step(problem.step);
        opt.set_maxeval(problem.maxEvaluations);
        opt.set_xtol_rel(1e-6);
        opt.set_max_objective(Objective, &cache);
        for (std::size_t i = 0; i < problem.constraints; ++i) {
            constraints.push_back({&cache, i});
            opt.add_inequality_constraint(Constraint, &constraints.back(), 0);
        }
        std::vector<double> x = problem.start;
        double value = 0;
        opt.optimize(x, value);
    } catch (const std::exception&) {
        // Round-off, a forced stop or the evaluations used up: what was found stays found.
    }
}
