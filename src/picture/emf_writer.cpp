#include "picture/emf_writer.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace skarvel::picture {

namespace {

// Record types.
constexpr std::uint32_t kHeader = 1;
constexpr std::uint32_t kPolygon = 3;
constexpr std::uint32_t kPolyline = 4;
constexpr std::uint32_t kEof = 14;
constexpr std::uint32_t kSetMapMode = 17;
constexpr std::uint32_t kSetBkMode = 18;
constexpr std::uint32_t kSetTextAlign = 22;
constexpr std::uint32_t kSetTextColor = 24;
constexpr std::uint32_t kMoveToEx = 27;
constexpr std::uint32_t kIntersectClipRect = 30;
constexpr std::uint32_t kSelectObject = 37;
constexpr std::uint32_t kCreatePen = 38;
constexpr std::uint32_t kCreateBrushIndirect = 39;
constexpr std::uint32_t kDeleteObject = 40;
constexpr std::uint32_t kEllipse = 42;
constexpr std::uint32_t kRectangle = 43;
constexpr std::uint32_t kLineTo = 54;
constexpr std::uint32_t kExtSelectClipRgn = 75;
constexpr std::uint32_t kExtCreatePen = 95;
constexpr std::uint32_t kExtCreateFontIndirectW = 82;
constexpr std::uint32_t kExtTextOutW = 84;
constexpr std::uint32_t kPolygon16 = 86;
constexpr std::uint32_t kPolyline16 = 87;

// Stock objects.
constexpr std::uint32_t kStock = 0x80000000u;
constexpr std::uint32_t kWhiteBrush = kStock | 0;
constexpr std::uint32_t kNullBrush = kStock | 5;
constexpr std::uint32_t kBlackPen = kStock | 7;
constexpr std::uint32_t kNullPen = kStock | 8;
constexpr std::uint32_t kDefaultGuiFont = kStock | 17;

constexpr std::uint32_t kMmText = 1;
constexpr std::uint32_t kTransparent = 1;
constexpr std::uint32_t kTaTopLeft = 0;
constexpr std::uint32_t kTaBaselineLeft = 24;
constexpr std::uint32_t kRgnCopy = 5;
constexpr std::uint32_t kPsGeometric = 0x00010000;
constexpr std::uint32_t kGmCompatible = 1;
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::uint8_t kShiftJisCharset = 128;

// The reference device: a 1920 x 1080 screen at the picture's resolution.
constexpr std::int32_t kDeviceWidth = 1920;
constexpr std::int32_t kDeviceHeight = 1080;

// Pens, brushes and fonts kept alive at most.
constexpr std::size_t kMaxObjects = 32;

std::uint32_t ColorRef(Rgb c) {
    return std::uint32_t{c.r} | std::uint32_t{c.g} << 8 | std::uint32_t{c.b} << 16;
}

// Pixels at `dpi` in 1/perMillimetre mm, rounded.
std::int32_t Metric(std::int64_t pixels, std::int64_t perMillimetre, std::int64_t dpi) {
    return static_cast<std::int32_t>((pixels * 254 * perMillimetre * 2 + dpi * 10) /
                                     (dpi * 10 * 2));
}

// UTF-8 to code points; a byte that starts no valid sequence, or the valid
// start of a broken one, becomes one U+FFFD.
std::vector<char32_t> CodePoints(std::string_view utf8) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            cp = b & 0x0F;
            lo = b == 0xE0 ? 0xA0 : 0x80; // no overlong forms
            hi = b == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            cp = b & 0x07;
            lo = b == 0xF0 ? 0x90 : 0x80;
            hi = b == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
        } else {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= utf8.size()) {
                ok = false;
                break;
            }
            const auto c = static_cast<unsigned char>(utf8[j]);
            if (c < (k == 0 ? lo : 0x80) || c > (k == 0 ? hi : 0xBF)) {
                ok = false;
                break;
            }
            cp = cp << 6 | (c & 0x3F);
        }
        out.push_back(ok ? cp : char32_t{0xFFFD});
        i = j;
    }
    return out;
}

