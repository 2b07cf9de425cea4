#include "app/workspace.h"

#include "app/trajectory_surface.h"
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
#include <filesystem>
#include <system_error>

namespace skarvel::app {

namespace fs = std::filesystem;

namespace {

// Runs `action` when the scope is left, however it is left.
template <class F> class ScopeExit {
  public:
    explicit ScopeExit(F action) : action_(std::move(action)) {}
    ~ScopeExit() { action_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

  private:
    F action_;
};

} // namespace

// Passes the run loop's reports to the window and answers with the stop flag.
class Workspace::Observer : public sim::RunObserver {
  public:
    explicit Observer(Workspace& ws) : ws_(ws) {}
    void sampleStored(const sim::FlightRecord& record, int index, double airspeed) override {
        ws_.liveStep(index);
        if (ws_.view_ != nullptr) {
            ws_.view_->sampleStored(record, index, airspeed);
        }
    }
    bool secondElapsed() override {
        if (ws_.view_ != nullptr) {
            ws_.view_->processEvents();
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
    : programPath_(std::move(programPath)), record_(std::make_unique<sim::FlightRecord>()) {
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
    // A design whose computation failed has no laws to fly on.
    sim::DesignAeroLaws* laws = laws_ == &model_ && !designComputed_ ? nullptr : laws_;
    try {
        if (options_.liveTrajectory && surface_ != nullptr) {
            const ScopeExit done([this] { surface_->endDrawing(); });
            surface_->beginShown().fill({0, 0, viewState_.width, viewState_.height},
                                        view::Colour::Role(view::ColourRole::WindowBackground));
        }
        // Cleared before the window's first event pass: an Esc pressed
        // there stops this flight.
        stop_ = false;
        if (view_ != nullptr) {
            view_->runStarting();
        }
        Observer observer(*this);
        sim::RunFlight(input_, laws, *record_, stats_, observer);
        if (options_.liveTrajectory && surface_ != nullptr) {
            surface_->keepShownAsClean();
        }
        updateTrackMax();
        if (!noHistoryRow_) {
            history_.appendSummary(sim::Summarize(*record_, stats_), loaded);
        }
        // Views refuse to draw while busy: the flag goes first.
        if (!options_.liveTrajectory) {
            busy_ = false;
            redrawView();
        } else if (options_.autoFit) {
            busy_ = false;
            fitToTrajectory();
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

void Workspace::showFailedRun() {
    // Every view shows what the record holds: the samples flown up to the
    // failure. The live picture has them already; the track bar and the
    // marker come within the record.
    if (options_.liveTrajectory && surface_ != nullptr) {
        surface_->keepShownAsClean();
    }
    updateTrackMax();
    busy_ = false;
    if (!options_.liveTrajectory) {
        try {
            redrawView();
        } catch (const view::RangeError&) {
            // What lies beyond the pixel range stays undrawn.
        }
    }
}

void Workspace::finishRun() {
    // The marker may have marked a sample beyond the new flight's end.
    if (markerSample_ > record_->lastIndex) {
        showMarkerSample(track_);
    }
    if (view_ != nullptr) {
        view_->runFinished();
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
        redrawView();
    }
}

view::DrawOptions Workspace::drawOptions() const {
    return {options_.groundTrack, options_.spanVerticals, options_.cursorGround};
}

void Workspace::liveStep(int index) {
    if (!options_.liveTrajectory || surface_ == nullptr) {
        return;
    }
    const ScopeExit done([this] { surface_->endDrawing(); });
    drawing_.step(surface_->beginShown(), viewState_, *record_, index, drawOptions());
    surface_->present();
}

void Workspace::setTrackPosition(int position) {
    const int p = std::clamp(position, 0, trackMax_);
    if (p == track_) {
        return;
    }
    track_ = p;
    trackChanged();
}

void Workspace::trackChanged() {
    if (page_ == Page::Charts) {
        if (!busy_ && view_ != nullptr) {
            view_->moveChartMarker(track_ / 5);
        }
    } else if (page_ == Page::Trajectory) {
        showCursorAt(track_);
    }
    showMarkerSample(track_);
}

void Workspace::updateTrackMax() {
    const int n = record_->lastIndex;
    trackMax_ = fourSeconds_ ? std::min(400, n) : n;
    if (track_ > trackMax_) {
        track_ = trackMax_;
        trackChanged();
    }
}

void Workspace::setFourSeconds(bool on) {
    fourSeconds_ = on;
    updateTrackMax();
    if (view_ != nullptr) {
        view_->markerChanged();
    }
}

view::InstrumentBars Workspace::bars() const {
    return view::BarValues(markerState());
}

void Workspace::showSampleValues(int i) {
    if (busy_ || i < 0 || i > record_->lastIndex) {
        return;
    }
    const auto texts = view::MarkerValueTexts(*record_, i, input_);
    for (std::size_t r = 0; r < texts.size(); ++r) {
        tables_.marker.setCell(data::marker::kValueColumn, static_cast<int>(r) + 1, texts[r]);
    }
}

void Workspace::showMarkerSample(int i) {
    markerSample_ = std::clamp(i, -1, record_->lastIndex);
    showSampleValues(markerSample_);
    if (view_ != nullptr) {
        view_->markerChanged();
    }
}

int Workspace::sampleAtTime(double t) const {
    return busy_ ? 0 : view::SampleAtTime(*record_, t);
}

void Workspace::markerCellEntered(int row) {
    const std::string& text = tables_.marker.cell(data::marker::kValueColumn, row);
    int i = 0;
    if (row == data::marker::PointNumber) {
        i = std::clamp(view::ParseMarkerIndex(text), 0, record_->lastIndex);
    } else if (row == data::marker::Time) {
        i = sampleAtTime(data::CellNumber(tables_.marker, data::marker::kValueColumn, row));
    } else {
        return;
    }
    if (page_ == Page::Charts) {
        if (!busy_ && view_ != nullptr) {
            view_->moveChartMarker(i / 5);
        }
    } else if (page_ == Page::Trajectory) {
        showCursorAt(i);
    }
    showMarkerSample(i);
}

void Workspace::markSample(int i) {
    const int n = record_->lastIndex;
    i = std::clamp(i, 0, n);
    track_ = std::min(i, trackMax_);
    showMarkerSample(i);
}

void Workspace::previewLaunch(int row, const std::string& typed) {
    if (row < 1 || row > data::input::Sideslip) {
        return;
    }
    try {
        setTrackPosition(0);
        data::Table input = tables_.input;
        input.setCell(data::input::kValueColumn, row, typed);
        record_->launchPreview() = sim::LaunchPreview(input);
        showMarkerSample(-1);
    } catch (const std::exception&) {
        // A preview that cannot be made shows nothing new.
    }
}

void Workspace::setReplayStep(const std::string& answer) {
    const std::optional<int> step = data::ParseInteger(answer);
    replayStep_ = std::to_string(step ? std::clamp(*step, -100, 100) : 1);
}

bool Workspace::startReplay(bool forward) {
    if (busy_) {
        return false;
    }
    if (replaying_) {
        finishReplay();
    }
    if (view_ != nullptr) {
        view_->replayStarting();
    }
    replaying_ = true;
    stop_ = false;
    const int n = record_->lastIndex;
    if (forward && track_ == n) {
        setTrackPosition(0);
    } else if (!forward && track_ == 0) {
        setTrackPosition(n);
    }
    const std::optional<int> parsed = data::ParseInteger(replayStep_);
    const int step = parsed ? *parsed : 10;
    // Slow motion: one sample a frame, each held for 1 - step more frames.
    replayForward_ = forward;
    replayAdvance_ = step <= 0 ? 1 : step;
    replayHold_ = step <= 0 ? 1 - step : 0;
    replayHeld_ = 0;
    replayAt_ = track_;
    return true;
}

bool Workspace::replayFrame() {
    if (!replaying_) {
        return false;
    }
    if (busy_) {
        // A flight started from the window meanwhile: the replay waits for it.
        return true;
    }
    // The user moved the marker, or the track bar ends before the flight.
    if (stop_ || track_ != replayAt_) {
        finishReplay();
        return false;
    }
    if (replayHeld_ > 0) {
        --replayHeld_;
        if (view_ != nullptr) {
            view_->repaintTrajectory();
        }
        return true;
    }
    const int n = record_->lastIndex;
    if (replayForward_ ? replayAt_ >= n : replayAt_ <= 0) {
        finishReplay();
        return false;
    }
    const int next = replayForward_ ? std::min(replayAt_ + replayAdvance_, n)
                                    : std::max(replayAt_ - replayAdvance_, 0);
    replayAt_ = next;
    replayHeld_ = replayHold_;
    setTrackPosition(next);
    return true;
}

void Workspace::finishReplay() {
    stop_ = true;
    replaying_ = false;
    if (view_ != nullptr) {
        view_->replayFinished();
    }
}

bool Workspace::play(bool forward) {
    if (!startReplay(forward)) {
        return false;
    }
    while (replayFrame()) {
        if (view_ != nullptr) {
            view_->replayFrame();
        }
    }
    return true;
}

void Workspace::replayToStart() {
    stop_ = true;
    setTrackPosition(0);
}

void Workspace::replayToEnd() {
    stop_ = true;
    setTrackPosition(record_->lastIndex);
}

void Workspace::prepareView(int width, int height, int a, int b) {
    viewState_ = view::InitialView(width, height, view::LimitHorizontalAngle(a),
                                   view::LimitVerticalAngle(b));
}

void Workspace::resizeView(int width, int height) {
    viewState_.width = width;
    viewState_.height = height;
    redrawView();
}

void Workspace::redrawTrajectory() {
    if (redrawing_ || busy_ || surface_ == nullptr) {
        return;
    }
    redrawing_ = true;
    const ScopeExit clearGuard([this] { redrawing_ = false; });
    if (record_->sample(0).z > 0) {
        return;
    }
    {
        const ScopeExit done([this] { surface_->endDrawing(); });
        drawing_.redraw(surface_->beginClean(viewState_.width, viewState_.height), viewState_,
                        *record_, drawOptions());
    }
    surface_->showClean();
}

void Workspace::drawFlightCursor(int i) {
    if (surface_ == nullptr) {
        return;
    }
    try {
        const ScopeExit done([this] { surface_->endDrawing(); });
        view::DrawFlightCursor(surface_->beginShown(), viewState_, *record_, i, input_.windSpeed,
                               input_.thermalRadius, drawOptions());
    } catch (const view::RangeError&) {
        // A cursor beyond the pixel range is not drawn.
    }
    surface_->present();
}

void Workspace::showCursorAt(int i) {
    if (surface_ == nullptr || busy_ || i < 0 || i > record_->lastIndex) {
        return;
    }
    surface_->showClean();
    drawFlightCursor(i);
}

void Workspace::redrawView() {
    redrawTrajectory();
    drawFlightCursor(track_);
}

template <class F> bool Workspace::quietViewCommand(F command) {
    if (busy_) {
        return false;
    }
    try {
        command();
        redrawView();
    } catch (const sim::ArithmeticError&) {
        // The steps done before the failure stay in effect.
    } catch (const view::RangeError&) {
    }
    return true;
}

bool Workspace::fitToTrajectory() {
    return quietViewCommand([this] { view::FitToTrajectory(viewState_, *record_); });
}

bool Workspace::fitToRange() {
    return quietViewCommand(
        [this] { view::FitToRange(viewState_, stats_.maxHorizontalDistance, stats_.maxDistance); });
}

bool Workspace::resetOrigin() {
    return quietViewCommand([this] { view::ResetOrigin(viewState_); });
}

bool Workspace::zoom(double factor) {
    return quietViewCommand([this, factor] { view::Zoom(viewState_, factor); });
}

bool Workspace::moveView(view::Direction d) {
    if (busy_) {
        return false;
    }
    view::Move(viewState_, d);
    redrawView();
    return true;
}

void Workspace::setViewAngles(int a, int b) {
    a = view::LimitHorizontalAngle(a);
    b = view::LimitVerticalAngle(b);
    if (a == viewState_.a && b == viewState_.b) {
        return;
    }
    viewState_.a = a;
    viewState_.b = b;
    view::UpdateProjection(viewState_);
    redrawView();
}

void Workspace::mousePress(view::Point p) {
    mouse_.press(p);
}

void Workspace::mouseMove(view::Point p, bool leftHeld, bool rightHeld) {
    if (mouse_.move(viewState_, p, leftHeld, rightHeld)) {
        redrawView();
    }
}

void Workspace::mouseRelease(view::Point p, view::MouseButton button) {
    if (mouse_.release(viewState_, p, button)) {
        redrawView();
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
    designComputed_ = model::ComputeDesign(tables_, model_);
    return designComputed_;
}

bool Workspace::convertToInput() {
    if (busy_) {
        return false;
    }
    computeDesign();
    model::TransferDesignToInput(tables_, model_);
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
