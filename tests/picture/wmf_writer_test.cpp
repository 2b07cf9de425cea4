// The file is walked record by record as a player would, and then played by
// libwmf: wmf2svg takes the whole picture; ImageMagick, which fits the
// extent of every coordinate drawn to the image and fails the whole file on
// text when the old Ghostscript fonts its WMF reader looks for are missing,
// plays a picture of shapes reaching past its edges without text.

#include "picture/wmf_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;

std::uint16_t U16(const std::string& f, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(f.at(at)) |
                                      static_cast<unsigned char>(f.at(at + 1)) << 8);
}

std::uint32_t U32(const std::string& f, std::size_t at) {
    return U16(f, at) | static_cast<std::uint32_t>(U16(f, at + 2)) << 16;
}

struct Record {
    std::uint16_t function;
    std::string params;
};

std::string Picture() {
    WmfWriter w(200, 120);
    w.fill({0, 0, 200, 120}, Rgb{255, 255, 255});
    w.setPen(Rgb{0, 0, 0}, 8, PenStyle::Solid);
    w.moveTo({20, 30});
    w.lineTo({180, 30});
    w.setPen(Rgb{200, 0, 0}, 1, PenStyle::Dash);
    w.setBrush(Rgb{0, 120, 215});
    w.rectangle({10, 50, 60, 90});
    w.setPen(Rgb{0, 150, 0}, 1, PenStyle::Dot);
    w.setHollowBrush();
    w.ellipse({70, 50, 120, 90});
    w.ellipse({-100, -60, 300, 200}); // reaching past every edge
    w.setPen(Rgb{0, 0, 200}, 1, PenStyle::DashDot);
    const std::array<Point, 3> pts{{{130, 90}, {160, 50}, {190, 90}}};
    w.polygon(pts);
    w.setPen(Rgb{0, 0, 0}, 2, PenStyle::None);
    w.polyline(pts);
    w.setClip(Rect{0, 0, 100, 120});
    w.setPen(Rgb{90, 90, 90}, 1, PenStyle::Solid);
    w.fill({150, 100, 190, 115}, Rgb{255, 200, 0});
    w.lineTo({40000, -50000}); // leaving the picture
    w.setFont("ＭＳ ゴシック", 14, true, false, 0);
    w.setTextColour(Rgb{0, 0, 128});
    w.text({10, 95}, "時間(s)", TextAnchor::TopLeft, {});
    w.setClip(std::nullopt);
    w.setFont("Arial", 12, false, true, 900); // upwards
    w.text({110, 115}, "t", TextAnchor::BaselineLeft, {});
    return w.finish();
}

TEST(WmfWriter, HeadersAndRecordsHoldTogether) {
    const std::string f = Picture();
    ASSERT_GT(f.size(), 40u);
    EXPECT_EQ(U32(f, 0), 0x9AC6CDD7u);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        checksum ^= U16(f, i);
    }
    EXPECT_EQ(U16(f, 20), checksum);
    EXPECT_EQ(U16(f, 14), 96);
    EXPECT_EQ(U16(f, 22), 1);
    EXPECT_EQ(U16(f, 24), 9);
    EXPECT_EQ(U16(f, 26), 0x0300);
    EXPECT_EQ(std::size_t{U32(f, 28)} * 2, f.size() - 22);
    const std::uint16_t objects = U16(f, 32);
    const std::uint32_t maxRecord = U32(f, 34);

    std::vector<Record> records;
    std::size_t at = 40;
    while (at < f.size()) {
        const std::uint32_t words = U32(f, at);
        ASSERT_GE(words, 3u);
        ASSERT_LE(words, maxRecord);
        ASSERT_LE(at + words * 2, f.size());
        records.push_back({U16(f, at + 4), f.substr(at + 6, words * 2 - 6)});
        at += words * 2;
        if (records.back().function == 0) {
            break;
        }
    }
    EXPECT_EQ(at, f.size());
    ASSERT_EQ(records.back().function, 0);

    // The object table as a player keeps it.
    std::vector<bool> slots(objects, false);
    int saves = 0;
    std::map<std::uint16_t, int> seen;
    for (const Record& r : records) {
        ++seen[r.function];
        if (r.function == 0x02FA || r.function == 0x02FB || r.function == 0x02FC) {
            auto free = std::find(slots.begin(), slots.end(), false);
            ASSERT_NE(free, slots.end()) << "more objects than the header declares";
            *free = true;
        } else if (r.function == 0x012D || r.function == 0x01F0) {
            const std::uint16_t slot = U16(r.params, 0);
            ASSERT_LT(slot, slots.size());
            EXPECT_TRUE(slots[slot]);
            slots[slot] = r.function == 0x012D;
        } else if (r.function == 0x001E) {
            ++saves;
        } else if (r.function == 0x0127) {
            --saves;
            EXPECT_GE(saves, 0);
        }
    }
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(std::count(slots.begin(), slots.end(), true), 0) << "objects left at the end";
    EXPECT_EQ(records.front().function, 0x0103); // the map mode first
    // Each pen and brush once, however often it comes back: pens the first,
    // the frame's (again for the fills), six set; brushes the first (again for
    // a fill), the frame's (again when set hollow), one set and one fill.
    EXPECT_EQ(seen[0x02FA], 8);
    EXPECT_EQ(seen[0x02FC], 4);
    EXPECT_EQ(seen[0x02FB], 2);
    EXPECT_EQ(seen[0x0416], 2);

    for (const Record& r : records) {
        if (r.function == 0x02FB && U16(r.params, 0) == static_cast<std::uint16_t>(-14)) {
            EXPECT_EQ(U16(r.params, 8), 700);
            EXPECT_EQ(static_cast<unsigned char>(r.params[13]), 128);
            EXPECT_EQ(r.params.substr(18), std::string("\x82\x6C\x82\x72\x20\x83\x53\x83\x56"
                                                       "\x83\x62\x83\x4E\0",
                                                       14));
        }
        if (r.function == 0x0A32 && U16(r.params, 0) == 95) {
            EXPECT_EQ(U16(r.params, 4), 7);
            EXPECT_EQ(r.params.substr(8), std::string("\x8E\x9E\x8A\xD4(s)\0", 8));
        }
    }
    EXPECT_EQ(seen[0x0213], 2);
}

