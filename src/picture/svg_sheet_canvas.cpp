#include "picture/svg_sheet_canvas.h"

#include "picture/svg_canvas.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace skarvel::picture {

SvgSheetCanvas::SvgSheetCanvas(double width, double height, int unitsPerMm, std::string style)
    : unitsPerMm_(unitsPerMm) {
    head_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
            number(width) + "mm\" height=\"" + number(height) + "mm\" viewBox=\"0 0 " +
            number(width) + ' ' + number(height) + "\">\n<style>" + std::move(style) +
            "</style>\n<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n";
}

std::string SvgSheetCanvas::number(double units) const {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.3f", units / unitsPerMm_);
    std::string text = buffer;
    // 12.500 -> 12.5, 3.000 -> 3
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

void SvgSheetCanvas::setPen(view::Colour, int, view::LineStyle) {}
void SvgSheetCanvas::setBrush(view::Colour) {}
void SvgSheetCanvas::setHollowBrush() {}

void SvgSheetCanvas::setTags(view::Tags tags) {
    kind_ = tags.kind;
    piece_ = tags.piece;
}

void SvgSheetCanvas::path(std::span<const view::PointF> points, bool closed) {
    if (points.empty()) {
        return;
    }
    body_ += "<path";
    if (!kind_.empty()) {
        body_ += " class=\"" + XmlEscaped(kind_) + '"';
    }
    if (!piece_.empty()) {
        body_ += " data-piece=\"" + XmlEscaped(piece_) + '"';
    }
    body_ += " d=\"";
    for (std::size_t k = 0; k < points.size(); ++k) {
        body_ += k == 0 ? "M" : " L";
        body_ += number(points[k].x) + ' ' + number(points[k].y);
    }
    if (closed) {
        body_ += " Z";
    }
    body_ += "\"/>\n";
}

void SvgSheetCanvas::ellipse(view::Rect box) {
    const double left = box.left, top = box.top, right = box.right, bottom = box.bottom;
    body_ += "<ellipse cx=\"" + number((left + right) / 2) + "\" cy=\"" +
             number((top + bottom) / 2) + "\" rx=\"" + number((right - left) / 2) + "\" ry=\"" +
             number((bottom - top) / 2) + "\"/>\n";
}

void SvgSheetCanvas::rectangle(view::Rect box) {
    body_ += "<rect x=\"" + number(box.left) + "\" y=\"" + number(box.top) + "\" width=\"" +
             number(static_cast<double>(box.right) - box.left) + "\" height=\"" +
             number(static_cast<double>(box.bottom) - box.top) +
             "\" fill=\"none\" stroke=\"#000\"/>\n";
}

void SvgSheetCanvas::fill(view::Rect box, view::Colour) {
    body_ += "<rect x=\"" + number(box.left) + "\" y=\"" + number(box.top) + "\" width=\"" +
             number(static_cast<double>(box.right) - box.left) + "\" height=\"" +
             number(static_cast<double>(box.bottom) - box.top) + "\"/>\n";
}

void SvgSheetCanvas::text(view::Point p, std::string_view utf8) {
    // 3 mm high, its top at p.
    const int height = static_cast<int>(3 * unitsPerMm_);
    textOnBaseline({static_cast<double>(p.x), static_cast<double>(p.y) + height}, height, utf8);
}

void SvgSheetCanvas::textOnBaseline(view::PointF p, int height, std::string_view utf8) {
    body_ += "<text";
    if (!kind_.empty()) {
        body_ += " class=\"" + XmlEscaped(kind_) + '"';
    }
    body_ += " x=\"" + number(p.x) + "\" y=\"" + number(p.y) + "\" font-size=\"" + number(height) +
             "\">" + XmlEscaped(utf8) + "</text>\n";
}

void SvgSheetCanvas::beginGroup(std::optional<view::RectF> clip) {
    if (!clip) {
        body_ += "<g>\n";
        return;
    }
    const std::string id = "tile" + std::to_string(++clips_);
    body_ += "<clipPath id=\"" + id + "\"><rect x=\"" + number(clip->x) + "\" y=\"" +
             number(clip->y) + "\" width=\"" + number(clip->width) + "\" height=\"" +
             number(clip->height) + "\"/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n";
}

void SvgSheetCanvas::endGroup() {
    body_ += "</g>\n";
}

std::string SvgSheetCanvas::document() const {
    return head_ + body_ + "</svg>\n";
}

} // namespace skarvel::picture
