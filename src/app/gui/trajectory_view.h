#pragma once
// The "軌跡" page: the flight in three dimensions.

#include "app/gui/drawing_area.h"

namespace skarvel::gui {

class TrajectoryView : public DrawingArea {
  public:
    explicit TrajectoryView(QWidget* parent = nullptr)
        : DrawingArea(QStringLiteral("TrajectoryView"), parent) {}
};

} // namespace skarvel::gui
