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

enum class PatternLine {
    Outline, // the cut line of a piece, one closed path
    Fold,    // dashed
    Mark,    // placement marks, arrows, the scale bar and square
};

struct PatternPath {
    PatternLine kind = PatternLine::Mark;
    std::vector<PointMm> points;
    bool closed = false;
    std::string piece; // the outline's piece: wing, htail, vtail, vtail2, fuselage, nose
};

struct PatternText {
    PointMm at;      // the left end of the base line
    double size = 3; // mm
    std::string text;
};

// A piece in its own millimetres: its outline, lines and labels inside the
// box (0, 0, width, height).
struct PatternPiece {
    std::string id;
    std::string name; // 主翼, 水平尾翼, 垂直尾翼, 胴体, 機首補強
    double width = 0;
    double height = 0;
    std::vector<PatternPath> paths; // the outline first
    std::vector<PatternText> texts;
};

// The pieces of the design the model computed, from the design table's
// papers. Throws PatternError for a design whose computation failed or a
// part of zero or negative size.
std::vector<PatternPiece> PatternPieces(const model::AircraftModel& model, bool computed,
                                        const data::Table& design);

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

inline constexpr double kPatternMargin = 10; // mm, at least, on every side
inline constexpr double kTileOverlap = 10;   // mm shared by neighbouring tiles
inline constexpr int kMaxPatternPages = 200; // a larger pattern is refused

// Pieces in reading order, largest first, without overlap; a piece larger
// than the printable area is tiled over pages of its own. Every page gets a
// 100 mm scale bar, a 10 mm square, the file name and the date, and "1/N".
// `margin` is at least kPatternMargin (a printer's larger margin). Throws
// PatternError when the printable area is too small to tile, or when the
// pattern would take more than kMaxPatternPages pages (naming the part that
// takes it there and the count so far).
PatternLayout LayOutPattern(const std::vector<PatternPiece>& pieces, PointMm paper, double margin,
                            const std::string& fileName, const std::string& date);

} // namespace skarvel::view
