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

bool AnalysisService::flyFromTrim(std::optional<std::size_t> mode) {
    if (ws_.busy_) {
        return false;
    }
    const sim::StabilityAnalysis analysis = stability();
    if (!analysis.trim || (mode && *mode >= analysis.modes.size())) {
        return false;
    }
    sim::WriteLaunchRows(ws_.tables_.input,
                         mode ? sim::ExciteMode(analysis, *mode) : analysis.trim->state);
    return ws_.runFromInput();
}

SweepBase SweepService::base() const {
    return {ws_.tables_, ws_.model_, ws_.designComputed_};
}

bool SweepService::flyPoint(const SweepGrid& grid, std::size_t point) {
    if (ws_.busy_ || point >= grid.size()) {
        return false;
    }
    WriteSweepPoint(ws_.tables_, ws_.model_, ws_.designComputed_, grid, point);
    return ws_.runFromInput();
}

void SweepService::applySettings(const std::vector<std::string>& settings) {
    ApplySettings(ws_.tables_, ws_.model_, ws_.designComputed_, settings);
}

view::PatternLayout PatternService::layOut(view::PointMm paper, double margin,
                                           const std::string& date) const {
    const std::string_view file = data::LastPathComponent(ws_.dialogFiles().designOpen);
    return view::LayOutPattern(
        view::PatternPieces(ws_.aircraft(), ws_.designComputed(), ws_.tables().design), paper,
        margin, file.empty() ? std::string("無題") : std::string(file), date);
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
    if (ws_.busy_ || !ws_.history_.restoreInputs(row, ws_.tables_.input)) {
        return false;
    }
    ws_.noHistoryRow_ = true;
    const ScopeExit clearMark([this] { ws_.noHistoryRow_ = false; });
    return ws_.runFromInput();
}

} // namespace skarvel::app
