#pragma once
// The main window: a shell over the workspace. It shows the workspace's
// tables, history and caption, and turns menu commands, keys, edits and
// dropped files into workspace commands.

#include "app/workspace.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;

namespace skarvel::gui {

class HistoryView;
class TableView;

// The questions the window asks the user. Tests replace them.
struct Dialogs {
    // Empty result: cancelled.
    std::function<QString(QWidget*, const QString& title, const QString& filters,
                          const QString& file)>
        openFile;
    std::function<QString(QWidget*, const QString& title, const QString& filters,
                          const QString& file)>
        saveFile;
    std::function<bool(QWidget*, const QString& text)> askYesNo; // information icon
    std::function<void(QWidget*, const QString& text)> warn;     // warning icon, Yes
    std::function<void(QWidget*, const QString& text)> error;    // the standard error box
    std::function<void(QWidget*, const QString& text)> inform;   // information, Yes
    std::function<bool(const QString& path)> openDocument;       // help viewer

    static Dialogs Standard();
};

class TFormSim : public QMainWindow {
    Q_OBJECT
  public:
    // `args` are the command-line arguments after the program name;
    // `programPath` is the program's own file.
    TFormSim(const QStringList& args, const QString& programPath,
             Dialogs dialogs = Dialogs::Standard(), QWidget* parent = nullptr);
    ~TFormSim() override;

    app::Workspace& workspace() { return ws_; }
    // A command by its name ("ActionRunFromInput", ...).
    QAction* action(const QString& name) const;
    QList<QAction*> actions() const;

    TableView* inputTable() const { return inputView_; }
    TableView* parameterTable() const { return parameterView_; }
    TableView* markerTable() const { return markerView_; }
    TableView* designTable() const { return designView_; }
    TableView* computedTable() const { return computedView_; }
    HistoryView* historyList() const { return historyView_; }
    QPlainTextEdit* commentBox() const { return comment_; }

    // Files dropped from the desktop (the same path as a drop event).
    void dropFiles(const QStringList& paths);

    // Help: the help file beside the program, else the program's own guide.
    QString helpFile() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class View;
    QAction* addCommand(const QString& name, const QString& caption, const QString& hint,
                        std::function<void()> run);
    void buildCommands();
    void buildMenus();
    void buildToolBar();
    void buildLayout();

    // Runs a command; errors meant for the user are shown, others swallowed.
    void guarded(const std::function<void()>& command);
    void refreshViews();
    void startUp(const QStringList& args);

    void runFromInput();
    void runFromParameters();
    void openInputFile();
    void saveInputFile();
    void openDesignFile();
    void saveDesignFile();
    void convertToInput();
    void exportFlightText();
    void resetTables();
    void showHelp();
    void showAbout();
    void rerunHistoryRow(int row);
    void setBusyCursor(bool busy);

    app::Workspace ws_;
    Dialogs dialogs_;
    QString programPath_;
    std::unique_ptr<View> view_;
    std::map<QString, QAction*> commands_;
    bool busyCursor_ = false;
    bool keyPreview_ = true;

    TableView* inputView_ = nullptr;
    TableView* parameterView_ = nullptr;
    TableView* markerView_ = nullptr;
    TableView* designView_ = nullptr;
    TableView* computedView_ = nullptr;
    HistoryView* historyView_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
    QTabWidget* leftTabs_ = nullptr;
    QTabWidget* rightTabs_ = nullptr;
    QLabel* replayStepLabel_ = nullptr;
    QLabel* angleHLabel_ = nullptr;
    QLabel* angleVLabel_ = nullptr;
};

// The user-interface font: "ＭＳ Ｐゴシック" where it exists, else an installed
// Japanese font, 12 pixels.
QFont InterfaceFont();

} // namespace skarvel::gui
