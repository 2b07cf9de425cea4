#pragma once
// The "グラフ" page: five charts of the last flight against time, one shown at a
// time, chosen with flat buttons.

#include <QElapsedTimer>
#include <QWidget>

#include <array>

class QButtonGroup;
class QStackedWidget;

namespace skarvel::sim {
struct FlightSample;
} // namespace skarvel::sim

namespace skarvel::gui {

class Chart;

class ChartPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kCharts = 5;

    explicit ChartPanel(QWidget* parent = nullptr);

    // 0 "概要", 1 "位置", 2 "角度", 3 "速度", 4 "角速度".
    int currentChart() const;
    void showChart(int index);
    Chart* chart(int index) const;

    // Before a run: axes fixed where they are, every series emptied.
    void clearAll();
    // One point per series of every chart at the sample's time; nothing drawn.
    void appendSample(const sim::FlightSample& s, double airspeed);
    // After a run: every chart fitted to its data and drawn.
    void autoScaleAll();
    // Marks chart point k on every chart (the hidden ones are drawn when shown).
    void moveMarker(int k);
    // Draws the visible chart if points came since its last drawing; cheap
    // otherwise, so that a running flight can call it at every display refresh.
    void replotVisibleIfDirty();

  Q_SIGNALS:
    // The mouse moved over chart `chart` at time t (no button, no Shift, Ctrl or Alt).
    void mouseTime(int chart, double t);
    // The user picked the chart `index` with its button.
    void chartShown(int index);

  private:
    void pick(int index);

    QButtonGroup* buttons_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    std::array<Chart*, kCharts> charts_{};
    QElapsedTimer replotClock_;
};

} // namespace skarvel::gui
