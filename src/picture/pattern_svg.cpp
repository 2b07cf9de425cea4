#include "picture/pattern_svg.h"

#include "data/textfile.h"
#include "picture/svg_sheet_canvas.h"
#include "view/pattern_drawing.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

namespace skarvel::picture {

namespace {

constexpr const char* kStyle = "path{fill:none;stroke:#000;stroke-width:0.25}"
                               ".fold-valley{stroke-dasharray:2 1}"
                               ".fold-mountain{stroke-dasharray:3 1 0.5 1}"
                               ".mark,.cg-range{stroke-width:0.2}"
                               "text{font-family:'IPAGothic','Noto Sans CJK JP',sans-serif;"
                               "fill:#000}";

} // namespace

std::vector<std::string> PatternSvgPages(const view::PatternLayout& layout) {
    std::vector<std::string> pages;
    for (const view::PatternPage& page : layout.pages) {
        SvgSheetCanvas sheet(page.width * view::kPatternUnitsPerMm,
                             page.height * view::kPatternUnitsPerMm, view::kPatternUnitsPerMm,
                             kStyle);
        view::DrawPatternPage(sheet, page);
        pages.push_back(sheet.document());
    }
    return pages;
}

std::string PatternSvgPageName(const std::string& path, std::size_t index, std::size_t count) {
    if (count <= 1) {
        return path;
    }
    // NAME.svg -> NAME-2.svg
    std::string tail = "-";
    tail += std::to_string(index + 1);
    if (data::HasExtension(path)) {
        tail.append(path, path.rfind('.'), std::string::npos);
        return data::ReplaceExtension(path, tail);
    }
    return path + tail;
}

PatternFiles WritePatternSvg(const view::PatternLayout& layout, const std::string& path) {
    return WritePatternPages(PatternSvgPages(layout), path);
}

PatternFiles WritePatternPages(const std::vector<std::string>& pages, const std::string& path) {
    PatternFiles files;
    std::vector<std::unique_ptr<data::SafeFileWriter>> writers;
    for (std::size_t k = 0; k < pages.size(); ++k) {
        files.written.push_back(PatternSvgPageName(path, k, pages.size()));
        writers.push_back(std::make_unique<data::SafeFileWriter>(files.written.back()));
        writers.back()->write(pages[k]);
    }
    for (const auto& writer : writers) {
        writer->commit();
    }
    // What an earlier pattern of more pages, or of one, left under this name.
    const auto remove = [&files](const std::string& name) {
        std::error_code error;
        if (std::filesystem::is_regular_file(name, error) && std::filesystem::remove(name, error)) {
            files.removed.push_back(name);
        }
    };
    const std::size_t many = std::max<std::size_t>(pages.size(), 2);
    for (std::size_t k = pages.size() > 1 ? pages.size() : 0;; ++k) {
        const std::string name = PatternSvgPageName(path, k, many);
        std::error_code error;
        if (!std::filesystem::is_regular_file(name, error)) {
            break;
        }
        remove(name);
    }
    if (pages.size() > 1) {
        remove(path);
    }
    return files;
}

} // namespace skarvel::picture
