#include "app/trajectory_viewport.h"

#include "app/scope_exit.h"
#include "app/trajectory_surface.h"
#include "sim/checked.h"
#include "view/pixel.h"

namespace skarvel::app {

using Layer = TrajectorySurface::Layer;

TrajectoryViewport::TrajectoryViewport(const sim::FlightRecord& record, const sim::InputSet& input,
                                       const sim::RunStatistics& stats, const bool& busy)
    : record_(record), input_(input), stats_(stats), busy_(busy) {}

void TrajectoryViewport::setDrawOptions(view::DrawOptions options) {
    options_ = options;
    redraw();
}

void TrajectoryViewport::prepare(int width, int height, int a, int b) {
    state_ = view::InitialView(width, height, view::LimitHorizontalAngle(a),
                               view::LimitVerticalAngle(b));
}

void TrajectoryViewport::resize(int width, int height) {
    state_.width = width;
    state_.height = height;
    redraw();
}

void TrajectoryViewport::beginLiveFlight() {
    if (surface_ == nullptr) {
        return;
    }
    const ScopeExit done([this] { surface_->drawn(); });
    surface_->draw(Layer::NewFlight, state_.width, state_.height)
        .fill({0, 0, state_.width, state_.height},
              view::Colour::Role(view::ColourRole::WindowBackground));
}

void TrajectoryViewport::drawLiveStep(int index) {
    if (surface_ == nullptr) {
        return;
    }
    const ScopeExit done([this] { surface_->drawn(); });
    drawing_.step(surface_->draw(Layer::Flight, state_.width, state_.height), state_, record_,
                  index, options_);
}

void TrajectoryViewport::redrawFlight() {
    if (redrawing_ || surface_ == nullptr) {
        return;
    }
    redrawing_ = true;
    const ScopeExit clearGuard([this] { redrawing_ = false; });
    if (record_.sample(0).z > 0) {
        return;
    }
    const ScopeExit done([this] { surface_->drawn(); });
    drawing_.redraw(surface_->draw(Layer::NewFlight, state_.width, state_.height), state_, record_,
                    options_);
}

void TrajectoryViewport::drawCursor(int i) {
    if (surface_ == nullptr) {
        return;
    }
    const ScopeExit done([this] { surface_->drawn(); });
    try {
        view::DrawFlightCursor(surface_->draw(Layer::Cursor, state_.width, state_.height), state_,
                               record_, i, input_.windSpeed, input_.thermalRadius, options_);
    } catch (const view::RangeError&) {
        // A cursor beyond the pixel range is not drawn.
    }
}

void TrajectoryViewport::showCursorAt(int i) {
    if (surface_ == nullptr || busy_ || i < 0 || i > record_.lastIndex) {
        return;
    }
    drawCursor(i);
}

void TrajectoryViewport::redraw() {
    if (busy_) {
        return;
    }
    redrawFlight();
    drawCursor(marked_);
}

template <class F> bool TrajectoryViewport::quietCommand(F command) {
    if (busy_) {
        return false;
    }
    try {
        command();
        redraw();
    } catch (const sim::ArithmeticError&) {
        // The steps done before the failure stay in effect.
    } catch (const view::RangeError&) {
    }
    return true;
}

bool TrajectoryViewport::fitToTrajectory() {
    return quietCommand([this] { view::FitToTrajectory(state_, record_); });
}

bool TrajectoryViewport::fitToRange() {
    return quietCommand(
        [this] { view::FitToRange(state_, stats_.maxHorizontalDistance, stats_.maxDistance); });
}

bool TrajectoryViewport::resetOrigin() {
    return quietCommand([this] { view::ResetOrigin(state_); });
}

bool TrajectoryViewport::zoom(double factor) {
    return quietCommand([this, factor] { view::Zoom(state_, factor); });
}

bool TrajectoryViewport::move(view::Direction d) {
    if (busy_) {
        return false;
    }
    view::Move(state_, d);
    redraw();
    return true;
}

void TrajectoryViewport::setAngles(int a, int b) {
    a = view::LimitHorizontalAngle(a);
    b = view::LimitVerticalAngle(b);
    if (a == state_.a && b == state_.b) {
        return;
    }
    state_.a = a;
    state_.b = b;
    view::UpdateProjection(state_);
    redraw();
}

void TrajectoryViewport::mousePress(view::Point p) {
    mouse_.press(p);
}

void TrajectoryViewport::mouseMove(view::Point p, bool leftHeld, bool rightHeld) {
    if (mouse_.move(state_, p, leftHeld, rightHeld)) {
        redraw();
    }
}

void TrajectoryViewport::mouseRelease(view::Point p, view::MouseButton button) {
    if (mouse_.release(state_, p, button)) {
        redraw();
    }
}

} // namespace skarvel::app
