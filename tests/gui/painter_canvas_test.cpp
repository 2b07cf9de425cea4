// The QPainter canvas writes one-pixel solid lines straight into a 32-bit
// image's pixels, and leaves lines that leave the image to QPainter. Both
// must draw what QPainter draws for the same line.

#include "gui/painter_canvas.h"

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPen>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace skarvel;
using view::Colour;
using view::ColourRole;
using view::Point;

constexpr int kWidth = 40, kHeight = 30;
constexpr Colour kText = Colour::Role(ColourRole::WindowText);
constexpr Colour kHighlight = Colour::Role(ColourRole::Highlight);
constexpr Colour kFace = Colour::Role(ColourRole::ButtonFace);

struct Line {
    Point from, to;
    Colour colour;
};

QImage Blank() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QPalette Palette() {
    QPalette palette;
    palette.setColor(QPalette::Text, QColor(0x20, 0x30, 0x40));
    palette.setColor(QPalette::Highlight, QColor(0xC0, 0x10, 0x10));
    palette.setColor(QPalette::Button, QColor(0x10, 0xA0, 0x10));
    return palette;
}

// The lines through the canvas, each with its own pen.
QImage OnCanvas(const std::vector<Line>& lines) {
    gui::PainterCanvas canvas(Palette());
    QImage image = Blank();
    canvas.begin(image);
    for (const Line& l : lines) {
        canvas.setPen(l.colour);
        canvas.moveTo(l.from);
        canvas.lineTo(l.to);
    }
    canvas.end();
    return image;
}

// The same lines as QPainter draws them with the pen the canvas gives it.
QImage ByQPainter(const std::vector<Line>& lines) {
    const gui::PainterCanvas canvas(Palette());
    QImage image = Blank();
    QPainter painter(&image);
    for (const Line& l : lines) {
        QPen pen(canvas.resolve(l.colour), 1, Qt::SolidLine);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(QPoint(l.from.x, l.from.y), QPoint(l.to.x, l.to.y));
    }
    return image;
}

std::vector<QPoint> Drawn(const QImage& image) {
    std::vector<QPoint> points;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                points.emplace_back(x, y);
            }
        }
    }
    return points;
}

// The pixels where two images differ.
int Differing(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return n;
}

// How far, in whole pixels in any direction, a drawn pixel of `a` lies from
// the nearest one of `b`, at most.
int FarthestFrom(const std::vector<QPoint>& a, const std::vector<QPoint>& b) {
    int farthest = 0;
    for (const QPoint& p : a) {
        int nearest = kWidth + kHeight;
        for (const QPoint& q : b) {
            nearest = std::min(nearest, std::max(std::abs(p.x() - q.x()), std::abs(p.y() - q.y())));
        }
        farthest = std::max(farthest, nearest);
    }
    return farthest;
}

TEST(PainterCanvas, DirectLinesWithinAPixelOfQPainters) {
    // QPainter takes whole coordinates for pixel corners and picks the pixels
    // whose centres the line passes nearest; the direct lines pick the pixel
    // nearest the line at each whole coordinate, and draw both end pixels
    // where QPainter leaves one of them off. So a sloping line may step a
    // row (or column) earlier or later than QPainter's, and has up to one
    // pixel more; it is never farther than one pixel from QPainter's line,
    // and it is in exactly the pen's colour.
    const std::vector<Line> lines{
        // Steep and shallow, both ways, from the middle.
        {{20, 15}, {35, 20}, kText},
        {{20, 15}, {14, 29}, kFace},
        {{20, 15}, {3, 9}, kHighlight},
        {{20, 15}, {27, 0}, kText},
        // Along an edge of the image, a diagonal, and a single point.
        {{39, 0}, {39, 29}, kText},
        {{39, 0}, {10, 29}, kHighlight},
        {{5, 5}, {5, 5}, kFace},
    };
    const gui::PainterCanvas palette(Palette());
    for (const Line& l : lines) {
        SCOPED_TRACE(std::to_string(l.from.x) + "," + std::to_string(l.from.y) + " to " +
                     std::to_string(l.to.x) + "," + std::to_string(l.to.y));
        const QImage direct = OnCanvas({l});
        const auto ours = Drawn(direct);
        const auto theirs = Drawn(ByQPainter({l}));
        ASSERT_FALSE(theirs.empty());
        EXPECT_LE(FarthestFrom(ours, theirs), 1);
        EXPECT_LE(FarthestFrom(theirs, ours), 1);
        EXPECT_GE(ours.size(), theirs.size());
        EXPECT_LE(ours.size(), theirs.size() + 1);
        EXPECT_EQ(std::count_if(ours.begin(), ours.end(),
                                [&](const QPoint& p) {
                                    return direct.pixel(p) != palette.resolve(l.colour).rgb();
                                }),
                  0);
    }
}

TEST(PainterCanvas, LinesLeavingTheImageAreQPaintersOwn) {
    // Each pen used once, one used twice in a row, and one pixel out is out.
    const std::vector<Line> lines{
        {{-5, 10}, {10, -3}, kHighlight}, {{30, 25}, {45, 35}, kText},
        {{20, -100}, {20, 100}, kText},   {{-1, 3}, {39, 3}, kFace},
        {{0, 30}, {39, 0}, kHighlight},   {{12, 29}, {12, 30}, kFace},
    };
    const QImage canvas = OnCanvas(lines);
    EXPECT_EQ(Differing(canvas, ByQPainter(lines)), 0);
    EXPECT_GT(Drawn(canvas).size(), 100u);
}

} // namespace
