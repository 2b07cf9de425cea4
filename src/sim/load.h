#pragma once
// Moving the input-data and parameter tables into the InputSet.

#include "data/table.h"
#include "sim/input_set.h"

namespace skarvel::sim {

// The launch state formed from input rows 1 to 15: position, attitude,
// velocity (air-relative equal to inertial) and rates. t, CL and CD are 0.
FlightSample LaunchFromInput(const data::Table& input);

// What the bars and dials preview while the launch is typed: the launch
// without its rates (rows 1 to 12 make it).
FlightSample LaunchPreview(const data::Table& input);

// The launch rows (speed, altitude, climb angle, bank, heading, angle of
// attack, sideslip and the three rates) from which LaunchFromInput forms
// `state`'s velocities, height, attitude and rates, written as
// full-precision text. The position rows stay.
void WriteLaunchRows(data::Table& input, const FlightSample& state);

// Reads both tables into `in` and forms the initial state. Unreadable cells
// read as 0; an arithmetic failure (a span of 0) ends the load quietly, with
// the fields not yet reached keeping their previous values.
void LoadInputSet(const data::Table& input, const data::Table& parameter, InputSet& in);

} // namespace skarvel::sim
