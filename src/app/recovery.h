#pragma once
// Recovery after a crash or a kill: a window with unsaved tables writes them
// (at most 30 s after a change, at once after a design recomputation) to a
// file of its own, recovery-PID.txt in $XDG_STATE_HOME/skarvel (by default
// ~/.local/state/skarvel), removed when nothing is unsaved any more or the
// window closes cleanly. A window that starts and finds the file of a
// window that no longer runs offers to put its tables back.
//
// The file is UTF-8 text, one item per line, tab-separated, with tab, line
// feed, carriage return and backslash in texts written as \t, \n, \r and \\:
//   Skarvel recovery 1
//   written  2026-12-08 08:12:33          (local time)
//   caption / input-file / design-file / input-open / input-save /
//   design-open / design-save / measured-mass   TEXT  (the files' state)
//   input-unsaved / design-unsaved   0|1
//   comment  TEXT
//   table  input|parameter|design  COLUMNS  ROWS, then ROWS lines of cells

#include "app/file_commands.h"
#include "data/tables.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace skarvel::app {

class Workspace;

// $XDG_STATE_HOME/skarvel when that is an absolute path, else
// $HOME/.local/state/skarvel; empty when neither can be found.
std::filesystem::path RecoveryFolder();

// What a recovery file holds.
struct Recovery {
    std::string written; // local time, "2026-12-08 08:12:33"
    FileState files;     // without the saved lines
    Unsaved unsaved;
    std::string comment;
    data::Tables tables; // input, parameter and design data
};

// The recovery file's text for the workspace as it is now.
std::string RecoveryText(const Workspace& ws, const std::string& written);
// Reads a recovery file; throws data::FileError naming what is wrong.
Recovery ReadRecovery(const std::string& path);

// The recovery files in `folder` whose windows no longer run (not this
// process's own), the newest first.
std::vector<std::string> OrphanRecoveries(const std::filesystem::path& folder);

// The question a starting window asks: "前回の作業を復元しますか?", when the
// file was written and which files its tables belonged to.
std::string RestoreQuestion(const Recovery& recovery);

// The local time as a recovery file says it.
std::string LocalTimeText(std::chrono::system_clock::time_point t);

// One window's recovery file: when it is due and writing or removing it.
class RecoveryKeeper {
  public:
    static constexpr std::chrono::milliseconds kMaxDelay{30000};

    // For the window of `ws`, whose tables are as opened; `folder` empty:
    // nothing is ever written.
    RecoveryKeeper(const Workspace& ws, std::filesystem::path folder, long pid);
    ~RecoveryKeeper();
    RecoveryKeeper(const RecoveryKeeper&) = delete;
    RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

    const std::string& path() const { return path_; }
    // How long the window may wait before calling update() for the
    // workspace as it is now: none when the file is up to date, 0 after a
    // design recomputation or when the file is to go, else kMaxDelay (a
    // window keeps a wait already running).
    std::optional<std::chrono::milliseconds> due(const Workspace& ws) const;
    // Writes the file when something is unsaved, removes it when nothing
    // is. Throws data::FileError when it cannot be written.
    void update(const Workspace& ws, std::chrono::system_clock::time_point now);
    // A clean close: the file goes.
    void remove();

  private:
    std::filesystem::path folder_;
    std::string path_;
    bool exists_ = false;
    // The workspace as last written (or as it started).
    std::uint64_t revision_ = 0;
    const void* model_ = nullptr;
    Unsaved unsaved_;
};

} // namespace skarvel::app
