#include "gui/picture_export.h"

#include "gui/chart.h"
#include "gui/metafile_device.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <stdexcept>

namespace skarvel::gui {

QByteArray BitmapBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
    return bytes;
}

QByteArray ChartPicture(Chart& chart, picture::Medium medium) {
    const QSize size = chart.size();
    if (medium == picture::Medium::Bmp) {
        return BitmapBytes(chart.toPixmap(size.width(), size.height()).toImage());
    }
    const auto writer = picture::MetafileWriterFor(medium, size.width(), size.height());
    if (!writer) {
        throw std::invalid_argument("a chart is pictured as EMF, WMF or BMP");
    }
    {
        MetafileDevice device(*writer, size);
        chart.renderTo(device, size.width(), size.height());
    }
    const std::string bytes = writer->finish();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QImage ScreenPicture(QWidget& window) {
    QScreen* screen = window.windowHandle() != nullptr ? window.windowHandle()->screen() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    QPixmap shot = screen != nullptr ? screen->grabWindow(0) : QPixmap();
    if (shot.isNull()) {
        shot = window.grab();
    }
    return shot.toImage();
}

} // namespace skarvel::gui
