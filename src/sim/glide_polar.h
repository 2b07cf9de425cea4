#pragma once
// The glide polar: the steady glide as the tail setting (水平尾翼取付角) goes
// from -6 to +6 degrees in half degrees, whatever the table's own setting.

#include "data/table.h"
#include "sim/aero_laws.h"
#include "sim/trim.h"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace skarvel::sim {

struct PolarRow {
    double tailSetting = 0;        // degrees
    std::optional<GlideTrim> trim; // none: the row does not trim
    // The largest real part of the roots of the trim's linearisation (1/s);
    // none without a trim or when the linearisation fails.
    std::optional<double> largestRealPart;
    // Every motion about the trim decays: each root's real part is below 0.
    bool stable() const { return largestRealPart && *largestRealPart < 0; }
};

struct GlidePolar {
    std::vector<PolarRow> rows; // by increasing tail setting
    // Among the rows that trim, are stable and are not stalled: the best glide
    // ratio and the least sink rate, the first in the rows' order on a tie.
    std::optional<std::size_t> bestRatio;
    std::optional<std::size_t> leastSink;
};

// The runs of neighbouring rows that do not trim, as the first and last
// tail setting of each run (degrees), in the rows' order.
std::vector<std::pair<double, double>> UntrimmedSettings(const GlidePolar& polar);

inline constexpr double kPolarFirstSetting = -6;
inline constexpr double kPolarStep = 0.5;
inline constexpr int kPolarRows = 25;

GlidePolar ComputeGlidePolar(const data::Table& input, const data::Table& parameter,
                             const DesignAeroLaws* laws);

} // namespace skarvel::sim
