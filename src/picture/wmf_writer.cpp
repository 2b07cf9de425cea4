#include "picture/wmf_writer.h"

#include "data/codec.h"
#include "picture/shape_clip.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace skarvel::picture {

namespace {

// Record functions.
constexpr std::uint16_t kEof = 0x0000;
constexpr std::uint16_t kSaveDc = 0x001E;
constexpr std::uint16_t kSetBkMode = 0x0102;
constexpr std::uint16_t kSetMapMode = 0x0103;
constexpr std::uint16_t kRestoreDc = 0x0127;
constexpr std::uint16_t kSelectObject = 0x012D;
constexpr std::uint16_t kSetTextAlign = 0x012E;
constexpr std::uint16_t kDeleteObject = 0x01F0;
constexpr std::uint16_t kSetTextColor = 0x0209;
constexpr std::uint16_t kSetWindowOrg = 0x020B;
constexpr std::uint16_t kSetWindowExt = 0x020C;
constexpr std::uint16_t kLineTo = 0x0213;
constexpr std::uint16_t kMoveTo = 0x0214;
constexpr std::uint16_t kCreatePen = 0x02FA;
constexpr std::uint16_t kCreateFont = 0x02FB;
constexpr std::uint16_t kCreateBrush = 0x02FC;
constexpr std::uint16_t kPolygon = 0x0324;
constexpr std::uint16_t kPolyline = 0x0325;
constexpr std::uint16_t kIntersectClipRect = 0x0416;
constexpr std::uint16_t kEllipse = 0x0418;
constexpr std::uint16_t kRectangle = 0x041B;
constexpr std::uint16_t kExtTextOut = 0x0A32;

constexpr std::uint16_t kAnisotropic = 8;
constexpr std::uint16_t kTransparent = 1;
constexpr std::uint16_t kAlignTopLeft = 0;
constexpr std::uint16_t kAlignBaseline = 24;
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::uint8_t kShiftJisCharset = 128;
constexpr std::size_t kMaxCount = 32767; // counts are 16-bit signed
constexpr std::size_t kMaxObjects = 32;  // pens, brushes and fonts kept alive at most

void Put8(std::string& out, std::uint8_t v) {
    out.push_back(static_cast<char>(v));
}

void Put16(std::string& out, std::uint16_t v) {
    Put8(out, static_cast<std::uint8_t>(v & 0xFF));
    Put8(out, static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

// A coordinate or size as the format's signed 16-bit word, clamped.
void PutS16(std::string& out, std::int64_t v) {
    const std::int64_t c = std::clamp<std::int64_t>(v, -32768, 32767);
    Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(c)));
}

void PutColour(std::string& out, Rgb c) {
    Put8(out, c.r);
    Put8(out, c.g);
    Put8(out, c.b);
    Put8(out, 0);
}

// Bottom, right, top, left: the order rectangles take in these records.
std::string Box(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    std::string s;
    PutS16(s, bottom);
    PutS16(s, right);
    PutS16(s, top);
    PutS16(s, left);
    return s;
}

std::string YX(Point p) {
    std::string s;
    PutS16(s, p.y);
    PutS16(s, p.x);
    return s;
}

std::string Word(std::uint16_t v) {
    std::string s;
    Put16(s, v);
    return s;
}

std::string Points(std::span<const Point> points) {
    std::string s;
    PutS16(s, static_cast<std::int64_t>(points.size()));
    for (const Point& p : points) {
        PutS16(s, p.x);
        PutS16(s, p.y);
    }
    return s;
}

// At most `limit` bytes of CP932 text, never ending inside a two-byte
// character.
std::string CutCp932(const std::string& bytes, std::size_t limit) {
    std::size_t end = 0;
    while (end < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[end]);
        const std::size_t step = ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 2 : 1;
        if (end + step > limit) {
            break;
        }
        end += step;
    }
    return bytes.substr(0, std::min(end, bytes.size()));
}

