#include "view/navigation.h"

#include "data/numtext.h"
#include "sim/checked.h"
#include "view/pixel.h"

#include <algorithm>
#include <cstdlib>

namespace skarvel::view {

using sim::checkedDiv;

namespace {
constexpr double kMargin = 10;

// An image without area has nothing to fit into; a scale of 0 would stay 0.
void RequireRoom(double scale) {
    if (!(scale > 0)) {
        sim::ThrowArithmetic("no room to fit the flight into");
    }
}
} // namespace

void FitToTrajectory(ViewState& v, const sim::FlightRecord& record) {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    const auto& P = v.P;
    for (int i = 0; i <= record.lastIndex; ++i) {
        const sim::FlightSample& s = record.sample(i);
        const double gx = P[0][0] * s.x + P[0][1] * s.y;
        const double gy = P[1][0] * s.x + P[1][1] * s.y;
        const double px = gx + P[0][2] * s.z;
        const double py = gy + P[1][2] * s.z;
        minX = std::min({minX, gx, px});
        maxX = std::max({maxX, gx, px});
        minY = std::min({minY, gy, py});
        maxY = std::max({maxY, gy, py});
        if (P[1][2] * s.z > 0) {
            break;
        }
    }
    const double top = v.oy + minY - kMargin;
    const double bottom = v.oy + maxY + kMargin;
    const double left = v.ox + minX - kMargin;
    const double width = (v.ox + maxX + kMargin) - left;
    const double m = std::min(checkedDiv(v.height, bottom - top), checkedDiv(v.width, width));
    RequireRoom(m);
    v.k = v.k * m;
    UpdateProjection(v);
    v.ox = RoundPixel(m * (v.ox - left - width / 2) + v.width / 2.0);
    v.oy = RoundPixel(m * (v.oy - top - (bottom - top) / 2) + v.height / 2.0);
}

void FitToRange(ViewState& v, double dh, double d) {
    const double k1 = checkedDiv(v.width, 2 * dh);
    const double k = std::min(checkedDiv(v.height, dh + d), k1);
    RequireRoom(k);
    v.k = k;
    UpdateProjection(v);
    v.ox = RoundPixel(v.width / 2.0);
    v.oy = RoundPixel(checkedDiv(v.height * d, d + dh));
}

void ResetOrigin(ViewState& v) {
    v.ox = RoundPixel(v.width / 2.0);
    v.oy = RoundPixel(2.0 * v.height / 3);
}

void Zoom(ViewState& v, double f) {
    v.k = v.k * f;
    UpdateProjection(v);
    v.ox = RoundPixel(f * (v.ox - v.width / 2.0) + v.width / 2.0);
    v.oy = RoundPixel(f * (v.oy - v.height / 2.0) + v.height / 2.0);
}

void Move(ViewState& v, Direction d) {
    const std::int32_t dx = RoundPixel(v.width / 20.0);
    const std::int32_t dy = RoundPixel(v.height / 20.0);
    switch (d) {
    case Direction::Up:
        v.oy = AddPixels(v.oy, -std::int64_t{dy});
        break;
    case Direction::Down:
        v.oy = AddPixels(v.oy, dy);
        break;
    case Direction::Left:
        v.ox = AddPixels(v.ox, -std::int64_t{dx});
        break;
    case Direction::Right:
        v.ox = AddPixels(v.ox, dx);
        break;
    }
}

int ParseAngleText(std::string_view text) {
    return data::ParseInteger(text).value_or(0);
}

int LimitHorizontalAngle(int a) {
    return std::clamp(a, -180, 180);
}

int LimitVerticalAngle(int b) {
    return std::clamp(b, 0, 90);
}

void MouseGesture::drag(ViewState& v, Point p) {
    v.ox = AddPixels(v.ox, std::int64_t{p.x} - anchor_.x);
    v.oy = AddPixels(v.oy, std::int64_t{p.y} - anchor_.y);
    anchor_ = p;
}

bool MouseGesture::move(ViewState& v, Point p, bool leftHeld, bool rightHeld) {
    last_ = p;
    if (leftHeld) {
        const std::int64_t dx = std::abs(std::int64_t{anchor_.x} - p.x);
        const std::int64_t dy = std::abs(std::int64_t{anchor_.y} - p.y);
        if (dx <= 5 || dy <= 5) {
            return false;
        }
        box_ = {std::min(anchor_.x, p.x), std::min(anchor_.y, p.y), std::max(anchor_.x, p.x),
                std::max(anchor_.y, p.y)};
        boxShown_ = true;
        return false;
    }
    if (rightHeld) {
        drag(v, p);
        return true;
    }
    return false;
}

bool MouseGesture::release(ViewState& v, Point p, MouseButton button) {
    if (boxShown_) {
        boxShown_ = false;
        const double boxWidth = static_cast<double>(box_.right) - box_.left;
        const double boxHeight = static_cast<double>(box_.bottom) - box_.top;
        const double rx = checkedDiv(v.width, boxWidth);
        const double ry = checkedDiv(v.height, boxHeight);
        const double w2 = v.width / 2.0, h2 = v.height / 2.0;
        if (anchor_.x - last_.x > 0 && anchor_.y - last_.y > 0) {
            // Dragged up and to the left: the whole view shrinks into the box.
            const double f = 1 / std::max(rx, ry);
            v.k = v.k * f;
            UpdateProjection(v);
            v.ox = RoundPixel(box_.left + boxWidth / 2 + f * (v.ox - w2));
            v.oy = RoundPixel(box_.top + boxHeight / 2 + f * (v.oy - h2));
        } else {
            // The box's content fills the image.
            const double f = std::min(rx, ry);
            v.k = v.k * f;
            UpdateProjection(v);
            v.ox = RoundPixel(f * (v.ox - box_.left - boxWidth / 2) + w2);
            v.oy = RoundPixel(f * (v.oy - box_.top - boxHeight / 2) + h2);
        }
        return true;
    }
    if (button == MouseButton::Right) {
        last_ = p;
        drag(v, p);
        return true;
    }
    return false;
}

} // namespace skarvel::view
