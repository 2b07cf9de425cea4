#pragma once
// A canvas that keeps what is drawn on it: as text, one line per call, so
// that a drawing can be compared with a recorded one, and as calls that can
// be drawn again on another canvas (a picture file, say).

#include "view/canvas.h"

#include <string>
#include <vector>

namespace skarvel::picture {

// Pictures are drawn in the view's vocabulary: canvas, points, colours.
using namespace view;

class RecordingCanvas : public Canvas {
  public:
    RecordingCanvas() = default;
    // The size is the picture's business; a recording keeps any size.
    RecordingCanvas(int /*width*/, int /*height*/) {}

    void setPen(Colour colour, int width = 1, LineStyle style = LineStyle::Solid) override;
    void setBrush(Colour colour) override;
    void setHollowBrush() override;
    void moveTo(Point p) override;
    void lineTo(Point p) override;
    void polyline(std::span<const Point> points) override;
    void polygon(std::span<const Point> points) override;
    void ellipse(Rect box) override;
    void rectangle(Rect box) override;
    void fill(Rect box, Colour colour) override;
    void text(Point p, std::string_view utf8) override;
    void setTags(Tags tags) override;
    void path(std::span<const PointF> points, bool closed) override;
    void textOnBaseline(PointF p, int height, std::string_view utf8) override;
    void beginGroup(std::optional<RectF> clip) override;
    void endGroup() override;

    // Every call, one line each.
    std::vector<std::string> lines() const;
    // Every line, each ended by a line feed.
    std::string dump() const;
    void clear() { calls_.clear(); }
    // Draws the recorded calls again, in order, on another canvas.
    void replay(Canvas& canvas) const;

  private:
    enum class Kind {
        Pen,
        Brush,
        Hollow,
        Move,
        Line,
        Polyline,
        Polygon,
        Ellipse,
        Rectangle,
        Fill,
        Text,
        Tags,
        Path,
        BaselineText,
        Group,
        EndGroup
    };
    struct Call {
        Kind kind = Kind::Pen;
        Colour colour{};
        int width = 1; // BaselineText: the height; Group: 1 when clipped; Path: 1 when closed
        LineStyle style = LineStyle::Solid;
        Rect box{};
        std::vector<Point> points; // Move, Line: one point
        std::vector<PointF> fine;  // Path, BaselineText; Group: corner and size
        std::string text;          // Tags: the kind
        std::string piece;         // Tags
    };
    std::string format(const Call& call) const;
    Call& add(Kind kind) {
        calls_.emplace_back();
        calls_.back().kind = kind;
        return calls_.back();
    }

    std::vector<Call> calls_;
};

// "WindowText", "#FF0000", ...
std::string ColourName(Colour colour);

} // namespace skarvel::picture
