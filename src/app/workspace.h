#pragma once
// All state of one main window and the commands on it, without any display.
// The window forwards what the user does to these methods and shows the state;
// every change of state goes through a method here, so the busy guard has one
// owner.

#include "data/design_file.h"
#include "data/tables.h"
#include "model/aircraft.h"
#include "sim/aero_laws.h"
#include "sim/flight_record.h"
#include "sim/history.h"
#include "sim/input_set.h"
#include "view/marker.h"
#include "view/navigation.h"
#include "view/trajectory.h"
#include "view/view_state.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace skarvel::app {

inline constexpr const char* kAppTitle = "Skarvel";

// What the window does around a flight. The default does nothing (CLI, tests).
class RunView {
  public:
    virtual ~RunView() = default;
    // Busy cursor, clear the trajectory picture and the charts, paint them.
    virtual void runStarting() {}
    // A sample at a 50 ms point (live charts, trajectory step).
    virtual void sampleStored(const sim::FlightRecord&, int /*index*/, double /*airspeed*/) {}
    // Once per simulated second: let the window handle its pending events.
    virtual void processEvents() {}
    // Rescale charts, set the marker range, redraw, restore the cursor.
    virtual void runFinished() {}
    // The marker on the visible chart to chart point k (sample 5k).
    virtual void moveChartMarker(int /*k*/) {}
    // The marker sample or the track bar moved: table, bars and dials follow.
    virtual void markerChanged() {}
    // Replay: the busy cursor on and off, a repaint for each held frame of
    // slow motion, and, between the frames of a whole replay played at once,
    // the view's turn.
    virtual void replayStarting() {}
    virtual void repaintTrajectory() {}
    virtual void replayFrame() {}
    virtual void replayFinished() {}
};

// The page shown in the main page area; the marker follows on it.
enum class Page { Design, Computed, Charts, Trajectory };

// Default names the file dialogs offer.
struct DialogFiles {
    std::string inputOpen;
    std::string inputSave;
    std::string designOpen;
    std::string designSave;
};

// The check-mark commands of the window.
enum class Option {
    LiveCharts,     // "グラフ(&G)"
    LiveTrajectory, // "軌跡(&Q)"
    AutoFit,        // "自動最大表示(&A)"
    CursorGround,   // "平面投影を表示(&H)"
    GroundTrack,    // "地面投影(&P)"
    SpanVerticals,  // "投影垂直線表示(&W)"
};

struct Options {
    bool liveCharts = true;
    bool liveTrajectory = true;
    bool autoFit = false;
    bool cursorGround = true;
    bool groundTrack = true;
    bool spanVerticals = false;

    bool get(Option o) const { return this->*member(o); }
    void set(Option o, bool on) { this->*member(o) = on; }

  private:
    static bool Options::*member(Option o);
};

enum class TableId { Input, Parameter, Marker, Design, Computed };

class TrajectorySurface;

class Workspace {
  public:
    // `programPath` is the program's own file, for the default input file beside it.
    explicit Workspace(std::string programPath = {});
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // --- state (read only; changes go through the commands below) ----------
    const data::Tables& tables() const { return tables_; }
    const data::Table& table(TableId id) const;
    const sim::InputSet& inputSet() const { return input_; }
    const sim::FlightRecord& record() const { return *record_; }
    const sim::RunStatistics& statistics() const { return stats_; }
    const sim::RunHistory& history() const { return history_; }
    const std::string& caption() const { return caption_; }
    const DialogFiles& dialogFiles() const { return dialogs_; }
    const Options& options() const { return options_; }
    const std::string& comment() const { return comment_; }
    bool busy() const { return busy_; }
    bool stopRequested() const { return stop_; }

    const model::AircraftModel& aircraft() const { return model_; }
    // False when the last design computation failed part way: a flight on
    // the design-based laws then ends as an "Error" row.
    bool designComputed() const { return designComputed_; }
    // The measured mass of the real glider that came with the design, if any.
    const std::optional<std::string>& measuredMass() const { return measuredMass_; }

    void setRunView(RunView* view) { view_ = view; }
    // Where the trajectory is drawn; none: nothing is drawn.
    void setTrajectorySurface(TrajectorySurface* surface) { surface_ = surface; }
    // The laws a flight uses when the minimum drag coefficient is not above 0:
    // the aircraft model of the current design unless replaced here.
    void setDesignLaws(sim::DesignAeroLaws* laws) { laws_ = laws; }

