#pragma once
// The one surface every drawing routine draws on: the screen, pictures and
// tests each provide one. Coordinates are whole pixels; colours are either
// roles the owner resolves (from the window's palette, or a fixed light
// palette off screen) or fixed RGB values.

#include <cstdint>
#include <span>
#include <string_view>

namespace skarvel::view {

enum class ColourRole { WindowBackground, WindowText, ButtonFace, Highlight, HighlightText };

struct Colour {
    bool isRole = true;
    ColourRole role = ColourRole::WindowText;
    std::uint8_t r = 0, g = 0, b = 0;

    static constexpr Colour Role(ColourRole role) { return Colour{true, role}; }
    static constexpr Colour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return Colour{false, ColourRole::WindowText, r, g, b};
    }
    friend bool operator==(const Colour&, const Colour&) = default;
};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Left, top, right, bottom; right and bottom lie just outside, as for a
// filled rectangle on the screen.
struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// How a pen draws its lines; dotted is for marks laid over a drawing, such
// as the zoom box.
enum class LineStyle { Solid, Dotted };

class Canvas {
  public:
    virtual ~Canvas() = default;

    virtual void setPen(Colour colour, int width = 1, LineStyle style = LineStyle::Solid) = 0;
    virtual void setBrush(Colour colour) = 0;
    // Shapes drawn from here on are outlines only.
    virtual void setHollowBrush() = 0;

    virtual void moveTo(Point p) = 0;
    // A line from the current position to p, which becomes the current position.
    virtual void lineTo(Point p) = 0;
    virtual void polyline(std::span<const Point> points) = 0;
    virtual void polygon(std::span<const Point> points) = 0;
    // The ellipse inscribed in the box.
    virtual void ellipse(Rect box) = 0;
    virtual void rectangle(Rect box) = 0;
    // The box in one colour, without an outline.
    virtual void fill(Rect box, Colour colour) = 0;
    // UTF-8 text with its top-left corner at p.
    virtual void text(Point p, std::string_view utf8) = 0;
};

} // namespace skarvel::view
