#include "gui/form_sim.h"

#include "app/data_files.h"
#include "app/error_text.h"
#include "gui/chart_panel.h"
#include "gui/command_bar.h"
#include "gui/comment_box.h"
#include "gui/design_chooser.h"
#include "gui/design_sketch.h"
#include "gui/flight_view.h"
#include "gui/help_window.h"
#include "gui/history_view.h"
#include "gui/instrument_strip.h"
#include "gui/key_map.h"
#include "gui/optimise_dialog.h"
#include "gui/picture_commands.h"
#include "gui/qt_text.h"
#include "gui/stability_dialog.h"
#include "gui/sweep_dialog.h"
#include "gui/table_view.h"
#include "gui/trajectory_view.h"
#include "gui/window_edits.h"
#include "gui/window_files.h"
#include "gui/window_pages.h"
#include "model/paper_catalogue.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPrinter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include <exception>

// The icons live in a static library: nothing would keep them without a call.
static void LoadIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace skarvel::gui {

namespace {

std::vector<std::string> ToStrings(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& s : list) {
        out.push_back(ToStdString(s));
    }
    return out;
}

} // namespace

TFormSim::TFormSim(app::Workspace& workspace, const QStringList& args, const QString& programPath,
                   Dialogs dialogs, QWidget* parent)
    : QMainWindow(parent), ws_(workspace), dialogs_(std::move(dialogs)), programPath_(programPath) {
    LoadIcons();
    setObjectName(QStringLiteral("TFormSim"));
    setWindowTitle(ToQString(ws_.files().caption()));
    setAcceptDrops(true);
    buildParts();
    connectViews();
    // One replay frame per refresh of a 60 Hz display, so that a replay
    // takes the same time on every machine.
    replayTimer_ = new QTimer(this);
    replayTimer_->setTimerType(Qt::PreciseTimer);
    replayTimer_->setInterval(1000 / 60);
    connect(replayTimer_, &QTimer::timeout, this, [this] { replayTick(); });
    resize(800, 600);
    restoreLayout();
    ws_.setFlightView(flightView_.get());
    ws_.marker().setView(flightView_.get());
    qApp->installEventFilter(this);
    openStartupFiles(args);
}

TFormSim::~TFormSim() {
    qApp->removeEventFilter(this);
    // The dialog goes first: the tables it listens to may still signal.
    delete stability_;
    stability_ = nullptr;
    // Its sweep and its optimisation end with it.
    delete sweep_;
    sweep_ = nullptr;
    delete optimise_;
    optimise_ = nullptr;
    delete chooser_;
    // The regions go after this part of the window is gone; what they signal
    // while they close must not reach it.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
    ws_.setFlightView(nullptr);
    ws_.marker().setView(nullptr);
    ws_.viewport().setSurface(nullptr);
}

void TFormSim::buildParts() {
    bar_ = std::make_unique<CommandBar>(
        *this, ws_.options(), [this](const CommandSpec& spec, bool on) { runCommand(spec, on); },
        [this](const QString& path) { guarded([this, &path] { files_->openRecent(path); }); });
    pages_ = std::make_unique<WindowPages>(ws_);
    ws_.viewport().setSurface(pages_->trajectory);
    // Where the window says what went wrong without stopping the user.
    statusBar()->setSizeGripEnabled(false);
    setCentralWidget(pages_->whole);
    pages_->comment->installEventFilter(this);
    files_ =
        std::make_unique<WindowFiles>(ws_, dialogs_, *this, [this] { bar_->fillRecentMenu(); });
    pictures_ = std::make_unique<PictureCommands>(
        *this, *pages_, [this](const QString& title, const QString& filters) {
            return files_->askSaveFile(title, filters, QString());
        });
    edits_ = std::make_unique<WindowEdits>(
        ws_, dialogs_, *this, *files_, *bar_,
        [this](const std::function<void()>& command) { guarded(command); });
    flightView_ = std::make_unique<WindowFlightView>(
        ws_, *pages_->charts, *pages_->strip, [this] { pages_->marker->tableModel()->refresh(); });
    chooser_ = new DesignChooser(
        ws_, *pages_->design, dialogs_,
        ToQString(app::FindDataFile(ToStdString(programPath_), model::kPaperFileName)),
        [this](const std::function<void()>& command) { guarded(command); }, *this);
}