bool HasNonAscii(std::string_view utf8) {
    return std::any_of(utf8.begin(), utf8.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

} // namespace

WmfWriter::WmfWriter(int width, int height, int dpi)
    : dpi_(std::clamp(dpi, 1, 65535)), width_(std::clamp(width, 1, 32767)),
      height_(std::clamp(height, 1, 32767)), picture_{0, 0, width_, height_} {
    // The map mode first: a window extent means nothing in the default one.
    record(kSetMapMode, Word(kAnisotropic));
    record(kSetWindowOrg, YX({0, 0}));
    record(kSetWindowExt, YX({width_, height_}));
    // Nothing lands outside the picture: players that fit the drawing's
    // extent would otherwise shrink and shift it, and others spill over.
    record(kIntersectClipRect, Box(0, 0, width_, height_));
    record(kSetBkMode, Word(kTransparent));
    record(kSetTextAlign, Word(textAlign_));
    std::string colour;
    PutColour(colour, textColour_);
    record(kSetTextColor, colour);
    pen_ = Pen{Rgb{0, 0, 0}, 1, PenStyle::Solid};
    brush_ = Brush{Rgb{0xFF, 0xFF, 0xFF}, false};
    penSlot_ = pen(pen_);
    selectObject(penSlot_);
    brushSlot_ = brush(brush_);
    selectObject(brushSlot_);
    // An invisible frame: some players fit the drawing's extent, not the
    // picture's, to the image they make.
    fillWith({Rgb{}, true}, picture_);
}

void WmfWriter::record(std::uint16_t function, const std::string& params) {
    if (finished_) {
        return;
    }
    const auto words = static_cast<std::uint32_t>(3 + params.size() / 2);
    Put32(body_, words);
    Put16(body_, function);
    body_ += params;
    maxRecord_ = std::max(maxRecord_, words);
}

// A new object takes the lowest free slot of the player's object table.
int WmfWriter::object(std::uint16_t function, const std::string& params) {
    ++uses_;
    for (Object& o : objects_) {
        if (o.function == function && o.params == params) {
            o.lastUse = uses_;
            return o.slot;
        }
    }
    if (objects_.size() >= kMaxObjects) {
        // The least recently used of those not selected goes.
        const auto oldest = LeastRecentlyUsed(objects_, [this](const Object& o) {
            return o.slot == penSlot_ || o.slot == brushSlot_ || o.slot == fontSlot_;
        });
        if (oldest != objects_.end()) {
            deleteObject(oldest->slot);
            objects_.erase(oldest);
        }
    }
    auto free = std::find(slots_.begin(), slots_.end(), false);
    if (free == slots_.end()) {
        free = slots_.insert(slots_.end(), false);
    }
    *free = true;
    record(function, params);
    const int slot = static_cast<int>(free - slots_.begin());
    objects_.push_back({function, params, slot, uses_});
    return slot;
}

void WmfWriter::selectObject(int slot) {
    record(kSelectObject, Word(static_cast<std::uint16_t>(slot)));
}

// An object the saved state still holds stays until that state is restored.
void WmfWriter::deleteObject(int slot) {
    if (clipped_ && (slot == saved_.pen || slot == saved_.brush || slot == saved_.font)) {
        deferredDeletes_.push_back(slot);
        return;
    }
    record(kDeleteObject, Word(static_cast<std::uint16_t>(slot)));
    slots_[static_cast<std::size_t>(slot)] = false;
}

// A pen wider than one pixel draws solid whatever its style: the player's
// simple pens only dash at one pixel.
int WmfWriter::pen(const Pen& pen) {
    std::string s;
    Put16(s, PenStyleCode(pen.style));
    PutS16(s, std::max(pen.width, 1));
    PutS16(s, 0);
    PutColour(s, pen.colour);
    return object(kCreatePen, s);
}

int WmfWriter::brush(const Brush& brush) {
    std::string s;
    Put16(s, brush.hollow ? 1 : 0);
    PutColour(s, brush.colour);
    Put16(s, 0);
    return object(kCreateBrush, s);
}

void WmfWriter::setPen(Rgb colour, int width, PenStyle style) {
    const Pen wanted{colour, width, style};
    if (wanted == pen_) {
        return;
    }
    penSlot_ = pen(wanted);
    selectObject(penSlot_);
    pen_ = wanted;
}

void WmfWriter::setBrush(Rgb colour) {
    const Brush wanted{colour, false};
    if (wanted == brush_) {
        return;
    }
    brushSlot_ = brush(wanted);
    selectObject(brushSlot_);
    brush_ = wanted;
}

void WmfWriter::setHollowBrush() {
    const Brush wanted{Rgb{}, true};
    if (wanted == brush_) {
        return;
    }
    brushSlot_ = brush(wanted);
    selectObject(brushSlot_);
    brush_ = wanted;
}

void WmfWriter::applyFont(const Font& font) {
    if (fontSlot_ >= 0 && font == font_) {
        return;
    }
    std::string s;
    PutS16(s, font.height);
    PutS16(s, 0);          // width: the font's own
    PutS16(s, font.angle); // escapement: the text's direction
    PutS16(s, font.angle); // orientation: each character's
    Put16(s, font.bold ? 700 : 400);
    Put8(s, font.italic ? 1 : 0);
    Put8(s, 0); // underline
    Put8(s, 0); // strike-out
    Put8(s, font.charset);
    Put8(s, 0); // output precision
    Put8(s, 0); // clip precision
    Put8(s, 0); // quality
    Put8(s, 0); // pitch and family
    s += font.face;
    Put8(s, 0);
    if (s.size() % 2 != 0) {
        Put8(s, 0);
    }
    fontSlot_ = object(kCreateFont, s);
    selectObject(fontSlot_);
    font_ = font;
}

// A Japanese family name is only found under the Shift-JIS character set;
// a Latin one keeps the default set, which would otherwise pick another face.
void WmfWriter::setFont(std::string_view family, int pixelHeight, bool bold, bool italic,
                        int angle) {
    familyCharset_ = HasNonAscii(family) ? kShiftJisCharset : kDefaultCharset;
    applyFont(Font{CutCp932(data::EncodeCp932(family), 31), -pixelHeight, bold, italic,
                   familyCharset_, angle});
}

void WmfWriter::setTextColour(Rgb colour) {
    if (colour == textColour_) {
        return;
    }
    std::string s;
    PutColour(s, colour);
    record(kSetTextColor, s);
    textColour_ = colour;
}

// A clip is a saved state with the rectangle intersected; ending it restores
// that state, which also brings back the objects, colour, alignment and
// position of that moment, so ours are put back after it.
void WmfWriter::setClip(std::optional<Rect> clip) {
    if (clipped_) {
        restoreClip();
    }
    if (!clip) {
        return;
    }
    record(kSaveDc, {});
    saved_ = SavedState{penSlot_, brushSlot_, fontSlot_, textColour_, textAlign_, penPosition_};
    clipped_ = true;
    record(kIntersectClipRect, Box(clip->left, clip->top, clip->right, clip->bottom));
}

void WmfWriter::restoreClip() {
    record(kRestoreDc, Word(0xFFFF)); // -1: the latest saved state
    clipped_ = false;
    if (penSlot_ != saved_.pen) {
        selectObject(penSlot_);
    }
    if (brushSlot_ != saved_.brush) {
        selectObject(brushSlot_);
    }
    if (fontSlot_ != saved_.font && fontSlot_ >= 0) {
        selectObject(fontSlot_);
    }
    if (textColour_ != saved_.textColour) {
        std::string s;
        PutColour(s, textColour_);
        record(kSetTextColor, s);
    }
    if (textAlign_ != saved_.textAlign) {
        record(kSetTextAlign, Word(textAlign_));
    }
    if (penPosition_ != saved_.position) {
        record(kMoveTo, YX(penPosition_));
    }
    for (const int slot : deferredDeletes_) {
        deleteObject(slot);
    }
    deferredDeletes_.clear();
}

// A position off the picture is only remembered: the line from it starts
// where it comes onto the picture.
void WmfWriter::moveTo(Point p) {
    position_ = p;
    if (Inside(p, picture_)) {
        record(kMoveTo, YX(p));
        penPosition_ = p;
    }
}

// Players that size the image from what is drawn count a wide pen's width
// around each point as drawn: lines in one end short of the edge by the width
// (measured: somewhat less would do).
Rect WmfWriter::inkBox() const {
    if (pen_.style == PenStyle::None || pen_.width <= 1) {
        return picture_;
    }
    const int x = std::min(pen_.width, width_ / 2), y = std::min(pen_.width, height_ / 2);
    return {x, y, width_ - x, height_ - y};
}

std::vector<std::vector<Point>> WmfWriter::cutLine(std::span<const Point> points) const {
    std::vector<std::vector<Point>> parts = ClipPolyline(points, picture_);
    const Rect ink = inkBox();
    if (ink != picture_) {
        for (std::vector<Point>& part : parts) {
            for (Point& q : part) {
                q = {std::clamp(q.x, ink.left, ink.right), std::clamp(q.y, ink.top, ink.bottom)};
            }
        }
    }
    return parts;
}

void WmfWriter::lineTo(Point p) {
    const std::array<Point, 2> line{position_, p};
    position_ = p;
    for (const std::vector<Point>& part : cutLine(line)) {
        if (part.front() != penPosition_) {
            record(kMoveTo, YX(part.front()));
        }
        record(kLineTo, YX(part.back()));
        penPosition_ = part.back();
    }
}

void WmfWriter::polyline(std::span<const Point> points) {
    for (const std::vector<Point>& part : cutLine(points)) {
        writePolyline(part);
    }
}

// A very long polyline goes out in pieces that share their end points.
void WmfWriter::writePolyline(std::span<const Point> points) {
    while (points.size() >= 2) {
        const std::size_t n = std::min(points.size(), kMaxCount);
        record(kPolyline, Points(points.first(n)));
        points = points.subspan(n - 1);
        if (points.size() < 2) {
            break;
        }
    }
}

// A polygon keeps its first 32767 corners.
void WmfWriter::polygon(std::span<const Point> points) {
    if (points.size() < 2) {
        return;
    }
    points = points.first(std::min(points.size(), kMaxCount));
    const Rect ink = inkBox();
    if (std::all_of(points.begin(), points.end(), [&](Point p) { return Inside(p, ink); })) {
        writePolygon(points);
    } else {
        cutShape(points);
    }
}

void WmfWriter::writePolygon(std::span<const Point> points) {
    record(kPolygon, Points(points.first(std::min(points.size(), kMaxCount))));
}

// Cut along the edge, the filled area would gain an outline there that the
// whole shape does not have; so the area goes without one, and the outline
// follows as the parts of the shape's own that are inside.
void WmfWriter::cutShape(std::span<const Point> corners) {
    if (corners.empty()) {
        return;
    }
    if (!brush_.hollow) {
        const std::vector<Point> area = ClipPolygon(corners, picture_);
        if (area.size() >= 3) {
            const Swap swap = swapIn({Rgb{}, 1, PenStyle::None}, brush_);
            writePolygon(area);
            swapOut(swap);
        }
    }
    if (pen_.style != PenStyle::None) {
        std::vector<Point> ring(corners.begin(), corners.end());
        ring.push_back(corners.front());
        polyline(ring);
    }
}

void WmfWriter::rectangle(Rect box) {
    if (Inside({box.left, box.top}, inkBox()) && Inside({box.right, box.bottom}, inkBox())) {
        record(kRectangle, Box(box.left, box.top, box.right, box.bottom));
        return;
    }
    // The outline runs along the pixels just inside the right and bottom.
    const std::array<Point, 4> corners{{{box.left, box.top},
                                        {box.right - 1, box.top},
                                        {box.right - 1, box.bottom - 1},
                                        {box.left, box.bottom - 1}}};
    cutShape(corners);
}

void WmfWriter::ellipse(Rect box) {
    if (Inside({box.left, box.top}, inkBox()) && Inside({box.right, box.bottom}, inkBox())) {
        record(kEllipse, Box(box.left, box.top, box.right, box.bottom));
        return;
    }
    cutShape(EllipseCorners(box));
}

void WmfWriter::fill(Rect box, Rgb colour) {
    fillWith({colour, false}, box);
}

// A rectangle without an outline, cut to the picture.
void WmfWriter::fillWith(const Brush& withBrush, Rect box) {
    if (!Inside({box.left, box.top}, picture_) || !Inside({box.right, box.bottom}, picture_)) {
        box.left = std::max(box.left, picture_.left);
        box.top = std::max(box.top, picture_.top);
        box.right = std::min(box.right, picture_.right);
        box.bottom = std::min(box.bottom, picture_.bottom);
        if (box.left >= box.right || box.top >= box.bottom) {
            return;
        }
    }
    const Swap swap = swapIn({Rgb{}, 1, PenStyle::None}, withBrush);
    record(kRectangle, Box(box.left, box.top, box.right, box.bottom));
    swapOut(swap);
}

WmfWriter::Swap WmfWriter::swapIn(const Pen& withPen, const Brush& withBrush) {
    const bool samePen =
        pen_.style == PenStyle::None ? withPen.style == PenStyle::None : withPen == pen_;
    Swap swap;
    swap.pen = samePen ? -1 : pen(withPen);
    if (swap.pen >= 0) {
        selectObject(swap.pen);
    }
    swap.brush = withBrush == brush_ ? -1 : brush(withBrush);
    if (swap.brush >= 0) {
        selectObject(swap.brush);
    }
    return swap;
}

void WmfWriter::swapOut(Swap swap) {
    if (swap.pen >= 0) {
        selectObject(penSlot_);
    }
    if (swap.brush >= 0) {
        selectObject(brushSlot_);
    }
}

// Japanese text needs the Shift-JIS character set for its bytes to be read
// as such, whatever the family; the font changes set only while it does.
// The player lays the text out in its own font: no advances are written.
void WmfWriter::text(Point p, std::string_view utf8, TextAnchor anchor,
                     std::span<const std::int32_t>) {
    if (utf8.empty()) {
        return;
    }
    Font font = font_;
    if (fontSlot_ < 0) {
        font.height = -12; // no font set: the player's choice of face
    }
    font.charset = HasNonAscii(utf8) ? kShiftJisCharset : familyCharset_;
    applyFont(font);
    const std::uint16_t align = anchor == TextAnchor::TopLeft ? kAlignTopLeft : kAlignBaseline;
    if (align != textAlign_) {
        record(kSetTextAlign, Word(align));
        textAlign_ = align;
    }
    const std::string bytes = CutCp932(data::EncodeCp932(utf8), kMaxCount);
    std::string s = YX(p);
    PutS16(s, static_cast<std::int64_t>(bytes.size()));
    Put16(s, 0); // options: no rectangle
    s += bytes;
    if (s.size() % 2 != 0) {
        Put8(s, 0);
    }
    record(kExtTextOut, s);
}

std::string WmfWriter::finish() {
    if (finished_) {
        return file_;
    }
    if (clipped_) {
        restoreClip();
    }
    // Nothing stays behind in the player's object table.
    for (const Object& o : objects_) {
        deleteObject(o.slot);
    }
    objects_.clear();
    record(kEof, {});
    finished_ = true;

    std::string placeable;
    Put32(placeable, 0x9AC6CDD7);
    Put16(placeable, 0); // handle
    PutS16(placeable, 0);
    PutS16(placeable, 0);
    PutS16(placeable, width_);
    PutS16(placeable, height_);
    Put16(placeable, static_cast<std::uint16_t>(dpi_)); // units per inch: one a pixel
    Put32(placeable, 0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < placeable.size(); i += 2) {
        checksum ^= static_cast<std::uint16_t>(static_cast<unsigned char>(placeable[i]) |
                                               static_cast<unsigned char>(placeable[i + 1]) << 8);
    }
    Put16(placeable, checksum);

    file_ = placeable;
    Put16(file_, 1);      // in memory
    Put16(file_, 9);      // header words
    Put16(file_, 0x0300); // version
    Put32(file_, static_cast<std::uint32_t>((18 + body_.size()) / 2));
    Put16(file_, static_cast<std::uint16_t>(slots_.size()));
    Put32(file_, maxRecord_);
    Put16(file_, 0);
    file_ += body_;
    body_.clear();
    return file_;
}

} // namespace skarvel::picture
