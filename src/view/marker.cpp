#include "view/marker.h"

#include "data/numtext.h"
#include "data/tables.h"

#include "sim/checked.h"
#include "sim/flight_quantities.h"
#include "sim/units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <ranges>

namespace skarvel::view {

namespace {

using sim::FlightSample;
using sim::RadiansToDegrees;

// The decimal digits of a value's shortest round-trip text and the place of
// the first one: value = 0.d1 d2 d3 ... * 10^(exponent + 1).
struct Decimal {
    std::string digits;
    int exponent = 0;

    int digitAt(int place) const {
        const int k = exponent - place;
        if (k < 0 || k >= static_cast<int>(digits.size())) {
            return 0;
        }
        return digits[static_cast<std::size_t>(k)] - '0';
    }
};

Decimal ShortestDecimal(double magnitude) {
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                         std::chars_format::scientific);
    Decimal d;
    const char* p = buffer.data();
    for (; p != end && *p != 'e'; ++p) {
        if (*p != '.') {
            d.digits += *p;
        }
    }
    if (p != end) {
        ++p; // 'e'
        if (*p == '+') {
            ++p;
        }
        std::from_chars(p, end, d.exponent);
    }
    return d;
}

std::string TwoDigitsAtLeast(int n) {
    std::string s = std::to_string(n);
    return s.size() < 2 ? "0" + s : s;
}

// Whole digits of m with at least `width` digits.
std::string Padded(std::int64_t m, std::size_t width) {
    std::string s = std::to_string(m);
    if (s.size() < width) {
        s.insert(0, width - s.size(), '0');
    }
    return s;
}

// Rounds half away from zero into lo .. hi; NaN gives 0.
int Bar(double value, int lo, int hi) {
    if (std::isnan(value)) {
        return 0;
    }
    const double clamped = std::clamp(value, static_cast<double>(lo), static_cast<double>(hi));
    return static_cast<int>(std::round(clamped));
}

// The text of a value whose formula may divide by zero.
template <typename F> std::string Checked(F formula) {
    try {
        return FormatMarkerValue(formula());
    } catch (const sim::ArithmeticError&) {
        return "0";
    }
}

} // namespace

std::string FormatMarkerValue(double v) {
    if (!std::isfinite(v)) {
        return "0";
    }
    if (v == 0) {
        return "0.0000";
    }
    const Decimal d = ShortestDecimal(std::fabs(v));
    // Place of the last digit kept: the 5th significant digit, but no finer
    // than the 4th decimal.
    const int last = std::max(d.exponent - 4, -4);
    // At most nine digits: the value is below 10^5 when last is -4 .. 0, and
    // exactly five digits are kept above that.
    std::int64_t m = 0;
    for (int place = std::max(d.exponent, last); place >= last; --place) {
        m = m * 10 + d.digitAt(place);
    }
    if (d.digitAt(last - 1) >= 5) {
        ++m;
    }
    if (m == 0) {
        return "0.0000";
    }
    const std::string sign = v < 0 ? "-" : "";
    std::string digits = std::to_string(m);
    // Digits before the point once the value is written out in full.
    const int whole = static_cast<int>(digits.size()) + last;
    if (whole > 5) {
        // Five significant digits, six after a carry (the last one then 0).
        return sign + digits.substr(0, 1) + "." + digits.substr(1, 4) + "E+" +
               TwoDigitsAtLeast(whole - 1);
    }
    // Scale to units of 10^-4: last lies between -4 and 0 here.
    for (int place = last; place > -4; --place) {
        m *= 10;
    }
    digits = Padded(m, 5);
    return sign + digits.substr(0, digits.size() - 4) + "." + digits.substr(digits.size() - 4);
}

