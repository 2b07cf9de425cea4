#pragma once
// A cutting pattern on paper through Qt's painter: as PDF (with the
// Japanese font embedded) and on any QPainter device, at full size.

#include "view/pattern.h"

#include <string>

class QPainter;

namespace skarvel::picture {

// Paints one page: `pixelsPerMm` device pixels to the millimetre, the
// page's origin at the device's (0, 0).
void PaintPatternPage(QPainter& painter, const view::PatternPage& page, double pixelsPerMm);

// Writes every page as one PDF file, safely. Needs the program's Qt
// application for the fonts (each program's main starts it; without one this
// throws std::logic_error). Throws data::FileError.
void WritePatternPdf(const view::PatternLayout& layout, const std::string& path);

} // namespace skarvel::picture
