#pragma once
// The Enhanced Metafile writer: one record per drawing call, in device units
// of a 96 dpi picture (or of another resolution). Viewers disagree on a fresh
// device context, so the file sets map mode, background mode, text alignment
// and colour and selects stock pen, brush and font itself before anything is
// drawn. A pen, brush or font once created is kept and selected again
// whenever the same one is wanted; the least recently used goes when too many
// are alive, and all go before the end of the file.

#include "picture/metafile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace skarvel::picture {

// Pictures are drawn in the view's vocabulary: canvas, points, colours.
using namespace view;

class EmfWriter final : public MetafileWriter {
  public:
    // The picture is width x height pixels of `dpi` to the inch.
    EmfWriter(int width, int height, int dpi = 96);

    void setPen(Rgb colour, int width, PenStyle style) override;
    void setBrush(Rgb colour) override;
    void setHollowBrush() override;
    void setFont(std::string_view family, int pixelHeight, bool bold, bool italic,
                 int angle) override;
    void setTextColour(Rgb colour) override;
    void setClip(std::optional<Rect> clip) override;

    void moveTo(Point p) override;
    void lineTo(Point p) override;
    void polyline(std::span<const Point> points) override;
    void polygon(std::span<const Point> points) override;
    void rectangle(Rect box) override;
    void ellipse(Rect box) override;
    void fill(Rect box, Rgb colour) override;
    void text(Point p, std::string_view utf8, TextAnchor anchor,
              std::span<const std::int32_t> advances) override;

    // Throws std::length_error past the format's 4 GiB.
    std::string finish() override;

  private:
    struct PenState {
        Rgb colour;
        int width = 1;
        PenStyle style = PenStyle::Solid;
        friend bool operator==(const PenState&, const PenState&) = default;
    };
    struct FontState {
        std::string family;
        int pixelHeight = 0;
        bool bold = false;
        bool italic = false;
        int angle = 0;
        friend bool operator==(const FontState&, const FontState&) = default;
    };

    // A record of the type; its size is filled in by endRecord().
    void beginRecord(std::uint32_t type);
    void endRecord();
    void put32(std::uint32_t v);
    void putI32(std::int32_t v) { put32(static_cast<std::uint32_t>(v)); }
    void put16(std::uint16_t v);
    void put8(std::uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
    void putRect(Rect r);
    void patch32(std::size_t offset, std::uint32_t v);

    // A record of a type with one 32-bit value (selects, modes, colours).
    void simpleRecord(std::uint32_t type, std::uint32_t value);
    // Polyline or polygon: the 16-bit record when every coordinate fits.
    void pointsRecord(std::uint32_t type16, std::uint32_t type32, std::span<const Point> points);

    // A created pen, brush or font and what it is.
    struct Object {
        enum Kind { Pen, Brush, Font } kind;
        PenState pen;
        Rgb brush;
        FontState font;
        std::uint32_t handle = 0;
        std::uint64_t lastUse = 0;
        bool sameAs(const Object& o) const {
            return kind == o.kind && (kind == Pen     ? pen == o.pen
                                      : kind == Brush ? brush == o.brush
                                                      : font == o.font);
        }
    };

    std::uint32_t allocateHandle();
    // The handle of such an object, created unless it is alive.
    std::uint32_t object(Object wanted);
    void create(const Object& o);

    std::string bytes_;
    std::size_t recordStart_ = 0;
    std::uint32_t records_ = 0;
    std::vector<bool> handleUsed_; // index 0 is the file's own
    std::vector<Object> objects_;
    std::uint64_t uses_ = 0;
    std::uint32_t handleCount_ = 1;
    bool finished_ = false;

    // What is selected: a handle index, or a stock object with the top bit set.
    PenState pen_;
    std::uint32_t penObject_;
    std::optional<Rgb> brush_; // none: hollow
    std::uint32_t brushObject_;
    std::optional<FontState> font_; // none: the stock font
    std::uint32_t fontObject_;
    Rgb textColour_;
    std::uint32_t textAlign_;
    Rect picture_;
    bool clipped_ = false;
};

} // namespace skarvel::picture
