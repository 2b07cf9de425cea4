// Speed of the whole window: the default flight computed with the charts
// page showing and filled live, against the same flight in a bare workspace;
// and one replay frame on the trajectory page, from the track position to
// the painted picture, instrument strip and marker table.

#include "app/workspace.h"
#include "data/tables.h"
#include "gui/chart.h"
#include "gui/chart_panel.h"
#include "gui/dialogs.h"
#include "gui/form_sim.h"
#include "gui/instrument_strip.h"
#include "gui/picture_export.h"
#include "gui/table_view.h"
#include "gui/trajectory_view.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace skarvel;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kChartsPage = 2;
constexpr int kTrajectoryPage = 3;
constexpr int kMarkerTab = 2;

// Questions nobody answers: every dialog cancels, every message is dropped.
gui::Dialogs Silent() {
    gui::Dialogs d;
    d.openFile = [](QWidget*, const QString&, const QString&, const QString&) { return QString(); };
    d.saveFile = d.openFile;
    d.askYesNo = [](QWidget*, const QString&) { return false; };
    d.warn = [](QWidget*, const QString&) {};
    d.error = d.warn;
    d.inform = d.warn;
    d.openDocument = [](const QString&) { return false; };
    d.askText = [](QWidget*, const QString&, const QString&, const QString&) { return QString(); };
    return d;
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

// The main window over its own workspace, shown off screen at 800 x 600 with
// the right page chosen. The program file lives in an empty temporary folder,
// so no input file is found beside it and the default input is flown.
struct Window {
    QTemporaryDir folder;
    app::Workspace ws;
    std::unique_ptr<gui::TFormSim> form;
    explicit Window(int rightPage)
        : ws(folder.filePath(QStringLiteral("skarvel")).toStdString()),
          form(std::make_unique<gui::TFormSim>(
              ws, QStringList(), folder.filePath(QStringLiteral("skarvel")), Silent())) {
        form->show();
        form->resize(kWidth, kHeight);
        Settle();
        form->findChild<QTabWidget*>("RightTabs")->setCurrentIndex(rightPage);
        Settle();
    }
};

// The default flight with the charts page visible and live charts on: the
// run view clears the charts, appends every 50 ms point, replots the visible
// chart once a simulated second and rescales all of them at the end.
// Argument 0 turns the live charts off to show what they cost.
void BM_WindowFlightChartsLive(benchmark::State& state) {
    Window w(kChartsPage);
    app::Workspace& ws = w.form->workspace();
    const bool live = state.range(0) != 0;
    ws.setOption(app::Option::LiveCharts, live);
    Settle();
    for (auto _ : state) {
        ws.runFromInput();
        benchmark::DoNotOptimize(ws.record().lastIndex);
    }
    state.counters["samples"] = ws.record().lastIndex;
    state.SetLabel(live ? "live charts on" : "live charts off");
}
BENCHMARK(BM_WindowFlightChartsLive)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The same flight in a workspace with no window, no run view and no surface.
void BM_WindowFlightBare(benchmark::State& state) {
    app::Workspace ws;
    for (auto _ : state) {
        ws.runFromInput();
        benchmark::DoNotOptimize(ws.record().lastIndex);
    }
    state.counters["samples"] = ws.record().lastIndex;
}
BENCHMARK(BM_WindowFlightBare)->Unit(benchmark::kMillisecond);

// One replay frame on the trajectory page: the track position moves by 3
// (cursor drawn on the picture, marker table written, bars and dials set),
// then the picture, the instrument strip and the marker table are painted.
// Argument 0: the left panel shows the input data, as after start-up, so
// the marker table is hidden and not painted; 1: the marker table is shown.
void BM_WindowReplayFrame(benchmark::State& state) {
    Window w(kTrajectoryPage);
    const bool markerShown = state.range(0) != 0;
    if (markerShown) {
        w.form->findChild<QTabWidget*>("LeftTabs")->setCurrentIndex(kMarkerTab);
        Settle();
    }
    app::Workspace& ws = w.form->workspace();
    const int positions = ws.marker().trackMax() + 1;
    if (positions < 4) {
        state.SkipWithError("the flight is too short");
        return;
    }
    QWidget* picture =
        w.form->findChild<skarvel::gui::TrajectoryView*>("TrajectoryView")->imageArea();
    QWidget* strip = w.form->findChild<skarvel::gui::InstrumentStrip*>("InstrumentStrip");
    QWidget* table = w.form->findChild<skarvel::gui::TableView*>("MarkerTable")->viewport();
    int p = ws.marker().trackPosition();
    for (auto _ : state) {
        p = (p + 3) % positions;
        ws.marker().setTrackPosition(p);
        picture->repaint();
        strip->repaint();
        table->repaint();
    }
    state.counters["positions"] = positions;
    state.counters["tableVisible"] = table->isVisible() ? 1 : 0;
    state.counters["pictureW"] = picture->width();
    state.counters["pictureH"] = picture->height();
    state.SetLabel(markerShown ? "marker table shown" : "marker table hidden");
}
BENCHMARK(BM_WindowReplayFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// A chart of a 90-second flight rendered into an enhanced metafile, against
// the same chart into a bitmap of its size.
void BM_ChartPicture(benchmark::State& state) {
    Window w(kChartsPage);
    app::Workspace& ws = w.form->workspace();
    ws.editCell(app::TableId::Input, data::input::kValueColumn, data::input::Altitude, "2000");
    ws.runFromInput();
    Settle();
    gui::Chart& chart = *w.form->findChild<skarvel::gui::ChartPanel*>("ChartPanel")->chart(0);
    const auto medium = state.range(0) == 0 ? picture::Medium::Emf : picture::Medium::Bmp;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gui::ChartPicture(chart, medium));
    }
    state.counters["points"] = chart.pointCount();
    state.SetLabel(state.range(0) == 0 ? "emf" : "bmp");
}
BENCHMARK(BM_ChartPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
