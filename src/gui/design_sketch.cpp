#include "gui/design_sketch.h"

#include "gui/painter_canvas.h"
#include "view/sketch.h"

#include <QImage>
#include <QPainter>

namespace skarvel::gui {

DesignSketch::DesignSketch(const app::Workspace& workspace, QWidget* parent)
    : QWidget(parent), ws_(workspace) {
    setObjectName(QStringLiteral("DesignSketch"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage DesignSketch::picture() const {
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    PainterCanvas canvas(palette());
    canvas.begin(image);
    // A drawing that fails part way keeps what it drew; the area was filled first.
    view::DrawDesignSketch(canvas, width(), height(), ws_.aircraft(), ws_.files().sketchEnabled());
    canvas.end();
    return image;
}

void DesignSketch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture());
}

} // namespace skarvel::gui
