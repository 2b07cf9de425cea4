#include "view/trajectory.h"

#include "sim/flight_quantities.h"
#include "view/pixel.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace skarvel::view {

namespace {

constexpr Colour kThermal = Colour::Rgb(255, 255, 0);
constexpr Colour kWindowBackground = Colour::Role(ColourRole::WindowBackground);
constexpr Colour kWindowText = Colour::Role(ColourRole::WindowText);
constexpr Colour kButtonFace = Colour::Role(ColourRole::ButtonFace);
constexpr Colour kHighlight = Colour::Role(ColourRole::Highlight);
constexpr Colour kHighlightText = Colour::Role(ColourRole::HighlightText);
constexpr int kGroundCircle = 4;

Point Offset(Point a, std::int64_t dx, std::int64_t dy) {
    return {AddPixels(a.x, dx), AddPixels(a.y, dy)};
}

} // namespace

void TrajectoryDrawing::step(Canvas& canvas, const ViewState& v, const sim::FlightRecord& record,
                             int i, const DrawOptions& options) {
    const sim::FlightSample& s = record.sample(i);
    if (i == 0) {
        lastGround_ = ProjectGround(v, s.x, s.y);
        lastPoint_ = lastGround_;
    }
    canvas.setPen(kButtonFace);
    if (options.groundTrack) {
        canvas.moveTo(lastGround_);
    }
    // The ground point is followed even while the track is not drawn, so
    // that switching it on later gives a whole track.
    const Point ground = ProjectGround(v, s.x, s.y);
    lastGround_ = ground;
    if (options.groundTrack) {
        canvas.lineTo(ground);
    }
    // Climbing in the highlight colour; sample -1 is the launch preview.
    canvas.setPen(s.z >= record.sample(i - 1).z ? kWindowText : kHighlight);
    canvas.moveTo(lastPoint_);
    const Point point = Project(v, s.x, s.y, s.z);
    lastPoint_ = point;
    canvas.lineTo(point);
    if (options.spanVerticals && sim::Milliseconds(s.t) % 500 == 0) {
        canvas.setPen(kButtonFace);
        const std::array<Point, 2> vertical{ground, point};
        canvas.polyline(vertical);
    }
}

bool TrajectoryDrawing::redraw(Canvas& canvas, const ViewState& v, const sim::FlightRecord& record,
                               const DrawOptions& options) {
    if (record.sample(0).z > 0) {
        return false;
    }
    canvas.fill({0, 0, v.width, v.height}, kWindowBackground);
    const int n = record.lastIndex;
    for (int i = 0; i <= n && record.sample(i).z <= 0; ++i) {
        if (sim::Milliseconds(record.sample(i).t) % 50 == 0 || i == n) {
            step(canvas, v, record, i, options);
        }
    }
    return true;
}

void DrawFlightCursor(Canvas& canvas, const ViewState& v, const sim::FlightRecord& record, int i,
                      double windSpeed, double thermalRadius, const DrawOptions& options) {
    const int n = record.lastIndex;
    const bool inFlight = i >= 0 && i <= n;
    if (inFlight) {
        try {
            const double t = record.sample(i).t;
            const Point c = Project(v, windSpeed * t, 0, 0);
            const std::int32_t rx = RoundPixel(thermalRadius * v.k);
            const std::int32_t ry = RoundPixel(
                thermalRadius * std::sqrt(v.P[1][0] * v.P[1][0] + v.P[1][1] * v.P[1][1]));
            canvas.setPen(kThermal);
            canvas.setHollowBrush();
            canvas.ellipse({AddPixels(c.x, -std::int64_t{rx}), AddPixels(c.y, -std::int64_t{ry}),
                            AddPixels(c.x, rx), AddPixels(c.y, ry)});
        } catch (const RangeError&) {
            // An outline beyond the image's reach is simply not drawn.
        }
    }
    if (!inFlight) {
        return;
    }
    const sim::FlightSample& s = record.sample(i);
    const Point a = Project(v, s.x, s.y, s.z);
    const double cpsi = std::cos(s.psi), spsi = std::sin(s.psi);
    const double cth = std::cos(s.theta), sth = std::sin(s.theta);
    const double cphi = std::cos(s.phi), sphi = std::sin(s.phi);
    const std::array<double, 3> nose{cpsi * cth, spsi * cth, -sth};
    const std::array<double, 3> wing{cpsi * sth * sphi - spsi * cphi,
                                     cpsi * cphi + spsi * sth * sphi, sphi * cth};
    const auto across = [&v](int row, const std::array<double, 3>& d) {
        return RoundPixel(v.Q[row][0] * d[0] + v.Q[row][1] * d[1] + v.Q[row][2] * d[2]);
    };
    const std::int64_t nX = across(0, nose), nY = across(1, nose);
    const std::int64_t wX = across(0, wing), wY = across(1, wing);

    const auto symbol = [&] {
        canvas.setPen(kWindowText);
        const std::array<Point, 3> triangle{Offset(a, -nX - wX, -nY - wY),
                                            Offset(a, -nX + wX, -nY + wY), Offset(a, nX, nY)};
        canvas.polygon(triangle);
        canvas.moveTo(Offset(a, nX, nY));
        canvas.lineTo(Offset(a, -nX, -nY));
    };
    const auto groundMarker = [&] {
        if (!options.cursorGround) {
            return;
        }
        canvas.setPen(kButtonFace);
        canvas.setBrush(kWindowBackground);
        const Point g = ProjectGround(v, s.x, s.y);
        canvas.moveTo(g);
        canvas.lineTo(a);
        canvas.ellipse({AddPixels(g.x, -kGroundCircle), AddPixels(g.y, -kGroundCircle),
                        AddPixels(g.x, kGroundCircle), AddPixels(g.y, kGroundCircle)});
    };
    // The fill tells which face of the wing is turned to the viewer.
    if (wX * nY >= wY * nX) {
        canvas.setBrush(kHighlight);
        symbol();
        groundMarker();
    } else {
        groundMarker();
        canvas.setBrush(kHighlightText);
        symbol();
    }
}

} // namespace skarvel::view
