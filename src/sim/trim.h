#pragma once
// The steady glide: where the glider settles when nothing disturbs it. The
// analysis point is the input data as a flight loads them, in still air,
// 10 m up, heading 0 at t = 0; every evaluation is the flight's own.

#include "data/table.h"
#include "sim/aero_laws.h"
#include "sim/dynamics.h"
#include "sim/flight_record.h"
#include "sim/input_set.h"

#include <optional>

namespace skarvel::sim {

// One evaluation at the analysis point.
struct Evaluation {
    FlightSample state; // with the air-relative values, CL and CD filled in
    FlightSample rates;
    bool stalled = false;
};

class AnalysisPoint {
  public:
    // Estimates the derivatives from `input` into a copy of `parameter` and
    // loads both, then takes the wind and the thermal's strength away (its
    // radius stays). `laws` may be null, as for a flight.
    AnalysisPoint(const data::Table& input, const data::Table& parameter,
                  const DesignAeroLaws* laws);

    // False when the estimate failed: nothing can be trimmed then.
    bool loaded() const { return loaded_; }
    const InputSet& inputSet() const { return in_; }

    // The state at the analysis point with these body velocities, rates and
    // attitude (x = y = 0, z = -10, psi = 0, t = 0), evaluated. None when the
    // evaluation fails or gives a value that is not finite.
    std::optional<Evaluation> evaluate(const FlightSample& state);

  private:
    static InputSet Load(const data::Table& input, const data::Table& parameter, bool& loaded);

    bool loaded_ = false;
    InputSet in_;
    Dynamics dynamics_;
};

// The place of the analysis point.
FlightSample AnalysisState();

// A straight glide: airspeed (m/s), angle of attack and pitch (rad).
struct StraightGlide {
    double V = 5;
    double alpha = 0.05;
    double theta = -0.05;
};

// The steady glide, turning where the glider is not symmetric.
struct GlideTrim {
    double V = 0;     // airspeed, m/s
    double alpha = 0; // rad, wrapped to (-pi, pi]
    double beta = 0;
    double theta = 0;
    double phi = 0;
    double omega = 0;             // turn rate d(psi)/dt, rad/s
    double gamma = 0;             // flight-path angle, rad (negative: descending)
    double sink = 0;              // dz/dt, m/s (positive: descending)
    std::optional<double> ratio;  // horizontal over vertical speed; none when level
    std::optional<double> radius; // m; none when the glide is straight
    double CL = 0;
    double CD = 0;
    bool stalled = false;
    StraightGlide straight; // the straight glide it was found from
    FlightSample state;     // the trimmed state at the analysis point
};

// Where Newton's method starts for a steady turn.
struct TurnGuess {
    double V = 5;
    double alpha = 0.05;
    double beta = 0;
    double theta = -0.05;
    double phi = 0;
    double omega = 0; // rad/s
};

// Stage 1: the straight glide (u, w, q steady) from `start` by Newton's
// method. None when it does not converge.
std::optional<StraightGlide> TrimStraightGlide(AnalysisPoint& point, StraightGlide start = {});
// Stage 2: all six body accelerations zero in a steady turn, started from
// a straight glide. A symmetric glider gets the straight glide back.
std::optional<GlideTrim> TrimSteadyGlide(AnalysisPoint& point, const StraightGlide& from);
// All six body accelerations zero from any guess (a state the glider flew);
// `straight` is kept in the trim as the glide it was found from.
std::optional<GlideTrim> TrimTurn(AnalysisPoint& point, const TurnGuess& guess,
                                  const StraightGlide& straight = {});
// Both stages from the fixed start; none when either fails or nothing loaded.
std::optional<GlideTrim> TrimGlide(AnalysisPoint& point);

} // namespace skarvel::sim
