#include "app/workspace.h"

#include "app/scope_exit.h"
#include "data/codec.h"
#include "data/design_file.h"
#include "data/input_file.h"
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
#include "sim/text_export.h"
#include "view/pixel.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace skarvel::app {

namespace fs = std::filesystem;

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
}

Workspace::~Workspace() = default;

void Workspace::loadStartupInput(const std::vector<std::string>& args) {
    if (!args.empty()) {
        const fs::path first = args.front();
        std::error_code ec;
        if (fs::is_regular_file(first, ec) && data::LowerExtension(first.string()) == ".kxs") {
            dialogs_.inputOpen = dialogs_.inputSave = first.string();
            readInputFile(first.string());
            return;
        }
        if (fs::is_directory(first, ec)) {
            fs::current_path(first, ec);
        }
    }
    if (caption_ != kAppTitle) {
        return;
    }
    const std::string titled = std::string(kAppTitle) + ".kxs";
    dialogs_.inputOpen = dialogs_.inputSave = titled;
    std::error_code ec;
    if (fs::is_regular_file(titled, ec)) {
        readInputFile(titled);
        return;
    }
    if (programPath_.empty()) {
        return;
    }
    const std::string beside = fs::path(programPath_).replace_extension(".kxs").string();
    if (fs::is_regular_file(beside, ec)) {
        // Silent defaults: read, but keep the plain caption and offer saves
        // under the title's name.
        dialogs_.inputOpen = beside;
        readInputFile(beside);
        caption_ = kAppTitle;
        dialogs_.inputOpen = dialogs_.inputSave = titled;
    }
}

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

