#pragma once
// The "グラフ" page: five charts, one shown at a time, chosen with flat buttons.

#include <QWidget>

class QButtonGroup;
class QStackedWidget;

namespace skarvel::gui {

class ChartPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kCharts = 5;

    explicit ChartPanel(QWidget* parent = nullptr);

    // 0 "概要", 1 "位置", 2 "角度", 3 "速度", 4 "角速度".
    int currentChart() const;
    void showChart(int index);

  private:
    QButtonGroup* buttons_ = nullptr;
    QStackedWidget* pages_ = nullptr;
};

} // namespace skarvel::gui
