// The workspace's trajectory view: when it draws, and what the view commands
// do around a flight.

#include "app/trajectory_surface.h"
#include "app/workspace.h"
#include "data/tables.h"
#include "picture/recording_canvas.h"
#include "view/pixel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using skarvel::app::Option;
using skarvel::app::RunView;
using skarvel::app::TableId;
using skarvel::app::Workspace;
namespace view = skarvel::view;
namespace picture = skarvel::picture;
namespace in = skarvel::data::input;

// Writes down what is drawn where: "clean", "shown", "show clean", "keep".
struct Surface : skarvel::app::TrajectorySurface {
    picture::RecordingCanvas clean, shown;
    std::string log;
    view::Canvas& beginClean(int, int) override {
        log += "clean ";
        clean.clear();
        return clean;
    }
    view::Canvas& beginShown() override {
        log += "shown ";
        return shown;
    }
    void showClean() override {
        log += "show-clean ";
        shown = clean;
    }
    void keepShownAsClean() override { log += "keep "; }
};

// Tries the view commands in the middle of a flight.
struct ViewCommandsDuringRun : RunView {
    Workspace* ws = nullptr;
    bool accepted = false;
    void processEvents() override {
        accepted = accepted || ws->fitToTrajectory() || ws->fitToRange() || ws->resetOrigin() ||
                   ws->zoom(1.05) || ws->moveView(view::Direction::Up);
    }
};

TEST(ViewCommands, DrawingAroundAFlight) {
    Workspace ws;
    Surface surface;
    ws.setTrajectorySurface(&surface);
    ws.prepareView(400, 300);
    ws.editCell(TableId::Input, in::kValueColumn, in::Altitude, "20");

    // Live: the picture is cleared, each 50 ms sample is a step on it, the
    // clean image takes it afterwards; no redraw.
    ViewCommandsDuringRun during;
    during.ws = &ws;
    ws.setRunView(&during);
    ws.runFromInput();
    EXPECT_FALSE(during.accepted);
    const int n = ws.record().lastIndex;
    const std::string live = surface.log;
    EXPECT_EQ(live.find("clean"), std::string::npos);
    EXPECT_EQ(live.substr(live.size() - 5), "keep ");
    EXPECT_EQ(surface.shown.lines()[0], "fill 0,0 400,300 WindowBackground");

    // Without live drawing the trajectory is drawn once after the flight,
    // then the cursor on the picture.
    ws.setOption(Option::LiveTrajectory, false);
    surface.log.clear();
    ws.runFromInput();
    EXPECT_EQ(surface.log, "clean show-clean shown ");
    EXPECT_EQ(ws.record().lastIndex, n);

    // The automatic fit after a live flight.
    ws.setOption(Option::LiveTrajectory, true);
    ws.setOption(Option::AutoFit, true);
    const double k = ws.viewState().k;
    ws.runFromInput();
    EXPECT_NE(ws.viewState().k, k);

    // The drawing options redraw at once.
    surface.log.clear();
    ws.setOption(Option::SpanVerticals, true);
    EXPECT_EQ(surface.log, "clean show-clean shown ");
}

TEST(ViewCommands, ErrorsSwallowedOrReported) {
    Workspace ws;
    Surface surface;
    ws.setTrajectorySurface(&surface);
    ws.prepareView(400, 300);
    // Before any flight there is no horizontal extent: the range fit fails
    // quietly and the view stays.
    const view::ViewState before = ws.viewState();
    EXPECT_TRUE(ws.fitToRange());
    EXPECT_EQ(ws.viewState().k, before.k);
    EXPECT_EQ(ws.viewState().oy, before.oy);

    // A scale that throws the drawing beyond the pixel range: the zoom keeps
    // quiet, a move lets the caller report it.
    ws.runFromInput();
    EXPECT_TRUE(ws.zoom(1e30));
    EXPECT_THROW(ws.moveView(view::Direction::Right), view::RangeError);

    // The marker stays within the flight.
    ws.markSample(1000000);
    EXPECT_EQ(ws.markerSample(), ws.record().lastIndex);
    EXPECT_EQ(ws.trackPosition(), ws.record().lastIndex);
}

} // namespace
