#pragma once
// "安定解析": the steady glide of the input data, its static margin, the
// modes about it and the glide polar, recomputed a moment after the tables
// change. The two buttons ask the window for a flight from the steady glide.
// A second page, "調整の目安", shows the safe range of each setting a builder
// changes, computed when that page is shown.

#include "app/stability_view.h"
#include "app/workspace.h"

#include <QDialog>

#include <cstddef>
#include <functional>
#include <optional>

class QLabel;
class QTabWidget;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QTimer;

namespace skarvel::gui {

class AdvicePage;
class Chart;

class StabilityDialog : public QDialog {
    Q_OBJECT
  public:
    // `fly` starts a flight from the steady glide, with the mode at that
    // index of the analysis excited when one is given; the window queues it.
    using FlyRequest = std::function<void(std::optional<std::size_t> mode)>;

    // The time the tables must stay unchanged before the analysis is redone.
    static constexpr int kSettleMs = 200;

    // `edit` runs a change of the tables as the window runs its commands.
    using EditRequest = std::function<void(const std::function<void()>&)>;

    StabilityDialog(app::Workspace& workspace, FlyRequest fly, EditRequest edit = {},
                    QWidget* parent = nullptr);
    ~StabilityDialog() override;

    // The tables changed: the analysis is redone once they have stayed
    // unchanged for kSettleMs, or when the dialog is next shown.
    void tablesChanged();
    // Redoes the analysis now.
    void recompute();
    bool recomputePending() const;

    const sim::StabilityAnalysis& analysis() const { return analysis_; }
    QTableWidget* trimTable() const { return trimTable_; }
    QTableWidget* modeTable() const { return modeTable_; }
    QLabel* message() const { return message_; }
    QLabel* marginLabel() const { return margin_; }
    Chart* rootChart() const { return roots_; }
    Chart* sinkChart() const { return sink_; }
    Chart* ratioChart() const { return ratio_; }
    QPushButton* flyButton() const { return flyTrim_; }
    QPushButton* exciteButton() const { return flyMode_; }
    QLabel* polarNote() const { return polarNote_; }
    // Where the launch settles, and the steady glides found.
    QLabel* settling() const { return settling_; }
    QLabel* flyNote() const { return flyNote_; }
    QTabWidget* pages() const { return pages_; }
    AdvicePage* advicePage() const { return advicePage_; }
    const app::Advice& advice() const { return advice_; }

    // A flight from the trim has written the launch rows: says which.
    void launchRowsWritten();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void showTrim(const app::StabilityView& view);
    void showModes(const app::StabilityView& view);
    void enableButtons();
    // The advice page, computed now when it is shown, else when it next is.
    void refreshAdvice();

    app::Workspace& ws_;
    FlyRequest fly_;
    EditRequest edit_;
    sim::StabilityAnalysis analysis_;
    app::Advice advice_;
    bool adviceStale_ = true;
    QTabWidget* pages_ = nullptr;
    AdvicePage* advicePage_ = nullptr;
    bool stale_ = true; // the tables changed while the dialog was hidden
    QTimer* settle_ = nullptr;
    QStackedWidget* trimStack_ = nullptr; // the trim table or the message
    QTableWidget* trimTable_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* margin_ = nullptr;
    QLabel* marginNote_ = nullptr;
    QLabel* settling_ = nullptr;
    QTableWidget* modeTable_ = nullptr;
    Chart* roots_ = nullptr;
    Chart* sink_ = nullptr;
    Chart* ratio_ = nullptr;
    QPushButton* flyTrim_ = nullptr;
    QPushButton* flyMode_ = nullptr;
    QLabel* polarNote_ = nullptr;
    QLabel* flyNote_ = nullptr;
};

} // namespace skarvel::gui
