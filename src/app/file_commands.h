#pragma once
// The workspace's files: the start-up input data, the input-data and design
// files opened, saved and dropped, and the flight written as text. Each
// command does nothing while a flight runs: the ones returning bool return
// false then, the others return an empty result.

#include "data/design_file.h"

#include <optional>
#include <string>
#include <vector>

namespace skarvel::app {

inline constexpr const char* kAppTitle = "Skarvel";

class Workspace;
struct Recovery;

// Default names the file dialogs offer.
struct DialogFiles {
    std::string inputOpen;
    std::string inputSave;
    std::string designOpen;
    std::string designSave;
    friend bool operator==(const DialogFiles&, const DialogFiles&) = default;
};

// The window's files: its caption, the names the dialogs offer, the file
// each document (the input data, the design) belongs to and what it held
// when it was last opened or saved. Undoing an open gives all of it back.
struct FileState {
    std::string caption = kAppTitle;
    DialogFiles dialogs;
    // The measured mass of the real glider that came with the design, if any.
    std::optional<std::string> measuredMass;
    // The file each document was last opened from or saved to; empty: none.
    std::string inputFile;
    std::string designFile;
    // Each document's file lines as last opened or saved; none: not known
    // (restored after a crash), so the document counts as changed.
    std::optional<std::vector<std::string>> savedInput;
    std::optional<std::vector<std::string>> savedDesign;
    friend bool operator==(const FileState&, const FileState&) = default;
};

// Which documents differ from what was last opened or saved.
struct Unsaved {
    bool input = false;
    bool design = false;
    bool any() const { return input || design; }
};

// The commands that replace what the tables hold, and so ask first.
enum class Replacing { Close, OpenInput, OpenDesign, Reset };

// The program's arguments with "--design FILE" (a double click on a design
// file) taken out: the design is opened after the start-up input data.
struct StartupArguments {
    std::vector<std::string> input;
    std::string design; // empty: none
};
StartupArguments SplitStartupArguments(std::vector<std::string> args);

// The comment as the comment box shows it (line feeds) and as the design
// file keeps it (CR LF).
std::string CommentShown(const std::string& kept);
std::string CommentKept(const std::string& shown);

class FileCommands {
  public:
    explicit FileCommands(Workspace& ws) : ws_(ws) {}

    const FileState& state() const { return state_; }
    // The window's caption: the program's title and the file last read or written.
    const std::string& caption() const { return state_.caption; }
    // The measured mass of the real glider that came with the design, if any.
    const std::optional<std::string>& measuredMass() const { return state_.measuredMass; }

    // The documents that differ from their files; undoing back to what was
    // saved makes them equal again.
    Unsaved unsaved() const;
    // The changed documents a command would replace: opening input data
    // replaces the input data only; opening a design converts it into the
    // input data as well.
    Unsaved unsavedBefore(Replacing command) const;
    // The question before such a command: "変更を保存しますか?" and which
    // documents changed, with their files' names.
    std::string saveQuestion(Unsaved which) const;
    // The design sketch is not drawn while a design file is read.
    bool sketchEnabled() const { return sketchEnabled_; }

    // The start-up input data (first argument or the default files); the
    // window then flies from the input data. A file that cannot be read throws
    // data::FileError after the dialogs' defaults are set.
    void loadStartupInput(const std::vector<std::string>& args);
    // Reads a design file as the open command does and converts it. Returns
    // the outcome with the message the window shows (header or version); a
    // refused file changes nothing. Throws data::FileError for an unreadable file.
    data::DesignReadResult openDesignFile(const std::string& path);
    // Writes the design file (".kx" added when the name has no extension) and
    // returns the name written; throws data::FileError.
    std::string saveDesignFile(const std::string& path);
    // Reads an input-data file as the open command does; throws data::FileError
    // and then changes nothing.
    bool openInputFile(const std::string& path);
    // Writes the input-data file (".kxs" added when the name has no extension)
    // and returns the name written; throws data::FileError.
    std::string saveInputFile(const std::string& path);
    // The characters (at most 10, each once) that Shift-JIS cannot hold and
    // that a save would write as "?".
    std::vector<std::string> unsavableInputCharacters() const;
    std::vector<std::string> unsavableDesignCharacters(const std::string& path) const;
    // Files dropped on the window: the first one is read when it is an
    // existing ".kxs" file. True when it was read.
    bool dropFiles(const std::vector<std::string>& paths);
    // Whether dropFiles would read one of them.
    bool readsDropped(const std::vector<std::string>& paths) const;
    // Writes the flight as text (".txt" added when the name has no
    // extension) and returns the name written; throws data::FileError.
    std::string exportFlightText(const std::string& path);
    // Puts the tables, the comment and the files of a recovery file back as
    // one step; what was unsaved then is unsaved now. False while busy.
    bool restoreRecovery(const Recovery& recovery);

  private:
    void readInputFile(const std::string& path);
    void setCaptionFile(const std::string& path);
    std::string measuredMassText() const;

    std::vector<std::string> inputLines() const;
    std::vector<std::string> designLines() const;
    void markInputSaved();
    void markDesignSaved();

    // The reset forgets the measured mass; an undo puts the state back.
    friend class Workspace;
    friend class EditService;

    Workspace& ws_;
    FileState state_;
    bool sketchEnabled_ = true;
};

} // namespace skarvel::app
