#pragma once
// The Windows Metafile writer: 16-bit records behind the placeable header,
// one logical unit per pixel at 96 units per inch (or at another resolution).
// Everything is stated in the file (map mode, window, background mode, text
// alignment and colour, a pen and a brush) because the programs that play
// these files start from different defaults. A pen, brush or font once created is kept and selected
// again whenever the same one is wanted; the least recently used goes when
// too many are alive, and all go before the end of the file.
//
// Every shape is cut to the picture before it is written, because players
// that size the image from the coordinates drawn would otherwise shrink and
// shift it, clip records or not: lines and polylines end at the edge,
// polygons, rectangles and ellipses keep only what lies inside, an ellipse
// reaching past the edge as a polygon or polyline that follows it, and a
// wide pen's lines keep its width away from the edge. So no
// coordinate lies outside the picture, and none outside the 16 bits the
// format has for it. Shapes wholly inside are written as they come.

#include "picture/metafile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace skarvel::picture {

// Pictures are drawn in the view's vocabulary: canvas, points, colours.
using namespace view;

class WmfWriter final : public MetafileWriter {
  public:
    // The picture is width x height pixels.
    WmfWriter(int width, int height, int dpi = 96);

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

    std::string finish() override;

  private:
    struct Pen {
        Rgb colour;
        int width = 0;
        PenStyle style = PenStyle::Solid;
        friend bool operator==(const Pen&, const Pen&) = default;
    };
    struct Brush {
        Rgb colour;
        bool hollow = false;
        friend bool operator==(const Brush&, const Brush&) = default;
    };
    struct Font {
        std::string face; // CP932 bytes
        int height = 0;
        bool bold = false;
        bool italic = false;
        std::uint8_t charset = 1;
        int angle = 0;
        friend bool operator==(const Font&, const Font&) = default;
    };
    // What a saved device context brings back on restoring it.
    struct SavedState {
        int pen = -1, brush = -1, font = -1;
        Rgb textColour;
        std::uint16_t textAlign = 0;
        Point position;
    };

    // A created pen, brush or font and what it is.
    struct Object {
        std::uint16_t function; // the record that creates it
        std::string params;     // and what that record says
        int slot = -1;
        std::uint64_t lastUse = 0;
    };

    void record(std::uint16_t function, const std::string& params);
    // The slot of such an object, created unless it is alive.
    int object(std::uint16_t function, const std::string& params);
    void selectObject(int slot);
    void deleteObject(int slot);
    int pen(const Pen& pen);
    int brush(const Brush& brush);
    void applyFont(const Font& font);
    // The pen and brush a shape is drawn in when they are not the ones in
    // use: what to select again afterwards.
    struct Swap {
        int pen = -1, brush = -1;
    };
    Swap swapIn(const Pen& pen, const Brush& brush);
    void swapOut(Swap swap);
    void fillWith(const Brush& brush, Rect box);
    // The part of the picture a line in the current pen may reach into.
    Rect inkBox() const;
    // The parts of a polyline inside the picture, drawn in the current pen.
    std::vector<std::vector<Point>> cutLine(std::span<const Point> points) const;
    void writePolyline(std::span<const Point> points);
    void writePolygon(std::span<const Point> points);
    // A closed shape reaching past the edge: the area inside filled without
    // an outline, then the outline's parts inside.
    void cutShape(std::span<const Point> corners);
    void restoreClip();

    int dpi_;
    int width_, height_;
    Rect picture_;
    std::string body_; // the records after the metafile header
    std::uint32_t maxRecord_ = 0;
    std::vector<bool> slots_; // occupied object slots
    std::vector<int> deferredDeletes_;
    std::vector<Object> objects_;
    std::uint64_t uses_ = 0;
    Pen pen_;
    Brush brush_;
    Font font_;
    std::uint8_t familyCharset_ = 1; // what the family's own name asks for
    int penSlot_ = -1, brushSlot_ = -1, fontSlot_ = -1;
    Rgb textColour_;
    std::uint16_t textAlign_ = 0;
    Point position_;    // where the next line starts, maybe off the picture
    Point penPosition_; // the player's, always on the picture
    bool clipped_ = false;
    SavedState saved_;
    bool finished_ = false;
    std::string file_;
};

} // namespace skarvel::picture
