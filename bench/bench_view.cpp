// Speed of the trajectory view: a whole redraw with the cursor through the
// QPainter canvas against the bare cost of as many QPainter lines, and the
// default flight drawn live against the same flight with no view.

#include "app/workspace.h"
#include "data/tables.h"
#include "gui/painter_canvas.h"
#include "gui/trajectory_view.h"
#include "picture/pattern_file.h"
#include "picture/pattern_svg.h"
#include "picture/qt_page_canvas.h"
#include "view/canvas.h"
#include "view/navigation.h"
#include "view/trajectory.h"
#include "view/view_state.h"

#include <QApplication>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QRect>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

namespace {

using namespace skarvel;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr view::DrawOptions kAllOn{true, true, true};

// Keeps every line a drawing makes (lineTo and two-point polylines) with the
// pen it was drawn in, so the bare loops draw exactly the same lines.
class LineCollector : public view::Canvas {
  public:
    void setPen(view::Colour colour, int, view::LineStyle) override { pen_ = colour; }
    void setBrush(view::Colour) override {}
    void setHollowBrush() override {}
    void moveTo(view::Point p) override { at_ = QPoint(p.x, p.y); }
    void lineTo(view::Point p) override {
        const QPoint to(p.x, p.y);
        lines.emplace_back(at_, to);
        pens.push_back(pen_);
        at_ = to;
    }
    void polyline(std::span<const view::Point> points) override {
        for (std::size_t i = 1; i < points.size(); ++i) {
            lines.emplace_back(QPoint(points[i - 1].x, points[i - 1].y),
                               QPoint(points[i].x, points[i].y));
            pens.push_back(pen_);
        }
    }
    void polygon(std::span<const view::Point>) override {}
    void ellipse(view::Rect) override {}
    void rectangle(view::Rect) override {}
    void fill(view::Rect, view::Colour) override {}
    void text(view::Point, std::string_view) override {}

    std::vector<QLine> lines;
    std::vector<view::Colour> pens;

  private:
    QPoint at_;
    view::Colour pen_ = view::Colour::Role(view::ColourRole::WindowText);
};

// Pixels of an image that differ from its background: proof that a
// benchmark really drew.
double Inked(const QImage& image, const QColor& background) {
    const QRgb bg = background.rgb();
    double n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            n += (row[x] | 0xff000000u) != (bg | 0xff000000u) ? 1 : 0;
        }
    }
    return n;
}

// The default glider launched high enough to fill the whole 90 s record,
// and the view fitted to it on an 800 x 600 image.
struct LongFlight {
    app::Workspace ws;
    view::ViewState view = view::InitialView(kWidth, kHeight);
    std::vector<QLine> lines;
    std::vector<QColor> pens;
    std::vector<std::size_t> byPen; // line indices grouped by pen, in order
    LongFlight() {
        ws.editCell(app::TableId::Input, data::input::kValueColumn, data::input::Altitude, "2000");
        ws.runFromInput();
        view::FitToTrajectory(view, ws.record());
        LineCollector collector;
        view::TrajectoryDrawing drawing;
        drawing.redraw(collector, view, ws.record(), kAllOn);
        lines = std::move(collector.lines);
        const gui::PainterCanvas resolver(QApplication::palette());
        for (const view::Colour c : collector.pens) {
            pens.push_back(resolver.resolve(c));
        }
        byPen.resize(lines.size());
        std::iota(byPen.begin(), byPen.end(), std::size_t{0});
        std::stable_sort(byPen.begin(), byPen.end(), [this](std::size_t a, std::size_t b) {
            return pens[a].rgb() < pens[b].rgb();
        });
    }
    bool full() const { return ws.record().lastIndex == 9000; }
    int cursor() const { return ws.record().lastIndex / 2; }
};

const LongFlight& Flight() {
    static const LongFlight flight;
    return flight;
}

