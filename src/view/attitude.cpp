#include "view/attitude.h"

#include "view/pixel.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace skarvel::view {

namespace {

// A mid grey shows on the light button face of the dials and on a dark one.
constexpr Colour kMotion = Colour::Rgb(128, 128, 128);
constexpr Colour kSilhouette = Colour::Role(ColourRole::WindowText);
// Outlined shapes are filled in the frame's colour.
constexpr Colour kInside = Colour::Role(ColourRole::ButtonFace);

// An offset from the centre, rounded half away from zero. A finite one is at
// most the length of a motion line.
std::int32_t Offset(double v) {
    if (!std::isfinite(v)) {
        throw RangeError("pixel offset out of range");
    }
    return static_cast<std::int32_t>(std::round(v));
}

// A vector of rounded offsets.
struct Step {
    std::int32_t x, y;
};

Step MakeStep(double x, double y) {
    return {Offset(x), Offset(y)};
}

Point At(Point c, Step d) {
    return {AddPixels(c.x, d.x), AddPixels(c.y, d.y)};
}

Point At(Point c, Step d1, Step d2) {
    return At(At(c, d1), d2);
}

Step Minus(Step d) {
    return {-d.x, -d.y};
}

void Line(Canvas& c, Point from, Point to) {
    c.moveTo(from);
    c.lineTo(to);
}

Point Centre(int width, int height) {
    return {width / 2, height / 2};
}

} // namespace

void DrawRollInstrument(Canvas& c, int width, int height, const sim::FlightSample& s) {
    const Point centre = Centre(width, height);
    const double a = std::atan2(s.va, s.wa);
    c.setPen(kMotion);
    Line(c, centre, At(centre, MakeStep(56 * std::sin(a - s.phi), 56 * std::cos(a - s.phi))));

    c.setPen(kSilhouette);
    c.setHollowBrush();
    c.ellipse({centre.x - 5, centre.y - 5, centre.x + 5, centre.y + 5});
    const Step wing = MakeStep(28 * std::cos(s.phi), 28 * std::sin(s.phi));
    Line(c, At(centre, Minus(wing)), At(centre, wing));
    Line(c, centre, At(centre, MakeStep(15 * std::sin(s.phi), -15 * std::cos(s.phi))));
}

void DrawPitchInstrument(Canvas& c, int width, int height, const sim::FlightSample& s) {
    const Point centre = Centre(width, height);
    const double theta = s.theta;
    const double a = std::atan2(s.wa, s.ua);
    c.setPen(kMotion);
    Line(c, centre, At(centre, MakeStep(-50 * std::cos(theta - a), -50 * std::sin(theta - a))));

    c.setPen(kSilhouette);
    c.setBrush(kInside);
    const Step body = MakeStep(25 * std::cos(theta), 25 * std::sin(theta));
    Line(c, At(centre, Minus(body)), At(centre, body));

    const Step wing1 = MakeStep(-8 * std::cos(theta), -8 * std::sin(theta));
    const Step wing2 = MakeStep(6 * std::sin(theta), -6 * std::cos(theta));
    const std::array<Point, 4> wing = {At(centre, wing1), At(centre, wing1, wing2),
                                       At(centre, wing2), centre};
    c.polygon(wing);

    const Point tail = At(centre, body);
    const Step fin1 = MakeStep(-5 * std::cos(theta), -5 * std::sin(theta));
    const Step fin2 = MakeStep(5 * std::sin(theta), -5 * std::cos(theta));
    const std::array<Point, 4> fin = {At(tail, fin1), At(tail, fin1, fin2), At(tail, fin2), tail};
    c.polygon(fin);
}

void DrawYawInstrument(Canvas& c, int width, int height, const sim::FlightSample& s) {
    const Point centre = Centre(width, height);
    const double psi = s.psi;
    const double a = std::atan2(s.va, s.ua);
    c.setPen(kMotion);
    Line(c, centre, At(centre, MakeStep(56 * std::sin(psi + a), -56 * std::cos(psi + a))));

    c.setPen(kSilhouette);
    c.setBrush(kInside);
    const Step wing1 = MakeStep(28 * std::cos(psi), 28 * std::sin(psi));
    const Step wing2 = MakeStep(8 * std::sin(psi), -8 * std::cos(psi));
    const std::array<Point, 4> wing = {At(centre, wing1), At(centre, wing1, wing2),
                                       At(centre, Minus(wing1), wing2), At(centre, Minus(wing1))};
    c.polygon(wing);

    const Step body = MakeStep(25 * std::sin(psi), -25 * std::cos(psi));
    const Point tail = At(centre, Minus(body));
    Line(c, tail, At(centre, body));

    const Step plane1 = MakeStep(10 * std::cos(psi), 10 * std::sin(psi));
    const Step plane2 = MakeStep(5 * std::sin(psi), -5 * std::cos(psi));
    const std::array<Point, 4> plane = {At(tail, plane1), At(tail, plane1, plane2),
                                        At(tail, Minus(plane1), plane2), At(tail, Minus(plane1))};
    c.polygon(plane);
}

} // namespace skarvel::view
