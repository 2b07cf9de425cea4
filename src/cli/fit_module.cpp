// skarvel-fit.so: the fit's least squares over Ceres Solver, a module of its
// own so that neither program loads Ceres unless it fits (app/modules.h
// opens it). One residual block per measured point (its x, y and height
// differences) under a Cauchy loss, so that a few points tracked wrong pull
// little; numeric central differences; bounds where given; the covariance
// at the solution, scaled by the residuals' variance, for the standard
// errors.

#include "app/fit.h"

#include <ceres/ceres.h>

#include <cmath>
#include <map>
#include <vector>

namespace {

using skarvel::app::FitProblem;
using skarvel::app::FitSolution;

// Every residual block asks for the same values (and the same steps about
// them): the flight is flown once for each.
struct Flights {
    const FitProblem* problem = nullptr;
    std::map<std::vector<double>, std::vector<double>> residuals;
    const std::vector<double>* at(const double* values) {
        std::vector<double> key(values, values + problem->start.size());
        auto it = residuals.find(key);
        if (it == residuals.end()) {
            if (residuals.size() > 256) {
                residuals.clear();
            }
            std::vector<double> r;
            if (!problem->evaluate(key, r)) {
                return nullptr;
            }
            it = residuals.emplace(std::move(key), std::move(r)).first;
        }
        return &it->second;
    }
};

struct PointCost {
    Flights* flights;
    std::size_t point;
    bool operator()(double const* const* parameters, double* residuals) const {
        const std::vector<double>* all = flights->at(parameters[0]);
        if (all == nullptr) {
            return false;
        }
        const std::size_t dims = flights->problem->dims;
        for (std::size_t k = 0; k < dims; ++k) {
            residuals[k] = (*all)[point * dims + k];
        }
        return true;
    }
};

} // namespace

extern "C" __attribute__((visibility("default"))) void skarvel_fit(const FitProblem& problem,
                                                                   FitSolution& solution) {
    const auto n = static_cast<int>(problem.start.size());
    std::vector<double> x = problem.start;
    Flights flights{&problem, {}};
    ceres::Problem least;
    // The values reach the flight through the tables' texts (the estimate
    // writes its parameters with a few digits): steps of 0.1 % stay visible.
    ceres::NumericDiffOptions diff;
    diff.relative_step_size = 1e-4;
    for (std::size_t p = 0; p < problem.points; ++p) {
        auto* cost = new ceres::DynamicNumericDiffCostFunction<PointCost, ceres::CENTRAL>(
            new PointCost{&flights, p}, ceres::TAKE_OWNERSHIP, diff);
        cost->AddParameterBlock(n);
        cost->SetNumResiduals(static_cast<int>(problem.dims));
        least.AddResidualBlock(cost, new ceres::CauchyLoss(problem.robustScale), x.data());
    }
    for (int i = 0; i < n; ++i) {
        if (std::isfinite(problem.lower[i])) {
            least.SetParameterLowerBound(x.data(), i, problem.lower[i]);
        }
        if (std::isfinite(problem.upper[i])) {
            least.SetParameterUpperBound(x.data(), i, problem.upper[i]);
        }
    }
    ceres::Solver::Options options;
    options.linear_solver_type = ceres::DENSE_QR;
    options.max_num_iterations = 100;
    options.function_tolerance = 1e-12;
    options.parameter_tolerance = 1e-12;
    options.gradient_tolerance = 1e-14;
    options.logging_type = ceres::SILENT;
    ceres::Solver::Summary summary;
    ceres::Solve(options, &least, &summary);
    solution.values = x;
    solution.converged = summary.termination_type == ceres::CONVERGENCE;
    solution.stderrs.assign(static_cast<std::size_t>(n), std::nullopt);

    ceres::Covariance::Options covarianceOptions;
    covarianceOptions.algorithm_type = ceres::DENSE_SVD;
    ceres::Covariance covariance(covarianceOptions);
    const std::vector<std::pair<const double*, const double*>> blocks = {{x.data(), x.data()}};
    solution.determined = covariance.Compute(blocks, &least);
    if (!solution.determined) {
        return;
    }
    std::vector<double> c(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    covariance.GetCovarianceBlock(x.data(), x.data(), c.data());
    const double m = static_cast<double>(problem.points * problem.dims);
    const double variance = m > n ? 2 * summary.final_cost / (m - n) : 0;
    for (int i = 0; i < n; ++i) {
        const double v = c[static_cast<std::size_t>(i * n + i)] * variance;
        if (std::isfinite(v) && v >= 0) {
            solution.stderrs[static_cast<std::size_t>(i)] = std::sqrt(v);
        }
    }
}
