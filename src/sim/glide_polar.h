#pragma once
// The glide polar: the steady glide as the tail setting (水平尾翼取付角) goes
// from -6 to +6 degrees in half degrees, whatever the table's own setting.

#include "data/table.h"
#include "sim/aero_laws.h"
#include "sim/trim.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace skarvel::sim {

struct PolarRow {
    double tailSetting = 0;        // degrees
    std::optional<GlideTrim> trim; // none: the row does not trim
};

struct GlidePolar {
    std::vector<PolarRow> rows; // by increasing tail setting
    // Among the rows that trim and are not stalled: the best glide ratio and
    // the least sink rate.
    std::optional<std::size_t> bestRatio;
    std::optional<std::size_t> leastSink;
};

inline constexpr double kPolarFirstSetting = -6;
inline constexpr double kPolarStep = 0.5;
inline constexpr int kPolarRows = 25;

GlidePolar ComputeGlidePolar(const data::Table& input, const data::Table& parameter,
                             DesignAeroLaws* laws);

} // namespace skarvel::sim
