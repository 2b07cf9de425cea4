#pragma once
// What the sweep window shows, without its widgets: the cells it offers and
// the range about one, its entries checked into a grid or refused in its
// own words, and a sweep's results: the figure charted and its best point,
// the line of one variable or the colour map of two, a point's values, the
// point under the mouse or a click, the rows' list and the progress.

#include "app/sweep.h"
#include "data/tables.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel::app {

// The most points the window sweeps; the command line takes more.
inline constexpr std::size_t kWindowSweepPoints = 100'000;

// A cell the pick lists offer: the name a sweep knows it by ("主翼/上反角")
// and the list's text with the unit ("主翼/上反角 (deg)").
struct SweepChoice {
    std::string name;
    std::string label;
};
// The cells a user types numbers into: the input data's rows, then the
// design's cells by component; the first variable offered is 初速.
struct SweepChoices {
    std::vector<SweepChoice> input;
    std::vector<SweepChoice> design;
    std::string first;
};
SweepChoices SweepChoiceLists();

// A variable as the history list heads a column: its name with the unit of
// its cell, "初速(km/h)"; the name alone for a cell without a unit.
std::string SweepVariableTitle(const SweepVariable& variable);

// The range offered about a cell's text: nine values a round step apart
// with the cell's value in the middle, staying on its side of zero (a text
// that is no number counts as 0). FROM and TO have the decimals of the
// cell's text, at least the step's; the step has its own.
struct SweepRange {
    std::string from, to, step;
};
SweepRange SweepRangeAbout(std::string_view cellText);
// The same about the text the named cell has in `tables`.
SweepRange SweepRangeOfCell(const data::Tables& tables, std::string_view name);

// One variable's fields as typed, without surrounding spaces; an empty
// name: no variable.
struct SweepEntry {
    std::string name;
    std::string from, to, step;
};
// The entries checked: the grid they make and its count ("点数: 3 × 3 = 9"),
// or no grid and the reason ("変数1の刻みに 0 は使えません"). A grid of more
// than kWindowSweepPoints points is refused.
struct SweepEntries {
    std::optional<SweepGrid> grid;
    std::string text;
};
SweepEntries CheckSweepEntries(const std::vector<SweepEntry>& entries);

// A running sweep's progress: "12 / 100 点　3.4 点/秒　残り 26 秒", or
// "中止しています…" once it is cancelled.
std::string SweepProgressText(const SweepProgress& progress, bool cancelled);

// A click on a chart of points, all in pixels: the point drawn nearest the
// click when it lies within kClickPixels of it; none for a click between
// the points.
inline constexpr double kClickPixels = 5;
struct Pixel {
    double x = 0, y = 0;
};
std::optional<std::size_t> ClickedPoint(const std::vector<Pixel>& points, Pixel click);

// A sweep's results as they arrive, charted in one figure: a colour map
// when two variables have more than one value, else a line against the
// variable that has (the first when none has).
class SweepResults {
  public:
    struct LinePoint {
        double x = 0, y = 0;
        std::size_t point = 0;
    };
    struct Cell {
        int column = 0, row = 0;
        friend bool operator==(const Cell&, const Cell&) = default;
    };
    struct MapValue {
        Cell cell;
        double value = 0; // not a number for a failed flight or a straight turn radius
    };
    struct Range {
        double lower = 0, upper = 1;
    };

    SweepResults() = default; // before any sweep
    SweepResults(SweepGrid grid, SummaryFigure figure);

    const std::optional<SweepGrid>& grid() const { return grid_; }
    const std::vector<SweepRow>& rows() const { return rows_; }
    // Rows that follow the last in grid order; true when the best changed.
    bool add(std::vector<SweepRow> rows);
    SummaryFigure figure() const { return figure_; }
    void setFigure(SummaryFigure figure);
    // The row (an index of rows()) best in the figure, the first of equals.
    std::optional<std::size_t> best() const { return best_; }

