#include "app/workspace.h"

#include "app/scope_exit.h"
#include "data/design_file.h"
#include "data/numtext.h"
#include "data/textfile.h"
#include "model/conversion.h"
#include "model/design_rules.h"
#include "sim/checked.h"
#include "sim/dynamics.h"
#include "sim/estimate.h"
#include "sim/load.h"
#include "sim/simulator.h"
#include "sim/summary.h"
#include "view/pixel.h"

#include <algorithm>
#include <cmath>

namespace skarvel::app {

// Passes the run loop's reports to the window and answers with the stop flag.
class Workspace::Observer : public sim::RunObserver {
  public:
    explicit Observer(Workspace& ws) : ws_(ws) {}
    void sampleStored(const sim::FlightRecord& record, int index, double airspeed) override {
        if (ws_.options_.liveTrajectory) {
            ws_.viewport_.drawLiveStep(index);
        }
        ws_.reportedSample_ = index;
        if (ws_.view_ != nullptr) {
            ws_.view_->stepDrawn(record, index, airspeed);
        }
    }
    bool secondElapsed() override {
        if (ws_.view_ != nullptr) {
            ws_.view_->secondElapsed();
        }
        return ws_.stop_;
    }

  private:
    Workspace& ws_;
};

bool Options::*Options::member(Option o) {
    switch (o) {
    case Option::LiveCharts:
        return &Options::liveCharts;
    case Option::LiveTrajectory:
        return &Options::liveTrajectory;
    case Option::AutoFit:
        return &Options::autoFit;
    case Option::CursorGround:
        return &Options::cursorGround;
    case Option::GroundTrack:
        return &Options::groundTrack;
    case Option::SpanVerticals:
        break;
    }
    return &Options::spanVerticals;
}

Workspace::Workspace(std::string programPath)
    : programPath_(std::move(programPath)), record_(std::make_unique<sim::FlightRecord>()),
      viewport_(*record_, input_, stats_, busy_),
      marker_(*record_, input_, tables_, viewport_, busy_, stop_) {
    data::ResetTables(tables_);
    computeDesign();
    history_.setInputCaptions(tables_.input);
    files_.markInputSaved();
    files_.markDesignSaved();
}

Workspace::~Workspace() = default;

const data::Table& Workspace::table(TableId id) const {
    return const_cast<Workspace*>(this)->mutableTable(id);
}

data::Table& Workspace::mutableTable(TableId id) {
    switch (id) {
    case TableId::Input:
        return tables_.input;
    case TableId::Parameter:
        return tables_.parameter;
    case TableId::Marker:
        return tables_.marker;
    case TableId::Design:
        return tables_.design;
    case TableId::Computed:
        break;
    }
    return tables_.computed;
}

Workspace::EditScope::EditScope(Workspace& ws, std::string name, std::uint64_t join, bool renames)
    : ws_(ws), name_(std::move(name)), join_(join), renames_(renames),
      outermost_(ws.editDepth_ == 0), exceptions_(std::uncaught_exceptions()) {
    ++ws_.editDepth_;
    if (outermost_) {
        before_ = ws_.tables_;
        extras_ = {ws_.model_, ws_.designComputed_, std::nullopt, nullptr};
        comment_ = ws_.comment_;
        files_ = ws_.files_.state_;
    }
}

Workspace::EditScope::~EditScope() {
    --ws_.editDepth_;
    if (!outermost_ || std::uncaught_exceptions() != exceptions_) {
        return;
    }
    EditExtras after{ws_.model_, ws_.designComputed_, std::nullopt, nullptr};
    if (ws_.comment_ != comment_) {
        extras_.comment = std::move(comment_);
        after.comment = ws_.comment_;
    }
    if (ws_.files_.state_ != *files_) {
        extras_.files = std::make_shared<const FileState>(std::move(*files_));
        after.files = std::make_shared<const FileState>(ws_.files_.state_);
    }
    EditHistory& history = ws_.editHistory_;
    const bool kept =
        join_ != 0 && join_ == history.joinable()
            ? history.amendLast(*before_, extras_, ws_.tables_, after,
                                renames_ ? std::optional<std::string>(name_) : std::nullopt)
            : history.record(name_, *before_, extras_, ws_.tables_, after);
    ws_.newestStep_ = kept ? history.joinable() : 0;
    ++ws_.editRevision_;
}

namespace {

// "主翼 展開長 の変更", "初速 の変更": the cell as its table names it.
std::string CellStepName(const data::Table& table, TableId id, int column, int row) {
    std::string name = table.cell(0, row);
    if (id == TableId::Design) {
        name = table.cell(column, 0) + " " + name;
    }
    return name + " の変更";
}

} // namespace

void Workspace::editCell(TableId id, int column, int row, const std::string& text) {
    data::Table& table = mutableTable(id);
    if (id == TableId::Marker || table.cell(column, row) == text) {
        table.setCell(column, row, text);
        cellEditStep_ = 0;
        return;
    }
    {
        const EditScope step(*this, CellStepName(table, id, column, row));
        table.setCell(column, row, text);
    }
    cellEditStep_ = newestStep_;
    designEditStep_ = id == TableId::Design ? newestStep_ : 0;
}

void Workspace::editBlock(TableId id, const std::vector<std::pair<int, int>>& cells,
                          const std::string& text) {
    if (cells.empty()) {
        return;
    }
    data::Table& table = mutableTable(id);
    const auto write = [&] {
        for (const auto& [column, row] : cells) {
            table.setCell(column, row, text);
        }
    };
    if (id == TableId::Marker) {
        write();
        return;
    }
    {
        // With the edit of the cell it was typed into, when that is the last step.
        const bool joins = cellEditStep_ != 0 && cellEditStep_ == editHistory_.joinable();
        const char* tableName = id == TableId::Input       ? "入力データ"
                                : id == TableId::Parameter ? "パラメータ"
                                                           : "設計データ";
        const EditScope step(*this,
                             std::string(tableName) + " " +
                                 std::to_string(cells.size() + (joins ? 1 : 0)) + " セルの変更",
                             cellEditStep_, true);
        write();
    }
    cellEditStep_ = 0;
    designEditStep_ = id == TableId::Design ? newestStep_ : 0;
}

void Workspace::setComment(std::string text, Clock::time_point now) {
    if (text == comment_) {
        return;
    }
    const bool burst = commentStep_ != 0 && now - commentTyped_ < kCommentPause;
    {
        const EditScope step(*this, "コメントの変更", burst ? commentStep_ : 0);
        comment_ = std::move(text);
    }
    commentStep_ = newestStep_;
    commentTyped_ = now;
}

bool Workspace::runFromInput() {
    if (busy_) {
        return false;
    }
    runAndRefresh(true);
    return true;
}

bool Workspace::runFromParameters() {
    if (busy_) {
        return false;
    }
    runAndRefresh(false);
    return true;
}

bool Workspace::estimate() {
    return sim::EstimateDerivatives(tables_.input, tables_.parameter, input_);
}

void Workspace::runAndRefresh(bool estimateFirst) {
    busy_ = true;
    const ScopeExit clearBusy([this] { busy_ = false; });
    // A failed estimate would fly the previous parameters under the new
    // inputs: the run ends there, as a failed flight.
    if (estimateFirst && !estimate()) {
        history_.appendError();
        return;
    }
    sim::LoadInputSet(tables_.input, tables_.parameter, input_);
    // The row records what this flight loaded, not what is typed meanwhile.
    const data::Table loaded = tables_.input;
    const std::shared_ptr<const sim::DesignAeroLaws> laws = flightLaws();
    try {
        if (options_.liveTrajectory) {
            viewport_.beginLiveFlight();
        }
        // Cleared before the window's first event pass: an Esc pressed
        // there stops this flight.
        stop_ = false;
        if (view_ != nullptr) {
            view_->flightStarting();
        }
        Observer observer(*this);
        reportedSample_ = -1;
        sim::RunFlight(input_, laws.get(), *record_, stats_, observer);
        marker_.updateTrackMax();
        if (!noHistoryRow_) {
            history_.appendSummary(sim::Summarize(*record_, stats_), loaded);
        }
        // Views refuse to draw while busy: the flag goes first.
        if (!options_.liveTrajectory) {
            busy_ = false;
            // The flight has its row: what lies beyond the pixel range stays
            // undrawn rather than adding an "Error" row for the same flight.
            try {
                viewport_.redraw();
            } catch (const view::RangeError&) {
            }
        } else if (options_.autoFit) {
            busy_ = false;
            viewport_.fitToTrajectory();
        }
    } catch (const sim::ArithmeticError&) {
        // A failed flight shows as an "Error" row, never as a message.
        history_.appendError();
        showFailedRun();
    } catch (const sim::NoDesignError&) {
        history_.appendError();
        showFailedRun();
    } catch (const view::RangeError&) {
        history_.appendError();
        showFailedRun();
    } catch (...) {
        // Anything else is a fault of the program, for the caller to report.
        busy_ = false;
        finishRun();
        throw;
    }
    busy_ = false;
    finishRun();
}

std::shared_ptr<const sim::DesignAeroLaws> Workspace::flightLaws() const {
    if (lawsOverride_) {
        // Laws set from outside are their owner's.
        return {std::shared_ptr<const sim::DesignAeroLaws>(), *lawsOverride_};
    }
    // A design whose computation failed has no laws to fly on.
    return designComputed_ ? model_ : nullptr;
}

void Workspace::showFailedRun() {
    // Every view shows what the record holds: the samples flown up to the
    // failure, at least the launch. The charts get the 50 ms points the run
    // did not report (all of them when it failed before its first), the
    // picture is drawn again or fitted as after a flight, and the track bar
    // and the marker come within the record.
    if (view_ != nullptr) {
        for (int k = reportedSample_ < 0 ? 0 : reportedSample_ + kChartStep;
             k <= record_->lastIndex; k += kChartStep) {
            const sim::FlightSample& s = record_->sample(k);
            view_->stepDrawn(*record_, k, std::sqrt(s.ua * s.ua + s.va * s.va + s.wa * s.wa));
        }
    }
    marker_.updateTrackMax();
    busy_ = false;
    try {
        if (!(options_.autoFit && viewport_.fitToTrajectory())) {
            viewport_.redraw();
        }
    } catch (const view::RangeError&) {
        // What lies beyond the pixel range stays undrawn.
    }
}

void Workspace::finishRun() {
    // The marker may have marked a sample beyond the new flight's end.
    marker_.keepMarkerInFlight();
    if (view_ != nullptr) {
        view_->flightEnded();
    }
}

void Workspace::setOption(Option o, bool on) {
    options_.set(o, on);
    if (o == Option::GroundTrack || o == Option::SpanVerticals || o == Option::CursorGround) {
        viewport_.setDrawOptions(
            {options_.groundTrack, options_.spanVerticals, options_.cursorGround});
    }
}

bool Workspace::resetTables() {
    if (busy_) {
        return false;
    }
    const EditScope step(*this, "データのリセット");
    data::ClearAllTables(tables_);
    data::ResetTables(tables_);
    computeDesign();
    estimate();
    comment_.clear();
    files_.state_.measuredMass.reset();
    return true;
}

bool Workspace::computeDesign() {
    auto next = std::make_shared<model::AircraftModel>(*model_);
    designComputed_ = model::ComputeDesign(tables_, *next);
    model_ = std::move(next);
    return designComputed_;
}

std::string Workspace::designFailure() const {
    if (designComputed_) {
        return {};
    }
    const auto step = model_->failedStep();
    const std::string part =
        step ? std::string(model::DesignStepName(*step, model_->design().tailType)) : "設計";
    return "設計の再計算に失敗しました（" + part +
           "）。KXデータ、設計スケッチと入力データは前回の計算のままです。";
}

bool Workspace::convertToInput() {
    if (busy_) {
        return false;
    }
    const EditScope step(*this, "入力データに変換", designEditStep_);
    computeDesign();
    model::TransferDesignToInput(tables_, *model_);
    estimate();
    return true;
}

bool Workspace::choosePickItem(int column, int row, std::optional<std::size_t> item) {
    if (busy_) {
        return false;
    }
    const EditScope step(*this, tables_.design.cell(column, 0) + " " + tables_.design.cell(0, row) +
                                    " の選択");
    if (!model::ApplyPickListChoice(tables_.design, column, row, item)) {
        return false;
    }
    return convertToInput();
}

bool Workspace::applyPaperChoice(int column, const std::string& name, const std::string& weight,
                                 const std::string& thickness) {
    if (busy_ || !model::IsPaperCell(column, data::design::PaperName)) {
        return false;
    }
    const EditScope step(*this, tables_.design.cell(column, 0) + " 紙の設定");
    model::ApplyPaperChoice(tables_.design, column, name, weight, thickness);
    return true;
}

} // namespace skarvel::app