void TFormSim::openStartupFiles(const QStringList& args) {
    // "--design FILE" (a double click on a design file) opens that design
    // after the start-up input data, as the open command does.
    const app::StartupArguments start = app::SplitStartupArguments(ToStrings(args));
    guarded([this, &start] { ws_.files().loadStartupInput(start.input); });
    if (!start.design.empty()) {
        guarded([this, &start] { files_->openDesignPath(ToQString(start.design)); });
    }
    guarded([this] { ws_.runFromInput(); });
    // What the window starts with is not an edit to undo.
    ws_.edits().clear();
    edits_->refresh();
}

QAction* TFormSim::action(Command id) const {
    return bar_->action(id);
}

void TFormSim::runCommand(const CommandSpec& spec, bool on) {
    guarded([this, &spec, on] {
        const CommandHandler& handler = spec.handler;
        if (handler.option) {
            ws_.setOption(*handler.option, on);
        } else if (handler.run != nullptr) {
            handler.run(ws_);
        } else {
            handler.window(*this);
        }
    });
}

void TFormSim::connectTrajectory() {
    // The first size the image gets is the start-up view's; the start-up
    // flight is then fitted to it.
    // The window is laid out in several passes when it is first shown: the
    // fit waits until they are over.
    connect(pages_->trajectory, &TrajectoryView::imageResized, this, [this](int width, int height) {
        if (startUpFit_ != StartUpFit::Done) {
            ws_.viewport().prepare(width, height);
            if (startUpFit_ == StartUpFit::NotAsked) {
                startUpFit_ = StartUpFit::Asked;
                QTimer::singleShot(0, this, [this] {
                    startUpFit_ = StartUpFit::Done;
                    guarded([this] { ws_.viewport().fitToTrajectory(); });
                });
            }
        } else {
            guardedView([this, width, height] { ws_.viewport().resize(width, height); });
        }
    });
    connect(pages_->trajectory, &TrajectoryView::anglesChanged, this, [this](int a, int b) {
        guardedView([this, a, b] { ws_.viewport().setAngles(a, b); });
    });
    connect(pages_->trajectory, &TrajectoryView::mousePressed, this,
            [this](view::Point p) { ws_.viewport().mousePress(p); });
    connect(pages_->trajectory, &TrajectoryView::mouseMoved, this,
            [this](view::Point p, bool left, bool right) {
                guardedView([this, p, left, right] { ws_.viewport().mouseMove(p, left, right); });
            });
    connect(pages_->trajectory, &TrajectoryView::mouseReleased, this,
            [this](view::Point p, view::MouseButton button) {
                guardedView([this, p, button] { ws_.viewport().mouseRelease(p, button); });
            });
    connect(pages_->trajectory, &TrajectoryView::doubleClicked, this,
            [this] { action(Command::Fit)->trigger(); });
}

void TFormSim::guardedView(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        dialogs_.error(this, ToQString(app::ErrorText(e)));
    }
    showViewState();
}

void TFormSim::showViewState() {
    const view::ViewState& v = ws_.viewport().state();
    pages_->trajectory->showAngles(v.a, v.b);
    bar_->setLabel(AngleXLabel, QString::number(v.a));
    bar_->setLabel(AngleYLabel, QString::number(v.b));
}

