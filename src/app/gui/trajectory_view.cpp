#include "app/gui/trajectory_view.h"

namespace skarvel::gui {

TrajectoryView::TrajectoryView(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("TrajectoryView"));
    setFrameStyle(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

} // namespace skarvel::gui
