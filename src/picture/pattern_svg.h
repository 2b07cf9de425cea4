#pragma once
// A cutting pattern as SVG, one sheet per page in millimetres: width="210mm"
// and a viewBox in mm; each piece's cut line one closed <path
// class="outline" data-piece="…">, fold lines class="fold", marks
// class="mark".

#include "view/pattern.h"

#include <string>
#include <vector>

namespace skarvel::picture {

// One SVG document per page.
std::vector<std::string> PatternSvgPages(const view::PatternLayout& layout);

// Writes the pages: to `path` when there is one, else to NAME-1.svg,
// NAME-2.svg, … beside it. Returns the names written; throws data::FileError.
std::vector<std::string> WritePatternSvg(const view::PatternLayout& layout,
                                         const std::string& path);

} // namespace skarvel::picture
