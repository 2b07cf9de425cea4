#include "app/gui/design_sketch.h"

namespace skarvel::gui {

DesignSketch::DesignSketch(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("DesignSketch"));
    setFrameStyle(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

} // namespace skarvel::gui
