#pragma once
// What the five charts of a flight plot for one stored sample: the time on
// every bottom axis and, per chart, one value for each of its line series in
// the order the chart lists them. The charts themselves only draw these.

#include "sim/flight_record.h"
#include "view/palette.h"

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace skarvel::view {

struct ChartSample {
    double t = 0; // seconds since launch, the x of every chart's point
    // Yaw, pitch and roll in degrees folded into -180 .. 180.
    std::array<double, 3> angles{};
    // u, v, w along the body axes.
    std::array<double, 3> velocities{};
    // p, q, r.
    std::array<double, 3> rates{};
    // x, y and the altitude (z points down).
    std::array<double, 3> position{};
    // Altitude, airspeed, pitch in folded degrees and the lift coefficient
    // times 100, so that the four share one axis.
    std::array<double, 4> overview{};
};

// `airspeed` is the one the force model last computed for the sample.
ChartSample ChartValues(const sim::FlightSample& s, double airspeed);

// The charts in the order of their buttons on the chart page.
enum class ChartId { Overview, Position, Angles, Velocities, Rates };
inline constexpr int kChartCount = 5;

struct SeriesSpec {
    std::string_view name; // the legend's, with its unit
    Rgb colour;
};

// One chart: its button, its value axis's title (none for the overview, whose
// legend names the units), its series and where their values are in a sample.
struct ChartSpec {
    ChartId id;
    std::string_view button;
    std::string_view axis;
    std::vector<SeriesSpec> series;
    std::span<const double> (*values)(const ChartSample&);
};

// Every chart, in ChartId order. A new series is a row of its chart here and
// a value in ChartSample.
const std::array<ChartSpec, kChartCount>& ChartSpecs();
const ChartSpec& SpecOf(ChartId id);

} // namespace skarvel::view
