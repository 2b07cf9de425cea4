// No viewer checks an EMF strictly, so the file is walked record by record
// here, then rendered through emf2svg and librsvg when they are installed.

#include "picture/emf_writer.h"

#include "common/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;

std::uint32_t U32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) {
        v = v << 8 | static_cast<unsigned char>(s[at + k]);
    }
    return v;
}

struct Parsed {
    std::uint32_t records = 0;
    std::uint32_t lastType = 0;
    std::uint32_t maxHandle = 0;
    std::set<std::uint32_t> types;
    std::string texts; // the UTF-16 of every text record, one after another
};

Parsed Parse(const std::string& emf) {
    Parsed p;
    std::size_t at = 0;
    while (at + 8 <= emf.size()) {
        const std::uint32_t type = U32(emf, at), size = U32(emf, at + 4);
        EXPECT_EQ(size % 4, 0u) << "record " << p.records;
        EXPECT_GE(size, 8u);
        EXPECT_LE(at + size, emf.size());
        if (size < 8 || at + size > emf.size()) {
            break;
        }
        // Creates, selects and deletes name their handle first.
        if (type == 37 || type == 38 || type == 39 || type == 40 || type == 82 || type == 95) {
            const std::uint32_t handle = U32(emf, at + 8);
            if ((handle & 0x80000000u) == 0) {
                p.maxHandle = std::max(p.maxHandle, handle);
            }
        }
        if (type == 84) {
            p.texts += emf.substr(at + U32(emf, at + 48), 2 * U32(emf, at + 44));
        }
        p.types.insert(type);
        p.lastType = type;
        ++p.records;
        at += size;
    }
    EXPECT_EQ(at, emf.size());
    return p;
}

// A picture with every call; a thick black line along y = 10.
std::string Picture() {
    EmfWriter w(200, 120);
    w.fill({0, 0, 200, 120}, {0xFF, 0xFF, 0xFF});
    w.setPen({0, 0, 0}, 3, PenStyle::Solid);
    w.moveTo({10, 10});
    w.lineTo({190, 10});
    const std::array<Point, 3> pts{{{10, 30}, {100, 60}, {190, 30}}};
    for (PenStyle s : {PenStyle::Dash, PenStyle::Dot, PenStyle::DashDot, PenStyle::Solid}) {
        w.setPen({0xC8, 0x1E, 0x64}, 1, s);
        w.polyline(pts);
    }
    w.setBrush({0, 0x80, 0});
    w.polygon(pts);
    w.setHollowBrush();
    w.setPen({0, 0, 0xFF}, 2, PenStyle::Dash);
    w.setClip(Rect{0, 60, 100, 120});
    w.rectangle({10, 70, 60, 110});
    w.ellipse({70, 70, 190, 110});
    w.setClip(std::nullopt);
    w.fill({150, 90, 160, 100}, {0xFF, 0xFF, 0});
    w.setPen({}, 1, PenStyle::None);
    const std::array<Point, 3> far{{{0, 0}, {40000, 0}, {0, -40000}}};
    w.polyline(far);
    w.polygon(far);
    w.setFont("ＭＳ ゴシック", 16, true, false, 0);
    w.setTextColour({0, 0, 0x80});
    w.text({20, 40}, "時間(s)", TextAnchor::TopLeft, {});
    w.setFont("Arial", 12, false, true, 900); // upwards
    w.text({120, 100}, "a\xff\xF0\x9F\x98\x80", TextAnchor::BaselineLeft, {});
    return w.finish();
}

