#pragma once
// A cutting pattern as SVG, one sheet per page in millimetres: width="210mm"
// and a viewBox in mm; each piece's cut line one closed <path
// class="outline" data-piece="…">, fold lines class="fold-mountain" or
// class="fold-valley" (their angles' texts too), marks class="mark"; the
// ballast's ring and mass class="ballast", the stable range class="cg-range",
// the angle gauges class="gauge" (a gauge's cut line with data-piece="gauge1", …).

#include "view/pattern.h"

#include <cstddef>
#include <string>
#include <vector>

namespace skarvel::picture {

// One SVG document per page.
std::vector<std::string> PatternSvgPages(const view::PatternLayout& layout);

// The files of one pattern: what was written, and the pages of an earlier
// pattern under the same name that were removed.
struct PatternFiles {
    std::vector<std::string> written;
    std::vector<std::string> removed;
};

// Writes the pages: to `path` when there is one, else to NAME-1.svg,
// NAME-2.svg, … beside it. Every page is written in full before any takes
// its name, so a failure (FileError) leaves every old page as it was. Then
// the pages an earlier pattern left under the same name are removed: NAME-k.svg
// beyond the new count, and NAME.svg when the new pattern has several pages.
PatternFiles WritePatternSvg(const view::PatternLayout& layout, const std::string& path);

// The same for pages of any one-page medium (their files' bytes).
PatternFiles WritePatternPages(const std::vector<std::string>& pages, const std::string& path);

// The name of page `index` (from 0) of `count` pages written to `path`.
std::string PatternSvgPageName(const std::string& path, std::size_t index, std::size_t count);

} // namespace skarvel::picture