void TFormSim::connectMarker() {
    connect(pages_->strip, &InstrumentStrip::trackMoved, this,
            [this](int p) { guardedView([this, p] { ws_.marker().setTrackPosition(p); }); });
    connect(pages_->strip, &InstrumentStrip::fourSecondsToggled, this,
            [this](bool on) { guardedView([this, on] { ws_.marker().setFourSeconds(on); }); });
    // The mouse over a chart reads the flight there: table, bars, dials and
    // the chart's marker, not the track bar.
    connect(pages_->charts, &ChartPanel::mouseTime, this, [this](int, double t) {
        if (ws_.busy()) {
            return;
        }
        guardedView([this, t] { ws_.marker().showMarkerSample(ws_.marker().sampleAtTime(t)); });
    });
    connect(pages_->right, &QTabWidget::currentChanged, this,
            [this](int index) { ws_.marker().setVisiblePage(static_cast<app::Page>(index)); });
    connect(pages_->marker, &TableView::editFinished, this,
            [this](int, int row, bool withEnter, bool) {
                if (withEnter) {
                    guarded([this, row] { ws_.marker().markerCellEntered(row); });
                }
            });
    // Typing the launch previews it on the bars and dials.
    connect(pages_->input, &TableView::textEdited, this, [this](int, int row, const QString& text) {
        guardedView([this, row, &text] { ws_.marker().previewLaunch(row, ToStdString(text)); });
    });
}

void TFormSim::connectViews() {
    connectTrajectory();
    connectMarker();
    connect(pages_->comment, &QPlainTextEdit::textChanged, this, [this] {
        ws_.setComment(app::CommentKept(ToStdString(pages_->comment->toPlainText())));
        edits_->refresh();
    });
    connect(pages_->history, &HistoryView::rerunRequested, this,
            [this](int row) { later([this, row] { ws_.historyCommands().rerun(row); }); });
    connect(pages_->history, &HistoryView::rowSelected, this,
            [this](int row) { guarded([this, row] { ws_.historyCommands().select(row); }); });
    connect(pages_->history, &HistoryView::deleteRequested, this,
            [this] { guarded([this] { ws_.historyCommands().deleteSelected(); }); });
    connect(pages_->history, &HistoryView::clearRequested, this,
            [this] { guarded([this] { ws_.historyCommands().clear(); }); });
    connect(pages_->history, &HistoryView::sortRequested, this, [this](int column) {
        guarded([this, column] { ws_.historyCommands().sort(column); });
    });
    // Every confirmed cell is a step: the undo captions and the title follow.
    for (TableView* table : pages_->tables()) {
        connect(table, &TableView::editFinished, this, [this] { edits_->refresh(); });
    }
    // Enter ends an edit and starts a run: from the input data, from the
    // parameters, or a conversion of a changed design cell.
    connect(pages_->input, &TableView::editFinished, this, [this](int, int, bool withEnter, bool) {
        if (withEnter) {
            guarded([this] { ws_.runFromInput(); });
        }
    });
    connect(pages_->parameter, &TableView::editFinished, this,
            [this](int, int, bool withEnter, bool) {
                if (withEnter) {
                    guarded([this] { ws_.runFromParameters(); });
                }
            });
    connect(pages_->design, &TableView::editFinished, this,
            [this](int, int, bool withEnter, bool changed) {
                if (withEnter && changed) {
                    guarded([this] { ws_.convertToInput(); });
                }
            });
}

void TFormSim::guarded(const std::function<void()>& command) {
    for (TableView* v : pages_->tables()) {
        if (!keyCommand_) {
            v->commitOpenEditor();
        }
    }
    try {
        command();
    } catch (const std::exception& e) {
        dialogs_.error(this, ToQString(app::ErrorText(e)));
    } catch (...) {
        dialogs_.error(this, QStringLiteral("予期しないエラーが発生しました"));
    }
    refreshViews();
    // A close asked for during a flight goes on once it has stopped.
    if (closeAfterRun_ && !ws_.busy()) {
        closeAfterRun_ = false;
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
    }
}

void TFormSim::later(std::function<void()> command) {
    // A flight asked for during a flight is dropped now, as the workspace
    // would drop it; a queued one is dropped with the window if it goes first.
    if (ws_.busy()) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, command = std::move(command)] {
            // A window closed meanwhile starts nothing more.
            if (!closed_) {
                guarded(command);
            }
        },
        Qt::QueuedConnection);
}

void TFormSim::startReplay(bool forward) {
    if (!closed_ && ws_.marker().startReplay(forward)) {
        flightView_->setBusyCursor(true);
        replayTimer_->start();
        replayTick();
    }
}

