#include "app/file_commands.h"

#include "app/recovery.h"
#include "app/scope_exit.h"
#include "app/workspace.h"
#include "data/codec.h"
#include "data/design_file.h"
#include "data/input_file.h"
#include "data/textfile.h"
#include "sim/text_export.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace skarvel::app {

namespace fs = std::filesystem;

std::string CommentShown(const std::string& kept) {
    std::string shown;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (!(kept[i] == '\r' && i + 1 < kept.size() && kept[i + 1] == '\n')) {
            shown += kept[i];
        }
    }
    return shown;
}

std::string CommentKept(const std::string& shown) {
    std::string kept;
    for (const char ch : shown) {
        kept += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    }
    return kept;
}

StartupArguments SplitStartupArguments(std::vector<std::string> args) {
    StartupArguments out;
    const auto at = std::find(args.begin(), args.end(), "--design");
    if (at != args.end()) {
        if (at + 1 != args.end()) {
            out.design = *(at + 1);
            args.erase(at, at + 2);
        } else {
            args.erase(at);
        }
    }
    out.input = std::move(args);
    return out;
}

void FileCommands::loadStartupInput(const std::vector<std::string>& args) {
    if (!args.empty()) {
        const fs::path first = args.front();
        std::error_code ec;
        if (fs::is_regular_file(first, ec) && data::LowerExtension(first.string()) == ".kxs") {
            state_.dialogs.inputOpen = state_.dialogs.inputSave = first.string();
            readInputFile(first.string());
            return;
        }
        if (fs::is_directory(first, ec)) {
            fs::current_path(first, ec);
        }
    }
    if (state_.caption != kAppTitle) {
        return;
    }
    const std::string titled = std::string(kAppTitle) + ".kxs";
    state_.dialogs.inputOpen = state_.dialogs.inputSave = titled;
    std::error_code ec;
    if (fs::is_regular_file(titled, ec)) {
        readInputFile(titled);
        return;
    }
    if (ws_.programPath_.empty()) {
        return;
    }
    const std::string beside = fs::path(ws_.programPath_).replace_extension(".kxs").string();
    if (fs::is_regular_file(beside, ec)) {
        // Silent defaults: read, but keep the plain caption and offer saves
        // under the title's name.
        state_.dialogs.inputOpen = beside;
        readInputFile(beside);
        state_.caption = kAppTitle;
        state_.inputFile.clear();
        state_.dialogs.inputOpen = state_.dialogs.inputSave = titled;
    }
}

namespace {
std::string Absolute(const std::string& path) {
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}
} // namespace

void FileCommands::setCaptionFile(const std::string& path) {
    state_.caption = std::string(kAppTitle) + " - " + Absolute(path);
}

void FileCommands::readInputFile(const std::string& path) {
    data::ReadInputFile(path, ws_.tables_.input);
    state_.dialogs.inputSave = path;
    setCaptionFile(path);
    state_.inputFile = Absolute(path);
    markInputSaved();
    ws_.estimate();
}

bool FileCommands::openInputFile(const std::string& path) {
    if (ws_.busy_) {
        return false;
    }
    const Workspace::EditScope step(ws_, "入力データを開く");
    readInputFile(path);
    state_.dialogs.inputOpen = path;
    return true;
}

std::vector<std::string> FileCommands::inputLines() const {
    return data::InputFileLines(ws_.tables_.input);
}

std::vector<std::string> FileCommands::designLines() const {
    return data::DesignFileLines(ws_.tables_.design, ws_.comment_,
                                 data::MachineNameFromPath(state_.designFile), measuredMassText());
}

void FileCommands::markInputSaved() {
    state_.savedInput = inputLines();
}

void FileCommands::markDesignSaved() {
    state_.savedDesign = designLines();
}

Unsaved FileCommands::unsaved() const {
    return {state_.savedInput != inputLines(), state_.savedDesign != designLines()};
}

Unsaved FileCommands::unsavedBefore(Replacing command) const {
    Unsaved changed = unsaved();
    if (command == Replacing::OpenInput) {
        changed.design = false;
    }
    return changed;
}

