#pragma once
// The main window: a shell over the workspace. It shows the workspace's
// tables, history and caption, and turns commands, keys, edits and dropped
// files into workspace commands. Its regions, its command bar and the design
// table's choosers are built by classes of their own; the window wires them.

#include "app/workspace.h"
#include "gui/commands.h"
#include "gui/dialogs.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QKeyEvent;
class QPrinter;
class QTimer;

namespace skarvel::gui {

class CommandBar;
class DesignChooser;
class HelpWindow;
class PictureCommands;
class StabilityDialog;
class OptimiseDialog;
class SweepDialog;
class WindowEdits;
class WindowFiles;
class WindowFlightView;
struct KeyMeaning;
struct WindowPages;

class TFormSim : public QMainWindow {
    Q_OBJECT
  public:
    // `args` are the command-line arguments after the program name;
    // `programPath` is the program's own file. The workspace outlives the window.
    TFormSim(app::Workspace& workspace, const QStringList& args, const QString& programPath,
             Dialogs dialogs = Dialogs::Standard(), QWidget* parent = nullptr);
    ~TFormSim() override;

    app::Workspace& workspace() { return ws_; }
    QAction* action(Command id) const;

    // Files dropped from the desktop (the same path as a drop event).
    void dropFiles(const QStringList& paths);

    // The file commands and the picture commands of the command table.
    WindowFiles& files() { return *files_; }
    PictureCommands& pictures() { return *pictures_; }
    // Undo, redo, the list of steps, saving the changes, and the questions
    // before unsaved tables are replaced.
    WindowEdits& edits() { return *edits_; }

    // --- the commands the window carries out itself ---------------------------
    // (The commands of the workspace alone are functions in the command table.)
    // The cutting pattern: a print preview, where paper and printer are
    // chosen, or a PDF or SVG file on a paper size asked for.
    void printPattern();
    void savePattern();
    void exitProgram();
    void resetTables();
    // A flight starts from the event loop, never inside the delivery of the
    // key or click that asked for it.
    void runFromInput();
    void runFromParameters();
    // The analysis of the steady glide, beside the window; its flights are
    // queued as the runs are.
    void showStability();
    // Sweeps of one or two cells, beside the window; the point it asks for
    // is flown as a queued run.
    void showSweep();
    // The optimiser, beside the window; its result is written into the
    // tables as one step and flown as a queued run.
    void showOptimise();
    // Help: the help file beside the program, else the program's own guide.
    void showHelp();
    void showAbout();
    void askHorizontalAngle();
    void askVerticalAngle();
    void playForward();
    void playBackward();
    void askReplayStep();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The command bar, the regions and the parts that work on them.
    void buildParts();
    // The start-up input data, then the design asked for, then the first flight.
    void openStartupFiles(const QStringList& args);
    // A command of the table given from a menu, the tool bar or a key.
    void runCommand(const CommandSpec& spec, bool on);
    // The window's size and place, its splitters and its pages as last
    // left, where they are stored and usable; saved when it closes.
    void restoreLayout();
    void saveLayout() const;
    QString askSaveFile(const QString& title, const QString& filters, const QString& start);
    void connectViews();
    void connectTrajectory();
    void connectMarker();
    // The trajectory view's own events: errors to the error box, no table refresh.
    void guardedView(const std::function<void()>& command);
    // The angle bars and labels to the workspace's view.
    void showViewState();
    // Esc, the page keys and the key map; true when the key is used up.
    bool useKey(QKeyEvent* key);
    void turnPage(int step);
    bool runLetter(Command command);

    // Runs a command: first an open cell editor is committed, then the
    // command runs; errors are shown in the error box; then the views follow.
    void guarded(const std::function<void()>& command);
    // A command with a long loop (a flight): run as guarded() from the event
    // loop, never inside the delivery of the key or click that asked for it.
    void later(std::function<void()> command);
    // Replays move one frame per display refresh.
    void startReplay(bool forward);
    void replayTick();
    void showDesignFailure();
    void refreshViews();
    // The preview's pages: the pattern laid out for the printer as it is set
    // now, or the reason there is none.
    void paintPatternPreview(QPrinter* printer, QWidget* preview);

    app::Workspace& ws_;
    Dialogs dialogs_;
    QString programPath_;
    std::unique_ptr<CommandBar> bar_;
    std::unique_ptr<WindowPages> pages_;
    std::unique_ptr<WindowFlightView> flightView_;
    std::unique_ptr<WindowFiles> files_;
    std::unique_ptr<PictureCommands> pictures_;
    std::unique_ptr<WindowEdits> edits_;
    DesignChooser* chooser_ = nullptr;
    bool keyPreview_ = true;
    enum class StartUpFit { NotAsked, Asked, Done };
    StartUpFit startUpFit_ = StartUpFit::NotAsked;
    bool keyCommand_ = false;    // a command from the key map is running
    bool closed_ = false;        // closed and not shown again
    bool closeAfterRun_ = false; // closing waits for the flight to stop
    bool restoreOffered_ = false;
    QString designFailureShown_; // what the status bar says of the design
    HelpWindow* helpWindow_ = nullptr;
    StabilityDialog* stability_ = nullptr;
    SweepDialog* sweep_ = nullptr;
    OptimiseDialog* optimise_ = nullptr;
    QTimer* replayTimer_ = nullptr;
    // Kept between prints with the paper and printer last chosen.
    std::unique_ptr<QPrinter> printer_;
};

} // namespace skarvel::gui
