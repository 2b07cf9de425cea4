#include "picture/svg_canvas.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace skarvel::picture {

namespace {

std::string Hex(Rgb c) {
    std::array<char, 8> hex{};
    std::snprintf(hex.data(), hex.size(), "#%02X%02X%02X", c.r, c.g, c.b);
    return hex.data();
}

std::string Attribute(const char* name, std::int64_t value) {
    return std::string(" ") + name + "=\"" + std::to_string(value) + "\"";
}

// Half of a sum of two coordinates, exactly: "3", "-3.5", "-0.5". The sum is
// taken in 64 bits so that two large coordinates cannot overflow.
std::string Half(std::int64_t twice) {
    const bool negative = twice < 0;
    const std::int64_t magnitude = negative ? -twice : twice;
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / 2);
    if (magnitude % 2 != 0) {
        text += ".5";
    }
    return text;
}

std::string HalfAttribute(const char* name, std::int64_t twice) {
    return std::string(" ") + name + "=\"" + Half(twice) + "\"";
}

std::string PointList(std::span<const Point> points) {
    std::string list;
    for (const Point& p : points) {
        if (!list.empty()) {
            list += ' ';
        }
        list += std::to_string(p.x) + "," + std::to_string(p.y);
    }
    return list;
}

// The box's position and size; right and bottom lie just outside it.
std::string BoxAttributes(Rect box) {
    return Attribute("x", box.left) + Attribute("y", box.top) +
           Attribute("width", std::int64_t{box.right} - box.left) +
           Attribute("height", std::int64_t{box.bottom} - box.top);
}

} // namespace

SvgCanvas::SvgCanvas(int width, int height, Palette palette)
    : width_(width), height_(height), palette_(palette),
      pen_(Resolve(Colour::Role(ColourRole::WindowText), palette)),
      brush_(Resolve(Colour::Role(ColourRole::WindowBackground), palette)) {}

std::string SvgCanvas::stroke() const {
    std::string s = " stroke=\"" + Hex(pen_) + "\"" + Attribute("stroke-width", penWidth_);
    if (penStyle_ == LineStyle::Dotted) {
        // Dots one pen width long, two widths apart.
        s += " stroke-dasharray=\"" + std::to_string(penWidth_) + " " +
             std::to_string(2 * std::int64_t{penWidth_}) + "\"";
    } else if (penStyle_ == LineStyle::Dashed) {
        s += " stroke-dasharray=\"" + std::to_string(8 * std::int64_t{penWidth_}) + " " +
             std::to_string(4 * std::int64_t{penWidth_}) + "\"";
    } else if (penStyle_ == LineStyle::DashDot) {
        s += " stroke-dasharray=\"" + std::to_string(12 * std::int64_t{penWidth_}) + " " +
             std::to_string(4 * std::int64_t{penWidth_}) + " " +
             std::to_string(2 * std::int64_t{penWidth_}) + " " +
             std::to_string(4 * std::int64_t{penWidth_}) + "\"";
    }
    return s;
}

std::string SvgCanvas::brushFill() const {
    return " fill=\"" + (hollow_ ? std::string("none") : Hex(brush_)) + "\"";
}

void SvgCanvas::setPen(Colour colour, int width, LineStyle style) {
    pen_ = Resolve(colour, palette_);
    penWidth_ = width;
    penStyle_ = style;
}

void SvgCanvas::setBrush(Colour colour) {
    brush_ = Resolve(colour, palette_);
    hollow_ = false;
}

void SvgCanvas::setHollowBrush() {
    hollow_ = true;
}

void SvgCanvas::moveTo(Point p) {
    current_ = p;
}

void SvgCanvas::lineTo(Point p) {
    elements_.push_back("<line" + Attribute("x1", current_.x) + Attribute("y1", current_.y) +
                        Attribute("x2", p.x) + Attribute("y2", p.y) + stroke() + "/>");
    current_ = p;
}

void SvgCanvas::polyline(std::span<const Point> points) {
    elements_.push_back("<polyline points=\"" + PointList(points) + "\" fill=\"none\"" + stroke() +
                        "/>");
}

void SvgCanvas::polygon(std::span<const Point> points) {
    elements_.push_back("<polygon points=\"" + PointList(points) + "\"" + brushFill() + stroke() +
                        "/>");
}

void SvgCanvas::ellipse(Rect box) {
    const std::int64_t left = box.left, top = box.top, right = box.right, bottom = box.bottom;
    elements_.push_back("<ellipse" + HalfAttribute("cx", left + right) +
                        HalfAttribute("cy", top + bottom) + HalfAttribute("rx", right - left) +
                        HalfAttribute("ry", bottom - top) + brushFill() + stroke() + "/>");
}

void SvgCanvas::rectangle(Rect box) {
    elements_.push_back("<rect" + BoxAttributes(box) + brushFill() + stroke() + "/>");
}

void SvgCanvas::fill(Rect box, Colour colour) {
    elements_.push_back("<rect" + BoxAttributes(box) + " fill=\"" + Hex(Resolve(colour, palette_)) +
                        "\"/>");
}

void SvgCanvas::text(Point p, std::string_view utf8) {
    elements_.push_back("<text" + Attribute("x", p.x) + Attribute("y", p.y) + " fill=\"" +
                        Hex(pen_) +
                        "\" font-family=\"sans-serif\" font-size=\"12\" "
                        "dominant-baseline=\"hanging\">" +
                        XmlEscaped(utf8) + "</text>");
}

std::string SvgCanvas::document() const {
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\"" +
                      Attribute("width", width_) + Attribute("height", height_) +
                      " viewBox=\"0 0 " + std::to_string(width_) + " " + std::to_string(height_) +
                      "\">\n";
    for (const std::string& element : elements_) {
        doc += element;
        doc += '\n';
    }
    doc += "</svg>\n";
    return doc;
}

namespace {

// The length of the well-formed UTF-8 character at text[at] whose code point
// XML 1.0 allows (tab, line feed and carriage return among the controls; no
// surrogates, no U+FFFE or U+FFFF); 0 when there is none.
std::size_t XmlCharacterLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r' ? 1 : 0;
    }
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (byte(k) & 0x3Fu);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool allowed = code >= least[length] && code <= 0x10FFFF &&
                         !(code >= 0xD800 && code <= 0xDFFF) && code != 0xFFFE && code != 0xFFFF;
    return allowed ? length : 0;
}

} // namespace

std::string XmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = XmlCharacterLength(text, at);
        if (length == 0) {
            out += "\uFFFD"; // a byte of another encoding, or a control character
            ++at;
            continue;
        }
        const char c = text[at];
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.append(text, at, length);
        }
        at += length;
    }
    return out;
}

} // namespace skarvel::picture
