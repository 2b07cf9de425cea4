#include "app/workspace_services.h"

#include "app/scope_exit.h"
#include "app/workspace.h"
#include "data/textfile.h"
#include "sim/load.h"

namespace skarvel::app {

sim::StabilityAnalysis AnalysisService::stability() {
    return sim::AnalyseStability(ws_.tables_.input, ws_.tables_.parameter, ws_.flightLaws().get());
}

sim::GlidePolar AnalysisService::polar() {
    return sim::ComputeGlidePolar(ws_.tables_.input, ws_.tables_.parameter, ws_.flightLaws().get());
}

sim::SettleAnalysis AnalysisService::settling() {
    return sim::AnalyseSettling(ws_.tables_.input, ws_.tables_.parameter, ws_.flightLaws().get());
}

Advice AnalysisService::advice() {
    return Advise(ws_.sweeps().base(), !ws_.files().state().designFile.empty());
}

bool AnalysisService::applyAdvice(const SettingAdvice& setting) {
    const std::string value = BestValueText(setting);
    if (ws_.busy_ || value.empty()) {
        return false;
    }
    const Workspace::EditScope step(ws_, "調整の目安: " + setting.name + " を " + value + " に");
    ApplySettings(ws_.tables_, ws_.model_, ws_.designComputed_, {setting.name + "=" + value});
    ws_.estimate();
    return true;
}

bool AnalysisService::applyOptimum(const OptimiseOptions& options, const OptimiseResult& result) {
    if (ws_.busy_ || !result.best || result.values.size() != options.variables.size()) {
        return false;
    }
    std::vector<std::string> settings;
    for (std::size_t i = 0; i < options.variables.size(); ++i) {
        settings.push_back(options.variables[i].name + "=" + OptimiseValueText(result.values[i]));
    }
    const Workspace::EditScope step(ws_, "最適化の結果");
    ApplySettings(ws_.tables_, ws_.model_, ws_.designComputed_, settings);
    ws_.estimate();
    return true;
}

bool AnalysisService::flyFromTrim(std::optional<std::size_t> mode) {
    if (ws_.busy_) {
        return false;
    }
    const sim::StabilityAnalysis analysis = stability();
    if (!analysis.trim || (mode && *mode >= analysis.modes.size())) {
        return false;
    }
    {
        const Workspace::EditScope step(ws_, mode ? "モードを励起して飛行" : "このトリムで飛行");
        sim::WriteLaunchRows(ws_.tables_.input,
                             mode ? sim::ExciteMode(analysis, *mode) : analysis.trim->state);
        // The parameters the flight will estimate belong to the step, so
        // that undo gives back the ones before it.
        ws_.estimate();
    }
    return ws_.runFromInput();
}

bool EditService::undo() {
    return !ws_.busy_ && restore(ws_.editHistory_.undo(ws_.tables_));
}

bool EditService::redo() {
    return !ws_.busy_ && restore(ws_.editHistory_.redo(ws_.tables_));
}

namespace {

// The fields of the files that a step changed (from `left` to `to`) are set
// to `to`'s; what a save did since stays.
void ApplyChanged(FileState& current, const FileState& left, const FileState& to) {
    const auto apply = [&](auto FileState::*field) {
        if (left.*field != to.*field) {
            current.*field = to.*field;
        }
    };
    apply(&FileState::caption);
    apply(&FileState::dialogs);
    apply(&FileState::measuredMass);
    apply(&FileState::inputFile);
    apply(&FileState::designFile);
    apply(&FileState::savedInput);
    apply(&FileState::savedDesign);
}

} // namespace

bool EditService::restore(const std::optional<StepExtras>& extras) {
    if (!extras) {
        return false;
    }
    ws_.model_ = extras->to.model;
    ws_.designComputed_ = extras->to.designComputed;
    if (extras->to.comment) {
        ws_.comment_ = *extras->to.comment;
    }
    if (extras->to.files && extras->from.files) {
        ApplyChanged(ws_.files_.state_, *extras->from.files, *extras->to.files);
    }
    ++ws_.editRevision_;
    return true;
}

bool EditService::goTo(std::size_t done) {
    bool moved = false;
    while (!ws_.busy_ && ws_.editHistory_.done() > done && undo()) {
        moved = true;
    }
    while (!ws_.busy_ && ws_.editHistory_.done() < done && redo()) {
        moved = true;
    }
    return moved;
}

std::uint64_t EditService::revision() const {
    return ws_.editRevision_;
}

void EditService::setLimit(std::size_t steps) {
    ws_.editHistory_.setMaxSteps(steps);
}

void EditService::clear() {
    ws_.editHistory_.clear();
}

void EditService::endBurst() {
    ws_.commentStep_ = 0;
}

bool EditService::canUndo() const {
    return !ws_.busy_ && ws_.editHistory_.canUndo();
}

bool EditService::canRedo() const {
    return !ws_.busy_ && ws_.editHistory_.canRedo();
}

std::string EditService::undoName() const {
    return ws_.editHistory_.undoName();
}

std::string EditService::redoName() const {
    return ws_.editHistory_.redoName();
}

std::vector<std::string> EditService::names() const {
    return ws_.editHistory_.names();
}

std::size_t EditService::done() const {
    return ws_.editHistory_.done();
}

SweepBase SweepService::base() const {
    return {ws_.tables_, ws_.model_, ws_.designComputed_};
}

bool SweepService::flyPoint(const SweepGrid& grid, std::size_t point) {
    if (ws_.busy_ || point >= grid.size()) {
        return false;
    }
    {
        const Workspace::EditScope step(ws_, "スイープの点");
        WriteSweepPoint(ws_.tables_, ws_.model_, ws_.designComputed_, grid, point);
        ws_.estimate(); // as for a trim flight
    }
    return ws_.runFromInput();
}

void SweepService::applySettings(const std::vector<std::string>& settings) {
    ApplySettings(ws_.tables_, ws_.model_, ws_.designComputed_, settings);
}

view::PatternLayout PatternService::layOut(view::PointMm paper, double margin,
                                           const std::string& date, int copies) const {
    const std::string_view file = data::LastPathComponent(ws_.dialogFiles().designOpen);
    // The fuselage shows the range of the centre of gravity the glider is
    // stable in, as the stability window's advice finds it.
    std::optional<view::CgRange> stable;
    if (ws_.designComputed_) {
        const SettingAdvice cg =
            AdviseCentreOfGravity({ws_.tables_, ws_.model_, ws_.designComputed_}, true);
        if (cg.low && cg.high) {
            stable = view::CgRange{*cg.low, *cg.high};
        }
    }
    return view::LayOutPattern(
        view::PatternPieces(ws_.aircraft(), ws_.designComputed(), ws_.tables().design, stable),
        paper, margin, file.empty() ? std::string("無題") : std::string(file), date, copies);
}

bool HistoryCommands::select(int row) {
    if (ws_.busy_) {
        return false;
    }
    ws_.history_.select(row);
    return true;
}

bool HistoryCommands::deleteSelected() {
    if (ws_.busy_) {
        return false;
    }
    ws_.history_.deleteSelected();
    return true;
}

bool HistoryCommands::clear() {
    if (ws_.busy_) {
        return false;
    }
    ws_.history_.clear();
    return true;
}

bool HistoryCommands::sort(int column) {
    if (ws_.busy_) {
        return false;
    }
    ws_.history_.sortByColumn(column);
    return true;
}

bool HistoryCommands::rerun(int row) {
    if (ws_.busy_) {
        return false;
    }
    {
        const Workspace::EditScope step(ws_, "計算履歴の行の入力");
        if (!ws_.history_.restoreInputs(row, ws_.tables_.input)) {
            return false;
        }
    }
    ws_.noHistoryRow_ = true;
    const ScopeExit clearMark([this] { ws_.noHistoryRow_ = false; });
    return ws_.runFromInput();
}

} // namespace skarvel::app