std::array<std::string, 24> MarkerValueTexts(const sim::FlightRecord& record, int i,
                                             const sim::InputSet& in) {
    const FlightSample& s = record.sample(i);
    std::array<std::string, 24> texts;
    // Text k belongs to the marker table's row k + 1.
    namespace row = data::marker;
    const auto text = [&texts](row::Row r) -> std::string& {
        return texts[static_cast<std::size_t>(r - 1)];
    };
    text(row::PointNumber) = std::to_string(i);
    text(row::Time) = FormatMarkerValue(s.t);
    text(row::GroundSpeed) = FormatMarkerValue(std::sqrt(s.u * s.u + s.v * s.v + s.w * s.w));
    text(row::Airspeed) = FormatMarkerValue(std::sqrt(s.ua * s.ua + s.va * s.va + s.wa * s.wa));
    text(row::Updraft) = Checked([&] { return sim::ThermalUpdraft(in, s.x, s.y, s.t); });
    text(row::SinkRate) = FormatMarkerValue(sim::SinkRateTermByTerm(s));
    text(row::AngleOfAttack) = Checked(
        [&] { return RadiansToDegrees(std::atan(sim::checkedDiv(s.wa, std::fabs(s.ua)))); });
    text(row::Sideslip) =
        Checked([&] { return RadiansToDegrees(std::atan(sim::checkedDiv(s.va, s.ua))); });
    text(row::LiftCoefficient) = FormatMarkerValue(s.CL);
    text(row::DragCoefficient) = FormatMarkerValue(s.CD);
    text(row::TurnRadius) = Checked([&] { return std::fabs(sim::checkedDiv(s.u, s.r)); });
    text(row::LoopRadius) = Checked([&] { return sim::checkedDiv(s.u, s.q); });
    text(row::Altitude) = FormatMarkerValue(-s.z);
    text(row::PositionX) = FormatMarkerValue(s.x);
    text(row::PositionY) = FormatMarkerValue(s.y);
    text(row::Roll) = FormatMarkerValue(RadiansToDegrees(s.phi));
    text(row::Pitch) = FormatMarkerValue(RadiansToDegrees(s.theta));
    text(row::Yaw) = FormatMarkerValue(RadiansToDegrees(s.psi));
    text(row::AxialSpeed) = FormatMarkerValue(s.u);
    text(row::SideSpeed) = FormatMarkerValue(s.v);
    text(row::NormalSpeed) = FormatMarkerValue(s.w);
    text(row::RollRate) = FormatMarkerValue(s.p);
    text(row::PitchRate) = FormatMarkerValue(s.q);
    text(row::YawRate) = FormatMarkerValue(s.r);
    return texts;
}

int SampleAtTime(const sim::FlightRecord& record, double t) {
    const int n = record.lastIndex;
    if (!(t >= 0)) {
        return 0;
    }
    if (t > record.sample(n).t) {
        return n;
    }
    // Times grow along the record, and so do the mid-points between
    // neighbours: the first i whose mid-point is not below t.
    const auto indices = std::views::iota(0, n);
    const auto it = std::ranges::partition_point(
        indices, [&](int i) { return t > (record.sample(i).t + record.sample(i + 1).t) / 2; });
    return it == indices.end() ? n : *it;
}

InstrumentBars BarValues(const FlightSample& s) {
    const double speed = std::sqrt(s.u * s.u + s.v * s.v + s.w * s.w);
    const double sink = sim::SinkRate(s);
    return {Bar(10 * speed, 0, 500), Bar(-10 * s.z, 0, 500), Bar(-10 * sink, -50, 50),
            Bar(100 * s.CL, -100, 100)};
}

int ParseMarkerIndex(std::string_view text) {
    if (const std::optional<int> i = data::ParseInteger(text)) {
        return *i;
    }
    // A whole number in any form the number reader takes (1e3, 5.0), or one
    // beyond the range of int, which is limited to it.
    double value = 0;
    if (!data::TryParseRealStrict(text, value) || !std::isfinite(value) ||
        value != std::floor(value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

} // namespace skarvel::view
