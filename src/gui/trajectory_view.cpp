#include "gui/trajectory_view.h"

#include "view/zoom_box.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>

namespace skarvel::gui {

namespace {

view::Point PointOf(const QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    return {p.x(), p.y()};
}

view::MouseButton ButtonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return view::MouseButton::Left;
    case Qt::RightButton:
        return view::MouseButton::Right;
    default:
        return view::MouseButton::Other;
    }
}

} // namespace

// The image itself: paints the shown picture and the zoom box, and passes the
// mouse on.
class TrajectoryImage : public QWidget {
  public:
    explicit TrajectoryImage(TrajectoryView& view) : view_(view) {
        setObjectName(QStringLiteral("TrajectoryImage"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        setMinimumSize(40, 40);
    }

  protected:
    void paintEvent(QPaintEvent*) override { view_.paintImage(); }
    void resizeEvent(QResizeEvent* e) override {
        Q_EMIT view_.imageResized(e->size().width(), e->size().height());
    }
    void mousePressEvent(QMouseEvent* e) override { Q_EMIT view_.mousePressed(PointOf(e)); }
    void mouseMoveEvent(QMouseEvent* e) override {
        Q_EMIT view_.mouseMoved(PointOf(e), (e->buttons() & Qt::LeftButton) != 0,
                                (e->buttons() & Qt::RightButton) != 0);
        if (e->buttons() & Qt::LeftButton) {
            update(); // the zoom box
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        Q_EMIT view_.mouseReleased(PointOf(e), ButtonOf(e->button()));
        update();
    }
    void mouseDoubleClickEvent(QMouseEvent*) override { Q_EMIT view_.doubleClicked(); }

  private:
    TrajectoryView& view_;
};

TrajectoryView::TrajectoryView(const app::Workspace& workspace, QWidget* parent)
    : QWidget(parent), ws_(workspace), canvas_(palette()) {
    setObjectName(QStringLiteral("TrajectoryView"));
    image_ = new TrajectoryImage(*this);
    barX_ = new QScrollBar(Qt::Horizontal);
    barX_->setObjectName(QStringLiteral("ScrollBarX"));
    barX_->setRange(-180, 180);
    barX_->setSingleStep(2);
    barX_->setPageStep(10);
    barY_ = new QScrollBar(Qt::Vertical);
    barY_->setObjectName(QStringLiteral("ScrollBarY"));
    barY_->setRange(-90, 0);
    barY_->setSingleStep(1);
    barY_->setPageStep(5);
    showAngles(0, 20);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(image_, 0, 0);
    grid->addWidget(barY_, 0, 1);
    grid->addWidget(barX_, 1, 0);
    const auto changed = [this] { Q_EMIT anglesChanged(barX_->value(), -barY_->value()); };
    connect(barX_, &QScrollBar::valueChanged, this, changed);
    connect(barY_, &QScrollBar::valueChanged, this, changed);
}

TrajectoryView::~TrajectoryView() {
    canvas_.end();
}

QWidget* TrajectoryView::imageArea() const {
    return image_;
}

void TrajectoryView::showAngles(int a, int b) {
    const QSignalBlocker blockX(barX_);
    const QSignalBlocker blockY(barY_);
    barX_->setValue(a);
    barY_->setValue(-b);
    barX_->setToolTip(QString::number(a));
    barY_->setToolTip(QString::number(b));
}

QImage TrajectoryView::picture() {
    canvas_.end();
    return cursorShown_ ? shown_ : flight_;
}

view::Canvas& TrajectoryView::draw(Layer layer, int width, int height) {
    canvas_.end();
    switch (layer) {
    case Layer::NewFlight:
        if (flight_.width() != width || flight_.height() != height) {
            flight_ =
                width > 0 && height > 0 ? QImage(width, height, QImage::Format_RGB32) : QImage();
        }
        [[fallthrough]];
    case Layer::Flight:
        cursorShown_ = false;
        canvas_.begin(flight_);
        return canvas_;
    case Layer::Cursor:
        break;
    }
    // The cursor is drawn on a copy, so that the flight stays as it was.
    shown_ = flight_;
    cursorShown_ = true;
    canvas_.begin(shown_);
    return canvas_;
}

void TrajectoryView::drawn() {
    canvas_.end();
    image_->update();
}

void TrajectoryView::paintImage() {
    // Drawing the picture while a painter is open on it would copy it on the
    // next stroke: the painter closes first.
    canvas_.end();
    {
        QPainter painter(image_);
        painter.fillRect(image_->rect(), palette().color(QPalette::Base));
        painter.drawImage(0, 0, cursorShown_ ? shown_ : flight_);
    }
    // The zoom box lies over the picture, never in it.
    if (const view::MouseGesture& mouse = ws_.viewport().mouse(); mouse.boxShown()) {
        PainterCanvas overlay(palette());
        overlay.begin(*image_);
        view::DrawZoomBox(overlay, mouse.box());
    }
}

} // namespace skarvel::gui
