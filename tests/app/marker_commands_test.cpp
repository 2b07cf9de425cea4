// The marker and the replay: where the marker goes and what follows it.

#include "app/workspace.h"
#include "data/tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using skarvel::app::Page;
using skarvel::app::RunView;
using skarvel::app::TableId;
using skarvel::app::Workspace;
namespace data = skarvel::data;
namespace in = skarvel::data::input;
namespace mk = skarvel::data::marker;

// Writes down the track position of every replay frame and the chart marker
// moves; may move the marker itself at one frame, as a user would.
struct Frames : RunView {
    Workspace* ws = nullptr;
    std::vector<int> positions;
    std::vector<int> chartPoints;
    int repaints = 0;
    int dragAt = -1;
    void replayFrame() override {
        positions.push_back(ws->trackPosition());
        if (static_cast<int>(positions.size()) == dragAt) {
            ws->setTrackPosition(7);
        }
    }
    void repaintTrajectory() override { ++repaints; }
    void moveChartMarker(int k) override { chartPoints.push_back(k); }
};

std::string Value(const Workspace& ws, int row) {
    return ws.tables().marker.cell(mk::kValueColumn, row);
}

TEST(Marker, TrackBarTableAndFourSeconds) {
    Workspace ws;
    ws.editCell(TableId::Input, in::kValueColumn, in::Altitude, "30");
    ws.runFromInput();
    const int n = ws.record().lastIndex;
    ASSERT_GT(n, 1200);
    EXPECT_EQ(ws.trackMax(), n);
    // The table shows nothing until the marker first moves.
    EXPECT_EQ(Value(ws, mk::PointNumber), "");
    ws.setTrackPosition(812);
    EXPECT_EQ(Value(ws, mk::PointNumber), "812");
    EXPECT_EQ(Value(ws, mk::Time), "8.1200");

    // Typing a point number or a time marks a sample; the track bar stays.
    ws.editCell(TableId::Marker, mk::kValueColumn, mk::PointNumber, "99999");
    ws.markerCellEntered(mk::PointNumber);
    EXPECT_EQ(ws.markerSample(), n);
    EXPECT_EQ(ws.trackPosition(), 812);
    ws.editCell(TableId::Marker, mk::kValueColumn, mk::Time, "0.075");
    ws.markerCellEntered(mk::Time);
    EXPECT_EQ(ws.markerSample(), 7); // half-way marks the earlier sample

    // "4秒表示" limits the track bar and pulls the position back.
    ws.setFourSeconds(true);
    EXPECT_EQ(ws.trackMax(), 400);
    EXPECT_EQ(ws.trackPosition(), 400);
    EXPECT_EQ(ws.markerSample(), 400);
    ws.setFourSeconds(false);
    EXPECT_EQ(ws.trackMax(), n);
    EXPECT_EQ(ws.trackPosition(), 400);

    // On the chart page the visible chart marks point p div 5.
    Frames frames;
    frames.ws = &ws;
    ws.setRunView(&frames);
    ws.setVisiblePage(Page::Charts);
    ws.setTrackPosition(7);
    EXPECT_EQ(frames.chartPoints, std::vector<int>{1});
    EXPECT_EQ(Value(ws, mk::Time), "0.0700");
}

TEST(Marker, LaunchPreviewWhileTyping) {
    Workspace ws;
    ws.runFromInput();
    ws.setTrackPosition(50);
    ws.previewLaunch(in::LaunchSpeed, "36");
    EXPECT_EQ(ws.trackPosition(), 0);
    EXPECT_EQ(ws.markerSample(), -1);
    // 36 km/h is 10 m/s on the V bar; no lift during the preview.
    EXPECT_EQ(ws.bars().v, 100);
    EXPECT_EQ(ws.bars().cl, 0);
    EXPECT_EQ(ws.tables().input.cell(in::kValueColumn, in::LaunchSpeed), "150");
    // Rows below the launch rows preview nothing.
    ws.setTrackPosition(50);
    ws.previewLaunch(in::PitchRate, "3");
    EXPECT_EQ(ws.markerSample(), 50);
}

TEST(Replay, PositionsStepsAndStops) {
    Workspace ws;
    ws.editCell(TableId::Input, in::kValueColumn, in::Altitude, "0");
    ws.runFromInput();
    Frames frames;
    frames.ws = &ws;
    ws.setRunView(&frames);
    const int n = ws.record().lastIndex;
    ASSERT_GT(n, 20);

    // Step 3 from the start: 3, 6, ... and the end itself.
    EXPECT_TRUE(ws.playForward());
    ASSERT_FALSE(frames.positions.empty());
    EXPECT_EQ(frames.positions.front(), 3);
    EXPECT_EQ(frames.positions[1], 6);
    EXPECT_EQ(frames.positions.back(), n);
    EXPECT_EQ(frames.positions.size(), static_cast<std::size_t>((n + 2) / 3));
    EXPECT_TRUE(ws.stopRequested());

    // Started at the end it plays again from the start; backwards from 0 it
    // starts at the end.
    frames.positions.clear();
    ws.playForward();
    EXPECT_EQ(frames.positions.front(), 3);
    ws.replayToStart();
    frames.positions.clear();
    ws.playBackward();
    EXPECT_EQ(frames.positions.front(), n - 3);
    EXPECT_EQ(frames.positions.back(), 0);

    // Slow motion: every sample, held for 1 - step more frames with a
    // repaint each.
    ws.setReplayStep("0");
    frames.positions.clear();
    ws.playForward();
    EXPECT_EQ(frames.positions.size(), static_cast<std::size_t>(2 * n));
    EXPECT_EQ(frames.repaints, n);
    EXPECT_EQ(frames.positions[0], 1);
    EXPECT_EQ(frames.positions[1], 1);
    EXPECT_EQ(frames.positions[2], 2);
    ws.setReplayStep("-100");
    frames.positions.clear();
    ws.playForward();
    EXPECT_EQ(frames.positions.size(), static_cast<std::size_t>(102 * n));
    // Backwards alike, from the end down to 0.
    ws.setReplayStep("-1");
    frames.positions.clear();
    ws.playBackward();
    ASSERT_EQ(frames.positions.size(), static_cast<std::size_t>(3 * n));
    EXPECT_EQ(frames.positions[0], n - 1);
    EXPECT_EQ(frames.positions[2], n - 1);
    EXPECT_EQ(frames.positions[3], n - 2);
    EXPECT_EQ(frames.positions.back(), 0);

    // A marker moved during playback stops it there.
    ws.setReplayStep("3");
    frames.positions.clear();
    frames.dragAt = 2;
    ws.playForward();
    EXPECT_EQ(frames.positions.size(), 2u);
    EXPECT_EQ(ws.trackPosition(), 7);

    // The step dialog's answers.
    ws.setReplayStep("500");
    EXPECT_EQ(ws.replayStepText(), "100");
    ws.setReplayStep("abc");
    EXPECT_EQ(ws.replayStepText(), "1");
    ws.setReplayStep("-500");
    EXPECT_EQ(ws.replayStepText(), "-100");
}

TEST(Replay, FourSecondsEndsPlayback) {
    Workspace ws;
    ws.editCell(TableId::Input, in::kValueColumn, in::Altitude, "30");
    ws.runFromInput();
    ws.setFourSeconds(true);
    Frames frames;
    frames.ws = &ws;
    ws.setRunView(&frames);
    ws.setReplayStep("100");
    ws.playForward();
    EXPECT_EQ(frames.positions, (std::vector<int>{100, 200, 300, 400, 400}));
}

} // namespace
