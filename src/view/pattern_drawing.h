#pragma once
// The cutting pattern's pages drawn on a canvas, whatever the medium: a
// canvas unit is a micrometre of the paper (kPatternUnitsPerMm to the mm);
// lines and labels keep their positions' fractions of a unit.

#include "view/canvas.h"
#include "view/pattern.h"

#include <cstdint>

namespace skarvel::view {

inline constexpr int kPatternUnitsPerMm = 1000;

// Millimetres in whole canvas units, to the nearest (a half to the even one).
std::int32_t PatternUnits(double mm);

// One page, its origin at the canvas's (0, 0): each group (clipped when the
// layout clips it) holds its paths, then its texts. A path is tagged with its
// kind and piece and drawn hollow; a text of a kind is tagged with its kind.
// Cut, fold, ballast and gauge lines are 0.25 mm wide (valley folds dashed
// 2 mm, 1 mm apart; mountain folds dash-dot 3 mm, 1 mm, 0.5 mm, 1 mm), marks
// and the stable range's bracket 0.2 mm; everything is black, texts set on
// their base lines.
void DrawPatternPage(Canvas& canvas, const PatternPage& page);

} // namespace skarvel::view
