#pragma once
// Moving the input-data and parameter tables into the InputSet.

#include "data/table.h"
#include "data/tables.h"
#include "sim/input_set.h"

#include <array>

namespace skarvel::sim {

// The launch state formed from input rows 1 to 15: position, attitude,
// velocity (air-relative equal to inertial) and rates. t, CL and CD are 0.
FlightSample LaunchFromInput(const data::Table& input);

// What the bars and dials preview while the launch is typed: the launch
// without its rates (rows 1 to 12 make it).
FlightSample LaunchPreview(const data::Table& input);

// The input rows that WriteLaunchRows writes, in table order.
inline constexpr std::array<int, 8> kLaunchStateRows = {
    data::input::LaunchSpeed,   data::input::ClimbAngle, data::input::BankAngle,
    data::input::AngleOfAttack, data::input::Sideslip,   data::input::PitchRate,
    data::input::RollRate,      data::input::YawRate};

// The launch rows (speed, climb angle, bank, angle of attack, sideslip and
// the three rates) from which LaunchFromInput forms `state`'s velocities,
// pitch, bank and rates, written as full-precision text. Where the glider
// starts and which way it heads (altitude, position, heading) stay, so the
// state is flown from the table's place, turned to the table's heading.
void WriteLaunchRows(data::Table& input, const FlightSample& state);

// Reads both tables into `in` and forms the initial state. Unreadable cells
// read as 0; an arithmetic failure (a span of 0) ends the load quietly, with
// the fields not yet reached keeping their previous values.
void LoadInputSet(const data::Table& input, const data::Table& parameter, InputSet& in);

} // namespace skarvel::sim
