// The cutting pattern from the window: saved as PDF or SVG, refused for a
// design without one, and printed at full size within the printer's margins.

#include "data/tables.h"
#include "gui/pattern_print.h"
#include "window_fixture.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>
#include <QtPrintSupport/QPrintPreviewDialog>
#include <QtPrintSupport/QPrinter>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using skarvel::gui::Command;
using skarvel::test::Window;
namespace view = skarvel::view;
namespace design = skarvel::data::design;

constexpr double kMmPerPoint = 25.4 / 72;
const std::string kDate = "2024-05-01";

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString File(const Window& w, const char* name) {
    return QString::fromStdString(w.dir.file(name));
}

// A design whose main wing has no span: it has no pattern.
void RemoveTheSpan(Window& w) {
    w.find<QTabWidget>("LeftTabs")
        ->setCurrentIndex(w.find<QTabWidget>("LeftTabs")
                              ->indexOf(w.find<skarvel::gui::TableView>("DesignTable")));
    ASSERT_NE(skarvel::test::EditCell(w.find<skarvel::gui::TableView>("DesignTable"),
                                      design::MainWing, design::Span, QStringLiteral("0")),
              nullptr);
    w.trigger(Command::Convert);
    ASSERT_EQ(w.ws().tables().design.cell(design::MainWing, design::Span), "0");
}

// A modal dialog left open would stop the test: it is closed, and counted.
struct ModalWatch {
    int closed = 0;
    QTimer timer;
    ModalWatch() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++closed;
                modal->close();
            }
        });
        timer.start(200);
    }
};

// What a printed PDF holds: each page's size, and the horizontal lines drawn
// on it, in millimetres from the sheet's top left corner.
struct Segment {
    double x0, x1, y;
};
struct PrintedPage {
    double width = 0, height = 0; // mm
    std::vector<Segment> lines;
};

std::vector<PrintedPage> ReadPrintedPdf(const QString& path) {
    const QByteArray pdf = Read(path);
    std::vector<PrintedPage> pages;
    static const QRegularExpression box(QStringLiteral(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])"));
    for (auto m = box.globalMatch(QString::fromLatin1(pdf)); m.hasNext();) {
        const auto found = m.next();
        pages.push_back({found.captured(1).toDouble() * kMmPerPoint,
                         found.captured(2).toDouble() * kMmPerPoint,
                         {}});
    }
    // The content streams, in page order: device pixels mapped to points by
    // the page's first matrix.
    static const QRegularExpression matrix(
        QStringLiteral(R"(([-\d.]+) 0 0 ([-\d.]+) ([-\d.]+) ([-\d.]+) cm)"));
    static const QRegularExpression segment(QStringLiteral(
        R"((?m)^([-\d.]+) ([-\d.]+) m\n([-\d.]+) ([-\d.]+) l$(?!\n[-\d.]+ [-\d.]+ l))"));
    std::size_t page = 0;
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0 && page < pages.size();
         at = pdf.indexOf("stream\n", at + 1)) {
        if (at >= 3 && pdf.mid(at - 3, 3) == "end") {
            continue;
        }
        const qsizetype begin = at + 7;
        const qsizetype end = pdf.indexOf("\nendstream", begin);
        if (end < 0 || !pdf.mid(std::max<qsizetype>(0, at - 120), 120).contains("FlateDecode")) {
            continue;
        }
        QByteArray z = pdf.mid(begin, end - begin);
        z.prepend(QByteArray("\x00\x10\x00\x00", 4));
        const QString text = QString::fromLatin1(qUncompress(z));
        const auto cm = matrix.match(text);
        if (!cm.hasMatch() || !text.contains(QStringLiteral(" m\n"))) {
            continue;
        }
        const double sx = cm.captured(1).toDouble(), sy = cm.captured(2).toDouble();
        const double ex = cm.captured(3).toDouble(), ey = cm.captured(4).toDouble();
        PrintedPage& p = pages[page++];
        for (auto m = segment.globalMatch(text); m.hasNext();) {
            const auto s = m.next();
            const double y0 = s.captured(2).toDouble(), y1 = s.captured(4).toDouble();
            if (std::abs(y0 - y1) > 1e-6) {
                continue;
            }
            const double x0 = (sx * s.captured(1).toDouble() + ex) * kMmPerPoint;
            const double x1 = (sx * s.captured(3).toDouble() + ex) * kMmPerPoint;
            // PDF's y runs upwards from the bottom.
            const double y = p.height - (sy * y0 + ey) * kMmPerPoint;
            p.lines.push_back({std::min(x0, x1), std::max(x0, x1), y});
        }
    }
    return pages;
}