    bool colourMap() const;
    std::string variableTitle(std::size_t k) const;
    std::size_t lineVariable() const;
    // A variable's values as numbers, in grid order.
    const std::vector<double>& values(std::size_t k) const { return numbers_[k]; }
    // The rows' figures from row `first` on: the line's points, none where
    // the figure is no number; the colour map's cells.
    std::vector<LinePoint> line(std::size_t first = 0) const;
    std::vector<MapValue> map(std::size_t first = 0) const;
    std::optional<LinePoint> bestOnLine() const;
    std::optional<Cell> bestCell() const;
    // The line's axes: the variable's whole range and half a step beyond,
    // so that no point sits on the frame; the figure's values with room.
    std::pair<Range, Range> lineRanges() const;

    // The point under the mouse: the line's value nearest x, or a cell of
    // the colour map; none off the grid.
    std::optional<std::size_t> pointNear(double x) const;
    std::optional<std::size_t> pointAt(Cell cell) const;
    // The line's point drawn at a click (pixelOf places a point of the line)
    // or within kClickPixels of it; none between points and on a colour map.
    std::optional<std::size_t> clickedPoint(const std::function<Pixel(double, double)>& pixelOf,
                                            Pixel click) const;

    // A point's number and values, then its six figures, "Error" or
    // "（未計算）"; without a point, the best row's. Nothing without either.
    std::vector<std::string> describe(std::optional<std::size_t> point) const;

    // The list: "点", the variables' titles and the six figures' captions;
    // a row's texts, "Error" under the first figure of a failed flight.
    std::vector<std::string> columnTitles() const;
    std::string cellText(std::size_t row, std::size_t column) const;
    // When no sweep runs: "開始を押すと計算します" before the first,
    // "完了: 9 点（Error 1 点）" or "中止しました: 4 / 9 点" after one.
    std::string statusText(bool cancelled) const;
    // The rows as the command line writes them, header first.
    std::string csv() const;

  private:
    std::size_t indexOf(std::size_t point, std::size_t k) const;
    double figureOf(const SweepRow& row) const;
    void findBest(std::size_t first);

    std::optional<SweepGrid> grid_;
    std::vector<SweepRow> rows_;
    std::vector<std::vector<double>> numbers_; // each variable's values
    std::vector<std::string> titles_;          // each variable's title
    SummaryFigure figure_ = SummaryFigure::AirborneTime;
    std::optional<std::size_t> best_;
};

// A sweep the window runs on worker threads, its rows taken into the
// results when it is polled.
class SweepRun {
  public:
    // Starts a sweep of the grid from the base, the results new in the
    // figure charted so far. Nothing while one runs; the reason when the
    // sweep cannot start ("スイープを開始できません: …").
    std::optional<std::string> start(SweepBase base, SweepGrid grid);
    bool running() const { return sweep_ != nullptr; }
    // Cancelled and its workers not yet ended.
    bool cancelling() const { return sweep_ && sweep_->cancelled(); }
    // The workers stop after their current flights; the rows so far stay.
    void cancel();

    // What a poll took: the rows from `first` on are new; `fault` says what
    // ended the sweep when a point failed otherwise than by arithmetic.
    struct Polled {
        std::size_t first = 0;
        bool bestChanged = false;
        std::string fault;
    };
    Polled poll();

    const SweepResults& results() const { return results_; }
    void setFigure(SummaryFigure figure) { results_.setFigure(figure); }

    // The progress bar and its text: "0 / 9 点" when the sweep starts, its
    // count, rate and time left at each poll, then the results' status.
    struct Progress {
        std::size_t value = 0, maximum = 1;
        std::string text;
    };
    Progress progress() const;

  private:
    std::unique_ptr<Sweep> sweep_;
    SweepResults results_;
    std::optional<SweepProgress> polled_; // at the last poll of the running sweep
    bool cancelledAtPoll_ = false;
    bool cancelled_ = false; // how the last sweep ended
};

} // namespace skarvel::app