void TFormSim::replayTick() {
    bool more = false;
    try {
        more = ws_.marker().replayFrame();
    } catch (const std::exception& e) {
        ws_.requestStop();
        more = ws_.marker().replayFrame();
        dialogs_.error(this, ToQString(app::ErrorText(e)));
    }
    if (!more) {
        replayTimer_->stop();
        flightView_->setBusyCursor(false);
    }
}

void TFormSim::refreshViews() {
    for (TableView* v : pages_->tables()) {
        v->tableModel()->refresh();
    }
    pages_->history->refresh();
    edits_->refresh();
    showDesignFailure();
    pages_->sketch->update();
    showViewState();
    pages_->strip->showMarker();
    bar_->setLabel(ReplayStepLabel, ToQString(ws_.marker().replayStepText()));
    CommentBox* comment = pages_->comment;
    if (app::CommentKept(ToStdString(comment->toPlainText())) != ws_.comment()) {
        const QSignalBlocker block(comment);
        comment->setPlainText(ToQString(app::CommentShown(ws_.comment())));
    }
}

void TFormSim::showDesignFailure() {
    // Said without a dialog, until a computation succeeds: in the status
    // bar and by a mark on the page of the computed data.
    const QString failure = ToQString(ws_.designFailure());
    if (failure == designFailureShown_) {
        return;
    }
    designFailureShown_ = failure;
    if (failure.isEmpty()) {
        statusBar()->clearMessage();
    } else {
        statusBar()->showMessage(failure);
    }
    pages_->markDesignFailure(failure);
}

void TFormSim::dropFiles(const QStringList& paths) {
    guarded([this, paths] {
        if (ws_.files().readsDropped(ToStrings(paths)) &&
            !edits_->askToSave(app::Replacing::OpenInput)) {
            return;
        }
        if (ws_.files().dropFiles(ToStrings(paths))) {
            files_->remember(paths.front());
        }
    });
}

void TFormSim::closeEvent(QCloseEvent* event) {
    // A running flight ends at its next whole second, and the window closes
    // after it; a replay ends at once, and a flight asked for but not started
    // yet does not start. Unsaved changes are asked about first.
    if (ws_.busy()) {
        ws_.requestStop();
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    if (!edits_->askToSave(app::Replacing::Close)) {
        event->ignore();
        return;
    }
    edits_->closed();
    closed_ = true;
    saveLayout();
    ws_.requestStop();
    replayTick();
    if (helpWindow_ != nullptr) {
        helpWindow_->close();
    }
    if (stability_ != nullptr) {
        stability_->close();
    }
    if (sweep_ != nullptr) {
        sweep_->close();
    }
    if (optimise_ != nullptr) {
        optimise_->close();
    }
    event->accept();
}

void TFormSim::showEvent(QShowEvent* event) {
    closed_ = false;
    QMainWindow::showEvent(event);
    if (!restoreOffered_) {
        restoreOffered_ = true;
        QTimer::singleShot(0, edits_.get(), [this] { edits_->offerRestore(); });
    }
}

void TFormSim::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TFormSim::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths.append(url.toLocalFile());
        }
    }
    event->acceptProposedAction();
    dropFiles(paths);
}

bool TFormSim::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pages_->comment) {
        if (event->type() == QEvent::FocusIn) {
            keyPreview_ = false;
        } else if (event->type() == QEvent::FocusOut) {
            keyPreview_ = true;
            ws_.edits().endBurst();
        } else if (event->type() == QEvent::ShortcutOverride &&
                   IsUndoKey(static_cast<QKeyEvent*>(event)->key(),
                             static_cast<QKeyEvent*>(event)->modifiers())) {
            // The window's undo, not the box's own: its typing is a step.
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && keyPreview_) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // A key the focused control leaves goes on to its parents: it is
        // looked at once, where it arrives first.
        QWidget* first = QApplication::focusWidget();
        if (widget != nullptr && widget->window() == this &&
            (first == nullptr || widget == first) && useKey(static_cast<QKeyEvent*>(event))) {
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace skarvel::gui
