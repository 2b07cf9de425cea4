#include "gui/instrument_strip.h"

#include "app/workspace.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

using skarvel::gui::AttitudeDial;

// The motion line of each dial shows on the dial's own background: with the
// glider at rest the line runs from the centre straight down (roll), to the
// left (pitch) and straight up (yaw), clear of the silhouette near its end.
TEST(AttitudeDials, MotionLineShowsOnTheBackground) {
    skarvel::app::Workspace ws;
    const struct {
        AttitudeDial::Kind kind;
        int dx, dy;
    } dials[] = {
        {AttitudeDial::Roll, 0, 28}, {AttitudeDial::Pitch, -30, 0}, {AttitudeDial::Yaw, 0, -30}};
    for (const auto& d : dials) {
        AttitudeDial dial(ws, d.kind);
        const QImage image = dial.grab().toImage();
        const QPoint centre = dial.contentsRect().topLeft() + QPoint(32, 32);
        const QString background = dial.palette().color(QPalette::Button).name();
        const QString line = image.pixelColor(centre + QPoint(d.dx, d.dy)).name();
        EXPECT_NE(line, background) << d.kind;
        EXPECT_EQ(image.pixelColor(centre + QPoint(d.dx + 3, d.dy + 3)).name(), background)
            << d.kind;
    }
}

} // namespace
