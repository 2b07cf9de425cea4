#pragma once
// The "軌跡" page: the flight in three dimensions, with the horizontal view
// angle's scroll bar below the image and the vertical one at its right. It
// keeps the two bitmaps the viewport draws on: the flight, and a copy of it
// with the flight cursor on top. What the user does with the mouse and the
// bars goes out as signals.

#include "app/trajectory_surface.h"
#include "app/workspace.h"
#include "gui/painter_canvas.h"

#include <QImage>
#include <QWidget>

class QScrollBar;

namespace skarvel::gui {

class TrajectoryImage;

class TrajectoryView : public QWidget, public app::TrajectorySurface {
    Q_OBJECT
  public:
    explicit TrajectoryView(const app::Workspace& workspace, QWidget* parent = nullptr);
    ~TrajectoryView() override;

    // The picture as shown (without the zoom box).
    QImage picture();
    QWidget* imageArea() const;
    QScrollBar* horizontalAngleBar() const { return barX_; }
    QScrollBar* verticalAngleBar() const { return barY_; }
    // The bars to the workspace's angles, without a change signal.
    void showAngles(int a, int b);

    // app::TrajectorySurface
    view::Canvas& draw(Layer layer, int width, int height) override;
    void drawn() override;

  Q_SIGNALS:
    void imageResized(int width, int height);
    // A bar moved: the horizontal angle a and the vertical angle b.
    void anglesChanged(int a, int b);
    void mousePressed(view::Point p);
    void mouseMoved(view::Point p, bool leftHeld, bool rightHeld);
    void mouseReleased(view::Point p, view::MouseButton button);
    void doubleClicked();

  private:
    friend class TrajectoryImage;
    // The shown picture on the image area, the zoom box over it.
    void paintImage();

    const app::Workspace& ws_;
    PainterCanvas canvas_;
    QImage flight_;
    QImage shown_;
    bool cursorShown_ = false;
    TrajectoryImage* image_ = nullptr;
    QScrollBar* barX_ = nullptr;
    QScrollBar* barY_ = nullptr;
};

} // namespace skarvel::gui
