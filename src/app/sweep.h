#pragma once
// Parameter sweeps: a grid of values written into cells of the tables, one
// whole flight for each point, flown on several threads and delivered in
// grid order.

#include "data/tables.h"
#include "model/aircraft.h"
#include "sim/flight_record.h"
#include "sim/summary.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace skarvel::app {

// A variable or a grid the sweep refuses; what() names the variable and the
// reason, and reason() tells a window which of its own messages to show.
class SweepError : public std::runtime_error {
  public:
    enum class Reason {
        UnknownName,    // no input row or design cell of that name
        NotANumberCell, // a cell that does not take a number
        Malformed,      // not NAME=VALUE or NAME=FROM:TO:STEP
        NotANumber,     // part() is "FROM", "TO", "STEP" or "VALUE"
        ZeroStep,
        AwayFromTo, // the step leads away from TO
        TooMany,    // more values or points than a sweep takes; part() is the
                    // count when it can be told, else empty
        Overflow,   // TO - FROM or a value beyond the range of a double
        Refused,    // a value the cell would refuse, a cell varied twice, …
    };
    SweepError(Reason reason, const std::string& what, std::string part = {})
        : std::runtime_error(what), reason_(reason), part_(std::move(part)) {}
    Reason reason() const { return reason_; }
    const std::string& part() const { return part_; }

  private:
    Reason reason_;
    std::string part_;
};

inline constexpr std::size_t kMaxSweepPoints = 10'000'000;

// A variable's values, the texts as a user would type them. A range makes
// each text when it is asked for, so that 10^7 values take no more memory
// than one.
class SweepValues {
  public:
    SweepValues() = default;
    explicit SweepValues(std::string value) : value_(std::move(value)), count_(1) {}
    // from + k * step for k below count, with `decimals` decimals (none: the
    // shortest text that reads back the same).
    SweepValues(double from, double step, std::size_t count, std::optional<int> decimals)
        : from_(from), step_(step), count_(count), decimals_(decimals), range_(true) {}

    std::size_t size() const { return count_; }
    std::string operator[](std::size_t k) const;

    class Iterator {
      public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string;
        Iterator() = default;
        Iterator(const SweepValues* values, std::size_t k) : values_(values), k_(k) {}
        std::string operator*() const { return (*values_)[k_]; }
        Iterator& operator++() {
            ++k_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator was = *this;
            ++k_;
            return was;
        }
        bool operator==(const Iterator& other) const { return k_ == other.k_; }

      private:
        const SweepValues* values_ = nullptr;
        std::size_t k_ = 0;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, count_}; }

  private:
    std::string value_; // the one value as written
    double from_ = 0, step_ = 0;
    std::size_t count_ = 0;
    std::optional<int> decimals_;
    bool range_ = false;
};

struct SweepVariable {
    std::string name; // as written: an input caption, or COLUMN/ROW of the design
    bool design = false;
    int column = 0; // the cell the values are written into
    int row = 0;
    SweepValues values;
};

// "NAME=FROM:TO:STEP" (TO included within half a step; STEP may be negative)
// or "NAME=V". Values are written with the decimals their texts have.
// Throws SweepError for an unknown name, a cell that cannot be typed into, a
// malformed range, a step of 0 or one that leads away from TO, a range
// beyond the doubles, too many values, or a value the cell would refuse.
SweepVariable ParseSweepVariable(std::string_view spec);
// How many values that variable has, checked as ParseSweepVariable checks it
// but without writing the values (a window counts the points as the user types).
std::size_t SweepValueCount(std::string_view spec);

// True for a cell a user can type a number into: one a sweep may vary.
bool SweepTakesCell(bool design, int column, int row);

// Digits after the point of a number as typed ("0.25": 2); none for an
// exponent form.
std::optional<int> TypedDecimals(std::string_view text);
// A value as a user would type it: with `decimals` decimals and no "-0";
// none: the shortest text that reads back the same.
std::string TypedValue(double value, std::optional<int> decimals);

