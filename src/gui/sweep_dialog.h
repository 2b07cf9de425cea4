#pragma once
// "スイープ": one or two cells of the tables stepped over a range, one whole
// flight for each point on the sweep's worker threads. The window polls the
// finished rows, charts the chosen figure (a line for one variable, a colour
// map for two), marks the best point and lists the rows. A point clicked in
// the chart or the list is flown as a run of the main window.

#include "app/sweep.h"
#include "app/workspace.h"
#include "gui/dialogs.h"

#include <QDialog>
#include <QPoint>

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableView;
class QTimer;

namespace skarvel::gui {

class Chart;
class ColorMap;
class SweepResultModel;

class SweepDialog : public QDialog {
    Q_OBJECT
  public:
    // Flies one point of the grid as a run of the window; the window queues it.
    using FlyRequest = std::function<void(const app::SweepGrid& grid, std::size_t point)>;

    // How often the finished rows are fetched while a sweep runs.
    static constexpr int kPollMs = 100;
    // The most points this window sweeps; the command line takes more.
    static constexpr std::size_t kMaxPoints = 100'000;
    static constexpr int kVariables = 2;

    SweepDialog(app::Workspace& workspace, Dialogs dialogs, FlyRequest fly,
                QWidget* parent = nullptr);
    ~SweepDialog() override;

    // The grid the entries describe; nothing when they are refused, and the
    // message says why.
    const std::optional<app::SweepGrid>& entries() const { return entries_; }
    // Starts a sweep of the entries from the tables as they are now. Nothing
    // while one runs or when the entries are refused.
    void start();
    // The workers stop after their current flights; the rows so far stay.
    void cancel();
    bool running() const { return sweep_ != nullptr; }
    // Fetches the finished rows and shows them with the progress.
    void poll();
    // Asks for a file and writes the rows as CSV.
    void saveCsv();
    // Asks the window to fly a point of the last sweep's grid.
    void flyPoint(std::size_t point);

    // The results of the last sweep, in grid order.
    const std::vector<app::SweepRow>& rows() const { return rows_; }
    const std::optional<app::SweepGrid>& grid() const { return grid_; }
    // The figure charted (an index of sim::kSummaryCaptions) and its best row.
    int figure() const;
    std::optional<std::size_t> bestRow() const { return best_; }

    QComboBox* variableBox(int k) const { return fields_[std::size_t(k)].name; }
    QLineEdit* fromEdit(int k) const { return fields_[std::size_t(k)].from; }
    QLineEdit* toEdit(int k) const { return fields_[std::size_t(k)].to; }
    QLineEdit* stepEdit(int k) const { return fields_[std::size_t(k)].step; }
    QLabel* pointsLabel() const { return points_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* saveButton() const { return save_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* progressLabel() const { return progressText_; }
    QComboBox* figureBox() const { return figureBox_; }
    Chart* chart() const { return chart_; }
    ColorMap* colorMap() const { return map_; }
    // The chart of the last sweep: the line or the colour map.
    QWidget* shownChart() const;
    QTableView* resultTable() const { return table_; }
    QLabel* pointLabel() const { return pointText_; }

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

    // The range fields from the chosen cell's present value.
    void prefill(int k);
    void checkEntries();
    void enableButtons();
    // The rows so far into the chart, the figure or the grid new.
    void plotAll();
    void plotRows(std::size_t first);
    void scaleChart();
    void findBest(std::size_t first);
    void showBest();
    void showProgress();
    // The point under the mouse, or the current row of the list.
    void describePoint(std::optional<std::size_t> point);
    // The point of the line drawn at (or within a few pixels of) a chart
    // pixel; none between the points and on a colour map.
    std::optional<std::size_t> clickedPoint(QPoint pixel) const;
    // The grid's varied variables with more than one value (at most two).
    std::vector<int> axes() const;

    app::Workspace& ws_;
    Dialogs dialogs_;
    FlyRequest fly_;
    std::optional<app::SweepGrid> entries_;
    std::optional<app::SweepGrid> grid_; // of the sweep shown
    std::unique_ptr<app::Sweep> sweep_;
    std::vector<app::SweepRow> rows_;
    std::vector<std::vector<double>> numbers_; // each variable's values of grid_
    std::optional<std::size_t> best_;
    bool cancelled_ = false;

    std::array<Fields, kVariables> fields_{};
    QLabel* points_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* save_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QComboBox* figureBox_ = nullptr;
    QStackedWidget* charts_ = nullptr;
    Chart* chart_ = nullptr;
    ColorMap* map_ = nullptr;
    QTableView* table_ = nullptr;
    SweepResultModel* model_ = nullptr;
    QLabel* pointText_ = nullptr;
    QTimer* poll_ = nullptr;
};

} // namespace skarvel::gui
