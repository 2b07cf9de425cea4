#pragma once
// The window's file commands with the questions they ask: file dialogs that
// start in the folder last used, the question before a save that would turn
// characters into "?", what a design file's reading has to say, and the
// recent files of the file menu.

#include "app/workspace.h"
#include "gui/dialogs.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace skarvel::gui {

class WindowFiles {
  public:
    // Dialogs open over `window`; `recentChanged` is called when a file
    // became the first of the recent list.
    WindowFiles(app::Workspace& ws, Dialogs dialogs, QWidget& window,
                std::function<void()> recentChanged);

    // The open commands ask `mayReplace` first (unsaved changes); the save
    // commands return whether they saved.
    void openInput();
    bool saveInput();
    void openDesign();
    bool saveDesign();
    // Each document saved to its own file, as a save under that name; the
    // name is asked where it has none. True when saved.
    bool saveInputToItsFile();
    bool saveDesignToItsFile();
    // Asked before a command replaces tables with unsaved changes; true: go on.
    void setMayReplace(std::function<bool(app::Replacing)> mayReplace) {
        mayReplace_ = std::move(mayReplace);
    }
    void exportFlightText();
    // A file of the recent list, opened as the open command of its kind
    // (by extension) opens it.
    void openRecent(const QString& path);
    // A design file read as the open command reads it, without a dialog.
    void openDesignPath(const QString& file);
    // An input or design file opened, saved or dropped: first in the recent list.
    void remember(const QString& path);
    // The file dialogs, starting in the folder last used and remembering
    // the folder of the file chosen. Empty: cancelled.
    QString askOpenFile(const QString& title, const QString& filters, const QString& start);
    QString askSaveFile(const QString& title, const QString& filters, const QString& start);

  private:
    void openInputPath(const QString& file);
    bool writeInput(const QString& file);
    bool writeDesign(const QString& file);
    // Asks before a save that would turn characters into "?"; true: go on.
    bool confirmUnsavable(const std::vector<std::string>& characters);

    app::Workspace& ws_;
    Dialogs dialogs_;
    QWidget& window_;
    std::function<void()> recentChanged_;
    std::function<bool(app::Replacing)> mayReplace_ = [](app::Replacing) { return true; };
};

} // namespace skarvel::gui
