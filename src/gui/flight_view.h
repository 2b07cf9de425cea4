#pragma once
// What the window does around a flight and when the marker moves: the busy
// cursor, the charts filled live, the event pump of a flight, and the marker
// shown in the table, the strip and the charts.

#include "app/workspace.h"

#include <functional>

namespace skarvel::gui {

class ChartPanel;
class InstrumentStrip;

class WindowFlightView : public app::FlightView, public app::MarkerView {
  public:
    WindowFlightView(const app::Workspace& workspace, ChartPanel& charts, InstrumentStrip& strip,
                     std::function<void()> showMarkerTable);
    ~WindowFlightView() override;

    void flightStarting() override;
    void stepDrawn(const sim::FlightRecord& record, int index, double airspeed) override;
    void secondElapsed() override;
    void flightEnded() override;
    void markerMoved(std::optional<int> chartPoint) override;

    // The hourglass, shown once however often it is asked for.
    void setBusyCursor(bool busy);

  private:
    const app::Workspace& ws_;
    ChartPanel& charts_;
    InstrumentStrip& strip_;
    std::function<void()> showMarkerTable_;
    bool busyCursor_ = false;
};

} // namespace skarvel::gui
