#pragma once
// Quantities derived from a flight sample that the equations of motion, the
// run loop, the history, the marker and the trajectory all use; each formula
// lives here once.

#include "sim/flight_record.h"
#include "sim/input_set.h"

namespace skarvel::sim {

// How fast the thermal's updraft falls off with the distance d from its
// centre: as exp(-kThermalFalloff (d / R)²). The dynamics turn the air at the
// updraft's horizontal gradient, which is -2 kThermalFalloff d / R² times the
// updraft, so the updraft and the turning read this one value.
inline constexpr double kThermalFalloff = 2.5;

// The thermal's updraft in m/s (upward positive) at (x, y) at time t. The
// centre starts at the origin and drifts along +x with the wind; the updraft
// falls off with kThermalFalloff. A radius of 0 throws ArithmeticError.
double ThermalUpdraft(const InputSet& in, double x, double y, double t);

// The sink rate in m/s (positive when descending): the earth-vertical part of
// the body velocity. Two operation orders of it are in use and they differ in
// the last bit for some attitudes, which can show in the texts:
// SinkRate groups the v and w terms under cos(theta), as the history row and
// the "dZ" bar have always computed it; SinkRateTermByTerm adds the three
// terms one after the other, as the marker table has always shown it.
double SinkRate(const FlightSample& s);
double SinkRateTermByTerm(const FlightSample& s);

// A sample time in whole milliseconds, nearest, halves away from zero: the
// count the run loop stores and reports by and the trajectory steps by.
long Milliseconds(double t);

} // namespace skarvel::sim
