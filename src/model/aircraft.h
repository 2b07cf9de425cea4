#pragma once
// The aircraft model: a design becomes geometry, masses, centre of gravity,
// inertias and aerodynamic characteristics, and supplies the flight-time laws
// the equations of motion use when no fixed drag coefficient is given.

#include "model/design_data.h"
#include "model/results.h"
#include "model/section_laws.h"
#include "model/wing.h"
#include "sim/aero_laws.h"

#include <optional>
#include <string_view>

namespace skarvel::model {

// The steps of a design's computation, in order: the part each works out.
enum class DesignStep { MainWing, HorizontalTail, VerticalTail, Fuselage, Whole };

// The part a step works out, as the design table names it: "主翼",
// "水平尾翼" ("V尾翼" for a V tail), "垂直尾翼", "胴体", "機体全体".
std::string_view DesignStepName(DesignStep step, TailType tail);

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

    ComponentResult wing;
    ComponentResult horizontalTail;
    ComponentResult verticalTail;
    ComponentResult fuselage;
    AircraftResult aircraft;

    // Station of the main wing's root leading edge from the nose (mm), and the
    // distance from the main wing's aerodynamic centre to the horizontal
    // tail's (mm), as the input data show it.
    double wingStation() const { return design_.innerWing.foreAft; }
    double aerodynamicTailArm() const;

    // Sections the laws are evaluated for.
    Section wingSection() const;
    Section horizontalTailSection() const; // for its drag
    Section verticalTailSection() const;
    Section fuselageSection() const;

    // Flight-time laws; they store the lift coefficients and drag
    // coefficients they evaluate in the component results.
    double wingMaxLift(double airspeed) override;
    double tailMaxLift(double airspeed) override;
    double flightDragCoefficient(double alpha, double airspeed) override;
    double stallPitchMoment(double alpha, double airspeed) override;

  private:
    // The sections' laws as the flight evaluates them, from the results.
    struct FlightLaws {
        SectionLaws wing, tailLift, horizontalTail, verticalTail, fuselage;
    };
    void buildFlightLaws();
    void computeWing();
    void computeTail(const DesignComponent& c, ComponentResult& r);
    void computeFuselage();
    void computeWhole();

    DesignData design_;
    WingGeometry wingGeometry_;
    bool wingComputed_ = false;
    std::optional<DesignStep> failedStep_;
    FlightLaws laws_;
    // The fin's section is the horizontal tail's to the bit (a V tail): its
    // drag comes from the same laws, worked out once for both.
    bool finIsTail_ = false;
};

} // namespace skarvel::model
