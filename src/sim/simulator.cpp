#include "sim/simulator.h"

#include "sim/checked.h"
#include "sim/dynamics.h"
#include "sim/flight_quantities.h"

#include <cmath>

namespace skarvel::sim {

void RunObserver::sampleStored(const FlightRecord&, int, double) {}
bool RunObserver::secondElapsed() {
    return false;
}

double WrapDegrees(double radians) {
    const double a = radians / (2 * kPi);
    if (radians > 0) {
        return 360 * (a - std::trunc(a + 0.5));
    }
    return 360 * (a - std::trunc(a - 0.5));
}

namespace {

// stage = base + h * k over the twelve integrated states only.
inline void Advance(const FlightSample& base, double h, const FlightSample& k,
                    FlightSample& stage) {
    stage.u = base.u + h * k.u;
    stage.v = base.v + h * k.v;
    stage.w = base.w + h * k.w;
    stage.p = base.p + h * k.p;
    stage.q = base.q + h * k.q;
    stage.r = base.r + h * k.r;
    stage.x = base.x + h * k.x;
    stage.y = base.y + h * k.y;
    stage.z = base.z + h * k.z;
    stage.psi = base.psi + h * k.psi;
    stage.theta = base.theta + h * k.theta;
    stage.phi = base.phi + h * k.phi;
}

inline double Rk4Sum(double k1, double k2, double k3, double k4) {
    return k1 + 2 * k2 + 2 * k3 + k4;
}

inline void Combine(FlightSample& s, double h, const FlightSample& k1, const FlightSample& k2,
                    const FlightSample& k3, const FlightSample& k4) {
    s.u = requireFinite(s.u + h * Rk4Sum(k1.u, k2.u, k3.u, k4.u));
    s.v = requireFinite(s.v + h * Rk4Sum(k1.v, k2.v, k3.v, k4.v));
    s.w = requireFinite(s.w + h * Rk4Sum(k1.w, k2.w, k3.w, k4.w));
    s.p = requireFinite(s.p + h * Rk4Sum(k1.p, k2.p, k3.p, k4.p));
    s.q = requireFinite(s.q + h * Rk4Sum(k1.q, k2.q, k3.q, k4.q));
    s.r = requireFinite(s.r + h * Rk4Sum(k1.r, k2.r, k3.r, k4.r));
    s.x = requireFinite(s.x + h * Rk4Sum(k1.x, k2.x, k3.x, k4.x));
    s.y = requireFinite(s.y + h * Rk4Sum(k1.y, k2.y, k3.y, k4.y));
    s.z = requireFinite(s.z + h * Rk4Sum(k1.z, k2.z, k3.z, k4.z));
    s.psi = requireFinite(s.psi + h * Rk4Sum(k1.psi, k2.psi, k3.psi, k4.psi));
    s.theta = requireFinite(s.theta + h * Rk4Sum(k1.theta, k2.theta, k3.theta, k4.theta));
    s.phi = requireFinite(s.phi + h * Rk4Sum(k1.phi, k2.phi, k3.phi, k4.phi));
}

} // namespace

void Rk4Stepper::step(Dynamics& dyn, FlightSample& s, double t, double dt) {
    dyn.evaluate(s, t, k1_);
    Advance(s, dt / 2, k1_, s2_);
    dyn.evaluate(s2_, t, k2_);
    Advance(s, dt / 2, k2_, s3_);
    dyn.evaluate(s3_, t, k3_);
    Advance(s, dt, k3_, s4_);
    dyn.evaluate(s4_, t, k4_);
    Combine(s, dt / 6, k1_, k2_, k3_, k4_);
}

namespace {

class Integrator {
  public:
    Integrator(const InputSet& in, const DesignAeroLaws* laws, FlightRecord& record,
               RunStatistics& stats, RunObserver& observer)
        : dyn_(in, laws), in_(in), rec_(record), stats_(stats), obs_(observer) {}

    double run();

  private:
    void store(long ms);
    void finish();