std::string FileCommands::saveQuestion(Unsaved which) const {
    const auto named = [](const char* what, const std::string& file) {
        const std::string_view name = data::LastPathComponent(file);
        return std::string(what) + "（" + (name.empty() ? std::string("無題") : std::string(name)) +
               "）";
    };
    std::string changed;
    if (which.input) {
        changed = named("入力データ", state_.inputFile);
    }
    if (which.design) {
        changed += (changed.empty() ? "" : "と") + named("設計データ", state_.designFile);
    }
    return "変更を保存しますか?\n" + changed + "が変更されています。";
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

std::string FileCommands::saveInputFile(const std::string& path) {
    if (ws_.busy_) {
        return {};
    }
    const std::string name = WithDefaultExtension(path, ".kxs");
    data::WriteInputFile(name, ws_.tables_.input);
    state_.dialogs.inputOpen = state_.dialogs.inputSave = name;
    setCaptionFile(name);
    state_.inputFile = Absolute(name);
    markInputSaved();
    return name;
}

std::vector<std::string> FileCommands::unsavableInputCharacters() const {
    return data::UnsavableCharacters(data::InputFileLines(ws_.tables_.input));
}

std::vector<std::string> FileCommands::unsavableDesignCharacters(const std::string& path) const {
    const std::string name = WithDefaultExtension(path, ".kx");
    return data::UnsavableCharacters(data::DesignFileLines(
        ws_.tables_.design, ws_.comment_, data::MachineNameFromPath(name), measuredMassText()));
}

bool FileCommands::readsDropped(const std::vector<std::string>& paths) const {
    std::error_code ec;
    return !ws_.busy_ && !paths.empty() && fs::is_regular_file(paths.front(), ec) &&
           data::LowerExtension(paths.front()) == ".kxs";
}

bool FileCommands::dropFiles(const std::vector<std::string>& paths) {
    if (!readsDropped(paths)) {
        return false;
    }
    const std::string& first = paths.front();
    const Workspace::EditScope step(ws_, "入力データを開く");
    state_.dialogs.inputOpen = state_.dialogs.inputSave = first;
    readInputFile(first);
    return true;
}

std::string FileCommands::exportFlightText(const std::string& path) {
    if (ws_.busy_) {
        return {};
    }
    const std::string name = WithDefaultExtension(path, ".txt");
    sim::WriteFlightText(name, *ws_.record_);
    return name;
}

data::DesignReadResult FileCommands::openDesignFile(const std::string& path) {
    if (ws_.busy_) {
        // Nothing read: the table and the caption stay, and there is nothing to say.
        return {};
    }
    sketchEnabled_ = false;
    const ScopeExit enable([this] { sketchEnabled_ = true; });
    const Workspace::EditScope step(ws_, "KXファイルを開く");
    data::DesignReadResult result = data::ReadDesignFile(path, ws_.tables_.design);
    if (result.status == data::DesignReadStatus::NotADesignFile) {
        return result;
    }
    if (result.hasComment) {
        ws_.comment_ = result.comment;
    }
    // The measured mass belongs to the design just read; one without it
    // must not inherit the previous design's.
    if (result.hasMeasuredMass) {
        state_.measuredMass = result.measuredMass;
    } else {
        state_.measuredMass.reset();
    }
    state_.dialogs.designOpen = path;
    state_.caption = std::string(kAppTitle) + " - " + std::string(data::LastPathComponent(path));
    state_.designFile = Absolute(path);
    ws_.convertToInput();
    // The input data converted from the design is what the design gives:
    // it holds no work of its own until it is edited.
    markDesignSaved();
    markInputSaved();
    return result;
}

std::string FileCommands::measuredMassText() const {
    return state_.measuredMass ? *state_.measuredMass : std::string(data::kDefaultMeasuredMass);
}

std::string FileCommands::saveDesignFile(const std::string& path) {
    if (ws_.busy_) {
        return {};
    }
    const std::string name = WithDefaultExtension(path, ".kx");
    data::WriteDesignFile(name, ws_.tables_.design, ws_.comment_, measuredMassText());
    state_.dialogs.designOpen = state_.dialogs.designSave = name;
    setCaptionFile(name);
    state_.designFile = Absolute(name);
    markDesignSaved();
    return name;
}

bool FileCommands::restoreRecovery(const Recovery& recovery) {
    if (ws_.busy_) {
        return false;
    }
    const Workspace::EditScope step(ws_, "前回の作業を復元");
    ws_.tables_.input = recovery.tables.input;
    ws_.tables_.parameter = recovery.tables.parameter;
    ws_.tables_.design = recovery.tables.design;
    ws_.comment_ = recovery.comment;
    FileState files = recovery.files;
    state_ = std::move(files);
    markInputSaved();
    markDesignSaved();
    if (recovery.unsaved.input) {
        state_.savedInput.reset();
    }
    if (recovery.unsaved.design) {
        state_.savedDesign.reset();
    }
    ws_.computeDesign();
    return true;
}

} // namespace skarvel::app
