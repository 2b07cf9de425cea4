#pragma once
// Publishing the aircraft model: the computed-data table and the input data.

#include "data/tables.h"
#include "model/aircraft.h"

namespace skarvel::model {

// Reads the design table, runs the model and fills the computed-data table
// (4 significant digits, padded). A two-stage wing's junction chord is written
// back into the main wing's root chord. A failure ends the computation
// quietly; the tables keep what was written before it. Returns false then.
bool ComputeDesign(data::Tables& tables, AircraftModel& model);

// Copies the design-level figures into the input-data table. A failure ends
// the transfer quietly, keeping the rows already written.
void TransferDesignToInput(data::Tables& tables, const AircraftModel& model);

} // namespace skarvel::model
