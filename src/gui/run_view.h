#pragma once
// What the window does around a flight and a replay: the busy cursor, the
// charts filled live, the marker shown, and the event pump of a flight.

#include "app/workspace.h"

#include <functional>

namespace skarvel::gui {

class ChartPanel;
class InstrumentStrip;
class TrajectoryView;

class WindowRunView : public app::RunView {
  public:
    WindowRunView(const app::Workspace& workspace, ChartPanel& charts, InstrumentStrip& strip,
                  TrajectoryView& trajectory, std::function<void()> showMarkerTable);
    ~WindowRunView() override;

    void runStarting() override;
    void sampleStored(const sim::FlightRecord& record, int index, double airspeed) override;
    void processEvents() override;
    void runFinished() override;
    void moveChartMarker(int k) override;
    void markerChanged() override;
    void replayStarting() override;
    void repaintTrajectory() override;
    void replayFinished() override;

    // The hourglass, shown once however often it is asked for.
    void setBusyCursor(bool busy);

  private:
    const app::Workspace& ws_;
    ChartPanel& charts_;
    InstrumentStrip& strip_;
    TrajectoryView& trajectory_;
    std::function<void()> showMarkerTable_;
    bool busyCursor_ = false;
};

} // namespace skarvel::gui
