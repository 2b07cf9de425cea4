// The trajectory viewport: what it draws on its surface and when, around a
// flight and for the view commands.

#include "app/trajectory_surface.h"
#include "app/trajectory_viewport.h"
#include "app/workspace.h"
#include "data/tables.h"
#include "picture/recording_canvas.h"
#include "view/pixel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using skarvel::app::FlightView;
using skarvel::app::Option;
using skarvel::app::TableId;
using skarvel::app::TrajectorySurface;
using skarvel::app::TrajectoryViewport;
using skarvel::app::Workspace;
namespace view = skarvel::view;
namespace picture = skarvel::picture;
namespace in = skarvel::data::input;

// Keeps the two layers as recordings and writes down what is drawn:
// "new", "step", "cursor", each ended by "|".
struct Surface : TrajectorySurface {
    picture::RecordingCanvas flight, cursor;
    std::string log;
    view::Canvas& draw(Layer layer, int, int) override {
        switch (layer) {
        case Layer::NewFlight:
            log += "new ";
            flight.clear();
            return flight;
        case Layer::Flight:
            log += "step ";
            return flight;
        case Layer::Cursor:
            break;
        }
        log += "cursor ";
        cursor = flight;
        return cursor;
    }
    void drawn() override { log += "| "; }
};

// Tries the view commands in the middle of a flight.
struct ViewCommandsDuringRun : FlightView {
    Workspace* ws = nullptr;
    bool accepted = false;
    void secondElapsed() override {
        auto& v = ws->viewport();
        accepted = accepted || v.fitToTrajectory() || v.fitToRange() || v.resetOrigin() ||
                   v.zoom(1.05) || v.move(view::Direction::Up);
        v.redraw();
        v.showCursorAt(1);
    }
};

std::size_t Count(const std::string& text, const std::string& word) {
    std::size_t n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        ++n;
    }
    return n;
}

TEST(TrajectoryViewport, DrawingAroundAFlight) {
    Workspace ws;
    Surface surface;
    ws.viewport().setSurface(&surface);
    ws.viewport().prepare(400, 300);
    ws.editCell(TableId::Input, in::kValueColumn, in::Altitude, "20");

    // Live: a new blank picture, then one step for each 50 ms sample;
    // nothing else is drawn while the flight runs, whatever the user asks for.
    ViewCommandsDuringRun during;
    during.ws = &ws;
    ws.setFlightView(&during);
    ws.runFromInput();
    EXPECT_FALSE(during.accepted);
    const int n = ws.record().lastIndex;
    EXPECT_EQ(surface.log.substr(0, 11), "new | step ");
    EXPECT_EQ(Count(surface.log, "new"), 1u);
    EXPECT_EQ(Count(surface.log, "cursor"), 0u);
    EXPECT_EQ(Count(surface.log, "step"), static_cast<std::size_t>(n / 5));
    EXPECT_EQ(surface.flight.lines()[0], "fill 0,0 400,300 WindowBackground");
    ws.setFlightView(nullptr);

    // Without live drawing the trajectory is drawn once after the flight,
    // then the cursor over it.
    ws.setOption(Option::LiveTrajectory, false);
    surface.log.clear();
    ws.runFromInput();
    EXPECT_EQ(surface.log, "new | cursor | ");
    EXPECT_EQ(ws.record().lastIndex, n);

    // The automatic fit after a live flight.
    ws.setOption(Option::LiveTrajectory, true);
    ws.setOption(Option::AutoFit, true);
    const double k = ws.viewport().state().k;
    ws.runFromInput();
    EXPECT_NE(ws.viewport().state().k, k);

    // The drawing options redraw at once.
    surface.log.clear();
    ws.setOption(Option::SpanVerticals, true);
    EXPECT_EQ(surface.log, "new | cursor | ");

    // The track bar moves the cursor, and a redraw keeps it there.
    ws.marker().setTrackPosition(40);
    const std::string at40 = surface.cursor.dump();
    ws.viewport().redraw();
    EXPECT_EQ(surface.cursor.dump(), at40);
}

TEST(TrajectoryViewport, CursorAtTheMarkedSampleAndNothingWhileBusy) {
    Workspace ws;
    ws.runFromInput();
    bool busy = true;
    TrajectoryViewport viewport(ws.record(), ws.inputSet(), ws.statistics(), busy);
    Surface surface;
    viewport.setSurface(&surface);
    viewport.prepare(400, 300);
    EXPECT_FALSE(viewport.fitToTrajectory());
    viewport.redraw();
    viewport.showCursorAt(3);
    EXPECT_EQ(surface.log, "");

    busy = false;
    viewport.showCursorAt(ws.record().lastIndex + 1);
    EXPECT_EQ(surface.log, "");
    viewport.showCursorAt(30);
    const std::string at30 = surface.cursor.dump();
    viewport.showCursorAt(3);
    EXPECT_NE(surface.cursor.dump(), at30);
    // A redraw puts the cursor back at the marked sample.
    viewport.setMarkedSample(30);
    surface.log.clear();
    viewport.redraw();
    EXPECT_EQ(surface.log, "new | cursor | ");
    EXPECT_EQ(surface.cursor.dump(), surface.flight.dump() + at30);
}

TEST(TrajectoryViewport, ErrorsSwallowedOrReported) {
    Workspace ws;
    Surface surface;
    ws.viewport().setSurface(&surface);
    ws.viewport().prepare(400, 300);
    // Before any flight there is no horizontal extent: the range fit fails
    // quietly and the view stays.
    const view::ViewState before = ws.viewport().state();
    EXPECT_TRUE(ws.viewport().fitToRange());
    EXPECT_EQ(ws.viewport().state().k, before.k);
    EXPECT_EQ(ws.viewport().state().oy, before.oy);

    // A scale that throws the drawing beyond the pixel range: the zoom keeps
    // quiet, a move lets the caller report it.
    ws.runFromInput();
    EXPECT_TRUE(ws.viewport().zoom(1e30));
    EXPECT_THROW(ws.viewport().move(view::Direction::Right), view::RangeError);
}

} // namespace
