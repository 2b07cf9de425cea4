#include "gui/run_view.h"

#include "gui/chart_panel.h"
#include "gui/instrument_strip.h"
#include "gui/trajectory_view.h"

#include <QApplication>
#include <QCoreApplication>

namespace skarvel::gui {

WindowRunView::WindowRunView(const app::Workspace& workspace, ChartPanel& charts,
                             InstrumentStrip& strip, TrajectoryView& trajectory,
                             std::function<void()> showMarkerTable)
    : ws_(workspace), charts_(charts), strip_(strip), trajectory_(trajectory),
      showMarkerTable_(std::move(showMarkerTable)) {}

WindowRunView::~WindowRunView() {
    setBusyCursor(false);
}

void WindowRunView::runStarting() {
    setBusyCursor(true);
    charts_.clearAll();
    QCoreApplication::processEvents();
}

void WindowRunView::sampleStored(const sim::FlightRecord& record, int index, double airspeed) {
    if (ws_.options().liveCharts) {
        charts_.appendSample(record.sample(index), airspeed);
    }
}

void WindowRunView::processEvents() {
    // Once a simulated second: the visible chart catches up, then the window
    // paints and handles its input.
    charts_.replotVisibleIfDirty();
    QCoreApplication::processEvents();
}

void WindowRunView::runFinished() {
    charts_.autoScaleAll();
    setBusyCursor(false);
}

void WindowRunView::moveChartMarker(int k) {
    charts_.moveMarker(k);
}

void WindowRunView::markerChanged() {
    strip_.showMarker();
    showMarkerTable_();
}

void WindowRunView::replayStarting() {
    setBusyCursor(true);
}

void WindowRunView::repaintTrajectory() {
    trajectory_.imageArea()->update();
}

void WindowRunView::replayFinished() {
    setBusyCursor(false);
}

void WindowRunView::setBusyCursor(bool busy) {
    if (busy == busyCursor_) {
        return;
    }
    busyCursor_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

} // namespace skarvel::gui
