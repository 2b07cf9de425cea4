#pragma once
// The "軌跡" page: the flight in three dimensions.

#include <QFrame>

namespace skarvel::gui {

class TrajectoryView : public QFrame {
    Q_OBJECT
  public:
    explicit TrajectoryView(QWidget* parent = nullptr);
};

} // namespace skarvel::gui
