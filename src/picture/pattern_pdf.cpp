#include "picture/pattern_pdf.h"

#include "data/textfile.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPen>

#include <cmath>
#include <stdexcept>

namespace skarvel::picture {

namespace {

constexpr double kPdfResolution = 600; // dots per inch
constexpr double kMmPerInch = 25.4;
constexpr double kLineWidth = 0.25; // mm
constexpr double kMarkWidth = 0.2;  // mm

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The face the pattern's text asks for: one that holds Japanese.
QFont PatternFont(double pixels) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    return font;
}

// Qt's note that a root user has no runtime folder says nothing about the
// pattern: the command line does not pass it on.
} // namespace

void PaintPatternPage(QPainter& painter, const view::PatternPage& page, double k) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    for (const view::PatternGroup& g : page.groups) {
        if (g.clip) {
            painter.setClipRect(
                QRectF(g.clip->x * k, g.clip->y * k, g.clip->width * k, g.clip->height * k));
        } else {
            painter.setClipping(false);
        }
        for (const view::PatternPath& p : g.paths) {
            if (p.points.empty()) {
                continue;
            }
            QPen pen(Qt::black, (p.kind == view::PatternLine::Mark ? kMarkWidth : kLineWidth) * k);
            if (p.kind == view::PatternLine::Fold) {
                // Dashes of 2 mm and gaps of 1 mm, in pen widths.
                pen.setDashPattern({2 / kLineWidth, 1 / kLineWidth});
            }
            pen.setCapStyle(Qt::FlatCap);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            QPainterPath path(QPointF(p.points[0].x * k, p.points[0].y * k));
            for (std::size_t i = 1; i < p.points.size(); ++i) {
                path.lineTo(p.points[i].x * k, p.points[i].y * k);
            }
            if (p.closed) {
                path.closeSubpath();
            }
            painter.drawPath(path);
        }
        painter.setPen(Qt::black);
        for (const view::PatternText& t : g.texts) {
            painter.setFont(PatternFont(t.size * k));
            painter.drawText(QPointF(t.at.x * k, t.at.y * k), Text(t.text));
        }
    }
    painter.restore();
}

void WritePatternPdf(const view::PatternLayout& layout, const std::string& path) {
    // Qt's fonts need the program's Qt application, started by its main.
    if (QCoreApplication::instance() == nullptr) {
        throw std::logic_error("the PDF pattern needs the program's Qt application");
    }
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Skarvel"));
        writer.setTitle(QStringLiteral("型紙"));
        writer.setResolution(static_cast<int>(kPdfResolution));
        const auto pageLayout = [](const view::PatternPage& page) {
            return QPageLayout(QPageSize(QSizeF(page.width, page.height), QPageSize::Millimeter,
                                         QString(), QPageSize::ExactMatch),
                               QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                               QPageLayout::Millimeter);
        };
        if (!layout.pages.empty()) {
            writer.setPageLayout(pageLayout(layout.pages.front()));
        }
        QPainter painter(&writer);
        const double k = kPdfResolution / kMmPerInch;
        for (std::size_t i = 0; i < layout.pages.size(); ++i) {
            if (i > 0) {
                writer.setPageLayout(pageLayout(layout.pages[i]));
                writer.newPage();
            }
            PaintPatternPage(painter, layout.pages[i], k);
        }
        painter.end();
    }
    data::WriteFileBytes(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace skarvel::picture
