#pragma once
// The one surface every drawing routine draws on: the screen, pictures,
// printed pages and tests each provide one. Coordinates are units of the
// canvas: whole pixels for the screen and the pictures; micrometres for the
// cutting pattern's pages, whose paths and labels also keep the fraction of
// a unit (PointF), so that each medium rounds them as finely as it writes
// them. Colours are either roles the owner resolves (from the window's
// palette, or a fixed light palette off screen) or fixed RGB values.

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

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

// A position that keeps the fraction of a unit.
struct PointF {
    double x = 0;
    double y = 0;
};

// A box of fractional units by its corner and size.
struct RectF {
    double x = 0, y = 0, width = 0, height = 0;
};

// Left, top, right, bottom; right and bottom lie just outside, as for a
// filled rectangle on the screen.
struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// How a pen draws its lines; dotted is for marks laid over a drawing, such
// as the zoom box; dashed (dashes of eight pen widths, gaps of four) for the
// valley folds of a cutting pattern, dash-dot (a dash of twelve widths, a dot
// of two, gaps of four) for its mountain folds.
enum class LineStyle { Solid, Dotted, Dashed, DashDot };

// What a primitive is, for the media that keep it with the primitive (an SVG
// element's class and data-piece): its kind ("outline", "fold-valley", "mark", …) and
// the piece it belongs to; empty when it has none.
struct Tags {
    std::string_view kind;
    std::string_view piece;
};

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

    // What follows is for drawings with sub-unit positions, labels of their
    // own size and parts in groups (the cutting pattern). By default the
    // positions are rounded to whole units, and tags and groups are left out.

    // Tags the primitives drawn from here on.
    virtual void setTags(Tags /*tags*/) {}
    // A path through the points: closed, it is a polygon (filled with the
    // brush), else a polyline.
    virtual void path(std::span<const PointF> points, bool closed) {
        std::vector<Point> whole;
        whole.reserve(points.size());
        for (const PointF& p : points) {
            whole.push_back(Whole(p));
        }
        if (closed) {
            polygon(whole);
        } else {
            polyline(whole);
        }
    }
    // UTF-8 text `height` units high (its em), its base line starting at p.
    virtual void textOnBaseline(PointF p, int height, std::string_view utf8) {
        const Point at = Whole(p);
        text({at.x, at.y - height}, utf8);
    }
    // What is drawn until endGroup() is one group, shown only inside `clip`
    // when there is one. Groups do not nest.
    virtual void beginGroup(std::optional<RectF> /*clip*/) {}
    virtual void endGroup() {}

  private:
    static Point Whole(PointF p) {
        return {static_cast<std::int32_t>(std::lround(p.x)),
                static_cast<std::int32_t>(std::lround(p.y))};
    }
};

// A canvas that draws every line as a path of fractional points (path()):
// the whole-number primitives become paths through their points.
class PathCanvas : public Canvas {
  public:
    void moveTo(Point p) override { current_ = p; }
    void lineTo(Point p) override {
        const Point line[] = {current_, p};
        wholePath(line, false);
        current_ = p;
    }
    void polyline(std::span<const Point> points) override { wholePath(points, false); }
    void polygon(std::span<const Point> points) override { wholePath(points, true); }
    void path(std::span<const PointF> points, bool closed) override = 0;

  private:
    void wholePath(std::span<const Point> points, bool closed) {
        std::vector<PointF> fine;
        fine.reserve(points.size());
        for (const Point& p : points) {
            fine.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
        }
        path(fine, closed);
    }

    Point current_{};
};

} // namespace skarvel::view
