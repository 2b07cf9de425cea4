#include "view/plot_ranges.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace skarvel::view {

namespace {

// Room above and below the values after automatic scaling, as a fraction of
// their span.
constexpr double kValueMargin = 0.02;

double Size(AxisRange r) {
    return r.upper - r.lower;
}

} // namespace

AxisRange FittedKeys(AxisRange keys) {
    if (!(Size(keys) > 0)) {
        keys.upper = keys.lower + 1;
    }
    return keys;
}

AxisRange FittedValues(AxisRange values) {
    const double margin = Size(values) > 0 ? Size(values) * kValueMargin
                                           : std::max(1.0, std::abs(values.lower) * kValueMargin);
    return {values.lower - margin, values.upper + margin};
}

int LegendColumns(const std::vector<int>& widths, int spacing, int room) {
    const int n = static_cast<int>(widths.size());
    int columns = n;
    for (; columns > 1; --columns) {
        int total = (columns - 1) * spacing;
        for (int c = 0; c < columns; ++c) {
            int widest = 0;
            for (int i = c; i < n; i += columns) {
                widest = std::max(widest, widths[std::size_t(i)]);
            }
            total += widest;
        }
        if (total <= room) {
            break;
        }
    }
    return std::max(columns, 1);
}

AxisRange CentreRange(const std::vector<double>& centres) {
    if (centres.empty()) {
        return {0, 1};
    }
    const auto [lo, hi] = std::minmax_element(centres.begin(), centres.end());
    if (!(*hi > *lo)) {
        return {*lo - 0.5, *lo + 0.5};
    }
    return {*lo, *hi};
}

AxisRange CellAxisRange(const std::vector<double>& centres) {
    const AxisRange r = CentreRange(centres);
    const double half = centres.size() > 1 ? Size(r) / double(centres.size() - 1) / 2 : 0.5;
    return {r.lower - half, r.upper + half};
}

bool Descending(const std::vector<double>& centres) {
    return centres.size() > 1 && centres.back() < centres.front();
}

std::optional<int> NearestCentre(const std::vector<double>& centres, double v) {
    if (centres.empty()) {
        return std::nullopt;
    }
    const double half = centres.size() > 1 ? std::abs(centres[1] - centres[0]) / 2 : 0.5;
    int best = 0;
    for (std::size_t k = 1; k < centres.size(); ++k) {
        if (std::abs(centres[k] - v) < std::abs(centres[std::size_t(best)] - v)) {
            best = int(k);
        }
    }
    if (std::abs(centres[std::size_t(best)] - v) > half) {
        return std::nullopt;
    }
    return best;
}

AxisRange ColourRange(const std::vector<double>& values) {
    bool any = false;
    AxisRange range{0, 1};
    for (const double v : values) {
        if (!std::isfinite(v)) {
            continue;
        }
        if (!any) {
            range = {v, v};
            any = true;
        } else {
            range = {std::min(range.lower, v), std::max(range.upper, v)};
        }
    }
    if (!(Size(range) > 0)) {
        const double room = std::max(1.0, std::abs(range.lower) * 0.1);
        range = {range.lower - room, range.upper + room};
    }
    return range;
}

} // namespace skarvel::view
