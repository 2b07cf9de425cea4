#pragma once
// "最適化": the figure to make best, up to three cells with their ranges, the
// requirements and the number of evaluations; the optimisation runs on a
// thread of its own while the window stays usable, its best value drawn
// against the evaluations; 中止 stops it with the best so far, and 適用 writes
// the best values into the tables as one undo step and flies them.

#include "app/optimise_model.h"
#include "app/workspace.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace skarvel::gui {

class Chart;

class OptimiseDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kPollMs = 100;
    static constexpr int kVariables = 3;
    // Writes the result into the tables and flies it; the window queues the flight.
    using ApplyRequest =
        std::function<void(const app::OptimiseOptions& options, const app::OptimiseResult& result)>;

    OptimiseDialog(app::Workspace& workspace, ApplyRequest apply, QWidget* parent = nullptr);
    ~OptimiseDialog() override;

    // Starts an optimisation of the entries from the tables as they are now;
    // the result label says why when the entries are refused.
    void start();
    void cancel();
    bool running() const;
    const app::OptimiseJob* job() const { return job_.get(); }
    QLabel* resultLabel() const { return result_; }
    Chart* chart() const { return chart_; }
    QComboBox* figureBox() const { return figure_; }
    QComboBox* variableBox(int i) const { return variables_[static_cast<std::size_t>(i)].name; }
    QPushButton* applyButton() const { return apply_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct VariableRow {
        QComboBox* name = nullptr;
        QLineEdit* from = nullptr;
        QLineEdit* to = nullptr;
    };
    app::OptimiseEntries entries() const;
    void poll();
    void enableButtons();

    app::Workspace& ws_;
    ApplyRequest applyRequest_;
    QComboBox* figure_ = nullptr;
    QComboBox* direction_ = nullptr;
    std::array<VariableRow, kVariables> variables_;
    QCheckBox* stable_ = nullptr;
    QCheckBox* unstalled_ = nullptr;
    QCheckBox* margin_ = nullptr;
    QLineEdit* marginText_ = nullptr;
    QLineEdit* budget_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* apply_ = nullptr;
    QLabel* result_ = nullptr;
    Chart* chart_ = nullptr;
    QTimer* poll_ = nullptr;
    std::unique_ptr<app::OptimiseJob> job_;
};

} // namespace skarvel::gui
