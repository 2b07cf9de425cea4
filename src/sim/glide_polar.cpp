#include "sim/glide_polar.h"

#include "data/numtext.h"
#include "data/tables.h"

namespace skarvel::sim {

namespace {

// The row trimmed from `start`; the straight glide found is kept in the trim.
std::optional<GlideTrim> TrimRow(const data::Table& input, const data::Table& parameter,
                                 DesignAeroLaws* laws, double setting, const StraightGlide& start) {
    data::Table row = input;
    row.setCell(data::input::kValueColumn, data::input::TailSetting, data::FormatShortest(setting));
    AnalysisPoint point(row, parameter, laws);
    const std::optional<StraightGlide> straight = TrimStraightGlide(point, start);
    if (!straight) {
        return std::nullopt;
    }
    return TrimSteadyGlide(point, *straight);
}

} // namespace

GlidePolar ComputeGlidePolar(const data::Table& input, const data::Table& parameter,
                             DesignAeroLaws* laws) {
    GlidePolar polar;
    polar.rows.resize(kPolarRows);
    for (int i = 0; i < kPolarRows; ++i) {
        polar.rows[static_cast<std::size_t>(i)].tailSetting = kPolarFirstSetting + i * kPolarStep;
    }
    // From the row of setting 0 upwards and downwards, each row started from
    // the straight glide of the last row that trimmed in that direction.
    const int zero = static_cast<int>(-kPolarFirstSetting / kPolarStep);
    auto& middle = polar.rows[static_cast<std::size_t>(zero)];
    middle.trim = TrimRow(input, parameter, laws, middle.tailSetting, StraightGlide{});
    const StraightGlide fromMiddle = middle.trim ? middle.trim->straight : StraightGlide{};
    for (const int direction : {1, -1}) {
        StraightGlide start = fromMiddle;
        for (int i = zero + direction; i >= 0 && i < kPolarRows; i += direction) {
            PolarRow& row = polar.rows[static_cast<std::size_t>(i)];
            row.trim = TrimRow(input, parameter, laws, row.tailSetting, start);
            if (row.trim) {
                start = row.trim->straight;
            }
        }
    }
    for (std::size_t i = 0; i < polar.rows.size(); ++i) {
        const std::optional<GlideTrim>& t = polar.rows[i].trim;
        if (!t || t->stalled) {
            continue;
        }
        if (t->ratio &&
            (!polar.bestRatio || *t->ratio > *polar.rows[*polar.bestRatio].trim->ratio)) {
            polar.bestRatio = i;
        }
        if (!polar.leastSink || t->sink < polar.rows[*polar.leastSink].trim->sink) {
            polar.leastSink = i;
        }
    }
    return polar;
}

} // namespace skarvel::sim
