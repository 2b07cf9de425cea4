#include "gui/flight_view.h"

#include "gui/chart_panel.h"
#include "gui/instrument_strip.h"

#include <QApplication>
#include <QCoreApplication>

namespace skarvel::gui {

WindowFlightView::WindowFlightView(const app::Workspace& workspace, ChartPanel& charts,
                                   InstrumentStrip& strip, std::function<void()> showMarkerTable)
    : ws_(workspace), charts_(charts), strip_(strip), showMarkerTable_(std::move(showMarkerTable)) {
}

WindowFlightView::~WindowFlightView() {
    setBusyCursor(false);
}

void WindowFlightView::flightStarting() {
    setBusyCursor(true);
    charts_.clearAll();
    QCoreApplication::processEvents();
}

void WindowFlightView::stepDrawn(const sim::FlightRecord& record, int index, double airspeed) {
    if (ws_.options().liveCharts) {
        charts_.appendSample(record.sample(index), airspeed);
    }
}

void WindowFlightView::secondElapsed() {
    // Once a simulated second: the visible chart catches up, then the window
    // paints and handles its input.
    charts_.replotVisibleIfDirty();
    QCoreApplication::processEvents();
}

void WindowFlightView::flightEnded() {
    charts_.autoScaleAll();
    setBusyCursor(false);
}

void WindowFlightView::markerMoved(std::optional<int> chartPoint) {
    if (chartPoint) {
        charts_.moveMarker(*chartPoint);
    }
    strip_.showMarker();
    showMarkerTable_();
}

void WindowFlightView::setBusyCursor(bool busy) {
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
