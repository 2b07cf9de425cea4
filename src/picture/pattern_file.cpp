#include "picture/pattern_file.h"

#include "data/textfile.h"
#include "picture/metafile.h"
#include "view/palette.h"
#include "view/pattern_drawing.h"

#include <cmath>

namespace skarvel::picture {

std::string PatternPdf(const view::PatternLayout& layout, PageDocument& pdf) {
    for (const view::PatternPage& page : layout.pages) {
        view::DrawPatternPage(pdf.newPage(page.width, page.height), page);
    }
    return pdf.finish();
}

std::vector<std::string> PatternMetafilePages(const view::PatternLayout& layout, Medium medium) {
    constexpr double kMmPerInch = 25.4;
    constexpr double pixelsPerMm = kPatternMetafileDpi / kMmPerInch;
    std::vector<std::string> pages;
    for (const view::PatternPage& page : layout.pages) {
        const auto writer = MetafileWriterFor(
            medium, static_cast<int>(std::lround(page.width * pixelsPerMm)),
            static_cast<int>(std::lround(page.height * pixelsPerMm)), kPatternMetafileDpi);
        MetafileCanvas canvas(*writer, view::LightPalette(), pixelsPerMm / view::kPatternUnitsPerMm,
                              "IPAGothic");
        view::DrawPatternPage(canvas, page);
        pages.push_back(writer->finish());
    }
    return pages;
}

PatternFiles WritePattern(const view::PatternLayout& layout, const std::string& path, Medium medium,
                          const PdfMaker& makePdf) {
    if (medium == Medium::Pdf) {
        const std::unique_ptr<PageDocument> pdf = makePdf(view::kPatternUnitsPerMm);
        data::WriteFileBytes(path, PatternPdf(layout, *pdf));
        return {{path}, {}};
    }
    if (medium == Medium::Emf || medium == Medium::Wmf) {
        return WritePatternPages(PatternMetafilePages(layout, medium), path);
    }
    return WritePatternSvg(layout, path);
}

} // namespace skarvel::picture