void AppendUtf16(std::vector<std::uint16_t>& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<std::uint16_t>(cp));
    }
}

// Characters a font draws in a square cell: CJK, kana, Hangul and the
// full-width forms, but not the half-width ones.
bool Wide(char32_t cp) {
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
           (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
           (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
           (cp >= 0xFFE0 && cp <= 0xFFE6) || cp >= 0x1F300;
}

std::int32_t Clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool FitsInt16(std::int32_t v) {
    return v >= std::numeric_limits<std::int16_t>::min() &&
           v <= std::numeric_limits<std::int16_t>::max();
}

} // namespace

EmfWriter::EmfWriter(int width, int height, int dpi)
    : penObject_(kBlackPen), brush_(Rgb{0xFF, 0xFF, 0xFF}), brushObject_(kWhiteBrush),
      fontObject_(kDefaultGuiFont), textAlign_(kTaTopLeft) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    picture_ = {0, 0, width, height};
    handleUsed_.assign(1, true);

    beginRecord(kHeader);
    putRect({0, 0, width - 1, height - 1}); // bounds, inclusive
    dpi = std::max(dpi, 1);
    putRect({0, 0, Metric(width, 100, dpi), Metric(height, 100, dpi)}); // frame
    put32(0x464D4520);                                                  // " EMF"
    put32(0x00010000);                                                  // version
    put32(0); // file size, set by finish()
    put32(0); // record count, set by finish()
    put16(0); // handle count, set by finish()
    put16(0);
    put32(0); // no description
    put32(0);
    put32(0); // no palette
    putI32(kDeviceWidth);
    putI32(kDeviceHeight);
    putI32(Metric(kDeviceWidth, 1, dpi));
    putI32(Metric(kDeviceHeight, 1, dpi));
    put32(0); // no pixel format
    put32(0);
    put32(0); // not OpenGL
    putI32(Metric(kDeviceWidth, 1000, dpi));
    putI32(Metric(kDeviceHeight, 1000, dpi));
    endRecord();

    simpleRecord(kSetMapMode, kMmText);
    simpleRecord(kSetBkMode, kTransparent);
    simpleRecord(kSetTextAlign, textAlign_);
    simpleRecord(kSetTextColor, ColorRef(textColour_));
    simpleRecord(kSelectObject, brushObject_);
    simpleRecord(kSelectObject, penObject_);
    simpleRecord(kSelectObject, fontObject_);
    // Nothing lands outside the picture, so the bounds above hold: without
    // the clip, playback spills a shape reaching past the edge.
    beginRecord(kIntersectClipRect);
    putRect(picture_);
    endRecord();
}

void EmfWriter::put32(std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes_.push_back(static_cast<char>((v >> shift) & 0xFF));
    }
}

void EmfWriter::put16(std::uint16_t v) {
    bytes_.push_back(static_cast<char>(v & 0xFF));
    bytes_.push_back(static_cast<char>(v >> 8));
}

void EmfWriter::putRect(Rect r) {
    putI32(r.left);
    putI32(r.top);
    putI32(r.right);
    putI32(r.bottom);
}

void EmfWriter::patch32(std::size_t offset, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) {
        bytes_[offset + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    }
}

void EmfWriter::beginRecord(std::uint32_t type) {
    recordStart_ = bytes_.size();
    put32(type);
    put32(0);
}

void EmfWriter::endRecord() {
    while (bytes_.size() % 4 != 0) {
        put8(0);
    }
    const std::size_t size = bytes_.size() - recordStart_;
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("EMF record too large");
    }
    patch32(recordStart_ + 4, static_cast<std::uint32_t>(size));
    ++records_;
}

void EmfWriter::simpleRecord(std::uint32_t type, std::uint32_t value) {
    beginRecord(type);
    put32(value);
    endRecord();
}

std::uint32_t EmfWriter::allocateHandle() {
    const auto free = std::find(handleUsed_.begin(), handleUsed_.end(), false);
    const auto index = static_cast<std::uint32_t>(free - handleUsed_.begin());
    if (free == handleUsed_.end()) {
        handleUsed_.push_back(true);
    } else {
        *free = true;
    }
    handleCount_ = std::max(handleCount_, index + 1);
    return index;
}