    // --- edits ---------------------------------------------------------------
    // A cell typed by the user. Allowed during a flight: the flight works on
    // what it loaded.
    void editCell(TableId id, int column, int row, const std::string& text);
    void setComment(std::string text) { comment_ = std::move(text); }
    // The three drawing options redraw the trajectory; the others only flip.
    void setOption(Option o, bool on);

    // --- start-up ----------------------------------------------------------
    // The start-up input data (first argument or the default files); the
    // window then flies from the input data. A file that cannot be read throws
    // data::FileError after the dialogs' defaults are set.
    void loadStartupInput(const std::vector<std::string>& args);

    // --- runs --------------------------------------------------------------
    // Both return false when the request was dropped because a run is in progress.
    bool runFromInput();
    bool runFromParameters();
    // Stop flag: ends a flight (or replay) at its next whole second.
    void requestStop() { stop_ = true; }
    // Re-runs a history row with its inputs, adding no row. False when
    // nothing ran (busy, no such row, or an error row).
    bool rerunHistoryRow(int row);
    // Refreshes the parameter table from the input data. False when the
    // estimate failed part way (the table keeps what it wrote).
    bool estimate();

    // --- run history ---------------------------------------------------------
    // Each does nothing while a flight runs and returns false then.
    bool selectHistoryRow(int row);
    bool deleteSelectedHistoryRow();
    bool clearHistory();
    bool sortHistory(int column);

    // --- marker --------------------------------------------------------------
    // The marker track bar: position 0 .. trackMax(), N or, with "4秒表示",
    // at most 400. Every change of the position moves the marker on the
    // visible page and shows the sample.
    int trackPosition() const { return track_; }
    int trackMax() const { return trackMax_; }
    void setTrackPosition(int position);
    bool fourSeconds() const { return fourSeconds_; }
    void setFourSeconds(bool on);
    void setVisiblePage(Page page) { page_ = page; }
    // The sample the table, bars and dials show: -1 (the launch preview) .. N.
    int markerSample() const { return markerSample_; }
    // The marker's state: the sample, or the launch preview for -1.
    const sim::FlightSample& markerState() const {
        return markerSample_ < 0 ? record_->launchPreview() : record_->sample(markerSample_);
    }
    view::InstrumentBars bars() const;
    // Marker := i, its values into the marker table (not while a flight runs),
    // and the bars and dials follow.
    void showMarkerSample(int i);
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
    // The whole replay at once, with the view's replayFrame() between frames
    // (the CLI and tests); false while a flight runs.
    bool playForward() { return play(true); }
    bool playBackward() { return play(false); }
    // Stop any replay; the marker to the start or the end.
    void replayToStart();
    void replayToEnd();

    // --- trajectory view -----------------------------------------------------
    const view::ViewState& viewState() const { return viewState_; }
    const view::MouseGesture& mouse() const { return mouse_; }
    // The start-up view of an image of that size (angles a and b).
    void prepareView(int width, int height, int a = 0, int b = 20);
    // The image has a new size: the trajectory is drawn again at that size.
    void resizeView(int width, int height);
    // The view commands. Fits, the origin reset and the zoom do nothing while
    // a flight runs (false) and swallow their errors; the moves and the
    // angles let a coordinate beyond the pixel range reach the caller.
    bool fitToTrajectory();
    bool fitToRange();
    bool resetOrigin();
    bool zoom(double factor);
    bool moveView(view::Direction d);
    // The view angles (the scroll bars); nothing happens when unchanged.
    void setViewAngles(int a, int b);
    void mousePress(view::Point p);
    void mouseMove(view::Point p, bool leftHeld, bool rightHeld);
    void mouseRelease(view::Point p, view::MouseButton button);
    // The clean image drawn again from the record (nothing while a flight
    // runs or a redraw is under way), then shown.
    void redrawTrajectory();
    // The picture made from the clean image with the cursor at sample i.
    void showCursorAt(int i);
    // What every view command ends with: redraw, then the cursor at the marker.
    void redrawView();

