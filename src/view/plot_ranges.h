#pragma once
// The ranges, legend layout and grid cells the charts decide, apart from the
// chart library that draws them: a line chart's axes fitted to its data, the
// legend's columns, and a colour map's cells, axes and colour scale.

#include <optional>
#include <vector>

namespace skarvel::view {

struct AxisRange {
    double lower = 0;
    double upper = 1;
};

// The axes fitted to the data's key and value ranges: a single time spans one
// second from it; the values get 2 % of their span above and below (or, when
// they span nothing, 2 % of their size but at least 1), so that lines along
// the extremes stay visible.
AxisRange FittedKeys(AxisRange keys);
AxisRange FittedValues(AxisRange values);

// The most legend columns (up to one a title) whose widest titles, side by
// side with `spacing` between, fit `room` pixels; at least one.
int LegendColumns(const std::vector<int>& titleWidths, int spacing, int room);

// A colour map's cell centres, evenly spaced in either order.
// Their range: one unit around a single value, (0, 1) for none.
AxisRange CentreRange(const std::vector<double>& centres);
// The axis that shows the end cells whole: half a spacing beyond the centres.
AxisRange CellAxisRange(const std::vector<double>& centres);
// True when the centres run from high to low.
bool Descending(const std::vector<double>& centres);
// The index of the centre nearest to v, none when v is more than half a
// spacing from every one.
std::optional<int> NearestCentre(const std::vector<double>& centres, double v);
// The colour scale over the finite values: 10 % of their size around a single
// value (at least 1), (0, 1) when there is none.
AxisRange ColourRange(const std::vector<double>& values);

} // namespace skarvel::view
