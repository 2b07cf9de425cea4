#include "picture/pattern_file.h"

#include "data/textfile.h"
#include "view/pattern_drawing.h"

namespace skarvel::picture {

std::string PatternPdf(const view::PatternLayout& layout, PageDocument& pdf) {
    for (const view::PatternPage& page : layout.pages) {
        view::DrawPatternPage(pdf.newPage(page.width, page.height), page);
    }
    return pdf.finish();
}

PatternSvgFiles WritePattern(const view::PatternLayout& layout, const std::string& path,
                             Medium medium, const PdfMaker& makePdf) {
    if (medium == Medium::Pdf) {
        const std::unique_ptr<PageDocument> pdf = makePdf(view::kPatternUnitsPerMm);
        data::WriteFileBytes(path, PatternPdf(layout, *pdf));
        return {{path}, {}};
    }
    return WritePatternSvg(layout, path);
}

} // namespace skarvel::picture