std::uint32_t EmfWriter::object(Object wanted) {
    wanted.lastUse = ++uses_;
    for (Object& o : objects_) {
        if (o.sameAs(wanted)) {
            o.lastUse = wanted.lastUse;
            return o.handle;
        }
    }
    if (objects_.size() >= kMaxObjects) {
        // The least recently used of those not selected goes.
        const auto oldest = LeastRecentlyUsed(objects_, [this](const Object& o) {
            return o.handle == penObject_ || o.handle == brushObject_ || o.handle == fontObject_;
        });
        if (oldest != objects_.end()) {
            simpleRecord(kDeleteObject, oldest->handle);
            handleUsed_[oldest->handle] = false;
            objects_.erase(oldest);
        }
    }
    wanted.handle = allocateHandle();
    create(wanted);
    objects_.push_back(wanted);
    return wanted.handle;
}

void EmfWriter::create(const Object& o) {
    if (o.kind == Object::Brush) {
        beginRecord(kCreateBrushIndirect);
        put32(o.handle);
        put32(0); // BS_SOLID
        put32(ColorRef(o.brush));
        put32(0); // no hatch
        endRecord();
    } else if (o.kind == Object::Pen && o.pen.width == 1) {
        beginRecord(kCreatePen);
        put32(o.handle);
        put32(PenStyleCode(o.pen.style));
        putI32(o.pen.width);
        putI32(0);
        put32(ColorRef(o.pen.colour));
        endRecord();
    } else if (o.kind == Object::Pen) {
        // Wider pens are geometric: Windows draws a wide plain pen's dashes
        // solid, and some viewers draw every plain pen one pixel wide.
        beginRecord(kExtCreatePen);
        put32(o.handle);
        put32(0); // no brush bitmap
        put32(0);
        put32(0);
        put32(0);
        put32(kPsGeometric | PenStyleCode(o.pen.style)); // round caps and joins
        put32(static_cast<std::uint32_t>(o.pen.width));
        put32(0); // BS_SOLID
        put32(ColorRef(o.pen.colour));
        put32(0); // no hatch
        put32(0); // no style entries
        endRecord();
    } else {
        const FontState& font = o.font;
        // A Japanese face name means Japanese text: ask for the Shift-JIS
        // character set, or Windows may map the face to a Western one.
        const bool ascii = std::all_of(font.family.begin(), font.family.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        std::vector<std::uint16_t> face;
        for (char32_t cp : CodePoints(font.family)) {
            std::vector<std::uint16_t> units;
            AppendUtf16(units, cp);
            if (face.size() + units.size() > 31) {
                break;
            }
            face.insert(face.end(), units.begin(), units.end());
        }
        face.resize(32, 0);

        beginRecord(kExtCreateFontIndirectW);
        put32(o.handle);
        // Negative: the character height, not the cell height.
        putI32(Clamp32(-std::llabs(std::int64_t{font.pixelHeight})));
        putI32(0);          // width from the aspect ratio
        putI32(font.angle); // escapement: the text's direction
        putI32(font.angle); // orientation: each character's
        putI32(font.bold ? 700 : 400);
        put8(font.italic ? 1 : 0);
        put8(0); // underline
        put8(0); // strike out
        put8(ascii ? kDefaultCharset : kShiftJisCharset);
        put8(0); // output precision
        put8(0); // clip precision
        put8(0); // quality
        put8(0); // pitch and family
        for (std::uint16_t u : face) {
            put16(u);
        }
        endRecord();
    }
}

void EmfWriter::setPen(Rgb colour, int width, PenStyle style) {
    PenState want{colour, std::max(width, 1), style};
    if (style == PenStyle::None) {
        want = PenState{{}, 1, PenStyle::None};
    }
    if (want == pen_) {
        return;
    }
    const std::uint32_t handle =
        style == PenStyle::None ? kNullPen : object({Object::Pen, want, {}, {}});
    simpleRecord(kSelectObject, handle);
    pen_ = want;
    penObject_ = handle;
}

void EmfWriter::setBrush(Rgb colour) {
    if (brush_ == colour) {
        return;
    }
    const std::uint32_t handle = object({Object::Brush, {}, colour, {}});
    simpleRecord(kSelectObject, handle);
    brush_ = colour;
    brushObject_ = handle;
}

void EmfWriter::setHollowBrush() {
    if (!brush_) {
        return;
    }
    simpleRecord(kSelectObject, kNullBrush);
    brush_.reset();
    brushObject_ = kNullBrush;
}

void EmfWriter::setFont(std::string_view family, int pixelHeight, bool bold, bool italic,
                        int angle) {
    FontState want{std::string(family), pixelHeight, bold, italic, angle};
    if (font_ == want) {
        return;
    }
    const std::uint32_t handle = object({Object::Font, {}, {}, want});
    simpleRecord(kSelectObject, handle);
    font_ = std::move(want);
    fontObject_ = handle;
}

void EmfWriter::setTextColour(Rgb colour) {
    if (colour == textColour_) {
        return;
    }
    simpleRecord(kSetTextColor, ColorRef(colour));
    textColour_ = colour;
}

void EmfWriter::setClip(std::optional<Rect> clip) {
    if (!clip && !clipped_) {
        return;
    }
    // Back to no clipping, then narrowed to the picture and the rectangle.
    beginRecord(kExtSelectClipRgn);
    put32(0); // no region data
    put32(kRgnCopy);
    endRecord();
    Rect box = picture_;
    if (clip) {
        box.left = std::max(box.left, clip->left);
        box.top = std::max(box.top, clip->top);
        box.right = std::max(box.left, std::min(box.right, clip->right));
        box.bottom = std::max(box.top, std::min(box.bottom, clip->bottom));
    }
    beginRecord(kIntersectClipRect);
    putRect(box);
    endRecord();
    clipped_ = clip.has_value();
}

void EmfWriter::moveTo(Point p) {
    beginRecord(kMoveToEx);
    putI32(p.x);
    putI32(p.y);
    endRecord();
}

void EmfWriter::lineTo(Point p) {
    beginRecord(kLineTo);
    putI32(p.x);
    putI32(p.y);
    endRecord();
}

void EmfWriter::pointsRecord(std::uint32_t type16, std::uint32_t type32,
                             std::span<const Point> points) {
    if (points.size() < 2) {
        return;
    }
    Rect bounds{points[0].x, points[0].y, points[0].x, points[0].y};
    bool small = true;
    for (const Point& p : points) {
        bounds.left = std::min(bounds.left, p.x);
        bounds.top = std::min(bounds.top, p.y);
        bounds.right = std::max(bounds.right, p.x);
        bounds.bottom = std::max(bounds.bottom, p.y);
        small = small && FitsInt16(p.x) && FitsInt16(p.y);
    }
    if (points.size() > (std::numeric_limits<std::uint32_t>::max() - 28) / 8) {
        throw std::length_error("too many points for an EMF record");
    }
    beginRecord(small ? type16 : type32);
    putRect(bounds);
    put32(static_cast<std::uint32_t>(points.size()));
    for (const Point& p : points) {
        if (small) {
            put16(static_cast<std::uint16_t>(p.x));
            put16(static_cast<std::uint16_t>(p.y));
        } else {
            putI32(p.x);
            putI32(p.y);
        }
    }
    endRecord();
}

void EmfWriter::polyline(std::span<const Point> points) {
    pointsRecord(kPolyline16, kPolyline, points);
}

void EmfWriter::polygon(std::span<const Point> points) {
    pointsRecord(kPolygon16, kPolygon, points);
}

void EmfWriter::rectangle(Rect box) {
    beginRecord(kRectangle);
    putRect(box);
    endRecord();
}

void EmfWriter::ellipse(Rect box) {
    beginRecord(kEllipse);
    putRect(box);
    endRecord();
}

void EmfWriter::fill(Rect box, Rgb colour) {
    if (box.right <= box.left || box.bottom <= box.top) {
        return;
    }
    const bool otherBrush = brush_ != colour;
    if (otherBrush) {
        simpleRecord(kSelectObject, object({Object::Brush, {}, colour, {}}));
    }
    if (penObject_ != kNullPen) {
        simpleRecord(kSelectObject, kNullPen);
    }
    // Without a pen the rectangle stops a pixel short on the right and at the
    // bottom.
    beginRecord(kRectangle);
    putRect({box.left, box.top, Clamp32(std::int64_t{box.right} + 1),
             Clamp32(std::int64_t{box.bottom} + 1)});
    endRecord();
    if (penObject_ != kNullPen) {
        simpleRecord(kSelectObject, penObject_);
    }
    if (otherBrush) {
        simpleRecord(kSelectObject, brushObject_);
    }
}

void EmfWriter::text(Point p, std::string_view utf8, TextAnchor anchor,
                     std::span<const std::int32_t> given) {
    const std::uint32_t align = anchor == TextAnchor::TopLeft ? kTaTopLeft : kTaBaselineLeft;
    if (align != textAlign_) {
        simpleRecord(kSetTextAlign, align);
        textAlign_ = align;
    }
    // Players place each character by its advance. Without the font's own,
    // a guess: square cells for wide characters, narrower ones for the rest.
    const std::int64_t height = font_ ? std::llabs(std::int64_t{font_->pixelHeight}) : 12;
    std::vector<std::uint16_t> units;
    std::vector<std::int32_t> advances;
    std::size_t k = 0;
    for (char32_t cp : CodePoints(utf8)) {
        const std::size_t before = units.size();
        AppendUtf16(units, cp);
        advances.push_back(k < given.size() ? given[k]
                                            : Clamp32(Wide(cp) ? height : (height * 11 + 10) / 20));
        ++k;
        if (units.size() - before == 2) {
            advances.push_back(0);
        }
    }
    if (units.empty()) {
        return;
    }
    if (units.size() > (std::numeric_limits<std::uint32_t>::max() - 76) / 8) {
        throw std::length_error("text too long for an EMF record");
    }
    const auto count = static_cast<std::uint32_t>(units.size());
    const std::uint32_t stringOffset = 76;
    const std::uint32_t dxOffset = stringOffset + (count * 2 + 3) / 4 * 4;

    beginRecord(kExtTextOutW);
    putRect({0, 0, -1, -1}); // bounds not computed
    put32(kGmCompatible);
    put32(0); // x scale
    put32(0); // y scale
    putI32(p.x);
    putI32(p.y);
    put32(count);
    put32(stringOffset);
    put32(0);                // options
    putRect({0, 0, -1, -1}); // no opaque or clipping rectangle
    put32(dxOffset);
    for (std::uint16_t u : units) {
        put16(u);
    }
    if (count % 2 != 0) {
        put16(0);
    }
    for (std::int32_t a : advances) {
        putI32(a);
    }
    endRecord();
}

std::string EmfWriter::finish() {
    if (!finished_) {
        finished_ = true;
        if (!objects_.empty()) {
            // Stock objects in, so that every object of ours can go.
            simpleRecord(kSelectObject, kBlackPen);
            simpleRecord(kSelectObject, kWhiteBrush);
            simpleRecord(kSelectObject, kDefaultGuiFont);
            for (const Object& o : objects_) {
                simpleRecord(kDeleteObject, o.handle);
            }
            objects_.clear();
        }
        beginRecord(kEof);
        put32(0);  // no palette entries
        put32(16); // where they would be
        put32(20); // this record's size
        endRecord();
        if (bytes_.size() > std::numeric_limits<std::uint32_t>::max()) {
            throw std::length_error("picture too large for an EMF");
        }
        patch32(48, static_cast<std::uint32_t>(bytes_.size()));
        patch32(52, records_);
        bytes_[56] = static_cast<char>(handleCount_ & 0xFF);
        bytes_[57] = static_cast<char>((handleCount_ >> 8) & 0xFF);
    }
    return bytes_;
}

} // namespace skarvel::picture
