#pragma once
// Pictures of what the window shows, as the bytes of their files.

#include "picture/medium.h"

#include <QByteArray>
#include <QImage>

class QWidget;

namespace skarvel::gui {

class Chart;

// The chart at its size on screen as the bytes of an .emf, .wmf or .bmp file;
// the chart has no SVG picture (std::invalid_argument).
QByteArray ChartPicture(Chart& chart, picture::Medium medium);

// A bitmap as a .bmp file's bytes.
QByteArray BitmapBytes(const QImage& image);

// A picture of the screen; where the platform cannot grab the screen, one of
// the window.
QImage ScreenPicture(QWidget& window);

} // namespace skarvel::gui
