#include "gui/picture_export.h"

#include "gui/chart.h"
#include "gui/metafile_device.h"
#include "picture/emf_writer.h"
#include "picture/wmf_writer.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace skarvel::gui {

QByteArray BitmapBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
    return bytes;
}

QByteArray ChartPicture(Chart& chart, app::PictureFormat format) {
    const QSize size = chart.size();
    if (format == app::PictureFormat::Bmp) {
        return BitmapBytes(chart.toPixmap(size.width(), size.height()).toImage());
    }
    std::unique_ptr<picture::MetafileWriter> writer;
    if (format == app::PictureFormat::Wmf) {
        writer = std::make_unique<picture::WmfWriter>(size.width(), size.height());
    } else {
        writer = std::make_unique<picture::EmfWriter>(size.width(), size.height());
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
