#pragma once
// The strip beside the views: the speed, altitude, climb and lift bars, the
// three attitude dials, the vertical marker slider and "4秒表示".

#include <QFrame>

class QCheckBox;
class QProgressBar;
class QSlider;

namespace skarvel::gui {

class InstrumentStrip : public QFrame {
    Q_OBJECT
  public:
    explicit InstrumentStrip(QWidget* parent = nullptr);

    QSlider* markerSlider() const { return slider_; }

  private:
    QProgressBar* bars_[4] = {};
    QSlider* slider_ = nullptr;
    QCheckBox* fourSeconds_ = nullptr;
};

} // namespace skarvel::gui
