#pragma once
// The aircraft model: a design becomes geometry, masses, centre of gravity,
// inertias and aerodynamic characteristics, and supplies the flight-time laws
// the equations of motion use when no fixed drag coefficient is given.

#include "model/design_data.h"
#include "model/results.h"
#include "model/section_laws.h"
#include "model/wing.h"
#include "sim/aero_laws.h"

#include <memory>
#include <optional>
#include <string_view>

namespace skarvel::model {

// The steps of a design's computation, in order: the part each works out.
enum class DesignStep { MainWing, HorizontalTail, VerticalTail, Fuselage, Whole };

// The part a step works out, as the design table names it: "主翼",
// "水平尾翼" ("V尾翼" for a V tail), "垂直尾翼", "胴体", "機体全体".
std::string_view DesignStepName(DesignStep step, TailType tail);

// Stations along the fuselage, mm from the nose.
struct FuselageStations {
    double wing = 0;            // the main wing's root leading edge
    double horizontalTail = 0;  // the horizontal tail's root leading edge
    double finTrailingEdge = 0; // the vertical tail's root trailing edge
    double finLeadingEdge = 0;  // the vertical tail's root leading edge
    double centreOfGravity = 0; // the wing's station plus the design's 重心位置
};

// Where a design places its parts: the wing from the nose and the tail from
// the rear end, or with `canard` the wing from the rear end and the tail from
// the nose; twin fins from the horizontal tail's tip.
FuselageStations Stations(const DesignData& d, bool canard);

// Built by compute() and read by everything else. A built model does not
// change while it is read: it may be shared between threads (a sweep's
// workers fly on one), each flight evaluating its laws with scratch state of
// its own (startEvaluation).
class AircraftModel : public sim::DesignAeroLaws {
  public:
    // Recomputes everything from `design`. Throws ArithmeticError when a step
    // fails; the results computed before it are kept.
    void compute(const DesignData& design);

    // The design as the model used it: the inner wing of a one-stage wing
    // carries the main wing's shape, a two-stage main wing is re-based on its
    // virtual root, a V tail's fin carries the horizontal tail's shape.
    const DesignData& design() const { return design_; }
    const WingGeometry& wingGeometry() const { return wingGeometry_; }
    // The main wing was computed by the last compute(), even if a later step failed.
    bool wingComputed() const { return wingComputed_; }
    // The step at which the last compute() failed; none after one that did not.
    std::optional<DesignStep> failedStep() const { return failedStep_; }

    const ComponentResult& wing() const { return wing_; }
    const ComponentResult& horizontalTail() const { return horizontalTail_; }
    const ComponentResult& verticalTail() const { return verticalTail_; }
    const ComponentResult& fuselage() const { return fuselage_; }
    const AircraftResult& aircraft() const { return aircraft_; }

    // The stations as the design places the parts (the sketch, the pattern).
    FuselageStations stations() const {
        return Stations(design_, design_.tailType == TailType::Canard);
    }
    // The stations the mass balance and the tail arms take: a canard's parts
    // where a conventional layout has them, as its design values read.
    FuselageStations balanceStations() const { return Stations(design_, false); }
    // The distance from the main wing's aerodynamic centre to the horizontal
    // tail's (mm), as the input data show it.
    double aerodynamicTailArm() const;

    // Sections the laws are evaluated for.
    Section wingSection() const;
    Section horizontalTailSection() const; // for its drag
    Section verticalTailSection() const;
    Section fuselageSection() const;

    // The flight-time laws, evaluated by one flight.
    std::unique_ptr<sim::AeroEvaluation> startEvaluation() const override;

    // The sections' laws as a flight evaluates them, from the results.
    struct FlightLaws {
        SectionLaws wing, tailLift, horizontalTail, verticalTail, fuselage;
        // The fin's section is the horizontal tail's to the bit (a V tail):
        // its drag comes from the same laws, worked out once for both.
        bool finIsTail = false;
    };

  private:
    void buildFlightLaws();
    void computeWing();
    void computeTail(const DesignComponent& c, ComponentResult& r);
    void computeFuselage();
    void computeWhole();

    DesignData design_;
    WingGeometry wingGeometry_;
    bool wingComputed_ = false;
    std::optional<DesignStep> failedStep_;
    ComponentResult wing_;
    ComponentResult horizontalTail_;
    ComponentResult verticalTail_;
    ComponentResult fuselage_;
    AircraftResult aircraft_;
    FlightLaws laws_;
};

// A built model as the program passes it around: read only, shared.
using SharedAircraftModel = std::shared_ptr<const AircraftModel>;

} // namespace skarvel::model