// Prints the default design's pattern to a PDF file through a printer set up
// as a user would in the preview.
std::vector<PrintedPage> Print(Window& w, const QString& file, const QPageSize& paper,
                               QPageLayout::Orientation orientation, double marginMm) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(paper);
    printer.setPageOrientation(orientation);
    printer.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm),
                           QPageLayout::Millimeter);
    skarvel::gui::PrintPatternPages(printer,
                                    skarvel::gui::PatternForPrinter(w.ws(), printer, kDate));
    return ReadPrintedPdf(file);
}

// The 100 mm scale bar of a page: where it starts and how long it is.
const Segment* ScaleBar(const PrintedPage& page) {
    const Segment* bar = nullptr;
    for (const Segment& s : page.lines) {
        if (std::abs(s.x1 - s.x0 - 100) < 0.05 && (bar == nullptr || s.y > bar->y)) {
            bar = &s;
        }
    }
    return bar;
}

} // namespace

TEST(PatternPrint, SavesThePatternAsPdfOrSvg) {
    Window w;
    // No extension: a PDF.
    w.nextFile = File(w, "glider");
    w.trigger(Command::SavePattern);
    EXPECT_TRUE(Read(File(w, "glider.pdf")).startsWith("%PDF"));

    // SVG on the paper chosen: A3 sheets, one file a page.
    w.nextFile = File(w, "glider.svg");
    w.nextItem = QStringLiteral("A3");
    w.trigger(Command::SavePattern);
    const std::size_t pages = w.ws().pattern().layOut({297, 420}, 10, kDate).pages.size();
    const QString svg = Read(pages == 1 ? File(w, "glider.svg") : File(w, "glider-1.svg"));
    EXPECT_TRUE(svg.contains(QStringLiteral("<svg")));
    EXPECT_TRUE(svg.contains(QStringLiteral("width=\"297mm\""))) << svg.left(300).toStdString();

    // Copies for a class: every piece twice; a count out of range is named
    // and nothing written.
    w.nextFile = File(w, "class.svg");
    w.nextText = QStringLiteral("2");
    w.trigger(Command::SavePattern);
    const QString two = Read(QFileInfo::exists(File(w, "class.svg")) ? File(w, "class.svg")
                                                                     : File(w, "class-1.svg"));
    EXPECT_EQ(two.count(QStringLiteral("data-piece=\"wing\"")), 2);
    w.nextFile = File(w, "none.svg");
    w.nextText = QStringLiteral("0");
    w.trigger(Command::SavePattern);
    EXPECT_FALSE(QFileInfo::exists(File(w, "none.svg")));
    ASSERT_EQ(w.errors.size(), 1);
    EXPECT_TRUE(w.errors[0].endsWith(QStringLiteral(": 0"))) << w.errors[0].toStdString();
    w.errors.clear();
    w.nextText.clear();

    // A cancelled paper question writes nothing; a file of another kind is named.
    w.nextFile = File(w, "other.svg");
    w.nextItem = QString();
    w.trigger(Command::SavePattern);
    EXPECT_FALSE(QFileInfo::exists(File(w, "other.svg")));
    w.nextFile = File(w, "glider.png");
    w.trigger(Command::SavePattern);
    EXPECT_FALSE(QFileInfo::exists(File(w, "glider.png")));
    ASSERT_EQ(w.errors.size(), 1);
    EXPECT_TRUE(w.errors[0].contains(QStringLiteral("glider.png"))) << w.errors[0].toStdString();
}

