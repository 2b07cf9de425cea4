// The zoom box as recorded primitives.

#include "picture/recording_canvas.h"
#include "view/navigation.h"
#include "view/view_state.h"
#include "view/zoom_box.h"

#include <gtest/gtest.h>

namespace {

using namespace skarvel::view;
using skarvel::picture::RecordingCanvas;

TEST(ZoomBox, DottedOutlineOverTheDraggedBox) {
    // Dragged from bottom-right to top-left: the box is the same either way.
    ViewState v = InitialView(200, 100);
    MouseGesture m;
    m.press({150, 75});
    m.move(v, {50, 25}, true, false);
    ASSERT_TRUE(m.boxShown());
    RecordingCanvas c;
    DrawZoomBox(c, m.box());
    EXPECT_EQ(c.dump(), "pen WindowText 1 dotted\n"
                        "brush hollow\n"
                        "rectangle 50,25 150,75\n");
}

} // namespace
