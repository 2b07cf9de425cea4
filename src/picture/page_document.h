#pragma once
// A file of pages drawn through the canvas, one page after the other (a
// PDF). Its canvases draw in the unit the document was made with.

#include "view/canvas.h"

#include <string>

namespace skarvel::picture {

class PageDocument {
  public:
    virtual ~PageDocument() = default;

    // Ends the page before (if any) and starts one of width x height mm; its
    // canvas lives until the next page or finish().
    virtual view::Canvas& newPage(double widthMm, double heightMm) = 0;
    // The whole file. The document is done afterwards.
    virtual std::string finish() = 0;
};

} // namespace skarvel::picture
