#pragma once
// What the optimiser window shows and decides, without its widgets: the
// figures offered, the entries checked in the window's words, and a run on
// a thread of its own whose progress the window polls.

#include "app/optimise.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace skarvel::app {

// A figure the window offers: its name for the optimiser and its label.
struct OptimiseChoice {
    std::string name;
    std::string label;
};
std::vector<OptimiseChoice> OptimiseFigureChoices();

// The window's fields as typed.
struct OptimiseEntries {
    std::string figure; // an OptimiseChoice's name
    bool maximise = true;
    struct Variable {
        std::string name; // empty: none
        std::string from, to;
    };
    std::vector<Variable> variables;
    bool stable = false;
    bool unstalled = false;
    bool margin = false;
    std::string marginText;
    std::string budgetText;
};
// The options, or the reason there are none ("変数 1 の範囲: ...").
struct CheckedOptimise {
    std::optional<OptimiseOptions> options;
    std::string error;
};
CheckedOptimise CheckOptimiseEntries(const OptimiseEntries& entries, unsigned jobs);

// One optimisation on a thread of its own over its own copy of the tables
// (the model shared and read only). Destroyed, it stops and waits.
class OptimiseJob {
  public:
    OptimiseJob(SweepBase base, OptimiseOptions options, LocalSearch search);
    ~OptimiseJob();
    OptimiseJob(const OptimiseJob&) = delete;
    OptimiseJob& operator=(const OptimiseJob&) = delete;

    void cancel() { stop_ = true; }
    bool finished() const { return finished_; }
    // The best value after each evaluation that improved it so far:
    // (evaluations, best) in the order found.
    std::vector<std::pair<int, double>> bestSoFar() const;
    int evaluations() const;
    // When finished: what it found; the error that ended it, if any.
    const OptimiseResult& result() const { return result_; }
    const std::string& failure() const { return failure_; }
    const OptimiseOptions& options() const { return options_; }

  private:
    SweepBase base_;
    OptimiseOptions options_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    mutable std::mutex mutex_;
    std::vector<std::pair<int, double>> best_;
    int evaluations_ = 0;
    OptimiseResult result_;
    std::string failure_;
    std::thread thread_;
};

// "最良値 8.51（開始時 7.70）、評価 62 回": the result in a line.
std::string OptimiseResultText(const OptimiseJob& job);

} // namespace skarvel::app
