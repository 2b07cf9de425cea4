#include "gui/pattern_print.h"

#include "app/workspace.h"
#include "picture/qt_page_canvas.h"
#include "view/pattern_drawing.h"

#include <QDate>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <stdexcept>

namespace skarvel::gui {

namespace {

constexpr double kMmPerInch = 25.4;

double Largest(const QMarginsF& m) {
    return std::max({m.left(), m.top(), m.right(), m.bottom()});
}

} // namespace

view::PointMm PrinterPaperMm(const QPrinter& printer) {
    const QRectF sheet = printer.pageLayout().fullRect(QPageLayout::Millimeter);
    return {sheet.width(), sheet.height()};
}

double PrinterMarginMm(const QPrinter& printer) {
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    return std::max(
        {view::kPatternMargin, Largest(layout.margins()), Largest(layout.minimumMargins())});
}

view::PatternLayout PatternForPrinter(const app::Workspace& ws, const QPrinter& printer,
                                      const std::string& date) {
    return ws.pattern().layOut(PrinterPaperMm(printer), PrinterMarginMm(printer), date);
}

void PrintPatternPages(QPrinter& printer, const view::PatternLayout& layout) {
    // The pattern keeps its own margins, at least the printer's: painting
    // from the sheet's corner puts every line where the layout put it.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw std::runtime_error("印刷を開始できません");
    }
    const double pixelsPerUnit = printer.resolution() / kMmPerInch / view::kPatternUnitsPerMm;
    for (std::size_t i = 0; i < layout.pages.size(); ++i) {
        if (i > 0) {
            printer.newPage();
        }
        painter.save();
        picture::PainterPageCanvas canvas(painter, pixelsPerUnit);
        view::DrawPatternPage(canvas, layout.pages[i]);
        painter.restore();
    }
    painter.end();
}

std::string PatternDate() {
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
}

} // namespace skarvel::gui