// The grid's variables and values; not changed once made, so every worker
// of a sweep reads one grid.
class SweepGrid {
  public:
    // Throws SweepError when a cell is varied twice or the grid has more
    // than kMaxSweepPoints points.
    explicit SweepGrid(std::vector<SweepVariable> variables);
    const std::vector<SweepVariable>& variables() const { return variables_; }
    bool hasDesignVariables() const;
    // Points in grid order, the last variable varying fastest.
    std::size_t size() const { return size_; }
    std::vector<std::string> valuesOf(std::size_t point) const;

  private:
    std::vector<SweepVariable> variables_;
    std::size_t size_ = 1;
};

struct SweepRow {
    std::size_t point = 0;
    std::vector<std::string> values;           // the varied cells' texts
    std::optional<sim::FlightSummary> summary; // none: the flight ended in "Error"
};

// What every point starts from: the tables and the design as they are. The
// workers share it and only read it; a point that changes the design
// computes a model of its own.
struct SweepBase {
    data::Tables tables;
    model::SharedAircraftModel model; // the current design's, never null
    bool designComputed = true;
};

// One point: the base tables with the point's values written in
// (design cells first, then the design converted into input data as the
// window's Enter does), then estimate, load and flight, as the window's
// run from the input data. `record` is the caller's, reused between points.
SweepRow FlySweepPoint(const SweepBase& base, const SweepGrid& grid, std::size_t point,
                       sim::FlightRecord& record);
// Writes a point's values into `tables` as FlySweepPoint does; where a
// design cell changed, `model` becomes a new one computed from it.
void WriteSweepPoint(data::Tables& tables, model::SharedAircraftModel& model, bool& designComputed,
                     const SweepGrid& grid, std::size_t point);
// The same for named values ("NAME=VALUE" each), as skarvel-cli fly --set.
// Writes the values into `tables` and recomputes `model` where a design cell
// changed. Throws SweepError as ParseSweepVariable does.
void ApplySettings(data::Tables& tables, model::SharedAircraftModel& model, bool& designComputed,
                   const std::vector<std::string>& settings);

// CSV, UTF-8: "point", the variables' names, the six figures with their
// units, "status"; numbers as the shortest text that reads back the same,
// 旋回半径 "直線" for a straight flight, the figures empty and status
// "Error" for a failed one. Lines end in "\n"; names with a comma or a
// quote are quoted.
// A flight from the input data as the workspace runs one: the estimate into
// a copy of the parameters, then the flight on `laws` (null: the simple
// model) into `record`. False when the estimate fails or the flight ends in
// an arithmetic failure or without laws.
bool FlyInputData(const data::Table& input, const data::Table& parameter,
                  const sim::DesignAeroLaws* laws, sim::FlightRecord& record,
                  sim::RunStatistics& stats);
// The number a named cell (as ParseSweepVariable names it) holds in the
// tables; none for a text that is no number. Throws SweepError for a name
// the sweep does not take.
std::optional<double> CellValue(const data::Tables& tables, const std::string& name);

std::string SweepCsvHeader(const SweepGrid& grid);
std::string SweepCsvLine(const SweepRow& row);

// The six figures of a flight summary. Their values are the positions of
// their captions in sim::kSummaryCaptions and of their texts in
// sim::SummaryTexts, the order in which the history list shows them.
enum class SummaryFigure {
    AirborneTime,
    MaxAltitude,
    LandingDistance,
    TurnRadius,
    Speed,
    SinkRate
};
inline constexpr std::array<SummaryFigure, 6> kSummaryFigures = {
    SummaryFigure::AirborneTime, SummaryFigure::MaxAltitude, SummaryFigure::LandingDistance,
    SummaryFigure::TurnRadius,   SummaryFigure::Speed,       SummaryFigure::SinkRate};
static_assert(kSummaryFigures.size() == sim::kSummaryCaptions.size());

