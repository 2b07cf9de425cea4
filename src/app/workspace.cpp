#include "app/workspace.h"

#include "data/design_file.h"
#include "data/input_file.h"
#include "data/textfile.h"
#include "model/conversion.h"
#include "sim/estimate.h"
#include "sim/load.h"
#include "sim/simulator.h"
#include "sim/summary.h"
#include "sim/text_export.h"

#include <filesystem>
#include <system_error>

namespace skarvel::app {

namespace fs = std::filesystem;

// Passes the run loop's reports to the window and answers with the stop flag.
class Workspace::Observer : public sim::RunObserver {
  public:
    explicit Observer(Workspace& ws) : ws_(ws) {}
    void sampleStored(const sim::FlightRecord& record, int index, double airspeed) override {
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

Workspace::Workspace(std::string programPath)
    : programPath_(std::move(programPath)), record_(std::make_unique<sim::FlightRecord>()) {
    data::ResetTables(tables_);
    computeDesign();
    history_.setInputCaptions(tables_.input);
}

Workspace::~Workspace() = default;

void Workspace::startUp(const std::vector<std::string>& args) {
    try {
        loadStartupInput(args);
    } catch (const data::FileError&) {
        // An unreadable start-up file leaves the defaults; the flight still runs.
    }
    runFromInput();
}

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

void Workspace::estimate() {
    sim::EstimateDerivatives(tables_.input, tables_.parameter, input_);
}

void Workspace::runAndRefresh(bool estimateFirst) {
    busy_ = true;
    if (estimateFirst) {
        estimate();
    }
    sim::LoadInputSet(tables_.input, tables_.parameter, input_);
    try {
        if (view_ != nullptr) {
            view_->runStarting();
        }
        stop_ = false;
        Observer observer(*this);
        sim::RunFlight(input_, laws_, *record_, stats_, observer);
        if (!noHistoryRow_) {
            history_.appendSummary(sim::Summarize(*record_, stats_), tables_.input);
        }
    } catch (const std::exception&) {
        // A failed flight shows as an "Error" row, never as a message.
        history_.appendError();
    }
    busy_ = false;
    if (view_ != nullptr) {
        view_->runFinished();
    }
}

bool Workspace::rerunHistoryRow(int row) {
    if (busy_ || !history_.restoreInputs(row, tables_.input)) {
        return false;
    }
    noHistoryRow_ = true;
    struct ClearMark {
        bool& mark;
        ~ClearMark() { mark = false; }
    } clear{noHistoryRow_};
    return runFromInput();
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

void Workspace::openInputFile(const std::string& path) {
    readInputFile(path);
    dialogs_.inputOpen = path;
}

std::string Workspace::saveInputFile(const std::string& path) {
    std::string name = path;
    if (!data::HasExtension(name)) {
        name += ".kxs";
    }
    data::WriteInputFile(name, tables_.input);
    dialogs_.inputOpen = dialogs_.inputSave = name;
    setCaptionFile(name);
    return name;
}

bool Workspace::dropFiles(const std::vector<std::string>& paths) {
    if (paths.empty()) {
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
    std::string name = path;
    if (!data::HasExtension(name)) {
        name += ".txt";
    }
    sim::WriteFlightText(name, *record_);
    return name;
}

void Workspace::resetTables() {
    data::ClearAllTables(tables_);
    data::ResetTables(tables_);
    computeDesign();
    estimate();
    comment_.clear();
    measuredMass_.reset();
}

bool Workspace::computeDesign() {
    return model::ComputeDesign(tables_, model_);
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

data::DesignReadResult Workspace::openDesignFile(const std::string& path) {
    data::DesignReadResult result = data::ReadDesignFile(path, tables_.design);
    if (result.status == data::DesignReadStatus::NotADesignFile) {
        return result;
    }
    if (result.hasComment) {
        comment_ = result.comment;
    }
    if (result.hasMeasuredMass) {
        measuredMass_ = result.measuredMass;
    }
    dialogs_.designOpen = path;
    caption_ = std::string(kAppTitle) + " - " + fs::path(path).filename().string();
    convertToInput();
    return result;
}

std::string Workspace::saveDesignFile(const std::string& path) {
    std::string name = path;
    if (!data::HasExtension(name)) {
        name += ".kx";
    }
    data::WriteDesignFile(name, tables_.design, comment_,
                          measuredMass_ ? *measuredMass_ : std::string(data::kDefaultMeasuredMass));
    dialogs_.designOpen = dialogs_.designSave = name;
    setCaptionFile(name);
    return name;
}

} // namespace skarvel::app
