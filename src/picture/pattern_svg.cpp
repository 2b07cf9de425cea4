#include "picture/pattern_svg.h"

#include "data/textfile.h"
#include "picture/svg_canvas.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace skarvel::picture {

namespace {

using view::PatternLine;

std::string Mm(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    std::string text = buffer;
    // 12.500 -> 12.5, 3.000 -> 3
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

const char* ClassOf(PatternLine kind) {
    switch (kind) {
    case PatternLine::Outline:
        return "outline";
    case PatternLine::Fold:
        return "fold";
    case PatternLine::Mark:
        break;
    }
    return "mark";
}

void Path(std::string& svg, const view::PatternPath& p) {
    if (p.points.empty()) {
        return;
    }
    svg += "<path class=\"";
    svg += ClassOf(p.kind);
    svg += '"';
    if (!p.piece.empty()) {
        svg += " data-piece=\"" + XmlEscaped(p.piece) + '"';
    }
    svg += " d=\"";
    for (std::size_t k = 0; k < p.points.size(); ++k) {
        svg += k == 0 ? "M" : " L";
        svg += Mm(p.points[k].x) + ' ' + Mm(p.points[k].y);
    }
    if (p.closed) {
        svg += " Z";
    }
    svg += "\"/>\n";
}

} // namespace

std::vector<std::string> PatternSvgPages(const view::PatternLayout& layout) {
    std::vector<std::string> pages;
    for (const view::PatternPage& page : layout.pages) {
        std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Mm(page.width) +
               "mm\" height=\"" + Mm(page.height) + "mm\" viewBox=\"0 0 " + Mm(page.width) + ' ' +
               Mm(page.height) + "\">\n";
        svg += "<style>path{fill:none;stroke:#000;stroke-width:0.25}"
               ".fold{stroke-dasharray:2 1}.mark{stroke-width:0.2}"
               "text{font-family:'IPAGothic','Noto Sans CJK JP',sans-serif;fill:#000}</style>\n";
        svg += "<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n";
        int clips = 0;
        for (const view::PatternGroup& g : page.groups) {
            if (g.clip) {
                const std::string id = "tile" + std::to_string(++clips);
                svg += "<clipPath id=\"" + id + "\"><rect x=\"" + Mm(g.clip->x) + "\" y=\"" +
                       Mm(g.clip->y) + "\" width=\"" + Mm(g.clip->width) + "\" height=\"" +
                       Mm(g.clip->height) + "\"/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n";
            } else {
                svg += "<g>\n";
            }
            for (const view::PatternPath& p : g.paths) {
                Path(svg, p);
            }
            for (const view::PatternText& t : g.texts) {
                svg += "<text x=\"" + Mm(t.at.x) + "\" y=\"" + Mm(t.at.y) + "\" font-size=\"" +
                       Mm(t.size) + "\">" + XmlEscaped(t.text) + "</text>\n";
            }
            svg += "</g>\n";
        }
        svg += "</svg>\n";
        pages.push_back(std::move(svg));
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

PatternSvgFiles WritePatternSvg(const view::PatternLayout& layout, const std::string& path) {
    const std::vector<std::string> pages = PatternSvgPages(layout);
    PatternSvgFiles files;
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
