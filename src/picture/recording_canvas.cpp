#include "picture/recording_canvas.h"

#include <array>
#include <cstdio>

namespace skarvel::picture {

namespace {

std::string Coordinates(Point p) {
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

std::string Box(Rect r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string Points(const char* name, const std::vector<Point>& points) {
    std::string line = name;
    for (const Point& p : points) {
        line += ' ';
        line += Coordinates(p);
    }
    return line;
}

// Fractional positions as "%g" gives them: "12500.5,3000".
std::string Fine(const char* name, const std::vector<PointF>& points) {
    std::string line = name;
    for (const PointF& p : points) {
        char text[64];
        std::snprintf(text, sizeof text, " %g,%g", p.x, p.y);
        line += text;
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

void RecordingCanvas::setPen(Colour colour, int width, LineStyle style) {
    Call& c = add(Kind::Pen);
    c.colour = colour;
    c.width = width;
    c.style = style;
}
void RecordingCanvas::setBrush(Colour colour) {
    add(Kind::Brush).colour = colour;
}
void RecordingCanvas::setHollowBrush() {
    add(Kind::Hollow);
}
void RecordingCanvas::moveTo(Point p) {
    add(Kind::Move).points = {p};
}
void RecordingCanvas::lineTo(Point p) {
    add(Kind::Line).points = {p};
}
void RecordingCanvas::polyline(std::span<const Point> points) {
    add(Kind::Polyline).points.assign(points.begin(), points.end());
}
void RecordingCanvas::polygon(std::span<const Point> points) {
    add(Kind::Polygon).points.assign(points.begin(), points.end());
}
void RecordingCanvas::ellipse(Rect box) {
    add(Kind::Ellipse).box = box;
}
void RecordingCanvas::rectangle(Rect box) {
    add(Kind::Rectangle).box = box;
}
void RecordingCanvas::fill(Rect box, Colour colour) {
    Call& c = add(Kind::Fill);
    c.colour = colour;
    c.box = box;
}
void RecordingCanvas::text(Point p, std::string_view utf8) {
    Call& c = add(Kind::Text);
    c.points = {p};
    c.text = std::string(utf8);
}

void RecordingCanvas::setTags(Tags tags) {
    Call& c = add(Kind::Tags);
    c.text = std::string(tags.kind);
    c.piece = std::string(tags.piece);
}
void RecordingCanvas::path(std::span<const PointF> points, bool closed) {
    Call& c = add(Kind::Path);
    c.fine.assign(points.begin(), points.end());
    c.width = closed ? 1 : 0;
}
void RecordingCanvas::textOnBaseline(PointF p, int height, std::string_view utf8) {
    Call& c = add(Kind::BaselineText);
    c.fine = {p};
    c.width = height;
    c.text = std::string(utf8);
}
void RecordingCanvas::beginGroup(std::optional<RectF> clip) {
    Call& c = add(Kind::Group);
    c.width = clip ? 1 : 0;
    if (clip) {
        c.fine = {{clip->x, clip->y}, {clip->width, clip->height}};
    }
}
void RecordingCanvas::endGroup() {
    add(Kind::EndGroup);
}

std::string RecordingCanvas::format(const Call& c) const {
    switch (c.kind) {
    case Kind::Pen:
        return "pen " + ColourName(c.colour) + " " + std::to_string(c.width) +
               (c.style == LineStyle::Dotted    ? " dotted"
                : c.style == LineStyle::Dashed  ? " dashed"
                : c.style == LineStyle::DashDot ? " dash-dot"
                                                : "");
    case Kind::Brush:
        return "brush " + ColourName(c.colour);
    case Kind::Hollow:
        return "brush hollow";
    case Kind::Move:
        return "move " + Coordinates(c.points.front());
    case Kind::Line:
        return "line " + Coordinates(c.points.front());
    case Kind::Polyline:
        return Points("polyline", c.points);
    case Kind::Polygon:
        return Points("polygon", c.points);
    case Kind::Ellipse:
        return "ellipse " + Box(c.box);
    case Kind::Rectangle:
        return "rectangle " + Box(c.box);
    case Kind::Fill:
        return "fill " + Box(c.box) + " " + ColourName(c.colour);
    case Kind::Text:
        return "text " + Coordinates(c.points.front()) + " " + c.text;
    case Kind::Tags:
        return "tags " + c.text + " " + c.piece;
    case Kind::Path:
        return Fine(c.width != 0 ? "path closed" : "path", c.fine);
    case Kind::BaselineText:
        return Fine("baseline text", c.fine) + " " + std::to_string(c.width) + " " + c.text;
    case Kind::Group:
        return c.width != 0 ? Fine("group", c.fine) : "group";
    case Kind::EndGroup:
        return "end group";
    }
    return {};
}

std::vector<std::string> RecordingCanvas::lines() const {
    std::vector<std::string> out;
    out.reserve(calls_.size());
    for (const Call& c : calls_) {
        out.push_back(format(c));
    }
    return out;
}

std::string RecordingCanvas::dump() const {
    std::string all;
    for (const Call& c : calls_) {
        all += format(c);
        all += '\n';
    }
    return all;
}

void RecordingCanvas::replay(Canvas& canvas) const {
    for (const Call& c : calls_) {
        switch (c.kind) {
        case Kind::Pen:
            canvas.setPen(c.colour, c.width, c.style);
            break;
        case Kind::Brush:
            canvas.setBrush(c.colour);
            break;
        case Kind::Hollow:
            canvas.setHollowBrush();
            break;
        case Kind::Move:
            canvas.moveTo(c.points.front());
            break;
        case Kind::Line:
            canvas.lineTo(c.points.front());
            break;
        case Kind::Polyline:
            canvas.polyline(c.points);
            break;
        case Kind::Polygon:
            canvas.polygon(c.points);
            break;
        case Kind::Ellipse:
            canvas.ellipse(c.box);
            break;
        case Kind::Rectangle:
            canvas.rectangle(c.box);
            break;
        case Kind::Fill:
            canvas.fill(c.box, c.colour);
            break;
        case Kind::Text:
            canvas.text(c.points.front(), c.text);
            break;
        case Kind::Tags:
            canvas.setTags({c.text, c.piece});
            break;
        case Kind::Path:
            canvas.path(c.fine, c.width != 0);
            break;
        case Kind::BaselineText:
            canvas.textOnBaseline(c.fine.front(), c.width, c.text);
            break;
        case Kind::Group:
            canvas.beginGroup(c.width != 0 ? std::optional<RectF>(RectF{c.fine[0].x, c.fine[0].y,
                                                                        c.fine[1].x, c.fine[1].y})
                                           : std::nullopt);
            break;
        case Kind::EndGroup:
            canvas.endGroup();
            break;
        }
    }
}

} // namespace skarvel::picture