    Dynamics dyn_;
    const InputSet& in_;
    FlightRecord& rec_;
    RunStatistics& stats_;
    RunObserver& obs_;
    FlightSample s_{};
    double t_ = 0;
    int n_ = 0;
};

void Integrator::store(long ms) {
    s_.t = t_;
    rec_.sample(n_) = s_;
    if (ms % 50 == 0) {
        obs_.sampleStored(rec_, n_, dyn_.airspeed());
    }
    if (s_.z <= 0) {
        // Counted: should an evaluation fail later, the record ends here.
        rec_.lastIndex = n_;
        ++n_;
    }
}

void Integrator::finish() {
    s_.t = t_;
    FlightSample rates;
    dyn_.evaluate(s_, t_, rates);
    if (s_.z <= 0) {
        rec_.sample(n_) = s_;
        rec_.lastIndex = n_;
        return;
    }
    // Ground contact: the landing point lies between the last counted sample
    // and the first state below the ground.
    const FlightSample p = rec_.sample(n_ - 1);
    const double w = checkedDiv(-p.z, s_.z - p.z);
    FlightSample& landing = rec_.sample(n_);
    for (auto member : FlightSample::kValues) {
        landing.*member = (1 - w) * (p.*member) + w * (s_.*member);
    }
    landing.z = 0;
    rec_.lastIndex = n_;
}

// The integrated states of the launch alone: time 0, the twelve states,
// nothing else.
FlightSample IntegratedStatesOf(const FlightSample& initial) {
    FlightSample s{};
    s.u = initial.u;
    s.v = initial.v;
    s.w = initial.w;
    s.p = initial.p;
    s.q = initial.q;
    s.r = initial.r;
    s.x = initial.x;
    s.y = initial.y;
    s.z = initial.z;
    s.psi = initial.psi;
    s.theta = initial.theta;
    s.phi = initial.phi;
    return s;
}

// A paper glider never comes near this; a state that does has run away
// numerically, and going on would only fill the record with nonsense.
constexpr double kMaxGroundSpeed = 1000; // m/s

void RequirePlausibleSpeed(const FlightSample& s) {
    if (std::sqrt(s.u * s.u + s.v * s.v + s.w * s.w) > kMaxGroundSpeed) {
        ThrowArithmetic("ground speed above 1000 m/s");
    }
}

double Integrator::run() {
    s_ = IntegratedStatesOf(in_.initial);
    t_ = 0;
    n_ = 0;
    stats_ = RunStatistics{};
    double maxH2 = 0, maxD2 = 0;
    // Whatever fails from here on, the record shows this run, never a
    // previous flight: at first only the launch.
    rec_.sample(0) = s_;
    rec_.lastIndex = 0;

    FlightSample k0;
    dyn_.evaluate(s_, t_, k0);
    store(0);

    const double dt = kTimeStep;
    Rk4Stepper stepper;
    for (;;) {
        stepper.step(dyn_, s_, t_, dt);
        RequirePlausibleSpeed(s_);
        t_ = t_ + dt;

        const long ms = Milliseconds(t_);
        if (ms % 10 == 0) {
            store(ms);
        }
        if (ms % 1000 == 0 && obs_.secondElapsed()) {
            break;
        }
        if (s_.z < stats_.minZ) {
            stats_.minZ = s_.z;
        }
        const double h2 = s_.x * s_.x + s_.y * s_.y;
        if (h2 > maxH2) {
            maxH2 = h2;
        }
        const double d2 = h2 + s_.z * s_.z;
        if (d2 > maxD2) {
            maxD2 = d2;
        }
        if (s_.z > 0 || n_ >= FlightRecord::kMaxSamples) {
            break;
        }
    }
    finish();
    stats_.maxHorizontalDistance = std::sqrt(maxH2);
    stats_.maxDistance = std::sqrt(maxD2);
    return t_;
}

} // namespace

double RunFlight(const InputSet& in, const DesignAeroLaws* laws, FlightRecord& record,
                 RunStatistics& stats, RunObserver& observer) {
    if (in.initial.z > 0) {
        return 0;
    }
    Integrator integrator(in, laws, record, stats, observer);
    return integrator.run();
}

} // namespace skarvel::sim
