#include "app/marker_player.h"

#include "app/trajectory_viewport.h"
#include "data/numtext.h"
#include "sim/load.h"

#include <algorithm>

namespace skarvel::app {

MarkerPlayer::MarkerPlayer(sim::FlightRecord& record, const sim::InputSet& input,
                           data::Tables& tables, TrajectoryViewport& viewport, const bool& busy,
                           bool& stop)
    : record_(record), input_(input), tables_(tables), viewport_(viewport), busy_(busy),
      stop_(stop) {}

void MarkerPlayer::setTrackPosition(int position) {
    const int p = std::clamp(position, 0, trackMax_);
    if (p == track_) {
        return;
    }
    track_ = p;
    viewport_.setMarkedSample(track_);
    trackChanged();
}

void MarkerPlayer::trackChanged() {
    if (page_ == Page::Trajectory) {
        viewport_.showCursorAt(track_);
    }
    showSample(track_, chartPointOf(track_));
}

std::optional<int> MarkerPlayer::chartPointOf(int i) const {
    // Every chart follows the one marker, whichever page is shown; a flight
    // in progress fills the charts and owns them.
    if (busy_ || i < 0) {
        return std::nullopt;
    }
    return i / 5;
}

void MarkerPlayer::updateTrackMax() {
    const int n = record_.lastIndex;
    trackMax_ = fourSeconds_ ? std::min(400, n) : n;
    if (track_ > trackMax_) {
        track_ = trackMax_;
        viewport_.setMarkedSample(track_);
        trackChanged();
    }
}

void MarkerPlayer::setFourSeconds(bool on) {
    fourSeconds_ = on;
    updateTrackMax();
    if (view_ != nullptr) {
        view_->markerMoved(std::nullopt);
    }
}

void MarkerPlayer::showSample(int i, std::optional<int> chartPoint) {
    markerSample_ = std::clamp(i, -1, record_.lastIndex);
    if (!busy_ && markerSample_ >= 0) {
        const auto texts = view::MarkerValueTexts(record_, markerSample_, input_);
        for (std::size_t r = 0; r < texts.size(); ++r) {
            tables_.marker.setCell(data::marker::kValueColumn, static_cast<int>(r) + 1, texts[r]);
        }
    }
    if (view_ != nullptr) {
        view_->markerMoved(chartPoint);
    }
}

void MarkerPlayer::showMarkerSample(int i) {
    showSample(i, chartPointOf(i));
}

void MarkerPlayer::keepMarkerInFlight() {
    if (markerSample_ > record_.lastIndex) {
        showMarkerSample(track_);
    }
}

int MarkerPlayer::sampleAtTime(double t) const {
    return busy_ ? 0 : view::SampleAtTime(record_, t);
}

void MarkerPlayer::markerCellEntered(int row) {
    const std::string& text = tables_.marker.cell(data::marker::kValueColumn, row);
    int i = 0;
    if (row == data::marker::PointNumber) {
        i = std::clamp(view::ParseMarkerIndex(text), 0, record_.lastIndex);
    } else if (row == data::marker::Time) {
        i = sampleAtTime(data::CellNumber(tables_.marker, data::marker::kValueColumn, row));
    } else {
        return;
    }
    if (page_ == Page::Trajectory) {
        viewport_.showCursorAt(i);
    }
    showSample(i, chartPointOf(i));
}

void MarkerPlayer::markSample(int i) {
    i = std::clamp(i, 0, record_.lastIndex);
    track_ = std::min(i, trackMax_);
    viewport_.setMarkedSample(track_);
    showMarkerSample(i);
}

void MarkerPlayer::previewLaunch(int row, const std::string& typed) {
    if (row < 1 || row > data::input::Sideslip) {
        return;
    }
    try {
        setTrackPosition(0);
        data::Table input = tables_.input;
        input.setCell(data::input::kValueColumn, row, typed);
        record_.launchPreview() = sim::LaunchPreview(input);
        showMarkerSample(-1);
    } catch (const std::exception&) {
        // A preview that cannot be made shows nothing new.
    }
}

void MarkerPlayer::setReplayStep(const std::string& answer) {
    const std::optional<int> step = data::ParseInteger(answer);
    replayStep_ = std::to_string(step ? std::clamp(*step, -100, 100) : 1);
}

bool MarkerPlayer::startReplay(bool forward) {
    if (busy_) {
        return false;
    }
    if (replaying_) {
        finishReplay();
    }
    replaying_ = true;
    stop_ = false;
    const int n = record_.lastIndex;
    if (forward && track_ == n) {
        setTrackPosition(0);
    } else if (!forward && track_ == 0) {
        setTrackPosition(n);
    }
    const std::optional<int> parsed = data::ParseInteger(replayStep_);
    const int step = parsed ? *parsed : 10;
    // Slow motion: one sample a frame, each held for 1 - step more frames.
    replayForward_ = forward;
    replayAdvance_ = step <= 0 ? 1 : step;
    replayHold_ = step <= 0 ? 1 - step : 0;
    replayHeld_ = 0;
    replayAt_ = track_;
    return true;
}

bool MarkerPlayer::replayFrame() {
    if (!replaying_) {
        return false;
    }
    if (busy_) {
        // A flight started from the window meanwhile: the replay waits for it.
        return true;
    }
    // The user moved the marker, or the track bar ends before the flight.
    if (stop_ || track_ != replayAt_) {
        finishReplay();
        return false;
    }
    if (replayHeld_ > 0) {
        --replayHeld_;
        return true;
    }
    const int n = record_.lastIndex;
    if (replayForward_ ? replayAt_ >= n : replayAt_ <= 0) {
        finishReplay();
        return false;
    }
    const int next = replayForward_ ? std::min(replayAt_ + replayAdvance_, n)
                                    : std::max(replayAt_ - replayAdvance_, 0);
    replayAt_ = next;
    replayHeld_ = replayHold_;
    setTrackPosition(next);
    return true;
}

void MarkerPlayer::finishReplay() {
    stop_ = true;
    replaying_ = false;
}

bool MarkerPlayer::play(bool forward, const std::function<void()>& betweenFrames) {
    if (!startReplay(forward)) {
        return false;
    }
    while (replayFrame()) {
        if (betweenFrames) {
            betweenFrames();
        }
    }
    return true;
}

void MarkerPlayer::replayToStart() {
    stop_ = true;
    setTrackPosition(0);
}

void MarkerPlayer::replayToEnd() {
    stop_ = true;
    setTrackPosition(record_.lastIndex);
}

} // namespace skarvel::app
