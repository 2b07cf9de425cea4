#include "sim/glide_polar.h"

#include "data/numtext.h"
#include "data/tables.h"
#include "sim/modes.h"

namespace skarvel::sim {

namespace {

// The row trimmed from `start` (the straight glide found is kept in the
// trim), with the stability of its linearisation.
void TrimRow(const data::Table& input, const data::Table& parameter, const DesignAeroLaws* laws,
             const StraightGlide& start, PolarRow& row) {
    data::Table table = input;
    table.setCell(data::input::kValueColumn, data::input::TailSetting,
                  data::FormatShortest(row.tailSetting));
    AnalysisPoint point(table, parameter, laws);
    const std::optional<StraightGlide> straight = TrimStraightGlide(point, start);
    if (!straight) {
        return;
    }
    row.trim = TrimSteadyGlide(point, *straight);
    if (!row.trim) {
        return;
    }
    if (const std::optional<StateMatrix> a = Linearise(point, row.trim->state)) {
        row.largestRealPart = LargestRealPart(*a);
    }
}

} // namespace

GlidePolar ComputeGlidePolar(const data::Table& input, const data::Table& parameter,
                             const DesignAeroLaws* laws) {
    GlidePolar polar;
    polar.rows.resize(kPolarRows);
    for (int i = 0; i < kPolarRows; ++i) {
        polar.rows[static_cast<std::size_t>(i)].tailSetting = kPolarFirstSetting + i * kPolarStep;
    }
    // From the row of setting 0 upwards and downwards, each row started from
    // the straight glide of the last row that trimmed in that direction.
    const int zero = static_cast<int>(-kPolarFirstSetting / kPolarStep);
    auto& middle = polar.rows[static_cast<std::size_t>(zero)];
    TrimRow(input, parameter, laws, StraightGlide{}, middle);
    const StraightGlide fromMiddle = middle.trim ? middle.trim->straight : StraightGlide{};
    for (const int direction : {1, -1}) {
        StraightGlide start = fromMiddle;
        for (int i = zero + direction; i >= 0 && i < kPolarRows; i += direction) {
            PolarRow& row = polar.rows[static_cast<std::size_t>(i)];
            TrimRow(input, parameter, laws, start, row);
            if (row.trim) {
                start = row.trim->straight;
            }
        }
    }
    for (std::size_t i = 0; i < polar.rows.size(); ++i) {
        const std::optional<GlideTrim>& t = polar.rows[i].trim;
        if (!t || t->stalled || !polar.rows[i].stable()) {
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

std::vector<std::pair<double, double>> UntrimmedSettings(const GlidePolar& polar) {
    std::vector<std::pair<double, double>> runs;
    bool inRun = false;
    for (const PolarRow& row : polar.rows) {
        if (row.trim) {
            inRun = false;
        } else if (inRun) {
            runs.back().second = row.tailSetting;
        } else {
            runs.emplace_back(row.tailSetting, row.tailSetting);
            inRun = true;
        }
    }
    return runs;
}

} // namespace skarvel::sim
