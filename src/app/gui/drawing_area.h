#pragma once
// A framed area in the window's background colour that a view draws into.

#include <QFrame>

namespace skarvel::gui {

class DrawingArea : public QFrame {
  public:
    explicit DrawingArea(const QString& name, QWidget* parent = nullptr) : QFrame(parent) {
        setObjectName(name);
        setFrameStyle(QFrame::StyledPanel);
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
    }
};

} // namespace skarvel::gui
