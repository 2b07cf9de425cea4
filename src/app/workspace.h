#pragma once
// All state of one main window and the commands on it, without any display.
// The window forwards what the user does to these methods and shows the state;
// every change of state goes through a method here, so the busy guard has one
// owner.

#include "app/marker_player.h"
#include "app/sweep.h"
#include "app/trajectory_viewport.h"
#include "data/design_file.h"
#include "data/tables.h"
#include "model/aircraft.h"
#include "sim/aero_laws.h"
#include "sim/flight_record.h"
#include "sim/glide_polar.h"
#include "sim/history.h"
#include "sim/input_set.h"
#include "sim/modes.h"
#include "view/pattern.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace skarvel::app {

inline constexpr const char* kAppTitle = "Skarvel";

// What a view is told about a flight. The default does nothing (CLI, tests).
class FlightView {
  public:
    virtual ~FlightView() = default;
    // A flight begins (the trajectory picture is blank already).
    virtual void flightStarting() {}
    // A step was stored, and drawn when the trajectory is drawn live: a
    // sample at a 50 ms point.
    virtual void stepDrawn(const sim::FlightRecord& /*record*/, int /*index*/,
                           double /*airspeed*/) {}
    // Once per simulated second: the view's turn to handle its events.
    virtual void secondElapsed() {}
    // The flight ended, whole, stopped or failed, and the views show it.
    virtual void flightEnded() {}
};

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

    const model::AircraftModel& aircraft() const { return *model_; }
    // False when the last design computation failed part way: a flight on
    // the design-based laws then ends as an "Error" row.
    bool designComputed() const { return designComputed_; }
    // The measured mass of the real glider that came with the design, if any.
    const std::optional<std::string>& measuredMass() const { return measuredMass_; }

    void setFlightView(FlightView* view) { view_ = view; }
    // The laws a flight uses when the minimum drag coefficient is not above 0:
    // the aircraft model of the current design unless replaced here.
    void setDesignLaws(const sim::DesignAeroLaws* laws) { lawsOverride_ = laws; }

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

    // --- stability analysis ---------------------------------------------------
    // The steady glide, the static margin and the modes of the input data as
    // a flight would load them; the tables stay as they are.
    sim::StabilityAnalysis analyseStability();
    // The steady glide for each tail setting from -6 to +6 degrees.
    sim::GlidePolar glidePolar();
    // Sets the launch rows of the input data to the steady glide, with the
    // mode at that index of analyseStability().modes added at a small
    // amplitude when one is given, and flies. False when nothing flew: a
    // flight in progress, no steady glide, or no such mode.
    bool flyFromTrim(std::optional<std::size_t> mode = std::nullopt);

    // --- sweeps ------------------------------------------------------------------
    // What each point of a sweep starts from: the tables and the design now.
    SweepBase sweepBase() const { return {tables_, model_, designComputed_}; }
    // Writes a sweep point's values into the tables as the sweep did and flies
    // from the input data, adding a history row. False when a run is in progress.
    bool flySweepPoint(const SweepGrid& grid, std::size_t point);
    // "NAME=VALUE" for each, written as a sweep point's values are (the
    // command line's --set). Throws SweepError naming a refused one, before
    // anything is written.
    void applySettings(const std::vector<std::string>& settings);

    // --- cutting pattern ---------------------------------------------------------
    // The parts of the design at full size on pages of `paper` (mm) with at
    // least `margin` mm kept free, labelled with the design file's name and
    // `date`. Throws view::PatternError.
    view::PatternLayout cuttingPattern(view::PointMm paper, double margin,
                                       const std::string& date) const;

    // --- run history ---------------------------------------------------------
    // Each does nothing while a flight runs and returns false then.
    bool selectHistoryRow(int row);
    bool deleteSelectedHistoryRow();
    bool clearHistory();
    bool sortHistory(int column);

    // --- the parts --------------------------------------------------------
    // The trajectory picture and its view commands; the marker and the
    // replay. Both refuse what would change the picture while a flight runs.
    TrajectoryViewport& viewport() { return viewport_; }
    const TrajectoryViewport& viewport() const { return viewport_; }
    MarkerPlayer& marker() { return marker_; }
    const MarkerPlayer& marker() const { return marker_; }

    // --- design ------------------------------------------------------------
    // Runs the aircraft model on the design table and fills the computed-data
    // table. False when the computation failed part way (quietly).
    bool computeDesign();
    // What the window says while the last design computation stands failed,
    // naming the part it failed at; empty once one succeeds.
    std::string designFailure() const;
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
    // Every fifth sample (50 ms) goes to the charts as a flight runs.
    static constexpr int kChartStep = 5;
    // The last sample the running flight reported; -1 before the first.
    int reportedSample_ = -1;
    void runAndRefresh(bool estimateFirst);
    void finishRun();
    // The laws a flight flies on: none for a design whose computation failed.
    // The flight holds them: a design recomputed meanwhile makes a new model.
    std::shared_ptr<const sim::DesignAeroLaws> flightLaws() const;
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
    FlightView* view_ = nullptr;
    TrajectoryViewport viewport_;
    MarkerPlayer marker_;
    bool sketchEnabled_ = true;
    // Replaced, never changed, by a recomputation.
    model::SharedAircraftModel model_ = std::make_shared<const model::AircraftModel>();
    std::optional<std::string> measuredMass_;
    std::optional<const sim::DesignAeroLaws*> lawsOverride_;
};

} // namespace skarvel::app
