#pragma once
// The strip beside the views: "4秒表示" at the top, the marker track bar
// along the left edge, the three attitude dials (roll, pitch, yaw) and the
// speed, altitude, climb and lift bars.

#include "app/workspace.h"

#include <QFrame>

class QCheckBox;
class QProgressBar;
class QSlider;

namespace skarvel::gui {

class AttitudeDial;

class InstrumentStrip : public QFrame {
    Q_OBJECT
  public:
    explicit InstrumentStrip(const app::Workspace& workspace, QWidget* parent = nullptr);

    QSlider* markerSlider() const { return slider_; }
    QCheckBox* fourSeconds() const { return fourSeconds_; }
    QProgressBar* bar(int index) const { return bars_[index]; }   // V, Z, dZ, CL
    AttitudeDial* dial(int index) const { return dials_[index]; } // roll, pitch, yaw
    // The track bar, the bars and the dials to the workspace's marker.
    void showMarker();

  Q_SIGNALS:
    // The user moved the track bar or ticked "4秒表示".
    void trackMoved(int position);
    void fourSecondsToggled(bool on);

  private:
    const app::Workspace& ws_;
    QProgressBar* bars_[4] = {};
    AttitudeDial* dials_[3] = {};
    QSlider* slider_ = nullptr;
    QCheckBox* fourSeconds_ = nullptr;
};

// One attitude instrument: a 64-pixel square in a lowered frame.
class AttitudeDial : public QFrame {
  public:
    enum Kind { Roll, Pitch, Yaw };
    AttitudeDial(const app::Workspace& workspace, Kind kind, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const app::Workspace& ws_;
    Kind kind_;
};

} // namespace skarvel::gui
