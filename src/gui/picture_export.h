#pragma once
// Pictures of what the window shows, as the bytes of their files.

#include "app/picture_files.h"

#include <QByteArray>
#include <QImage>

class QWidget;

namespace skarvel::gui {

class Chart;

// The chart at its size on screen as an .emf, .wmf or .bmp file's bytes.
QByteArray ChartPicture(Chart& chart, app::PictureFormat format);

// A bitmap as a .bmp file's bytes.
QByteArray BitmapBytes(const QImage& image);

// A picture of the screen; where the platform cannot grab the screen, one of
// the window.
QImage ScreenPicture(QWidget& window);

} // namespace skarvel::gui