// The figure's caption with its unit, as the history list heads it ("滞空時間(s)").
std::string_view SummaryFigureCaption(SummaryFigure figure);
// The figure as the history list shows it.
std::string SummaryFigureText(const sim::FlightSummary& s, SummaryFigure figure);
// The figure as a number; a straight flight's turn radius is infinite.
double SummaryFigureValue(const sim::FlightSummary& s, SummaryFigure figure);
// The figure a "--best" name means: its caption with or without the unit
// ("滞空時間" or "滞空時間(s)"); none for an unknown name.
std::optional<SummaryFigure> SummaryFigureNamed(std::string_view name);
// True when `a` is better than `b` in that figure: the larger value, the
// lesser for 沈下率, a straight flight's turn radius counting as infinite.
// Error rows are never better.
bool BetterRow(const SweepRow& a, const SweepRow& b, SummaryFigure figure);

struct SweepOptions {
    int workers = 0;       // 0: one per core
    std::size_t shard = 0; // the points whose index mod shards equals shard
    std::size_t shards = 1;
    // How far the workers may run ahead of takeRows: a worker waits before
    // a point this many positions past the first row not taken yet. 0: 1024,
    // at least 4 per worker.
    std::size_t window = 0;
    // Starts a worker thread; std::jthread when empty. Like std::thread it
    // throws std::system_error when the system refuses a thread.
    std::function<std::jthread(std::function<void()>)> startThread = nullptr;
    // Flies one point; FlySweepPoint when empty. Tests put a fault in here.
    std::function<SweepRow(const SweepBase&, const SweepGrid&, std::size_t, sim::FlightRecord&)>
        flyPoint = nullptr;
};

struct SweepProgress {
    std::size_t done = 0;  // points flown
    std::size_t total = 0; // points of this shard
    double pointsPerSecond = 0;
    std::optional<double> secondsLeft;
};

// A sweep running on its worker threads from construction on. The workers
// read one base and one grid; each flies on a flight record of its own. The
// Sweep itself is driven from one thread (the one that made it).
class Sweep {
  public:
    // When the system refuses some of the worker threads, the sweep runs on
    // those that started (workers() below workersWanted()); when it refuses
    // the first, this throws std::runtime_error naming the reason.
    Sweep(SweepBase base, SweepGrid grid, SweepOptions options = {});
    ~Sweep(); // cancels and waits for the workers
    Sweep(const Sweep&) = delete;
    Sweep& operator=(const Sweep&) = delete;

    const SweepGrid& grid() const { return grid_; }
    std::size_t size() const { return points_; }
    int workers() const { return static_cast<int>(threads_.size()); }
    int workersWanted() const { return workersWanted_; }
    // Why a worker could not start; empty when every one did.
    const std::string& workerFailure() const { return workerFailure_; }

    // The rows finished since the last call, in grid order and without a
    // gap: a row waits for those before it. Waits up to `wait` when none
    // is ready. Workers wait for a call when they are a window ahead.
    std::vector<SweepRow> takeRows(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    SweepProgress progress() const;
    // Workers stop after their current flight; rows after a gap are dropped.
    void cancel();
    bool cancelled() const { return cancelled_; }
    // Every row of the shard taken, or cancelled and nothing more to take.
    bool finished() const;
    // What ended the sweep when a point failed otherwise than by arithmetic
    // (a fault of the program, memory running out): the sweep is cancelled,
    // the rows before that point stay; null when nothing did.
    std::exception_ptr fault() const;

  private:
    void work();
    std::size_t pointAt(std::size_t k) const { return options_.shard + k * options_.shards; }

    SweepBase base_;
    SweepGrid grid_;
    SweepOptions options_;
    std::size_t points_ = 0;
    std::size_t window_ = 0;
    int workersWanted_ = 0;
    std::string workerFailure_;
    std::chrono::steady_clock::time_point start_;
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> cancelled_{false};
    mutable std::mutex mutex_;
    std::condition_variable ready_;           // a row finished or a worker ended
    std::condition_variable room_;            // rows taken or the sweep cancelled
    std::map<std::size_t, SweepRow> waiting_; // finished, by position in the shard
    std::size_t taken_ = 0;                   // positions handed out by takeRows
    std::size_t running_ = 0;                 // workers still working
    std::exception_ptr fault_;                // the first fault, under mutex_
    std::vector<std::jthread> threads_;
};

} // namespace skarvel::app
