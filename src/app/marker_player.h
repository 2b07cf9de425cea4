#pragma once
// The marker and the replay without their display: the track bar (with
// "4秒表示"), the sample the marker table, bars and dials show, the launch
// preview, and the replay that moves the track bar frame by frame.

#include "data/tables.h"
#include "sim/flight_record.h"
#include "sim/input_set.h"
#include "view/marker.h"

#include <functional>
#include <optional>
#include <string>

namespace skarvel::app {

class TrajectoryViewport;

// The page shown in the main page area; the marker follows on it.
enum class Page { Design, Computed, Charts, Trajectory };

// What a view of the marker is told.
class MarkerView {
  public:
    virtual ~MarkerView() = default;
    // The marker moved, or the track bar's range changed: the table, bars
    // and dials follow; every chart's marker goes to chart point
    // `chartPoint` (sample 5k) when there is one, whichever page is shown.
    virtual void markerMoved(std::optional<int> chartPoint) = 0;
};

class MarkerPlayer {
  public:
    // `busy` is true while a flight runs; `stop` is the flag that ends a
    // flight or a replay. The marker table's values are written into `tables`.
    MarkerPlayer(sim::FlightRecord& record, const sim::InputSet& input, data::Tables& tables,
                 TrajectoryViewport& viewport, const bool& busy, bool& stop);

    void setView(MarkerView* view) { view_ = view; }
    void setVisiblePage(Page page) { page_ = page; }

    // The track bar: position 0 .. trackMax(), N or, with "4秒表示", at most
    // 400. Every change of the position moves the marker on the visible page
    // and shows the sample.
    int trackPosition() const { return track_; }
    int trackMax() const { return trackMax_; }
    void setTrackPosition(int position);
    bool fourSeconds() const { return fourSeconds_; }
    void setFourSeconds(bool on);
    // The range follows the flight in the record.
    void updateTrackMax();

    // The sample the table, bars and dials show: -1 (the launch preview) .. N.
    int markerSample() const { return markerSample_; }
    const sim::FlightSample& markerState() const {
        return markerSample_ < 0 ? record_.launchPreview() : record_.sample(markerSample_);
    }
    view::InstrumentBars bars() const { return view::BarValues(markerState()); }
    // Marker := i, its values into the marker table (not while a flight runs),
    // and the view follows, the charts' marker included (none for the
    // launch preview, -1).
    void showMarkerSample(int i);
    // After a flight: a marker beyond its end goes back to the track bar.
    void keepMarkerInFlight();
    // The sample nearest to a time (0 while a flight runs).
    int sampleAtTime(double t) const;
    // Enter in the marker table's value cell of a row: the point number or
    // the time marks a sample; the track bar stays.
    void markerCellEntered(int row);
    // Text typed into an input-data cell of rows 1 to 12: the launch state
    // is previewed on the bars and dials.
    void previewLaunch(int row, const std::string& typed);
    // The marker table as the CLI prints it: the sample i (limited to 0 .. N)
    // marked as by the table's row 1, with the track bar there too.
    void markSample(int i);

    // --- replay ----------------------------------------------------------------
    const std::string& replayStepText() const { return replayStep_; }
    bool replaying() const { return replaying_; }
    // The replay step dialog's answer: an integer limited to -100 .. 100, 1
    // for anything else.
    void setReplayStep(const std::string& answer);
    // A replay is played one display frame at a time: the window calls
    // replayFrame() from a timer, so nothing runs inside the delivery of the
    // key or click that started it. Starting is refused while a flight runs.
    bool startReplay(bool forward);
    // One frame: the marker moves on by the step, or a slow-motion frame
    // holds the sample. False once the replay has ended (the end of the
    // flight, the stop flag, or a marker moved by the user); it waits while
    // a flight runs.
    bool replayFrame();
    // The whole replay at once, `betweenFrames` called after each frame (the
    // CLI and tests); false while a flight runs.
    bool play(bool forward, const std::function<void()>& betweenFrames = {});
    // Stop any replay; the marker to the start or the end.
    void replayToStart();
    void replayToEnd();

  private:
    void trackChanged();
    // The sample's values into the marker table and the view told, with
    // the charts' marker moved to chartPoint on the chart page.
    void showSample(int i, std::optional<int> chartPoint);
    // The chart point of sample i when the chart page shows it.
    std::optional<int> chartPointOf(int i) const;
    void finishReplay();

    sim::FlightRecord& record_;
    const sim::InputSet& input_;
    data::Tables& tables_;
    TrajectoryViewport& viewport_;
    const bool& busy_;
    bool& stop_;
    MarkerView* view_ = nullptr;
    Page page_ = Page::Trajectory;
    int track_ = 0;
    int trackMax_ = 0;
    bool fourSeconds_ = false;
    int markerSample_ = 0;
    std::string replayStep_ = "3";
    bool replaying_ = false;
    bool replayForward_ = true;
    int replayAdvance_ = 1; // samples a frame
    int replayHold_ = 0;    // extra frames each sample is held in slow motion
    int replayHeld_ = 0;    // held frames still to come for the sample shown
    int replayAt_ = 0;      // the position the replay last asked for
};

} // namespace skarvel::app
