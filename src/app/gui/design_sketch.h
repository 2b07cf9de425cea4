#pragma once
// The design in three views, beside the comment box.

#include <QFrame>

namespace skarvel::gui {

class DesignSketch : public QFrame {
    Q_OBJECT
  public:
    explicit DesignSketch(QWidget* parent = nullptr);
};

} // namespace skarvel::gui
