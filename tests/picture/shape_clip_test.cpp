#include "picture/shape_clip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

using namespace skarvel::view;
using namespace skarvel::picture;
using Points = std::vector<Point>;

constexpr Rect kBox{0, 0, 100, 50};

// A polygon from its top-left-most corner: where a ring starts does not matter.
Points FromTopLeft(Points ring) {
    const auto first = std::min_element(ring.begin(), ring.end(), [](Point a, Point b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    std::rotate(ring.begin(), first, ring.end());
    return ring;
}

TEST(ClipPolyline, SplitsWhereTheLineLeavesAndComesBack) {
    const std::array<Point, 4> line{{{10, 40}, {10, -30}, {60, 20}, {160, 20}}};
    const auto parts = ClipPolyline(line, kBox);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0], (Points{{10, 40}, {10, 0}}));
    EXPECT_EQ(parts[1], (Points{{40, 0}, {60, 20}, {100, 20}}));
}

TEST(ClipPolyline, KeepsALineWhollyInsideAsItIs) {
    const std::array<Point, 4> line{{{0, 0}, {100, 50}, {100, 50}, {3, 7}}};
    const auto parts = ClipPolyline(line, kBox);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0], Points(line.begin(), line.end()));
}

TEST(ClipPolyline, DropsALineThatOnlyTouchesACorner) {
    const std::array<Point, 2> line{{{-10, 10}, {10, -10}}};
    EXPECT_TRUE(ClipPolyline(line, kBox).empty());
}

TEST(ClipPolygon, KeepsTheAreaInside) {
    // A triangle over the right edge becomes a quadrilateral.
    const std::array<Point, 3> triangle{{{80, 10}, {120, 10}, {80, 50}}};
    EXPECT_EQ(FromTopLeft(ClipPolygon(triangle, kBox)),
              (Points{{80, 10}, {100, 10}, {100, 30}, {80, 50}}));
    // One that covers the box becomes the box.
    const std::array<Point, 3> cover{{{-10, -10}, {400, -10}, {-10, 400}}};
    EXPECT_EQ(FromTopLeft(ClipPolygon(cover, kBox)),
              (Points{{0, 0}, {100, 0}, {100, 50}, {0, 50}}));
    const std::array<Point, 3> outside{{{110, 10}, {120, 10}, {110, 20}}};
    EXPECT_TRUE(ClipPolygon(outside, kBox).empty());
}

TEST(EllipseCorners, FollowTheEllipseClosely) {
    const Rect box{-300, 20, 500, 220}; // centre (100, 120), radii 400 and 100
    const Points corners = EllipseCorners(box);
    ASSERT_GT(corners.size(), 8u);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const Point a = corners[i], b = corners[(i + 1) % corners.size()];
        // Each corner on the curve to within rounding, and the middle of
        // each side not far inside it.
        const auto radius = [](double x, double y) {
            return std::hypot((x - 100) / 400, (y - 120) / 100);
        };
        EXPECT_NEAR(radius(a.x, a.y), 1, 0.5 / 100 * 1.5) << i;
        EXPECT_GT(radius((a.x + b.x) / 2.0, (a.y + b.y) / 2.0), 1 - 1.0 / 100) << i;
    }
}

} // namespace
