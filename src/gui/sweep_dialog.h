#pragma once
// "スイープ": one or two cells of the tables stepped over a range, one whole
// flight for each point on the sweep's worker threads. The window polls the
// finished rows and shows what app::SweepResults makes of them: the chosen
// figure charted (a line for one variable, a colour map for two), the best
// point marked, the rows listed. A point clicked in the chart or the list is
// flown as a run of the main window.

#include "app/sweep.h"
#include "app/sweep_model.h"
#include "app/workspace.h"
#include "gui/dialogs.h"

#include <QDialog>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableView;
class QTimer;

namespace skarvel::gui {

class Chart;
class ColorMap;
class SweepRowsModel;

// Its widgets are found by their object names: SweepVariable1/2,
// SweepFrom1/2, SweepTo1/2, SweepStep1/2, SweepPoints, SweepStart,
// SweepCancel, SweepProgress, SweepFigure, SweepChart, SweepMap, SweepPoint,
// SweepRows and SweepSaveCsv.
class SweepDialog : public QDialog {
    Q_OBJECT
  public:
    // Flies one point of the grid as a run of the window; the window queues it.
    using FlyRequest = std::function<void(const app::SweepGrid& grid, std::size_t point)>;

    // How often the finished rows are fetched while a sweep runs.
    static constexpr int kPollMs = 100;
    static constexpr int kVariables = 2;

    SweepDialog(app::Workspace& workspace, Dialogs dialogs, FlyRequest fly,
                QWidget* parent = nullptr);

    // The grid the entries describe; nothing when they are refused, and the
    // points label says why.
    const std::optional<app::SweepGrid>& entries() const { return entries_; }
    // Starts a sweep of the entries from the tables as they are now. Nothing
    // while one runs or when the entries are refused.
    void start();
    // The workers stop after their current flights; the rows so far stay.
    void cancel();
    bool running() const { return run_.running(); }
    // Fetches the finished rows and shows them with the progress.
    void poll();
    // Asks for a file and writes the rows as CSV.
    void saveCsv();
    // Asks the window to fly a point of the last sweep's grid.
    void flyPoint(std::size_t point);
    // The last sweep's results.
    const app::SweepResults& results() const { return run_.results(); }

    // Esc, 閉じる and the window's close button alike: the sweep is
    // cancelled, then the window hidden.
    void reject() override;

  private:
    struct Fields {
        QComboBox* name = nullptr;
        QLineEdit* from = nullptr;
        QLineEdit* to = nullptr;
        QLineEdit* step = nullptr;
    };

    QWidget* buildEntries();
    QLayout* buildRun();
    QWidget* buildChart();
    QTableView* buildTable();
    QLayout* buildButtons();
    // The range fields from the chosen cell's present value.
    void prefill(int k);
    void checkEntries();
    void enableButtons();
    void plot(std::size_t first, bool anew, bool bestChanged);
    void showProgress();
    // The point under the mouse, or the current row of the list.
    void describePoint(std::optional<std::size_t> point);

    app::Workspace& ws_;
    Dialogs dialogs_;
    FlyRequest fly_;
    std::optional<app::SweepGrid> entries_;
    app::SweepRun run_;

    std::array<Fields, kVariables> fields_{};
    QLabel* points_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* save_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QStackedWidget* charts_ = nullptr;
    Chart* chart_ = nullptr;
    ColorMap* map_ = nullptr;
    SweepRowsModel* model_ = nullptr;
    QLabel* pointText_ = nullptr;
    QTimer* poll_ = nullptr;
};

} // namespace skarvel::gui