void Workspace::editCell(TableId id, int column, int row, const std::string& text) {
    mutableTable(id).setCell(column, row, text);
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

sim::StabilityAnalysis Workspace::analyseStability() {
    return sim::AnalyseStability(tables_.input, tables_.parameter, flightLaws().get());
}

sim::GlidePolar Workspace::glidePolar() {
    return sim::ComputeGlidePolar(tables_.input, tables_.parameter, flightLaws().get());
}

bool Workspace::flyFromTrim(std::optional<std::size_t> mode) {
    if (busy_) {
        return false;
    }
    const sim::StabilityAnalysis analysis = analyseStability();
    if (!analysis.trim || (mode && *mode >= analysis.modes.size())) {
        return false;
    }
    sim::WriteLaunchRows(tables_.input,
                         mode ? sim::ExciteMode(analysis, *mode) : analysis.trim->state);
    return runFromInput();
}

bool Workspace::flySweepPoint(const SweepGrid& grid, std::size_t point) {
    if (busy_ || point >= grid.size()) {
        return false;
    }
    WriteSweepPoint(tables_, model_, designComputed_, grid, point);
    return runFromInput();
}

void Workspace::applySettings(const std::vector<std::string>& settings) {
    ApplySettings(tables_, model_, designComputed_, settings);
}

view::PatternLayout Workspace::cuttingPattern(view::PointMm paper, double margin,
                                              const std::string& date) const {
    const std::string_view file = data::LastPathComponent(dialogs_.designOpen);
    return view::LayOutPattern(view::PatternPieces(*model_, designComputed_, tables_.design), paper,
                               margin, file.empty() ? std::string("無題") : std::string(file),
                               date);
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

bool Workspace::rerunHistoryRow(int row) {
    if (busy_ || !history_.restoreInputs(row, tables_.input)) {
        return false;
    }
    noHistoryRow_ = true;
    const ScopeExit clearMark([this] { noHistoryRow_ = false; });
    return runFromInput();
}

void Workspace::setOption(Option o, bool on) {
    options_.set(o, on);
    if (o == Option::GroundTrack || o == Option::SpanVerticals || o == Option::CursorGround) {
        viewport_.setDrawOptions(
            {options_.groundTrack, options_.spanVerticals, options_.cursorGround});
    }
}

bool Workspace::selectHistoryRow(int row) {
    if (busy_) {
        return false;
    }
    history_.select(row);
    return true;
}

bool Workspace::deleteSelectedHistoryRow() {
    if (busy_) {
        return false;
    }
    history_.deleteSelected();
    return true;
}

bool Workspace::clearHistory() {
    if (busy_) {
        return false;
    }
    history_.clear();
    return true;
}

bool Workspace::sortHistory(int column) {
    if (busy_) {
        return false;
    }
    history_.sortByColumn(column);
    return true;
}

void Workspace::setCaptionFile(const std::string& path) {
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    caption_ = std::string(kAppTitle) + " - " + (ec ? path : full.lexically_normal().string());
}

void Workspace::readInputFile(const std::string& path) {
    data::ReadInputFile(path, tables_.input);
    dialogs_.inputSave = path;
    setCaptionFile(path);
    estimate();
}

bool Workspace::openInputFile(const std::string& path) {
    if (busy_) {
        return false;
    }
    readInputFile(path);
    dialogs_.inputOpen = path;
    return true;
}

namespace {
// The name a save writes: the default extension added to a name without one.
// A path without a file name stays as it is, for the writer to refuse, rather
// than becoming a hidden file named by the extension alone.
std::string WithDefaultExtension(const std::string& path, const char* extension) {
    if (data::HasExtension(path) || data::LastPathComponent(path).empty()) {
        return path;
    }
    return path + extension;
}
} // namespace

std::string Workspace::saveInputFile(const std::string& path) {
    if (busy_) {
        return {};
    }
    const std::string name = WithDefaultExtension(path, ".kxs");
    data::WriteInputFile(name, tables_.input);
    dialogs_.inputOpen = dialogs_.inputSave = name;
    setCaptionFile(name);
    return name;
}

std::vector<std::string> Workspace::unsavableInputCharacters() const {
    return data::UnsavableCharacters(data::InputFileLines(tables_.input));
}

std::vector<std::string> Workspace::unsavableDesignCharacters(const std::string& path) const {
    const std::string name = WithDefaultExtension(path, ".kx");
    return data::UnsavableCharacters(data::DesignFileLines(
        tables_.design, comment_, data::MachineNameFromPath(name), measuredMassText()));
}

bool Workspace::dropFiles(const std::vector<std::string>& paths) {
    if (busy_ || paths.empty()) {
        return false;
    }
    const std::string& first = paths.front();
    std::error_code ec;
    if (!fs::is_regular_file(first, ec) || data::LowerExtension(first) != ".kxs") {
        return false;
    }
    dialogs_.inputOpen = dialogs_.inputSave = first;
    readInputFile(first);
    return true;
}

std::string Workspace::exportFlightText(const std::string& path) {
    if (busy_) {
        return {};
    }
    const std::string name = WithDefaultExtension(path, ".txt");
    sim::WriteFlightText(name, *record_);
    return name;
}

bool Workspace::resetTables() {
    if (busy_) {
        return false;
    }
    data::ClearAllTables(tables_);
    data::ResetTables(tables_);
    computeDesign();
    estimate();
    comment_.clear();
    measuredMass_.reset();
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
    computeDesign();
    model::TransferDesignToInput(tables_, *model_);
    estimate();
    return true;
}

bool Workspace::choosePickItem(int column, int row, std::optional<std::size_t> item) {
    if (busy_ || !model::ApplyPickListChoice(tables_.design, column, row, item)) {
        return false;
    }
    return convertToInput();
}

bool Workspace::applyPaperChoice(int column, const std::string& name, const std::string& weight,
                                 const std::string& thickness) {
    if (busy_ || !model::IsPaperCell(column, data::design::PaperName)) {
        return false;
    }
    model::ApplyPaperChoice(tables_.design, column, name, weight, thickness);
    return true;
}

data::DesignReadResult Workspace::openDesignFile(const std::string& path) {
    if (busy_) {
        // Nothing read: the table and the caption stay, and there is nothing to say.
        return {};
    }
    sketchEnabled_ = false;
    const ScopeExit enable([this] { sketchEnabled_ = true; });
    data::DesignReadResult result = data::ReadDesignFile(path, tables_.design);
    if (result.status == data::DesignReadStatus::NotADesignFile) {
        return result;
    }
    if (result.hasComment) {
        comment_ = result.comment;
    }
    // The measured mass belongs to the design just read; one without it
    // must not inherit the previous design's.
    if (result.hasMeasuredMass) {
        measuredMass_ = result.measuredMass;
    } else {
        measuredMass_.reset();
    }
    dialogs_.designOpen = path;
    caption_ = std::string(kAppTitle) + " - " + std::string(data::LastPathComponent(path));
    convertToInput();
    return result;
}

std::string Workspace::measuredMassText() const {
    return measuredMass_ ? *measuredMass_ : std::string(data::kDefaultMeasuredMass);
}

std::string Workspace::saveDesignFile(const std::string& path) {
    if (busy_) {
        return {};
    }
    const std::string name = WithDefaultExtension(path, ".kx");
    data::WriteDesignFile(name, tables_.design, comment_, measuredMassText());
    dialogs_.designOpen = dialogs_.designSave = name;
    setCaptionFile(name);
    return name;
}

} // namespace skarvel::app
