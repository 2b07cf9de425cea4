#pragma once
// The design in three views, beside the comment box.

#include "app/gui/drawing_area.h"

namespace skarvel::gui {

class DesignSketch : public DrawingArea {
  public:
    explicit DesignSketch(QWidget* parent = nullptr)
        : DrawingArea(QStringLiteral("DesignSketch"), parent) {}
};

} // namespace skarvel::gui