TEST(EmfWriter, WritesWellFormedRecords) {
    const std::string emf = Picture();
    ASSERT_GE(emf.size(), 108u);
    EXPECT_EQ(U32(emf, 0), 1u);
    EXPECT_EQ(U32(emf, 40), 0x464D4520u);
    EXPECT_EQ(U32(emf, 48), emf.size());
    EXPECT_EQ(U32(emf, 16), 199u);  // bounds, inclusive
    EXPECT_EQ(U32(emf, 32), 5292u); // frame: 200 px in 0.01 mm
    const Parsed p = Parse(emf);
    EXPECT_EQ(U32(emf, 52), p.records);
    EXPECT_EQ(p.lastType, 14u);
    const std::uint32_t handles = U32(emf, 56) & 0xFFFF;
    EXPECT_GT(handles, p.maxHandle);
    for (std::uint32_t type : {3u, 4u, 86u, 87u, 38u, 95u, 39u, 82u, 84u, 30u, 75u}) {
        EXPECT_TRUE(p.types.count(type)) << "record type " << type;
    }
    // Surrogate pair kept, invalid byte replaced.
    const std::u16string expected = u"時間(s)a\uFFFD\U0001F600";
    std::string utf16;
    for (char16_t u : expected) {
        utf16 += static_cast<char>(u & 0xFF);
        utf16 += static_cast<char>(u >> 8);
    }
    EXPECT_EQ(p.texts, utf16);
}

std::int32_t I32(const std::string& s, std::size_t at) {
    return static_cast<std::int32_t>(U32(s, at));
}

Rect RectAt(const std::string& s, std::size_t at) {
    return {I32(s, at), I32(s, at + 4), I32(s, at + 8), I32(s, at + 12)};
}

