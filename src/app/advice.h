#pragma once
// What to change: for each setting a builder changes (the centre of
// gravity, the tail setting, the main wing's dihedral, the fin), one at a
// time within its box, the range over which the glider trims unstalled with
// every mode decaying, what ends the range on each side, and the values of
// the best glide ratio and of the least sink inside it.
//
// Each setting is scanned over 41 values of its box (and its current value)
// by continuation, every trim started from its neighbour's, as the glide
// polar does; each change between a good and a bad value is then bisected to
// 1/4096 of the box; the best values are refined by golden-section search
// between the grid values around the best one.

#include "app/sweep.h"
#include "sim/modes.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace skarvel::app {

struct SettingAdvice {
    std::string name; // as --set and the sweep take it
    double current = 0;
    double boxLow = 0;
    double boxHigh = 0;
    // The range holding the current value, else the one nearest to it; none
    // when no value of the box trims unstalled and stable.
    std::optional<double> low;
    std::optional<double> high;
    std::optional<double> best;      // the best glide ratio in the range
    std::optional<double> leastSink; // the least sink in the range
    // What ends the range at each side, one word: "box-edge", "no-trim",
    // "stall", or a mode's name and "-unstable" ("phugoid-unstable",
    // "spiral-unstable", "dutch-roll-unstable", ...).
    std::string lowLimit;
    std::string highLimit;
    // The centre of gravity of a design: the nose ballast (g) the model adds
    // at low, high and best (negative: at the tail).
    std::optional<std::array<double, 3>> ballast;
};

struct Advice {
    bool currentTrims = false; // the tables as they are trim at all
    std::vector<SettingAdvice> settings;
};

// The settings of the tables and design in `base`: with a design (the input
// data converted from it at every value) 胴体/重心位置
// (0 to 1.5 root chords), 水平尾翼取付角 (-6 to +6 degrees), 主翼/上反角 (0 to
// 20 degrees) and 垂直尾翼/展開長 (0.25 to 3 times its value); without one
// 両立余裕(重心) (-30 to +30 %), 水平尾翼取付角, 主翼上反角 and 垂直尾翼容積.
Advice Advise(const SweepBase& base, bool withDesign);
// The design's centre of gravity alone (胴体/重心位置, as Advise gives it);
// `rangeOnly`: its range and limits without the best values and the ballast.
SettingAdvice AdviseCentreOfGravity(const SweepBase& base, bool rangeOnly = false);

// One line per setting, tab-separated:
//   setting NAME CURRENT LOW HIGH BEST LOWLIMIT HIGHLIMIT
//   ballast G_AT_LOW G_AT_HIGH G_AT_BEST      (the centre of gravity of a design)
// numbers as "%.6g", "-" where there is none.
std::string AdviceText(const Advice& advice);

// "dutch-roll", "phugoid-real": a mode's name as one word.
std::string ModeWord(sim::ModeKind kind);

// A value of the setting as the table gets it: rounded to a thousandth of
// the box's width at most ("0.42", "25.7").
std::string AdviceValueText(const SettingAdvice& setting, double value);
// The best value so rounded, and kept inside the range; empty without one.
std::string BestValueText(const SettingAdvice& setting);

// The stability window's page "調整の目安": a row per setting with its bar.
struct AdviceRow {
    std::string caption; // "水平尾翼取付角（度）"
    std::string text;    // the range, what ends it, the best values, the ballast
    double boxLow = 0;
    double boxHigh = 0;
    std::string boxLowText, boxHighText; // the ends of the bar
    double current = 0;
    std::optional<double> low, high, best;
    std::string applyText; // "最良値 0.42 にする"; empty: nothing to apply
};
std::vector<AdviceRow> ViewAdvice(const Advice& advice);

} // namespace skarvel::app
