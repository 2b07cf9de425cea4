#pragma once
// The main window: a shell over the workspace. It shows the workspace's
// tables, history and caption, and turns commands, keys, edits and dropped
// files into workspace commands.

#include "app/workspace.h"
#include "gui/commands.h"
#include "gui/dialogs.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QPrinter;
class QSplitter;
class QTabWidget;
class QTimer;

namespace skarvel::gui {

class ChartPanel;
class CommentBox;
class PickList;
class StabilityDialog;
class SweepDialog;
class TFormPaper;
class DesignSketch;
class HelpWindow;
class HistoryView;
class InstrumentStrip;
class TableView;
class TrajectoryView;
class WindowFlightView;

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

    TableView* inputTable() const { return inputView_; }
    TableView* parameterTable() const { return parameterView_; }
    TableView* markerTable() const { return markerView_; }
    TableView* designTable() const { return designView_; }
    TableView* computedTable() const { return computedView_; }
    HistoryView* historyList() const { return historyView_; }
    CommentBox* commentBox() const { return comment_; }
    QTabWidget* leftTabs() const { return leftTabs_; }
    QTabWidget* rightTabs() const { return rightTabs_; }
    // The whole window top over bottom; the tables beside the pages; the
    // comment, the sketch and the history side by side.
    QSplitter* mainSplitter() const { return mainSplitter_; }
    QSplitter* topSplitter() const { return topSplitter_; }
    QSplitter* bottomSplitter() const { return bottomSplitter_; }
    // "最近使ったファイル" in the file menu: the files last opened or saved.
    QMenu* recentMenu() const { return recentMenu_; }
    TrajectoryView* trajectoryView() const { return trajectory_; }
    ChartPanel* chartPanel() const { return charts_; }
    InstrumentStrip* instrumentStrip() const { return strip_; }
    PickList* pickList() const { return pickList_; }
    DesignSketch* designSketch() const { return sketch_; }
    HelpWindow* helpWindow() const { return helpWindow_; }
    // Null until the analysis is first asked for.
    StabilityDialog* stabilityDialog() const { return stability_; }
    // Null until a sweep is first asked for.
    SweepDialog* sweepDialog() const { return sweep_; }

    // Files dropped from the desktop (the same path as a drop event).
    void dropFiles(const QStringList& paths);
    // Help: the help file beside the program, else the program's own guide.
    QString helpFile() const;

    // --- the commands the window carries out itself ---------------------------
    // (The commands of the workspace alone are functions in the command table.)
    void openInputFile();
    void saveInputFile();
    void openDesignFile();
    void saveDesignFile();
    // A file of the recent list, opened as the open command of its kind
    // (by extension) opens it.
    void openRecentFile(const QString& path);
    // The cutting pattern: a print preview, where paper and printer are
    // chosen, or a PDF or SVG file on a paper size asked for.
    void printPattern();
    void savePattern();
    void exitProgram();
    void exportFlightText();
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
    void showHelp();
    void showAbout();
    void askHorizontalAngle();
    void askVerticalAngle();
    void playForward();
    void playBackward();
    void askReplayStep();
    void copyWindow();
    void copyChart();
    void saveChart();
    void copyTrajectory();
    void saveTrajectory();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildCommands();
    // The window's own handler of a command the table leaves to it.
    static void (TFormSim::*windowCommand(Command id))();
    void buildMenus();
    // The recent files' entries, a file that no longer exists greyed.
    void fillRecentMenu();
    // An input or design file opened or saved: first in the recent list.
    void rememberFile(const QString& path);
    // The window's size and place, its splitters and its pages as last
    // left, where they are stored and usable; saved when it closes.
    void restoreLayout();
    void saveLayout() const;
    // The file dialogs, starting in the folder last used and remembering
    // the folder of the file chosen. Empty: cancelled.
    QString askOpenFile(const QString& title, const QString& filters, const QString& start);
    QString askSaveFile(const QString& title, const QString& filters, const QString& start);
    void openInputPath(const QString& file);
    void openDesignPath(const QString& file);
    void buildToolBar();
    void buildLayout();
    void connectViews();
    void connectTrajectory();
    void connectMarker();
    void connectDesignTable();
    // A double click, Enter or Space on a design cell: its pick list or the
    // paper dialog.
    void openChooser(int column, int row);
    // The trajectory view's own events: errors to the error box, no table refresh.
    void guardedView(const std::function<void()>& command);
    // The angle bars and labels to the workspace's view.
    void showViewState();
    // The key map: one-letter view and replay commands, Alt+arrows for the
    // angles, Shift+Alt+arrows for the moves. True when the key is used up.
    bool mapKey(QKeyEvent* key);
    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp: the next or the
    // previous page of the tab group holding the focus.
    bool switchPage(QKeyEvent* key);

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
    // Asks before a save that would turn characters into "?"; true: go on.
    bool confirmUnsavable(const std::vector<std::string>& characters);
    // The preview's pages: the pattern laid out for the printer as it is set
    // now, or the reason there is none.
    void paintPatternPreview(QPrinter* printer, QWidget* preview);

    app::Workspace& ws_;
    Dialogs dialogs_;
    QString programPath_;
    std::unique_ptr<WindowFlightView> flightView_;
    std::array<QAction*, kCommandCount> actions_{};
    std::array<QLabel*, LabelCount> labels_{};
    bool keyPreview_ = true;
    enum class StartUpFit { NotAsked, Asked, Done };
    StartUpFit startUpFit_ = StartUpFit::NotAsked;
    bool keyCommand_ = false; // a command from the key map is running
    bool closed_ = false;     // closed and not shown again

    TableView* inputView_ = nullptr;
    TableView* parameterView_ = nullptr;
    TableView* markerView_ = nullptr;
    TableView* designView_ = nullptr;
    TableView* computedView_ = nullptr;
    HistoryView* historyView_ = nullptr;
    CommentBox* comment_ = nullptr;
    QTabWidget* leftTabs_ = nullptr;
    QTabWidget* rightTabs_ = nullptr;
    QString designFailureShown_; // what the status bar says of the design
    QSplitter* mainSplitter_ = nullptr;
    QSplitter* topSplitter_ = nullptr;
    QSplitter* bottomSplitter_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    InstrumentStrip* strip_ = nullptr;
    ChartPanel* charts_ = nullptr;
    TrajectoryView* trajectory_ = nullptr;
    DesignSketch* sketch_ = nullptr;
    HelpWindow* helpWindow_ = nullptr;
    StabilityDialog* stability_ = nullptr;
    SweepDialog* sweep_ = nullptr;
    PickList* pickList_ = nullptr;
    int pickColumn_ = 0;
    int pickRow_ = 0;
    TFormPaper* paper_ = nullptr;
    QTimer* replayTimer_ = nullptr;
    // Kept between prints with the paper and printer last chosen.
    std::unique_ptr<QPrinter> printer_;
};

} // namespace skarvel::gui
