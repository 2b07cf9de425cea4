// The marker and the replay: where the marker goes and what follows it.

#include "app/marker_player.h"
#include "app/workspace.h"
#include "data/tables.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using skarvel::app::MarkerView;
using skarvel::app::Page;
using skarvel::app::TableId;
using skarvel::app::Workspace;
namespace in = skarvel::data::input;
namespace mk = skarvel::data::marker;

// Writes down the charts' marker moves and, as the frames of a whole replay
// go by, the track position of each; may move the marker itself at one
// frame, as a user would.
struct Frames : MarkerView {
    explicit Frames(Workspace& workspace) : ws(workspace) { ws.marker().setView(this); }
    ~Frames() override { ws.marker().setView(nullptr); }
    void markerMoved(std::optional<int> chartPoint) override {
        if (chartPoint) {
            chartPoints.push_back(*chartPoint);
        }
    }
    bool play(bool forward) {
        positions.clear();
        return ws.marker().play(forward, [this] {
            positions.push_back(ws.marker().trackPosition());
            if (static_cast<int>(positions.size()) == dragAt) {
                ws.marker().setTrackPosition(7);
            }
        });
    }
    Workspace& ws;
    std::vector<int> positions;
    std::vector<int> chartPoints;
    int dragAt = -1;
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
    auto& marker = ws.marker();
    EXPECT_EQ(marker.trackMax(), n);
    // The table shows nothing until the marker first moves.
    EXPECT_EQ(Value(ws, mk::PointNumber), "");
    marker.setTrackPosition(812);
    EXPECT_EQ(Value(ws, mk::PointNumber), "812");
    EXPECT_EQ(Value(ws, mk::Time), "8.1200");

    // Typing a point number or a time marks a sample; the track bar stays.
    ws.editCell(TableId::Marker, mk::kValueColumn, mk::PointNumber, "99999");
    marker.markerCellEntered(mk::PointNumber);
    EXPECT_EQ(marker.markerSample(), n);
    EXPECT_EQ(marker.trackPosition(), 812);
    ws.editCell(TableId::Marker, mk::kValueColumn, mk::Time, "0.075");
    marker.markerCellEntered(mk::Time);
    EXPECT_EQ(marker.markerSample(), 7); // half-way marks the earlier sample

    // "4秒表示" limits the track bar and pulls the position back.
    marker.setFourSeconds(true);
    EXPECT_EQ(marker.trackMax(), 400);
    EXPECT_EQ(marker.trackPosition(), 400);
    EXPECT_EQ(marker.markerSample(), 400);
    marker.setFourSeconds(false);
    EXPECT_EQ(marker.trackMax(), n);
    EXPECT_EQ(marker.trackPosition(), 400);

    // The charts mark point p div 5 whichever page is shown, for the track
    // bar and for a typed point alike.
    Frames frames(ws);
    marker.setVisiblePage(Page::Trajectory);
    marker.setTrackPosition(7);
    marker.setVisiblePage(Page::Charts);
    ws.editCell(TableId::Marker, mk::kValueColumn, mk::PointNumber, "52");
    marker.markerCellEntered(mk::PointNumber);
    EXPECT_EQ(frames.chartPoints, (std::vector<int>{1, 10}));
    EXPECT_EQ(Value(ws, mk::Time), "0.5200");

    // The CLI's marker: limited to the flight, the track bar there too.
    marker.markSample(1000000);
    EXPECT_EQ(marker.markerSample(), n);
    EXPECT_EQ(marker.trackPosition(), n);
}

TEST(Marker, LaunchPreviewWhileTyping) {
    Workspace ws;
    ws.runFromInput();
    auto& marker = ws.marker();
    marker.setTrackPosition(50);
    marker.previewLaunch(in::LaunchSpeed, "36");
    EXPECT_EQ(marker.trackPosition(), 0);
    EXPECT_EQ(marker.markerSample(), -1);
    // 36 km/h is 10 m/s on the V bar; no lift during the preview.
    EXPECT_EQ(marker.bars().v, 100);
    EXPECT_EQ(marker.bars().cl, 0);
    EXPECT_EQ(ws.tables().input.cell(in::kValueColumn, in::LaunchSpeed), "150");
    // Rows below the launch rows preview nothing.
    marker.setTrackPosition(50);
    marker.previewLaunch(in::PitchRate, "3");
    EXPECT_EQ(marker.markerSample(), 50);
}

TEST(Replay, PositionsStepsAndStops) {
    Workspace ws;
    ws.editCell(TableId::Input, in::kValueColumn, in::Altitude, "0");
    ws.runFromInput();
    Frames frames(ws);
    auto& marker = ws.marker();
    const int n = ws.record().lastIndex;
    ASSERT_GT(n, 20);

    // Step 3 from the start: 3, 6, ... and the end itself.
    EXPECT_TRUE(frames.play(true));
    ASSERT_FALSE(frames.positions.empty());
    EXPECT_EQ(frames.positions.front(), 3);
    EXPECT_EQ(frames.positions[1], 6);
    EXPECT_EQ(frames.positions.back(), n);
    EXPECT_EQ(frames.positions.size(), static_cast<std::size_t>((n + 2) / 3));
    EXPECT_TRUE(ws.stopRequested());

    // Started at the end it plays again from the start; backwards from 0 it
    // starts at the end.
    frames.play(true);
    EXPECT_EQ(frames.positions.front(), 3);
    marker.replayToStart();
    frames.play(false);
    EXPECT_EQ(frames.positions.front(), n - 3);
    EXPECT_EQ(frames.positions.back(), 0);

    // Slow motion: every sample, held for 1 - step more frames.
    marker.setReplayStep("0");
    frames.play(true);
    EXPECT_EQ(frames.positions.size(), static_cast<std::size_t>(2 * n));
    EXPECT_EQ(frames.positions[0], 1);
    EXPECT_EQ(frames.positions[1], 1);
    EXPECT_EQ(frames.positions[2], 2);
    marker.setReplayStep("-100");
    frames.play(true);
    EXPECT_EQ(frames.positions.size(), static_cast<std::size_t>(102 * n));
    // Backwards alike, from the end down to 0.
    marker.setReplayStep("-1");
    frames.play(false);
    ASSERT_EQ(frames.positions.size(), static_cast<std::size_t>(3 * n));
    EXPECT_EQ(frames.positions[0], n - 1);
    EXPECT_EQ(frames.positions[2], n - 1);
    EXPECT_EQ(frames.positions[3], n - 2);
    EXPECT_EQ(frames.positions.back(), 0);

    // A marker moved during playback stops it there.
    marker.setReplayStep("3");
    frames.dragAt = 2;
    frames.play(true);
    EXPECT_EQ(frames.positions.size(), 2u);
    EXPECT_EQ(marker.trackPosition(), 7);

    // The step dialog's answers.
    marker.setReplayStep("500");
    EXPECT_EQ(marker.replayStepText(), "100");
    marker.setReplayStep("abc");
    EXPECT_EQ(marker.replayStepText(), "1");
    marker.setReplayStep("-500");
    EXPECT_EQ(marker.replayStepText(), "-100");
}

TEST(Replay, FourSecondsEndsPlayback) {
    Workspace ws;
    ws.editCell(TableId::Input, in::kValueColumn, in::Altitude, "30");
    ws.runFromInput();
    ws.marker().setFourSeconds(true);
    Frames frames(ws);
    ws.marker().setReplayStep("100");
    frames.play(true);
    EXPECT_EQ(frames.positions, (std::vector<int>{100, 200, 300, 400, 400}));
}

} // namespace
