#pragma once
// The cutting pattern of a design: each part to cut, developed flat at full
// size in millimetres, with its fold lines, marks and labels, laid out on
// pages of a paper size (tiled where a part is larger than a page).

#include "data/table.h"
#include "model/aircraft.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel::view {

// A design that has no pattern; what() says why, in Japanese.
class PatternError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Millimetres on the paper: x to the right, y downwards.
struct PointMm {
    double x = 0;
    double y = 0;
};

struct RectMm {
    double x = 0, y = 0, width = 0, height = 0;
};

// How a line reads at the bench. Folds are named as seen on the printed side,
// which is the top side of every surface (the side looked at from above).
enum class PatternLine {
    Outline,      // the cut line of a piece, one closed path
    FoldMountain, // dash-dot: the crease rises towards the printed side
    FoldValley,   // dashed: the crease sinks away from the printed side
    Mark,         // placement marks, arrows, the scale bar and square
    Ballast,      // where the ballast goes
    CgRange,      // the stable range of the centre of gravity, a bracket
    Gauge,        // an angle gauge, cut from the paper like a piece
};

struct PatternPath {
    PatternLine kind = PatternLine::Mark;
    std::vector<PointMm> points;
    bool closed = false;
    std::string piece; // the outline's piece: wing, htail, vtail, vtail2, fuselage, nose, gauge1, …
};

struct PatternText {
    PointMm at;      // the left end of the base line
    double size = 3; // mm
    std::string text;
    // What the text belongs to, for the media that keep it (an SVG class):
    // a fold's angle, the ballast, the stable range, a gauge. None for the rest.
    std::optional<PatternLine> kind = std::nullopt;
};

// A piece in its own millimetres: its outline, lines and labels inside the
// box (0, 0, width, height); the label block (name, paper, sizes, grain)
// starts at labelTop, below everything else.
struct PatternPiece {
    std::string id;
    std::string name; // 主翼, 水平尾翼, 垂直尾翼, 胴体, 機首補強, 角度ゲージ
    double width = 0;
    double height = 0;
    double labelTop = 0;
    std::vector<PatternPath> paths; // the outline first
    std::vector<PatternText> texts;
};

// The centre-of-gravity range in which the glider is stable, in mm aft of the
// main wing's root leading edge (as the design's 重心位置).
struct CgRange {
    double low = 0;
    double high = 0;
};

// The pieces of the design the model computed, from the design table's
// papers: the parts, then an angle gauge for each distinct fold angle
// between 0° and 90°. The fuselage shows the ballast the model adds (its
// mass where it goes) and, when `stable` is given, the stable range of the
// centre of gravity as a bracket. Throws PatternError for a design whose
// computation failed or a part of zero or negative size.
std::vector<PatternPiece> PatternPieces(const model::AircraftModel& model, bool computed,
                                        const data::Table& design,
                                        std::optional<CgRange> stable = std::nullopt);

enum class PaperSize { A4, A3, B5, Letter };
// "A4", "A3", "B5", "Letter" (any case); none for anything else.
std::optional<PaperSize> PaperSizeFromName(std::string_view name);
// Width and height in millimetres, portrait.
PointMm PaperDimensions(PaperSize paper);

// What one page shows; what lies in a clipped group shows only inside its rectangle.
struct PatternGroup {
    std::optional<RectMm> clip;
    std::vector<PatternPath> paths;
    std::vector<PatternText> texts;
};

struct PatternPage {
    double width = 0;
    double height = 0;
    std::vector<PatternGroup> groups;
};

struct PatternLayout {
    std::vector<PatternPage> pages;
};

inline constexpr double kPatternMargin = 10;  // mm, at least, on every side
inline constexpr double kTileOverlap = 10;    // mm shared by neighbouring tiles
inline constexpr int kMaxPatternPages = 200;  // a larger pattern is refused
inline constexpr int kMaxPatternCopies = 100; // copies of every piece, for a class

// `copies` of every piece in reading order, largest first, without overlap.
// A piece larger than the printable area is turned a quarter turn when it
// then fits, and tiled over pages of its own when it does not. Every page
// gets a 100 mm scale bar, a 10 mm square, the file name and the date, and
// "1/N". `margin` is at least kPatternMargin (a printer's larger margin).
// Throws PatternError for copies outside 1 to kMaxPatternCopies, when the
// printable area is too small to tile, or when the pattern would take more
// than kMaxPatternPages pages (naming the part that takes it there and the
// count so far).
PatternLayout LayOutPattern(const std::vector<PatternPiece>& pieces, PointMm paper, double margin,
                            const std::string& fileName, const std::string& date, int copies = 1);

} // namespace skarvel::view