std::int16_t S16(const std::string& f, std::size_t at) {
    return static_cast<std::int16_t>(U16(f, at));
}

// Shapes reaching past the edges, from outside and back: filled and hollow
// ellipses, a polygon, a rectangle, lines and a polyline that leaves the
// picture and comes back.
std::string ReachingPicture() {
    WmfWriter w(200, 120);
    w.fill({-50, -50, 250, 170}, Rgb{255, 255, 255});
    w.setPen(Rgb{0, 0, 0}, 1, PenStyle::Solid);
    w.setBrush(Rgb{255, 200, 0});
    w.ellipse({-60, -40, 60, 40});
    w.setHollowBrush();
    w.setPen(Rgb{0, 150, 0}, 1, PenStyle::Solid);
    w.ellipse({120, 60, 320, 200});
    w.setBrush(Rgb{0, 120, 215});
    const std::array<Point, 3> triangle{{{150, -30}, {230, 40}, {160, 40}}};
    w.polygon(triangle);
    w.rectangle({-10, 70, 30, 140});
    w.setPen(Rgb{0, 0, 0}, 6, PenStyle::Solid);
    w.moveTo({20, 100});
    w.lineTo({400, 100});
    w.moveTo({-2000000, 110});
    w.lineTo({60, 110});
    w.setPen(Rgb{0, 0, 200}, 1, PenStyle::Solid);
    const std::array<Point, 4> zigzag{{{10, 60}, {100, -20}, {140, 60}, {210, 30}}};
    w.polyline(zigzag);
    w.fill({100, 50, 104, 54}, Rgb{0, 0, 0}); // the mark
    return w.finish();
}

TEST(WmfWriter, WritesNoCoordinateOutsideThePicture) {
    for (const std::string& f : {Picture(), ReachingPicture()}) {
        const Rect picture{S16(f, 6), S16(f, 8), S16(f, 10), S16(f, 12)};
        std::vector<Point> points;
        int drawn = 0;
        std::size_t at = 40;
        while (at + 6 <= f.size()) {
            const std::uint32_t words = U32(f, at);
            const std::uint16_t function = U16(f, at + 4);
            const std::size_t p = at + 6;
            if (function == 0x0213 || function == 0x0214) { // line, move: y, x
                points.push_back({S16(f, p + 2), S16(f, p)});
            } else if (function == 0x041B || function == 0x0418) { // bottom, right, top, left
                points.push_back({S16(f, p + 6), S16(f, p + 4)});
                points.push_back({S16(f, p + 2), S16(f, p)});
            } else if (function == 0x0324 || function == 0x0325) { // count, then x, y
                for (int i = 0; i < S16(f, p); ++i) {
                    points.push_back({S16(f, p + 2 + 4 * i), S16(f, p + 4 + 4 * i)});
                }
            } else {
                at += std::size_t{words} * 2;
                continue;
            }
            ++drawn;
            at += std::size_t{words} * 2;
        }
        EXPECT_GT(drawn, 10);
        for (const Point& q : points) {
            EXPECT_TRUE(q.x >= picture.left && q.x <= picture.right && q.y >= picture.top &&
                        q.y <= picture.bottom)
                << q.x << "," << q.y;
        }
    }
}

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
            out += buffer.data();
        }
        pclose(pipe);
    }
    return out;
}

