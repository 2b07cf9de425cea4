#pragma once
// The cutting pattern as a file of its medium (IsPatternMedium): every page
// in one PDF, or a file per page: SVG sheets, Enhanced or Windows metafiles.

#include "picture/medium.h"
#include "picture/page_document.h"
#include "picture/pattern_svg.h"
#include "view/pattern.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace skarvel::picture {

// Makes the PDF document (NewPdfDocument of the Qt part, which the window
// links and the command line loads) for pages in 1/unitsPerMm mm.
using PdfMaker = std::function<std::unique_ptr<PageDocument>(int unitsPerMm)>;

// Every page drawn on a page of the document; the document's file.
std::string PatternPdf(const view::PatternLayout& layout, PageDocument& pdf);

// One metafile (EMF, WMF) per page at kPatternMetafileDpi, its size the
// page's; texts ask for the IPA Gothic face.
inline constexpr int kPatternMetafileDpi = 600;
std::vector<std::string> PatternMetafilePages(const view::PatternLayout& layout, Medium medium);

// Writes the pattern to `path` in `medium`: a PDF as one file, safely (the
// document from `makePdf`); the pages of the other media as WritePatternSvg
// writes the SVG's. Throws data::FileError.
PatternFiles WritePattern(const view::PatternLayout& layout, const std::string& path, Medium medium,
                          const PdfMaker& makePdf);

} // namespace skarvel::picture
