#include "gui/window_edits.h"

#include "app/error_text.h"
#include "data/textfile.h"
#include "gui/command_bar.h"
#include "gui/qt_text.h"
#include "gui/window_files.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QListWidget>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>
#include <utility>

namespace skarvel::gui {

WindowEdits::WindowEdits(app::Workspace& ws, Dialogs dialogs, QMainWindow& window,
                         WindowFiles& files, CommandBar& bar,
                         std::function<void(const std::function<void()>&)> guarded)
    : QObject(&window), ws_(ws), dialogs_(std::move(dialogs)), window_(window), files_(files),
      bar_(bar), guarded_(std::move(guarded)),
      keeper_(ws, app::RecoveryFolder(), static_cast<long>(QCoreApplication::applicationPid())) {
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    // Written from the event loop, never inside the key that made the change;
    // a modal dialog's own loop writes it as well.
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { writeRecovery(); });
    files_.setMayReplace([this](app::Replacing command) { return askToSave(command); });
}

WindowEdits::~WindowEdits() {
    delete history_;
}

void WindowEdits::undo() {
    ws_.edits().undo();
}

void WindowEdits::redo() {
    ws_.edits().redo();
}

void WindowEdits::refresh() {
    const auto show = [this](Command id, bool enabled, const std::string& step) {
        const CommandSpec& spec = Spec(id);
        QAction* a = bar_.action(id);
        const QString suffix = step.empty() ? QString() : QStringLiteral(": ") + ToQString(step);
        a->setText(QString::fromUtf8(spec.caption) + suffix);
        a->setToolTip(QString::fromUtf8(spec.hint) + suffix);
        a->setEnabled(enabled);
    };
    app::EditService& edits = ws_.edits();
    show(Command::Undo, edits.canUndo(), edits.undoName());
    show(Command::Redo, edits.canRedo(), edits.redoName());
    window_.setWindowTitle(ToQString(ws_.files().caption()) + QStringLiteral("[*]"));
    window_.setWindowModified(ws_.files().unsaved().any());
    if (history_ != nullptr && history_->isVisible()) {
        fillHistory();
    }
    if (const auto wait = keeper_.due(ws_)) {
        if (wait->count() == 0 || !recoveryTimer_->isActive()) {
            recoveryTimer_->start(static_cast<int>(wait->count()));
        }
    }
}

void WindowEdits::writeRecovery() {
    try {
        keeper_.update(ws_, std::chrono::system_clock::now());
        recoveryFailed_ = false;
    } catch (const std::exception& e) {
        // Said once, in the status bar: never a dialog in the middle of typing.
        if (!recoveryFailed_) {
            recoveryFailed_ = true;
            window_.statusBar()->showMessage(
                QStringLiteral("作業の回復用ファイルを書き込めません: ") +
                ToQString(app::ErrorText(e)));
        }
    }
}

void WindowEdits::closed() {
    recoveryTimer_->stop();
    keeper_.remove();
    if (history_ != nullptr) {
        history_->close();
    }
}

void WindowEdits::showHistory() {
    if (history_ == nullptr) {
        history_ = new QDialog(&window_, Qt::Tool);
        history_->setObjectName(QStringLiteral("EditHistoryWindow"));
        history_->setWindowTitle(QStringLiteral("操作の履歴"));
        historyList_ = new QListWidget(history_);
        historyList_->setObjectName(QStringLiteral("EditHistoryList"));
        auto* layout = new QVBoxLayout(history_);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(historyList_);
        history_->resize(280, 320);
        // A row is the state after its step; the first, the state before all.
        connect(historyList_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            const auto done = static_cast<std::size_t>(historyList_->row(item));
            guarded_([this, done] { ws_.edits().goTo(done); });
        });
    }
    fillHistory();
    history_->show();
    history_->raise();
}

void WindowEdits::fillHistory() {
    const std::vector<std::string> names = ws_.edits().names();
    const std::size_t done = ws_.edits().done();
    const QSignalBlocker block(historyList_);
    historyList_->clear();
    historyList_->addItem(QStringLiteral("（最初の状態）"));
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(ToQString(names[i]), historyList_);
        if (i >= done) {
            item->setForeground(window_.palette().color(QPalette::Disabled, QPalette::Text));
        }
    }
    historyList_->setCurrentRow(static_cast<int>(done));
}

bool WindowEdits::saveInput() {
    return files_.saveInputToItsFile();
}

bool WindowEdits::saveDesign() {
    return files_.saveDesignToItsFile();
}

void WindowEdits::saveChanged() {
    const app::Unsaved unsaved = ws_.files().unsaved();
    if (unsaved.input && !saveInput()) {
        return;
    }
    if (unsaved.design) {
        saveDesign();
    }
    if (!unsaved.any()) {
        window_.statusBar()->showMessage(QStringLiteral("保存されていない変更はありません"), 3000);
    }
}

bool WindowEdits::askToSave(app::Replacing command) {
    const app::Unsaved unsaved = ws_.files().unsavedBefore(command);
    if (!unsaved.any()) {
        return true;
    }
    switch (dialogs_.askSave(&window_, ToQString(ws_.files().saveQuestion(unsaved)))) {
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        return false;
    case SaveAnswer::Save:
        break;
    }
    bool saved = false;
    try {
        saved = (!unsaved.input || saveInput()) && (!unsaved.design || saveDesign());
    } catch (const std::exception& e) {
        dialogs_.error(&window_, ToQString(app::ErrorText(e)));
    }
    refresh();
    return saved;
}

void WindowEdits::offerRestore() {
    const std::vector<std::string> found = app::OrphanRecoveries(app::RecoveryFolder());
    if (found.empty()) {
        return;
    }
    // The newest first; the others wait for a later start.
    const std::string& path = found.front();
    app::Recovery recovery;
    try {
        recovery = app::ReadRecovery(path);
    } catch (const std::exception& e) {
        window_.statusBar()->showMessage(ToQString(app::ErrorText(e)));
        return;
    }
    const RestoreAnswer answer =
        dialogs_.askRestore(&window_, ToQString(app::RestoreQuestion(recovery)));
    bool restored = false;
    if (answer == RestoreAnswer::Restore) {
        guarded_(
            [this, &recovery, &restored] { restored = ws_.files().restoreRecovery(recovery); });
    }
    // The file goes once its tables are back, or when the user says so.
    if (restored || answer == RestoreAnswer::Discard) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
    refresh();
}

} // namespace skarvel::gui
