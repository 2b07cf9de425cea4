#include "app/optimise_model.h"

#include "data/numtext.h"

#include <cstdio>
#include <exception>
#include <utility>

namespace skarvel::app {

std::vector<OptimiseChoice> OptimiseFigureChoices() {
    std::vector<OptimiseChoice> choices;
    for (const SummaryFigure f : kSummaryFigures) {
        // "滞空時間(s)": the name without its unit, the label with it.
        const std::string caption(SummaryFigureCaption(f));
        choices.push_back({caption.substr(0, caption.find('(')), caption});
    }
    choices.push_back({"glide-ratio", "滑空比（トリム）"});
    choices.push_back({"sink", "沈下率（トリム）"});
    choices.push_back({"settled-sink", "沈下率（落ち着いた先）"});
    return choices;
}

CheckedOptimise CheckOptimiseEntries(const OptimiseEntries& e, unsigned jobs) {
    CheckedOptimise out;
    OptimiseOptions o;
    try {
        o.figure = ParseOptimiseFigure(e.figure);
    } catch (const OptimiseError&) {
        out.error = "目的の値を選んでください";
        return out;
    }
    o.maximise = e.maximise;
    for (std::size_t i = 0; i < e.variables.size(); ++i) {
        const OptimiseEntries::Variable& v = e.variables[i];
        if (v.name.empty()) {
            continue;
        }
        const std::string which = "変数 " + std::to_string(i + 1) + "（" + v.name + "）";
        double from = 0;
        double to = 0;
        if (!data::TryParseRealStrict(v.from, from) || !data::TryParseRealStrict(v.to, to)) {
            out.error = which + ": 範囲の両端に数を入力してください";
            return out;
        }
        if (!(from < to)) {
            out.error = which + ": 範囲の下限を上限より小さくしてください";
            return out;
        }
        try {
            o.variables.push_back(ParseOptimiseVariable(v.name + "=" + OptimiseValueText(from) +
                                                        ":" + OptimiseValueText(to)));
        } catch (const OptimiseError&) {
            out.error = which + ": この値は入力できません";
            return out;
        }
    }
    if (o.variables.empty()) {
        out.error = "変える値を1つ以上選んでください";
        return out;
    }
    if (e.stable) {
        o.requirements.push_back({Requirement::Kind::Stable, 0});
    }
    if (e.unstalled) {
        o.requirements.push_back({Requirement::Kind::Unstalled, 0});
    }
    if (e.margin) {
        double margin = 0;
        if (!data::TryParseRealStrict(e.marginText, margin)) {
            out.error = "静安定余裕の下限に数を入力してください";
            return out;
        }
        o.requirements.push_back({Requirement::Kind::Margin, margin});
    }
    const std::optional<int> budget = data::ParseInteger(e.budgetText);
    if (!budget || *budget < 1 || *budget > 100000) {
        out.error = "評価回数は 1 から 100000 までの整数で入力してください";
        return out;
    }
    o.budget = *budget;
    o.jobs = jobs < 1 ? 1 : jobs;
    out.options = std::move(o);
    return out;
}

OptimiseJob::OptimiseJob(SweepBase base, OptimiseOptions options, LocalSearch search)
    : base_(std::move(base)), options_(std::move(options)) {
    thread_ = std::thread([this, search] {
        try {
            result_ = Optimise(base_, options_, search, &stop_, [this](const OptimiseProgress& p) {
                std::lock_guard lock(mutex_);
                evaluations_ = p.evaluations;
                if (p.best && (best_.empty() || *p.best != best_.back().second)) {
                    best_.emplace_back(p.evaluations, *p.best);
                }
            });
        } catch (const std::exception& e) {
            failure_ = e.what();
        }
        finished_ = true;
    });
}

OptimiseJob::~OptimiseJob() {
    stop_ = true;
    thread_.join();
}

std::vector<std::pair<int, double>> OptimiseJob::bestSoFar() const {
    std::lock_guard lock(mutex_);
    return best_;
}

int OptimiseJob::evaluations() const {
    std::lock_guard lock(mutex_);
    return evaluations_;
}

std::string OptimiseResultText(const OptimiseJob& job) {
    const auto number = [](double v) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.4g", v);
        return std::string(buffer);
    };
    if (!job.finished()) {
        const auto best = job.bestSoFar();
        return "評価 " + std::to_string(job.evaluations()) + " / " +
               std::to_string(job.options().budget) + " 回、最良値 " +
               (best.empty() ? std::string("-") : number(best.back().second));
    }
    if (!job.failure().empty()) {
        return "最適化が失敗しました: " + job.failure();
    }
    const OptimiseResult& r = job.result();
    if (!r.best) {
        return "条件を満たす点が見つかりませんでした（評価 " + std::to_string(r.evaluations) +
               " 回）";
    }
    std::string text = "最良値 " + number(*r.best) + "（開始時 " +
                       (r.start ? number(*r.start) : std::string("-")) + "）、評価 " +
                       std::to_string(r.evaluations) + " 回" + (r.stopped ? "（中止）" : "") + ":";
    for (std::size_t i = 0; i < job.options().variables.size(); ++i) {
        text += " " + job.options().variables[i].name + " = " + number(r.values[i]);
    }
    return text;
}

} // namespace skarvel::app
