#pragma once
// The cutting pattern on a printer: laid out for the printer's own paper and
// margins and painted at full size. Nothing is ever scaled to fit: a part
// larger than the printable area is tiled instead.

#include "view/pattern.h"

#include <string>

class QPrinter;

namespace skarvel::app {
class Workspace;
}

namespace skarvel::gui {

// The printer's whole sheet in millimetres, as it lies (landscape included).
view::PointMm PrinterPaperMm(const QPrinter& printer);
// The margin kept on every side: kPatternMargin, or the printer's largest
// margin (set or unprintable) when that is wider.
double PrinterMarginMm(const QPrinter& printer);

// The design's pattern for this printer. Throws view::PatternError.
view::PatternLayout PatternForPrinter(const app::Workspace& ws, const QPrinter& printer,
                                      const std::string& date);

// Prints the pages, one sheet each, at the printer's resolution: a
// millimetre of the pattern is a millimetre on paper. The printer is set to
// full-page mode, so the page's origin is the sheet's corner. Throws
// std::runtime_error when the printer cannot start.
void PrintPatternPages(QPrinter& printer, const view::PatternLayout& layout);

// Today as the pattern's pages show it: yyyy-MM-dd.
std::string PatternDate();

} // namespace skarvel::gui
