#include "view/recording_canvas.h"

#include <array>
#include <cstdio>

namespace skarvel::view {

namespace {

std::string Coordinates(Point p) {
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

std::string Box(Rect r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string Points(const char* name, std::span<const Point> points) {
    std::string line = name;
    for (const Point& p : points) {
        line += ' ';
        line += Coordinates(p);
    }
    return line;
}

} // namespace

std::string ColourName(Colour colour) {
    if (!colour.isRole) {
        std::array<char, 8> hex{};
        std::snprintf(hex.data(), hex.size(), "#%02X%02X%02X", colour.r, colour.g, colour.b);
        return hex.data();
    }
    switch (colour.role) {
    case ColourRole::WindowBackground:
        return "WindowBackground";
    case ColourRole::WindowText:
        return "WindowText";
    case ColourRole::ButtonFace:
        return "ButtonFace";
    case ColourRole::Highlight:
        return "Highlight";
    case ColourRole::HighlightText:
        return "HighlightText";
    }
    return "?";
}

void RecordingCanvas::setPen(Colour colour, int width) {
    lines_.push_back("pen " + ColourName(colour) + " " + std::to_string(width));
}
void RecordingCanvas::setBrush(Colour colour) {
    lines_.push_back("brush " + ColourName(colour));
}
void RecordingCanvas::setHollowBrush() {
    lines_.emplace_back("brush hollow");
}
void RecordingCanvas::moveTo(Point p) {
    lines_.push_back("move " + Coordinates(p));
}
void RecordingCanvas::lineTo(Point p) {
    lines_.push_back("line " + Coordinates(p));
}
void RecordingCanvas::polyline(std::span<const Point> points) {
    lines_.push_back(Points("polyline", points));
}
void RecordingCanvas::polygon(std::span<const Point> points) {
    lines_.push_back(Points("polygon", points));
}
void RecordingCanvas::ellipse(Rect box) {
    lines_.push_back("ellipse " + Box(box));
}
void RecordingCanvas::rectangle(Rect box) {
    lines_.push_back("rectangle " + Box(box));
}
void RecordingCanvas::fill(Rect box, Colour colour) {
    lines_.push_back("fill " + Box(box) + " " + ColourName(colour));
}
void RecordingCanvas::text(Point p, std::string_view utf8) {
    lines_.push_back("text " + Coordinates(p) + " " + std::string(utf8));
}

std::string RecordingCanvas::dump() const {
    std::string all;
    for (const std::string& line : lines_) {
        all += line;
        all += '\n';
    }
    return all;
}

} // namespace skarvel::view
