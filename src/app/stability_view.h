#pragma once
// What the stability window shows, without its widgets: the steady glide's
// rows or the message in their place, the static margin and its note, a row
// of texts per mode, the points of the root chart and the glide polar with
// the ranges they are drawn in, and the notes below the charts.

#include "sim/glide_polar.h"
#include "sim/modes.h"
#include "sim/settle.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace skarvel::app {

// The captions of the trim table's rows and the headers of the mode table.
inline constexpr std::size_t kTrimRows = 13;
extern const std::array<const char*, kTrimRows> kTrimCaptions;
inline constexpr std::size_t kModeColumns = 7;
extern const std::array<const char*, kModeColumns> kModeHeaders;

// The series of the charts: the roots decaying or growing; the polar's
// trims stable, stalled or unstable, and the best one marked again.
enum RootSeries { DecayingRoots, GrowingRoots };
enum PolarSeries { TrimmedPoints, StalledPoints, UnstablePoints, BestPoint };

struct PlotPoint {
    int series = 0;
    double x = 0, y = 0;
};
struct PlotRange {
    double lower = 0, upper = 0;
};
struct Plot {
    std::vector<PlotPoint> points;
    PlotRange x, y;
};

// A mode's row: its name then the numbers; a growing mode shows in red.
struct ModeRow {
    std::array<std::string, kModeColumns> cells;
    bool grows = false;
};

struct StabilityView {
    std::array<std::string, kTrimRows> trim; // "-" in every row without a trim
    std::string message;                     // shown in the table's place; empty with a trim
    std::string margin, marginNote;
    std::vector<ModeRow> modes;
    Plot roots, sink, ratio;
    std::string polarNote;
};

// The view of an analysis and polar; a `failure` that is not empty is the
// error that stopped the analysis (both are then empty).
StabilityView ViewStability(const sim::StabilityAnalysis& analysis, const sim::GlidePolar& polar,
                            const std::string& failure = {});

// Where the launch settles, in words ("この発射では: 定常旋回 (半径 10.2 m) に
// 落ち着く"), and a line for each steady glide found.
struct SettleView {
    std::string sentence;
    std::vector<std::string> equilibria;
};
SettleView ViewSettling(const sim::SettleAnalysis& analysis);

// A mode's name in the window's words ("フゴイド", "ダッチロール").
const char* ModeCaption(sim::ModeKind kind);

// The note after a flight from the trim: which rows of the input data it
// wrote.
std::string LaunchRowsNote();

} // namespace skarvel::app
