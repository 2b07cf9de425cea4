#pragma once
// The design in three views, beside the comment box, drawn from the design
// as the last recomputation left it.

#include "app/workspace.h"

#include <QWidget>

namespace skarvel::gui {

class DesignSketch : public QWidget {
  public:
    explicit DesignSketch(const app::Workspace& workspace, QWidget* parent = nullptr);
    // The sketch as drawn at the widget's size.
    QImage picture() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const app::Workspace& ws_;
};

} // namespace skarvel::gui