void BM_RedrawWithCursor90s(benchmark::State& state) {
    const LongFlight& f = Flight();
    if (!f.full()) {
        state.SkipWithError("the flight does not last 90 s");
        return;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    gui::PainterCanvas canvas(QApplication::palette());
    const sim::InputSet& in = f.ws.inputSet();
    for (auto _ : state) {
        canvas.begin(image);
        view::TrajectoryDrawing drawing;
        drawing.redraw(canvas, f.view, f.ws.record(), kAllOn);
        view::DrawFlightCursor(canvas, f.view, f.ws.record(), f.cursor(), in.windSpeed,
                               in.thermalRadius, kAllOn);
        canvas.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["lines"] = static_cast<double>(f.lines.size());
    state.counters["inked"] = Inked(image, QApplication::palette().color(QPalette::Base));
}
BENCHMARK(BM_RedrawWithCursor90s)->Unit(benchmark::kMillisecond);

// The floor for the redraw: the same lines, one pen, no fill, no cursor.
void BM_PlainDrawLines(benchmark::State& state) {
    const LongFlight& f = Flight();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPen pen(Qt::black, 1);
    pen.setCapStyle(Qt::FlatCap);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setPen(pen);
        for (const QLine& line : f.lines) {
            painter.drawLine(line);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["lines"] = static_cast<double>(f.lines.size());
}
BENCHMARK(BM_PlainDrawLines)->Unit(benchmark::kMillisecond);

// Where the redraw's extra time goes: the same lines with the background
// filled first (0); with that fill and each line in its own pen, set before
// every line as the step routine does (1); and with the lines grouped by pen,
// so the pen changes only twice (2).
void BM_PlainDrawLinesFilled(benchmark::State& state) {
    const LongFlight& f = Flight();
    const auto mode = state.range(0);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const QColor background = QApplication::palette().color(QPalette::Base);
    const auto penOf = [](const QColor& colour) {
        QPen pen(colour, 1);
        pen.setCapStyle(Qt::FlatCap);
        return pen;
    };
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(QRect(0, 0, kWidth, kHeight), background);
        painter.setPen(penOf(Qt::black));
        for (std::size_t k = 0; k < f.lines.size(); ++k) {
            const std::size_t i = mode == 2 ? f.byPen[k] : k;
            if (mode != 0) {
                painter.setPen(penOf(f.pens[i]));
            }
            painter.drawLine(f.lines[i]);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(mode == 0   ? "fill, one pen"
                   : mode == 1 ? "fill, pen per line as drawn"
                               : "fill, lines grouped by pen");
}
BENCHMARK(BM_PlainDrawLinesFilled)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The default flight, drawn step by step on the window's trajectory view
// (never shown) or flown with no view at all.
void BM_DefaultFlightLive(benchmark::State& state) {
    app::Workspace ws;
    gui::TrajectoryView view(ws);
    view.resize(kWidth, kHeight);
    ws.viewport().prepare(kWidth, kHeight);
    ws.viewport().setSurface(&view);
    for (auto _ : state) {
        ws.runFromInput();
        benchmark::DoNotOptimize(ws.record().lastIndex);
    }
    state.counters["samples"] = ws.record().lastIndex;
    state.counters["inked"] = Inked(view.picture(), view.palette().color(QPalette::Base));
    ws.viewport().setSurface(nullptr);
}
BENCHMARK(BM_DefaultFlightLive)->Unit(benchmark::kMillisecond);

void BM_DefaultFlightNoView(benchmark::State& state) {
    app::Workspace ws;
    ws.viewport().prepare(kWidth, kHeight);
    for (auto _ : state) {
        ws.runFromInput();
        benchmark::DoNotOptimize(ws.record().lastIndex);
    }
    state.counters["samples"] = ws.record().lastIndex;
}
BENCHMARK(BM_DefaultFlightNoView)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The cutting pattern of the default design: pieces, layout and the SVG
// pages, or the whole PDF (in memory and on disk).
void BM_CuttingPattern(benchmark::State& state) {
    const bool pdf = state.range(0) != 0;
    app::Workspace ws;
    const QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("pattern.pdf")).toStdString();
    for (auto _ : state) {
        const view::PatternLayout layout = ws.pattern().layOut(
            view::PaperDimensions(view::PaperSize::A4), view::kPatternMargin, "2026-12-07");
        if (pdf) {
            picture::WritePattern(layout, path, picture::Medium::Pdf, picture::NewPdfDocument);
        } else {
            benchmark::DoNotOptimize(picture::PatternSvgPages(layout));
        }
    }
    state.SetLabel(pdf ? "PDF file" : "SVG pages");
}
BENCHMARK(BM_CuttingPattern)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