// Played as a player would: what each record draws, cut to the clip then in
// force, lies inside the header's bounds.
TEST(EmfWriter, DrawsNothingOutsideItsBounds) {
    EmfWriter w(100, 80);
    w.setHollowBrush();
    w.ellipse({-30, 50, 60, 120}); // a thermal reaching past the corner
    w.setClip(Rect{10, 10, 50, 50});
    w.rectangle({0, 0, 60, 60});
    w.setClip(std::nullopt);
    w.moveTo({50, 40});
    w.lineTo({500, 40});
    const std::array<Point, 3> far{{{-5, -5}, {40, 200}, {90, 10}}};
    w.polyline(far);
    const std::string emf = w.finish();

    const Rect bounds = RectAt(emf, 8); // inclusive
    const auto cut = [](Rect a, Rect b) {
        return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
    };
    const Rect everything{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    Rect clip = everything; // right and bottom outside, as all below
    Point position;
    std::size_t at = 0;
    for (int record = 0; at + 8 <= emf.size(); ++record) {
        const std::uint32_t type = U32(emf, at), size = U32(emf, at + 4);
        Rect drawn{};
        if (type == 75) {
            clip = everything;
        } else if (type == 30) {
            clip = cut(clip, RectAt(emf, at + 8));
        } else if (type == 27) {
            position = {I32(emf, at + 8), I32(emf, at + 12)};
        } else if (type == 54) {
            const Point p{I32(emf, at + 8), I32(emf, at + 12)};
            drawn = Rect{std::min(p.x, position.x), std::min(p.y, position.y),
                         std::max(p.x, position.x) + 1, std::max(p.y, position.y) + 1};
            position = p;
        } else if (type == 42 || type == 43) {
            drawn = RectAt(emf, at + 8);
        } else if (type == 86 || type == 87) {
            const Rect r = RectAt(emf, at + 8);
            drawn = Rect{r.left, r.top, r.right + 1, r.bottom + 1};
        }
        drawn = cut(drawn, clip);
        if (drawn.left < drawn.right && drawn.top < drawn.bottom) {
            EXPECT_GE(drawn.left, bounds.left) << "record " << record;
            EXPECT_GE(drawn.top, bounds.top) << "record " << record;
            EXPECT_LE(drawn.right - 1, bounds.right) << "record " << record;
            EXPECT_LE(drawn.bottom - 1, bounds.bottom) << "record " << record;
        }
        at += size;
    }
}

// The records after the set-up, one a line: type and 32-bit values.
std::string Listing(const std::string& emf, std::size_t from) {
    std::string out;
    std::size_t at = U32(emf, 4);
    for (std::size_t record = 1; at + 8 <= emf.size(); ++record) {
        const std::uint32_t size = U32(emf, at + 4);
        if (record >= from) {
            out += std::to_string(U32(emf, at));
            for (std::size_t v = at + 8; v < at + size && v < at + 28; v += 4) {
                out += ' ' + std::to_string(I32(emf, v));
            }
            out += '\n';
        }
        at += size;
    }
    return out;
}

// Two pens taking turns, as a trajectory's ground track and path do, and
// fills in two colours: each is created once and selected again after, and
// all are deleted before the end.
TEST(EmfWriter, CreatesEachObjectOnceAndDeletesItAtTheEnd) {
    EmfWriter w(40, 30);
    const std::size_t setUp = Parse(w.finish()).records - 1; // without the end
    EmfWriter t(40, 30);
    for (int i = 0; i < 2; ++i) {
        t.setPen({0xF0, 0xF0, 0xF0}, 1, PenStyle::Solid);
        t.lineTo({i, 1});
        t.setPen({0, 0, 0}, 1, PenStyle::Solid);
        t.lineTo({i, 2});
        t.fill({0, 0, 5, 5}, {0xFF, 0, 0});
    }
    t.setBrush({0xFF, 0, 0});
    t.setFont("Arial", 12, false, false, 0);
    t.fill({0, 0, 5, 5}, {0, 0, 0xFF});
    EXPECT_EQ(Listing(t.finish(), setUp), R"(38 1 0 1 0 15790320
37 1
54 0 1
38 2 0 1 0 0
37 2
54 0 2
39 3 0 255 0
37 3
37 -2147483640
43 0 0 6 6
37 2
37 -2147483648
37 1
54 1 1
37 2
54 1 2
37 3
37 -2147483640
43 0 0 6 6
37 2
37 -2147483648
37 3
82 4 -12 0 0 0
37 4
39 5 0 16711680 0
37 5
37 -2147483640
43 0 0 6 6
37 2
37 3
37 -2147483641
37 -2147483648
37 -2147483631
40 1
40 2
40 3
40 4
40 5
14 0 16 20
)");
}

TEST(EmfWriter, RendersThroughEmf2Svg) {
    const char* emf2svg = "/usr/bin/emf2svg-conv";
    const char* rsvg = "/usr/bin/rsvg-convert";
    const char* convert = "/usr/bin/convert";
    if (!std::filesystem::exists(emf2svg) || !std::filesystem::exists(rsvg) ||
        !std::filesystem::exists(convert)) {
        GTEST_SKIP() << "emf2svg-conv, rsvg-convert or ImageMagick not installed";
    }
    skarvel::test::TempDir dir;
    const std::string emf = dir.file("f.emf"), svg = dir.file("f.svg"), png = dir.file("f.png"),
                      rgb = dir.file("f.rgb");
    std::ofstream(emf, std::ios::binary) << Picture();
    const std::string cmd = std::string(emf2svg) + " -i '" + emf + "' -o '" + svg + "' && " + rsvg +
                            " -b white -o '" + png + "' '" + svg + "' && " + convert + " '" + png +
                            "' -depth 8 'rgb:" + rgb + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);

    std::ifstream svgIn(svg, std::ios::binary);
    const std::string svgText{std::istreambuf_iterator<char>(svgIn), {}};
    EXPECT_NE(svgText.find("時間(s)"), std::string::npos);
    EXPECT_NE(svgText.find("stroke=\"#C81E64\""), std::string::npos);
    EXPECT_NE(svgText.find("transform=\"rotate(-90, "), std::string::npos)
        << "no text turned upwards";

    std::ifstream rgbIn(rgb, std::ios::binary);
    const std::string pixels{std::istreambuf_iterator<char>(rgbIn), {}};
    // emf2svg sizes the picture from the inclusive bounds: 199 x 119.
    ASSERT_EQ(pixels.size(), 199u * 119u * 3u);
    const auto dark = [&](int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * 199 + x) * 3;
        int sum = 0;
        for (int k = 0; k < 3; ++k) {
            sum += static_cast<unsigned char>(pixels[at + k]);
        }
        return sum < 150;
    };
    EXPECT_TRUE(dark(50, 10));
    EXPECT_TRUE(dark(150, 10));
    EXPECT_FALSE(dark(100, 20));
}

} // namespace