    // --- design ------------------------------------------------------------
    // Runs the aircraft model on the design table and fills the computed-data
    // table. False when the computation failed part way (quietly).
    bool computeDesign();
    // "入力データに変換(&D)": computeDesign, the transfer into the input data and
    // the derivative estimate. False when dropped because a run is in progress.
    bool convertToInput();
    // A name chosen from a design cell's pick list (none: nothing chosen) is
    // written into the cell and the design converted. False when nothing changed.
    bool choosePickItem(int column, int row, std::optional<std::size_t> item);
    // The paper dialog's answer for a component column (OK and cancel alike):
    // the paper rows follow; nothing is recomputed.
    bool applyPaperChoice(int column, const std::string& name, const std::string& weight,
                          const std::string& thickness);
    // The design sketch is not drawn while a design file is read.
    bool sketchEnabled() const { return sketchEnabled_; }

    // --- files -------------------------------------------------------------
    // File commands do nothing while a flight runs: the ones returning bool
    // return false then, the others return an empty result.
    //
    // Reads a design file as the open command does and converts it. Returns
    // the outcome with the message the window shows (header or version); a
    // refused file changes nothing. Throws data::FileError for an unreadable file.
    data::DesignReadResult openDesignFile(const std::string& path);
    // Writes the design file (".kx" added when the name has no extension) and
    // returns the name written; throws data::FileError.
    std::string saveDesignFile(const std::string& path);
    // Reads an input-data file as the open command does; throws data::FileError
    // and then changes nothing.
    bool openInputFile(const std::string& path);
    // Writes the input-data file (".kxs" added when the name has no extension)
    // and returns the name written; throws data::FileError.
    std::string saveInputFile(const std::string& path);
    // The characters (at most 10, each once) that Shift-JIS cannot hold and
    // that a save would write as "?".
    std::vector<std::string> unsavableInputCharacters() const;
    std::vector<std::string> unsavableDesignCharacters(const std::string& path) const;
    // Files dropped on the window: the first one is read when it is an
    // existing ".kxs" file. True when it was read.
    bool dropFiles(const std::vector<std::string>& paths);
    // Writes the flight as text (".txt" added when the name has no
    // extension) and returns the name written; throws data::FileError.
    std::string exportFlightText(const std::string& path);

    // --- reset -------------------------------------------------------------
    // The reset command after the user said yes: every table back to the
    // program's values, parameters estimated, comment emptied.
    bool resetTables();

  private:
    class Observer;
    void runAndRefresh(bool estimateFirst);
    void liveStep(int index);
    void drawFlightCursor(int i);
    void trackChanged();
    void showSampleValues(int i);
    void updateTrackMax();
    bool play(bool forward);
    void finishReplay();
    view::DrawOptions drawOptions() const;
    // Runs a view command that swallows its errors; false while busy.
    template <class F> bool quietViewCommand(F command);
    void finishRun();
    void showFailedRun();
    void readInputFile(const std::string& path);
    void setCaptionFile(const std::string& path);
    data::Table& mutableTable(TableId id);
    std::string measuredMassText() const;

    std::string programPath_;
    data::Tables tables_;
    sim::InputSet input_;
    std::unique_ptr<sim::FlightRecord> record_;
    sim::RunStatistics stats_;
    sim::RunHistory history_;
    std::string caption_ = kAppTitle;
    DialogFiles dialogs_;
    Options options_;
    std::string comment_;
    bool busy_ = false;
    bool stop_ = false;
    bool noHistoryRow_ = false;
    bool designComputed_ = true;
    RunView* view_ = nullptr;
    TrajectorySurface* surface_ = nullptr;
    view::ViewState viewState_ = view::InitialView(0, 0);
    view::TrajectoryDrawing drawing_;
    view::MouseGesture mouse_;
    int track_ = 0;
    int trackMax_ = 0;
    bool fourSeconds_ = false;
    int markerSample_ = 0;
    Page page_ = Page::Trajectory;
    std::string replayStep_ = "3";
    bool replaying_ = false;
    bool replayForward_ = true;
    int replayAdvance_ = 1; // samples a frame
    int replayHold_ = 0;    // extra frames each sample is held in slow motion
    int replayHeld_ = 0;    // held frames still to come for the sample shown
    int replayAt_ = 0;      // the position the replay last asked for
    bool sketchEnabled_ = true;
    bool redrawing_ = false;
    model::AircraftModel model_;
    std::optional<std::string> measuredMass_;
    sim::DesignAeroLaws* laws_ = &model_;
};

} // namespace skarvel::app