// Red, green and blue of one pixel of a picture, 0..255 each.
std::array<int, 3> PixelAt(const std::string& png, int x, int y) {
    const std::string txt = Output("/usr/bin/convert '" + png + "' -crop 1x1+" + std::to_string(x) +
                                   "+" + std::to_string(y) + " -depth 8 txt:- 2>/dev/null");
    const std::size_t hash = txt.find('#', txt.find('\n')); // past the header line
    if (hash == std::string::npos || hash + 7 > txt.size()) {
        return {-1, -1, -1};
    }
    return {std::stoi(txt.substr(hash + 1, 2), nullptr, 16),
            std::stoi(txt.substr(hash + 3, 2), nullptr, 16),
            std::stoi(txt.substr(hash + 5, 2), nullptr, 16)};
}

std::filesystem::path TempDir() {
    const auto dir =
        std::filesystem::temp_directory_path() / ("skarvel-wmf-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(WmfWriter, Wmf2svgPlaysIt) {
    if (!std::filesystem::exists("/usr/bin/wmf2svg")) {
        GTEST_SKIP() << "no wmf2svg";
    }
    const auto dir = TempDir();
    const std::string wmf = (dir / "all.wmf").string(), svg = (dir / "all.svg").string();
    std::ofstream(wmf, std::ios::binary) << Picture();
    const int status = std::system(("/usr/bin/wmf2svg -o '" + svg + "' '" + wmf + "'").c_str());
    std::ifstream in(svg);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove_all(dir);
    EXPECT_EQ(status, 0);
    EXPECT_NE(text.find("<text"), std::string::npos);
    EXPECT_NE(text.find("matrix(0.000000 -1.000000 1.000000 0.000000 "), std::string::npos)
        << "no text turned upwards";
}

// A player that fits the extent of what is drawn to the image keeps the
// picture's size and places: nothing drawn reaches past the edge.
TEST(WmfWriter, ImageMagickKeepsThePictureInPlace) {
    if (!std::filesystem::exists("/usr/bin/convert") ||
        Output("/usr/bin/convert -list format 2>/dev/null").find(" WMF ") == std::string::npos) {
        GTEST_SKIP() << "no ImageMagick with a WMF reader";
    }
    const auto dir = TempDir();
    const std::string wmf = (dir / "f.wmf").string(), png = (dir / "f.png").string();
    std::ofstream(wmf, std::ios::binary) << ReachingPicture();
    ASSERT_EQ(std::system(("/usr/bin/convert -density 96 '" + wmf + "' '" + png + "'").c_str()), 0);
    const std::string size = Output("/usr/bin/convert '" + png + "' -format %wx%h info:");
    // The mark covers 100..103 both ways; a pixel's shift shows.
    const std::array<std::array<int, 3>, 2> mark{PixelAt(png, 100, 50), PixelAt(png, 103, 53)};
    const std::array<std::array<int, 3>, 4> around{PixelAt(png, 98, 51), PixelAt(png, 105, 51),
                                                   PixelAt(png, 101, 48), PixelAt(png, 101, 55)};
    const auto filled = PixelAt(png, 10, 5);  // inside the yellow ellipse
    const auto line = PixelAt(png, 196, 100); // the thick line, up to the edge
    std::filesystem::remove_all(dir);
    EXPECT_EQ(size, "200x120");
    for (int c = 0; c < 3; ++c) {
        for (const auto& ink : mark) {
            EXPECT_LT(ink[c], 80) << "mark channel " << c;
        }
        EXPECT_LT(line[c], 80) << "line channel " << c;
        for (const auto& paper : around) {
            EXPECT_GT(paper[c], 200) << "paper channel " << c;
        }
    }
    EXPECT_GT(filled[0], 200);
    EXPECT_GT(filled[1], 150);
    EXPECT_LT(filled[2], 80);
}

} // namespace
