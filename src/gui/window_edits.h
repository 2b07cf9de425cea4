#pragma once
// The window's side of the edit history and of unsaved work: the undo and
// redo commands with the step they would take, the list of steps, the
// modified mark in the title, the question before a command replaces
// unsaved tables, saving the changed documents, and the recovery file
// written for a crash and offered again by the next window. The history,
// what is unsaved and what the recovery file holds are the workspace's;
// this only shows them and asks.

#include "app/recovery.h"
#include "app/workspace.h"
#include "gui/dialogs.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QDialog;
class QListWidget;
class QMainWindow;
class QTimer;

namespace skarvel::gui {

class CommandBar;
class WindowFiles;

class WindowEdits : public QObject {
  public:
    // `guarded` runs a command as the window runs its commands.
    WindowEdits(app::Workspace& ws, Dialogs dialogs, QMainWindow& window, WindowFiles& files,
                CommandBar& bar, std::function<void(const std::function<void()>&)> guarded);
    ~WindowEdits() override;

    void undo();
    void redo();
    // "操作の履歴": every step, the current one marked; a click goes there.
    void showHistory();
    // "上書き保存": each changed document to its file, a name asked only
    // where it has none.
    void saveChanged();
    // Before a command replaces unsaved tables: "変更を保存しますか?". True
    // when the command may go on (saved, or not to be saved).
    bool askToSave(app::Replacing command);

    // After every command and edit: the captions of undo and redo, the
    // title and its modified mark, the list, and the recovery file's timer.
    void refresh();
    // Once the window is shown: the restore of a window that ended without
    // closing, offered in a window of its own.
    void offerRestore();
    // A clean close: the recovery file goes.
    void closed();

  private:
    bool saveInput();
    bool saveDesign();
    void writeRecovery();
    void fillHistory();

    app::Workspace& ws_;
    Dialogs dialogs_;
    QMainWindow& window_;
    WindowFiles& files_;
    CommandBar& bar_;
    std::function<void(const std::function<void()>&)> guarded_;
    app::RecoveryKeeper keeper_;
    QTimer* recoveryTimer_ = nullptr;
    bool recoveryFailed_ = false;
    QDialog* history_ = nullptr;
    QListWidget* historyList_ = nullptr;
};

} // namespace skarvel::gui