TEST(PatternPrint, DesignWithoutPatternIsToldAndNothingWritten) {
    Window w;
    RemoveTheSpan(w);
    ModalWatch modal;
    w.nextFile = File(w, "none.pdf");
    w.trigger(Command::SavePattern);
    w.trigger(Command::PrintPattern);
    EXPECT_FALSE(QFileInfo::exists(w.nextFile));
    EXPECT_EQ(modal.closed, 0); // no preview either
    ASSERT_EQ(w.errors.size(), 2);
    for (const QString& e : w.errors) {
        EXPECT_TRUE(e.endsWith(QStringLiteral("ため、型紙を作れません"))) << e.toStdString();
    }
}

TEST(PatternPrint, PrintsOnThePrintersPaperAtFullSize) {
    Window w;
    struct Case {
        QPageSize paper;
        QPageLayout::Orientation orientation;
        view::PointMm sheet;
    };
    const Case cases[] = {
        {QPageSize(QPageSize::A4), QPageLayout::Portrait, {210, 297}},
        {QPageSize(QPageSize::A5), QPageLayout::Landscape, {210, 148}},
    };
    for (const Case& c : cases) {
        const auto pages = Print(w, File(w, "print.pdf"), c.paper, c.orientation, 0);
        SCOPED_TRACE(c.paper.name().toStdString());
        EXPECT_EQ(pages.size(), w.ws().pattern().layOut(c.sheet, 10, kDate).pages.size());
        for (const PrintedPage& p : pages) {
            const QSizeF points = c.paper.size(QPageSize::Point);
            const bool landscape = c.orientation == QPageLayout::Landscape;
            EXPECT_NEAR(p.width, (landscape ? points.height() : points.width()) * kMmPerPoint,
                        0.01);
            EXPECT_NEAR(p.height, (landscape ? points.width() : points.height()) * kMmPerPoint,
                        0.01);
            const Segment* bar = ScaleBar(p);
            ASSERT_NE(bar, nullptr);
            EXPECT_NEAR(bar->x0, 10, 0.05);
            EXPECT_NEAR(bar->y, c.sheet.y - 10 - 4, 0.05);
        }
    }
}

TEST(PatternPrint, AWiderPrinterMarginMovesThePatternWithoutScalingIt) {
    Window w;
    QPrinter printer;
    printer.setPageMargins(QMarginsF(3, 3, 3, 3), QPageLayout::Millimeter);
    EXPECT_EQ(skarvel::gui::PrinterMarginMm(printer), view::kPatternMargin);
    printer.setPageMargins(QMarginsF(5, 25, 5, 5), QPageLayout::Millimeter);
    EXPECT_EQ(skarvel::gui::PrinterMarginMm(printer), 25);

    const auto pages =
        Print(w, File(w, "margins.pdf"), QPageSize(QPageSize::A4), QPageLayout::Portrait, 25);
    ASSERT_EQ(pages.size(), w.ws().pattern().layOut({210, 297}, 25, kDate).pages.size());
    for (const PrintedPage& p : pages) {
        // Still 100 mm long, now 25 mm in from the sheet's left and bottom edges.
        const Segment* bar = ScaleBar(p);
        ASSERT_NE(bar, nullptr);
        EXPECT_NEAR(bar->x0, 25, 0.05);
        EXPECT_NEAR(bar->y, 297 - 25 - 4, 0.05);
    }

    // Paper too small for the pattern even in tiles: the reason, nothing printed.
    QPrinter tiny(QPrinter::HighResolution);
    tiny.setOutputFormat(QPrinter::PdfFormat);
    tiny.setPageSize(QPageSize(QSizeF(100, 100), QPageSize::Millimeter));
    try {
        skarvel::gui::PatternForPrinter(w.ws(), tiny, kDate);
        ADD_FAILURE() << "a pattern on 100 mm paper";
    } catch (const view::PatternError& e) {
        EXPECT_NE(std::string(e.what()).find("用紙の印刷範囲が小さすぎる"), std::string::npos);
    }
}
