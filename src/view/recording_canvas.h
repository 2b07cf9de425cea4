#pragma once
// A canvas that writes down what is drawn on it, one line per call, so that a
// drawing can be compared with a recorded one as text.

#include "view/canvas.h"

#include <string>
#include <vector>

namespace skarvel::view {

class RecordingCanvas : public Canvas {
  public:
    void setPen(Colour colour, int width = 1) override;
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

    const std::vector<std::string>& lines() const { return lines_; }
    // Every line, each ended by a line feed.
    std::string dump() const;
    void clear() { lines_.clear(); }

  private:
    std::vector<std::string> lines_;
};

// "WindowText", "#FF0000", ...
std::string ColourName(Colour colour);

} // namespace skarvel::view
