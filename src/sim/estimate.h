#pragma once
// Closed-form estimate of reference geometry, mass properties and stability
// derivatives from the summary figures of the input-data table.

#include "data/table.h"
#include "sim/input_set.h"

namespace skarvel::sim {

// Lift slope per radian of a surface of aspect ratio x (blend of the slender
// wing and the two-dimensional slope 2 pi); 0 for x <= 0 and on any failure.
double LiftSlope(double x);

// Reads the input-data table, writes the parameter table's values (5
// significant digits) and keeps the estimate-only values at full precision in
// `in`. An arithmetic failure ends the estimate quietly: later fields and the
// not yet written cells keep their previous contents. Returns false then.
bool EstimateDerivatives(const data::Table& input, data::Table& parameter, InputSet& in);

} // namespace skarvel::sim
