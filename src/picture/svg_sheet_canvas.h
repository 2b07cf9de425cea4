#pragma once
// A sheet of paper as SVG, sized in millimetres (width="210mm" and a viewBox
// in mm): a canvas unit is 1/unitsPerMm mm; positions are written as
// millimetres rounded to the micrometre, without trailing zeros. Lines take their look from the
// sheet's style sheet: a polyline or polygon is a <path> whose class and data-piece are the
// primitive's tags, and a text of a kind is a <text> of that class; groups are <g> elements, a
// clipped one through a <clipPath> of its own (tile1, tile2, …). The sheet's colour is white.

#include "view/canvas.h"

#include <string>

namespace skarvel::picture {

class SvgSheetCanvas : public view::PathCanvas {
  public:
    // width x height units; `style` is the style sheet's text.
    SvgSheetCanvas(double width, double height, int unitsPerMm, std::string style);

    void setPen(view::Colour colour, int width = 1,
                view::LineStyle style = view::LineStyle::Solid) override;
    void setBrush(view::Colour colour) override;
    void setHollowBrush() override;
    void ellipse(view::Rect box) override;
    void rectangle(view::Rect box) override;
    void fill(view::Rect box, view::Colour colour) override;
    void text(view::Point p, std::string_view utf8) override;
    void setTags(view::Tags tags) override;
    void path(std::span<const view::PointF> points, bool closed) override;
    void textOnBaseline(view::PointF p, int height, std::string_view utf8) override;
    void beginGroup(std::optional<view::RectF> clip) override;
    void endGroup() override;

    // The whole document; ends with a line feed.
    std::string document() const;

  private:
    // The units in mm: "12.5", "3", "-0.25".
    std::string number(double units) const;

    double unitsPerMm_;
    std::string head_; // the svg element and its style sheet
    std::string body_;
    std::string kind_;
    std::string piece_;
    int clips_ = 0;
};

} // namespace skarvel::picture
