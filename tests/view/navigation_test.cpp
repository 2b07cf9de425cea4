// Moving, scaling and turning the view, and the mouse over the image.

#include "view_fixture.h"

#include "view/navigation.h"
#include "view/view_state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace skarvel::view;
using skarvel::test::Flight;

TEST(ViewNavigation, FitsStepsAndAngles) {
    // A single sample at the origin fits the 20-pixel square around it.
    auto point = Flight(0, 0);
    ViewState v = InitialView(200, 100);
    FitToTrajectory(v, *point);
    EXPECT_DOUBLE_EQ(v.k, 10 * 100 / 20.0);
    EXPECT_EQ(v.ox, 100);
    EXPECT_EQ(v.oy, 50);

    // No horizontal extent: the range fit fails before changing anything.
    v = InitialView(200, 100);
    EXPECT_ANY_THROW(FitToRange(v, 0, 0));
    EXPECT_EQ(v.k, 10);
    FitToRange(v, 10, 20);
    EXPECT_DOUBLE_EQ(v.k, 100 / 30.0);
    EXPECT_EQ(v.oy, 67);

    // Five steps in and five out end below the scale they started from.
    v = InitialView(200, 100);
    for (double f : {1.05, 1.05, 1.05, 1.05, 1.05, 0.95, 0.95, 0.95, 0.95, 0.95}) {
        Zoom(v, f);
    }
    EXPECT_NEAR(v.k / 10, std::pow(1.05, 5) * std::pow(0.95, 5), 1e-12);
    const auto ox = v.ox, oy = v.oy;
    Move(v, Direction::Left);
    Move(v, Direction::Up);
    EXPECT_EQ(v.ox, ox - 10);
    EXPECT_EQ(v.oy, oy - 5);
    ResetOrigin(v);
    EXPECT_EQ(v.oy, 67);

    // An angle that is no integer reads as 0; the limits come after reading.
    EXPECT_EQ(ParseAngleText("abc"), 0);
    EXPECT_EQ(ParseAngleText("-30"), -30);
    EXPECT_EQ(LimitHorizontalAngle(200), 180);
    EXPECT_EQ(LimitHorizontalAngle(-200), -180);
    EXPECT_EQ(LimitVerticalAngle(-5), 0);
    EXPECT_EQ(LimitVerticalAngle(95), 90);
}

TEST(ViewNavigation, MouseGestures) {
    ViewState v = InitialView(200, 100);
    MouseGesture m;
    // Shorter than 6 pixels in one direction: no box, and releasing the left
    // button changes nothing.
    m.press({50, 50});
    EXPECT_FALSE(m.move(v, {100, 55}, true, false));
    EXPECT_FALSE(m.boxShown());
    EXPECT_FALSE(m.release(v, {100, 55}, MouseButton::Left));
    EXPECT_EQ(v.k, 10);

    // Dragged down-right: the box's content fills the image.
    m.press({50, 25});
    m.move(v, {150, 75}, true, false);
    ASSERT_TRUE(m.boxShown());
    EXPECT_EQ(m.box(), (Rect{50, 25, 150, 75}));
    EXPECT_TRUE(m.release(v, {150, 75}, MouseButton::Left));
    EXPECT_DOUBLE_EQ(v.k, 20);
    // Dragged up-left over the same box: the whole view shrinks into it.
    m.press({150, 75});
    m.move(v, {50, 25}, true, false);
    m.release(v, {50, 25}, MouseButton::Left);
    EXPECT_DOUBLE_EQ(v.k, 10);
    EXPECT_FALSE(m.boxShown());

    // The right button drags the drawing along.
    const auto ox = v.ox, oy = v.oy;
    m.press({10, 10});
    EXPECT_TRUE(m.move(v, {15, 13}, false, true));
    EXPECT_TRUE(m.release(v, {20, 20}, MouseButton::Right));
    EXPECT_EQ(v.ox, ox + 10);
    EXPECT_EQ(v.oy, oy + 10);
}

} // namespace
