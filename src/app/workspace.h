#pragma once
// All state of one main window and the commands on it, without any display.
// The window forwards what the user does to these methods and to those of the
// workspace's parts, and shows the state; every change of state goes through
// one of them, each refusing what a running flight forbids.

#include "app/edit_history.h"
#include "app/file_commands.h"
#include "app/marker_player.h"
#include "app/sweep.h"
#include "app/trajectory_viewport.h"
#include "app/workspace_services.h"
#include "data/design_file.h"
#include "data/tables.h"
#include "model/aircraft.h"
#include "sim/aero_laws.h"
#include "sim/flight_record.h"
#include "sim/history.h"
#include "sim/input_set.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace skarvel::app {

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
    const DialogFiles& dialogFiles() const { return files_.state().dialogs; }
    const Options& options() const { return options_; }
    const std::string& comment() const { return comment_; }
    bool busy() const { return busy_; }
    bool stopRequested() const { return stop_; }

    const model::AircraftModel& aircraft() const { return *model_; }
    // False when the last design computation failed part way: a flight on
    // the design-based laws then ends as an "Error" row.
    bool designComputed() const { return designComputed_; }

    void setFlightView(FlightView* view) { view_ = view; }
    // The laws a flight uses when the minimum drag coefficient is not above 0:
    // the aircraft model of the current design unless replaced here.
    void setDesignLaws(const sim::DesignAeroLaws* laws) { lawsOverride_ = laws; }

    // --- edits ---------------------------------------------------------------
    // A cell typed by the user. Allowed during a flight: the flight works on
    // what it loaded.
    void editCell(TableId id, int column, int row, const std::string& text);
    // One text written into several cells of a table at once, one step with
    // the edit of the first cell just before it.
    void editBlock(TableId id, const std::vector<std::pair<int, int>>& cells,
                   const std::string& text);
    // The comment as typed: typing without a pause of kCommentPause, and
    // without another step between, is one step.
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kCommentPause = std::chrono::seconds(3);
    void setComment(std::string text, Clock::time_point now = Clock::now());
    // The three drawing options redraw the trajectory; the others only flip.
    void setOption(Option o, bool on);

    // --- runs --------------------------------------------------------------
    // Both return false when the request was dropped because a run is in progress.
    bool runFromInput();
    bool runFromParameters();
    // Stop flag: ends a flight (or replay) at its next whole second.
    void requestStop() { stop_ = true; }
    // Refreshes the parameter table from the input data. False when the
    // estimate failed part way (the table keeps what it wrote).
    bool estimate();

    // --- the parts --------------------------------------------------------
    // The trajectory picture and its view commands; the marker and the
    // replay. Both refuse what would change the picture while a flight runs.
    TrajectoryViewport& viewport() { return viewport_; }
    const TrajectoryViewport& viewport() const { return viewport_; }
    MarkerPlayer& marker() { return marker_; }
    const MarkerPlayer& marker() const { return marker_; }
    // The stability analysis, its polar and its trim flights.
    AnalysisService& analysis() { return analysis_; }
    // What a sweep starts from, and its points flown as runs.
    SweepService& sweeps() { return sweeps_; }
    // The cutting pattern of the design.
    const PatternService& pattern() const { return pattern_; }
    // Selecting, deleting, sorting and re-running the history's rows.
    HistoryCommands& historyCommands() { return historyCommands_; }
    // Undo and redo of the edits of the tables.
    EditService& edits() { return edits_; }
    const EditService& edits() const { return edits_; }
    // The files read and written, the caption they give the window.
    FileCommands& files() { return files_; }
    const FileCommands& files() const { return files_; }

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

    // --- reset -------------------------------------------------------------
    // The reset command after the user said yes: every table back to the
    // program's values, parameters estimated, comment emptied.
    bool resetTables();

  private:
    class Observer;
    friend class AnalysisService;
    friend class SweepService;
    friend class PatternService;
    friend class HistoryCommands;
    friend class FileCommands;
    friend class EditService;
    // One named step of the edit history around an edit of the tables, the
    // comment or the files, from construction to destruction; a step inside
    // another is part of it. With `join`, the step joins the newest step
    // when that is still the one the number names (see newestStep_), under
    // its own name when `renames`.
    class EditScope {
      public:
        EditScope(Workspace& ws, std::string name, std::uint64_t join = 0, bool renames = false);
        ~EditScope();
        EditScope(const EditScope&) = delete;
        EditScope& operator=(const EditScope&) = delete;

      private:
        Workspace& ws_;
        std::string name_;
        std::uint64_t join_;
        bool renames_;
        bool outermost_;
        int exceptions_;
        std::optional<data::Tables> before_;
        EditExtras extras_;
        std::string comment_;
        std::optional<FileState> files_;
    };
    EditHistory editHistory_;
    int editDepth_ = 0;
    // What the last outermost step left as the newest step (0: none, or
    // nothing changed); the steps that the next edit may join.
    std::uint64_t newestStep_ = 0;
    std::uint64_t designEditStep_ = 0; // a design cell: the conversion joins it
    std::uint64_t cellEditStep_ = 0;   // a cell: the block written with it joins it
    std::uint64_t commentStep_ = 0;    // typing in the comment
    Clock::time_point commentTyped_{};
    // Counts the steps done, undone and redone.
    std::uint64_t editRevision_ = 0;
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
    data::Table& mutableTable(TableId id);

    std::string programPath_;
    data::Tables tables_;
    sim::InputSet input_;
    std::unique_ptr<sim::FlightRecord> record_;
    sim::RunStatistics stats_;
    sim::RunHistory history_;
    Options options_;
    std::string comment_;
    bool busy_ = false;
    bool stop_ = false;
    bool noHistoryRow_ = false;
    bool designComputed_ = true;
    FlightView* view_ = nullptr;
    TrajectoryViewport viewport_;
    MarkerPlayer marker_;
    AnalysisService analysis_{*this};
    EditService edits_{*this};
    SweepService sweeps_{*this};
    PatternService pattern_{*this};
    HistoryCommands historyCommands_{*this};
    FileCommands files_{*this};
    // Replaced, never changed, by a recomputation.
    model::SharedAircraftModel model_ = std::make_shared<const model::AircraftModel>();
    std::optional<const sim::DesignAeroLaws*> lawsOverride_;
};

} // namespace skarvel::app
