#include "model/aircraft.h"

#include "model/planform.h"
#include "sim/checked.h"
#include "sim/estimate.h"
#include "sim/input_set.h"
#include "sim/units.h"

#include <cmath>
#include <cstring>

namespace skarvel::model {

using sim::ArithmeticError;
using sim::checkedDiv;
using sim::DegreesToRadians;
using sim::kDegreesPerRadian;
using sim::kPaperInertiaUnitsPerGramSquareCentimetre;
using sim::kPercentPerWhole;
using sim::kPi;
using sim::kSquareCentimetresPerSquareDecimetre;
using sim::kSquareCentimetresPerSquareMetre;
using sim::kSquareMillimetresPerSquareCentimetre;
using sim::kSquareMillimetresPerSquareMetre;
using sim::LiftSlope;

namespace {

constexpr int N = kSpanIntervals;
// The joint along a surface's root adds this many grams per mm of root chord.
constexpr double kRootJointGramsPerMillimetre = 0.001;

double Paint(const DesignData& d) {
    return 10.0 * d.paintCoats;
}

// A spanwise strip of a surface: areal density and chord.
struct Strip {
    double rho, chord;
};

// Roll inertia about the root line (g cm^2): the tip end value at half weight,
// then the strips at eta = i / 500 with lever arm eta * span / 2.
template <class StripAt>
double RollInertia(double span, double tipChord, double tipRho, StripAt stripAt) {
    const double half = span / 2;
    double sum = half * half * tipChord * tipRho / 2;
    for (int i = 1; i < N; ++i) {
        const double eta = static_cast<double>(i) / N;
        const double y = eta * span / 2;
        const Strip strip = stripAt(eta);
        sum += strip.rho * strip.chord * (y * y);
    }
    return span * sum / N / kPaperInertiaUnitsPerGramSquareCentimetre;
}

void CopyGeometry(const SurfaceGeometry& g, double gammaDeg, ComponentResult& r) {
    r.meanChord = g.meanChord;
    r.developedArea = g.developedArea / kSquareMillimetresPerSquareCentimetre;
    r.projectedSpan = g.projectedSpan;
    r.projectedArea = g.projectedArea / kSquareMillimetresPerSquareCentimetre;
    r.aspectRatio = g.aspectRatio;
    r.centroidX = g.centroidX;
    r.centroidZ = g.centroidZ;
    r.mac = g.mac;
    r.acX = g.acX;
    r.efficiency = g.efficiency;
    r.effectiveAspectRatio = r.aspectRatio * r.efficiency;
    r.effectiveTaper = g.taper;
    r.effectiveDihedral = g.dihedral * kDegreesPerRadian;
    r.effectiveSweep = g.sweep * kDegreesPerRadian;
    r.cosDihedral = std::cos(DegreesToRadians(gammaDeg));
    r.sinDihedral = std::sin(DegreesToRadians(gammaDeg));
}

} // namespace

void AircraftModel::computeWing() {
    DesignData& d = design_;
    wingGeometry_ = ComputeMainWing(d);
    const WingGeometry& w = wingGeometry_;
    const DesignComponent& M = d.mainWing;
    const DesignComponent& I = d.innerWing;
    ComponentResult& r = wing_;

    CopyGeometry(w.whole, M.dihedral, r);
    r.areaRatio = w.areaRatio;
    r.acZ = w.acZ;

    const double paint = Paint(d);
    const double rhoIn = M.paperMass + I.paperMass + paint;
    const double rhoOut = M.paperMass + paint;
    const double outerSpan = w.mainSpan - w.innerSpan;
    r.mass = (paint + M.paperMass) * r.developedArea / kSquareCentimetresPerSquareMetre +
             w.innerSpan * w.meanChordIn * I.paperMass / kSquareMillimetresPerSquareMetre +
             kRootJointGramsPerMillimetre * I.rootChord;
    r.massCentreX = checkedDiv(w.innerSpan * w.centroidXIn * w.meanChordIn * rhoIn /
                                       kSquareMillimetresPerSquareMetre +
                                   outerSpan * w.centroidXOut * w.meanChordOut * rhoOut /
                                       kSquareMillimetresPerSquareMetre +
                                   (I.rootChord / 2) * M.rootChord * kRootJointGramsPerMillimetre,
                               r.mass);
    r.massCentreZ = checkedDiv((w.innerSpan * w.heightIn * w.meanChordIn * rhoIn +
                                outerSpan * w.heightOut * w.meanChordOut * rhoOut) /
                                   kSquareMillimetresPerSquareMetre,
                               r.mass);
    r.pitchInertia = 0;

    // Roll inertia about the root line; a one-stage wing is the inner record
    // with the outer density throughout.
    r.rollInertia = RollInertia(w.mainSpan, M.tipChord, rhoOut, [&](double eta) {
        return Strip{w.twoStage && !w.usesOuter(eta) ? rhoIn : rhoOut, w.chordAt(eta)};
    });

    // Section: thickness and edges weighted by the projected panel spans.
    const double bIn = w.projectedSpanIn, bOut = w.projectedSpanOut;
    const double T = checkedDiv(
        (M.paperThickness + I.paperThickness) * bIn + M.paperThickness * bOut, bIn + bOut);
    r.thicknessPercent = checkedDiv(T, r.meanChord) * kPercentPerWhole;
    const double e1 = checkedDiv((M.edge + I.edge) * bIn + M.edge * bOut, bIn + bOut);
    const double e2 = checkedDiv((M.edge2 + I.edge2) * bIn + M.edge2 * bOut, bIn + bOut);
    r.meanEdge = (e1 + e2) / 2;
    r.camberPercent =
        (checkedDiv(I.lowerCamber, I.rootChord) - checkedDiv(r.meanEdge / 2, r.meanChord)) *
            kPercentPerWhole +
        r.thicknessPercent / 2;
    r.liftSlope = LiftSlope(r.effectiveAspectRatio);
    r.cd0 = ProfileDrag(0, d.glideSpeed, wingSection());
}

void AircraftModel::computeTail(const DesignComponent& c, ComponentResult& r) {
    const DesignData& d = design_;
    const SurfaceGeometry g = ComputeSurface(c);
    CopyGeometry(g, c.dihedral, r);
    r.areaRatio = 0;
    const double rho = c.paperMass + Paint(d);
    r.mass = (Paint(d) + c.paperMass) * r.developedArea / kSquareCentimetresPerSquareMetre +
             kRootJointGramsPerMillimetre * c.rootChord;
    r.massCentreX = r.centroidX;
    r.pitchInertia = 0;
    const SurfaceShape p = SurfaceShape::Of(c);
    r.rollInertia = RollInertia(c.span, c.tipChord, rho, [&](double eta) {
        return Strip{rho, p.chord(eta)};
    });

    r.thicknessPercent = checkedDiv(c.paperThickness, r.meanChord) * kPercentPerWhole;
    r.meanEdge = (c.edge + c.edge2) / 2;
    r.camberPercent =
        checkedDiv((c.paperThickness - c.edge) / 2 + c.lowerCamber, r.meanChord) * kPercentPerWhole;
    r.liftSlope = LiftSlope(r.effectiveAspectRatio);
    r.cd0 = ProfileDrag(0, d.glideSpeed,
                        {r.camberPercent, c.edge2, c.paperThickness, c.edge, r.meanChord});
}

void AircraftModel::computeFuselage() {
    const DesignData& d = design_;
    const FuselageGeometry g = ComputeFuselage(d);
    ComponentResult& r = fuselage_;
    const double L = d.fuselageBody.rootChord;
    const double Ln = d.fuselageNose.tipChord;
    const double hn = d.fuselageNose.span;
    const double hr = d.fuselageBody.span;
    const double paint = Paint(d);
    const double rhoBody = d.fuselageBody.paperMass;
    const double rhoNose = d.fuselageNose.paperMass;

    r.projectedArea = g.area / kSquareMillimetresPerSquareCentimetre;
    r.developedArea = g.area / kSquareMillimetresPerSquareCentimetre;
    r.projectedSpan = g.projectedSpan;
    r.meanChord = g.meanChord;
    r.aspectRatio = g.aspectRatio;
    r.mac = g.mac;
    r.centroidX = g.centroidX;
    r.acX = g.acX;
    r.acZ = g.acZ;
    r.effectiveTaper = g.taper;
    r.efficiency = g.efficiency;
    r.effectiveAspectRatio = r.aspectRatio * r.efficiency;
    r.effectiveDihedral = 0;
    r.effectiveSweep = 0;

    const double noseArea = Ln * hn / kSquareMillimetresPerSquareCentimetre;
    r.mass = ((paint + rhoBody) * r.projectedArea + rhoNose * noseArea) /
             kSquareCentimetresPerSquareMetre;
    r.massCentreX = checkedDiv(
        (r.projectedArea * r.centroidX * (paint + rhoBody) + rhoNose * noseArea * Ln / 2) /
            kSquareCentimetresPerSquareMetre,
        r.mass);
    const double nMoment = Ln * hn * hn / 2;
    const double bMoment = ((hn + hr) * (hn + hr) / 8) * (L - Ln);
    r.massCentreZ =
        -checkedDiv((nMoment * (rhoBody + rhoNose + paint) + bMoment * (paint + rhoBody)) /
                        kSquareMillimetresPerSquareMetre,
                    r.mass);

    // Roll inertia over the side profile, the upper full-length part with both papers.
    const double upper = checkedDiv(hr, hn);
    r.rollInertia = RollInertia(hn, Ln, rhoNose + paint, [&](double eta) {
        return Strip{eta < upper ? rhoNose + rhoBody + paint : rhoNose + paint,
                     FuselageChord(d, eta)};
    });
    // Own pitch inertia about the mass centre, along the length.
    {
        const double xf = r.massCentreX;
        const double m = checkedDiv(Ln, L);
        const double rho1 = rhoNose + rhoBody + paint;
        const double rho2 = rhoBody + paint;
        double sum = (xf * xf * hn * rho1 + (L - xf) * (L - xf) * hr * rho2) / 2;
        for (int i = 1; i < N; ++i) {
            const double u = static_cast<double>(i) / N;
            const double height =
                u > m ? rho2 * (hr + (hn - hr) * checkedDiv(1 - u, 1 - m)) : rho1 * hn;
            const double arm = L * u - xf;
            sum += arm * arm * height;
        }
        r.pitchInertia = L * sum / N / kPaperInertiaUnitsPerGramSquareCentimetre;
    }

    const double tBody = d.fuselageBody.paperThickness;
    const double tNose = d.fuselageNose.paperThickness;
    r.camberPercent = 0;
    r.thicknessPercent = tBody + tNose;
    r.meanEdge = tBody;
    r.liftSlope = LiftSlope(r.effectiveAspectRatio);
    r.cd0 = ProfileDrag(0, d.glideSpeed, fuselageSection());
}

FuselageStations Stations(const DesignData& d, bool canard) {
    const DesignComponent& I = d.innerWing;
    const DesignComponent& H = d.horizontalTail;
    const DesignComponent& V = d.verticalTail;
    const double L = d.fuselageBody.rootChord;
    FuselageStations at;
    at.wing = canard ? L - I.foreAft - I.rootChord : I.foreAft;
    at.horizontalTail = canard ? H.foreAft : L - H.foreAft - H.rootChord;
    at.finTrailingEdge = d.tailType == TailType::TwinFin
                             ? at.horizontalTail + H.sweepLength + H.tipChord - V.foreAft
                             : L - V.foreAft;
    at.finLeadingEdge = at.finTrailingEdge - V.rootChord;
    at.centreOfGravity = at.wing + d.cgPosition;
    return at;
}

void AircraftModel::computeWhole() {
    DesignData& d = design_;
    ComponentResult& W = wing_;
    ComponentResult& H = horizontalTail_;
    ComponentResult& V = verticalTail_;
    ComponentResult& F = fuselage_;
    AircraftResult& a = aircraft_;
    const DesignComponent& hc = d.horizontalTail;
    const DesignComponent& vc = d.verticalTail;
    const double L = d.fuselageBody.rootChord;
    const FuselageStations at = balanceStations();
    const double xWing = at.wing;

    // Heights of the tails' mass centres; their aerodynamic-centre heights
    // stay the spanwise fraction.
    H.massCentreZ = H.centroidZ * hc.span * H.sinDihedral;
    V.massCentreZ = V.centroidZ * vc.span;
    H.acZ = H.centroidZ;
    V.acZ = V.centroidZ;

    // Tail arms: from the centre of gravity to each tail's aerodynamic centre.
    if (d.tailType == TailType::Canard) {
        a.tailArmH = -(xWing + d.mainWing.rootChord - d.cgPosition + hc.foreAft + H.acX);
        a.tailArmV = xWing + d.innerWing.rootChord - d.cgPosition - (vc.rootChord - V.acX);
    } else {
        a.tailArmH = L - xWing - d.cgPosition - hc.foreAft - (hc.rootChord - H.acX);
        a.tailArmV = L - xWing - d.cgPosition - vc.foreAft - (vc.rootChord - V.acX);
        if (d.tailType == TailType::TwinFin) {
            a.tailArmV += hc.sweepLength + hc.tipChord - hc.rootChord - hc.foreAft;
        }
    }

    // Tail layouts.
    switch (d.tailType) {
    case TailType::VTail: {
        const double root2 = std::sqrt(2.0);
        V.projectedArea *= root2;
        V.efficiency /= root2; // the effective aspect ratio keeps its value
        V.centroidZ = 0;
        V.developedArea = 0;
        V.mass = 0;
        V.rollInertia = 0;
        V.pitchInertia = 0;
        V.cd0 = 0;
        break;
    }
    case TailType::TwinFin:
        V.projectedArea *= 2;
        V.mass *= 2;
        V.efficiency *= 1.275;
        V.effectiveAspectRatio = V.aspectRatio * V.efficiency;
        H.efficiency = H.efficiency * checkedDiv(vc.span / 2 + hc.span, hc.span);
        H.effectiveAspectRatio = H.aspectRatio * H.efficiency;
        break;
    case TailType::Normal:
        V.efficiency *= 1.55;
        V.effectiveAspectRatio = V.aspectRatio * V.efficiency;
        break;
    case TailType::Canard:
        break;
    }

    a.tailVolumeH = checkedDiv(H.projectedArea, W.projectedArea) * checkedDiv(a.tailArmH, W.mac);
    a.tailVolumeV =
        checkedDiv(V.projectedArea, W.projectedArea) * checkedDiv(a.tailArmV, W.projectedSpan);

    // Ballast that puts the centre of gravity where the design wants it.
    const double hStation = at.horizontalTail;
    const double vStation = at.finLeadingEdge;
    const double xcg = at.centreOfGravity;
    const double u = W.mass * (xWing + W.massCentreX) + H.mass * (hStation + H.massCentreX) +
                     V.mass * (vStation + V.massCentreX) + F.mass * F.massCentreX -
                     xcg * (W.mass + H.mass + V.mass + F.mass);
    a.ballastMass = 0;
    a.ballastAtTail = false;
    a.ballastStation = 5;
    if (xcg - 5 != 0) {
        a.ballastMass = u / (xcg - 5);
    }
    if ((xcg - 5 == 0 || a.ballastMass < 0) && xcg - (L - 5) != 0) {
        a.ballastMass = u / (xcg - (L - 5));
        a.ballastAtTail = true;
        a.ballastStation = L - 5;
    }
    a.totalMass = W.mass + H.mass + V.mass + F.mass + a.ballastMass;

    const double hn = d.fuselageNose.span;
    a.cgZ = checkedDiv(W.mass * (d.innerWing.mountHeight + W.massCentreZ) +
                           H.mass * (hc.mountHeight + H.massCentreZ) +
                           V.mass * (vc.mountHeight + V.massCentreZ) + F.mass * F.massCentreZ -
                           a.ballastMass * hn / 2,
                       a.totalMass);
    a.acZ = checkedDiv(W.developedArea * (d.innerWing.mountHeight + W.acZ) +
                           H.developedArea * (hc.mountHeight + H.acZ) +
                           V.developedArea * (vc.mountHeight + V.acZ) + F.developedArea * F.acZ,
                       W.developedArea + H.developedArea + V.developedArea + F.developedArea);

    a.totalRollInertia = W.rollInertia + H.rollInertia + V.rollInertia + F.rollInertia;
    const auto sq = [](double x) { return x * x; };
    a.totalPitchInertia =
        (sq(W.massCentreX - d.cgPosition) * W.mass +
         sq(a.tailArmH - H.acX + H.massCentreX) * H.mass +
         sq(a.tailArmV - V.acX + V.massCentreX) * V.mass +
         sq(F.massCentreX - xWing - d.cgPosition) * F.mass + sq(xcg - 5) * a.ballastMass) /
            kSquareMillimetresPerSquareCentimetre +
        W.pitchInertia + H.pitchInertia + V.pitchInertia + F.pitchInertia;

    a.totalCd0 = checkedDiv(W.cd0 * W.developedArea + H.cd0 * H.developedArea +
                                V.cd0 * V.developedArea + F.cd0 * F.developedArea,
                            W.projectedArea);
    a.wingLoading = checkedDiv(a.totalMass, W.projectedArea) * kSquareCentimetresPerSquareDecimetre;
    a.wingLoadingWithTail = checkedDiv(a.totalMass, W.projectedArea + H.projectedArea / 2) *
                            kSquareCentimetresPerSquareDecimetre;
    W.reynolds = ReynoldsNumber(d.glideSpeed, W.meanChord);
    H.reynolds = ReynoldsNumber(d.glideSpeed, H.meanChord);
    V.reynolds = ReynoldsNumber(d.glideSpeed, V.meanChord);

    a.h = checkedDiv(d.cgPosition - W.acX, W.mac) + 0.25;
    const double aW = LiftSlope(W.effectiveAspectRatio);
    const double aH = LiftSlope(H.effectiveAspectRatio);
    if (d.tailType == TailType::Canard) {
        a.hn = 0.25 - checkedDiv(aH * a.tailVolumeH, aW);
    } else {
        a.hn = 0.25 + a.tailVolumeH * aH *
                          (checkedDiv(1.0, aW) - checkedDiv(2.0, kPi * W.effectiveAspectRatio));
    }
    a.hnreal = a.hn + checkedDiv(aH * a.tailVolumeH * 0.00612 * a.tailArmH, a.wingLoading);
    a.cgHeightRatio = checkedDiv(a.acZ - a.cgZ, W.mac);
    a.staticMarginCompat = a.h - a.hn;
    a.dynamicMargin = a.hnreal - a.h;
}

void AircraftModel::compute(const DesignData& design) {
    // The flight-time laws follow the results, also those of a computation
    // that fails part way.
    struct Rebuild {
        AircraftModel& model;
        ~Rebuild() { model.buildFlightLaws(); }
    } rebuild{*this};
    design_ = design;
    DesignData& d = design_;
    wingComputed_ = false;
    // Named until its step is through: a throw leaves the step that failed.
    failedStep_ = DesignStep::MainWing;
    computeWing();
    wingComputed_ = true;
    const WingGeometry& w = wingGeometry_;
    aircraft_.junctionLeadingEdge = w.junctionLeadingEdge;
    aircraft_.junctionTrailingEdge = w.junctionTrailingEdge;
    aircraft_.junctionChord = w.junctionTrailingEdge - w.junctionLeadingEdge;
    aircraft_.virtualRootLeadingEdge = w.virtualRootLeadingEdge;
    aircraft_.virtualRootTrailingEdge = w.virtualRootTrailingEdge;
    aircraft_.virtualRootChord = w.virtualRootTrailingEdge - w.virtualRootLeadingEdge;

    failedStep_ = DesignStep::HorizontalTail;
    computeTail(d.horizontalTail, horizontalTail_);
    if (d.tailType == TailType::VTail) {
        // The V tail's halves, seen from the side, act as the fin.
        const DesignComponent& hc = d.horizontalTail;
        DesignComponent& vc = d.verticalTail;
        vc.leadingEdgeShape = hc.leadingEdgeShape;
        vc.trailingEdgeShape = hc.trailingEdgeShape;
        vc.rootChord = hc.rootChord;
        vc.tipChord = hc.tipChord;
        vc.sweepLength = hc.sweepLength;
        vc.mountHeight = hc.mountHeight;
        vc.foreAft = hc.foreAft;
        vc.span = horizontalTail_.sinDihedral * (hc.span / 2);
    }
    failedStep_ = DesignStep::VerticalTail;
    computeTail(d.verticalTail, verticalTail_);
    failedStep_ = DesignStep::Fuselage;
    computeFuselage();
    failedStep_ = DesignStep::Whole;
    computeWhole();
    failedStep_.reset();
}

std::string_view DesignStepName(DesignStep step, TailType tail) {
    switch (step) {
    case DesignStep::MainWing:
        return "主翼";
    case DesignStep::HorizontalTail:
        return tail == TailType::VTail ? "V尾翼" : "水平尾翼";
    case DesignStep::VerticalTail:
        return tail == TailType::VTail ? "V尾翼" : "垂直尾翼";
    case DesignStep::Fuselage:
        return "胴体";
    case DesignStep::Whole:
        break;
    }
    return "機体全体";
}

double AircraftModel::aerodynamicTailArm() const {
    const DesignData& d = design_;
    const DesignComponent& hc = d.horizontalTail;
    return d.fuselageBody.rootChord - balanceStations().wing - wing_.acX - hc.foreAft -
           (hc.rootChord - horizontalTail_.acX);
}

Section AircraftModel::wingSection() const {
    return {wing_.camberPercent, wing_.meanEdge,
            wing_.thicknessPercent / kPercentPerWhole * wing_.meanChord, wing_.meanEdge,
            wing_.meanChord};
}

Section AircraftModel::horizontalTailSection() const {
    const DesignComponent& c = design_.horizontalTail;
    return {horizontalTail_.camberPercent, c.edge2, c.paperThickness, c.edge,
            horizontalTail_.meanChord};
}

Section AircraftModel::verticalTailSection() const {
    const DesignComponent& c = design_.verticalTail;
    return {verticalTail_.camberPercent, c.edge2, c.paperThickness, c.edge,
            verticalTail_.meanChord};
}

Section AircraftModel::fuselageSection() const {
    const double tBody = design_.fuselageBody.paperThickness;
    const double tNose = design_.fuselageNose.paperThickness;
    return {0, tBody, tBody + tNose, tBody, fuselage_.meanChord};
}

void AircraftModel::buildFlightLaws() {
    const ComponentResult& h = horizontalTail_;
    laws_.wing = SectionLaws(wingSection());
    laws_.tailLift =
        SectionLaws({h.camberPercent, h.meanEdge,
                     h.thicknessPercent / kPercentPerWhole * h.meanChord, h.meanEdge, h.meanChord});
    laws_.horizontalTail = SectionLaws(horizontalTailSection());
    laws_.verticalTail = SectionLaws(verticalTailSection());
    laws_.fuselage = SectionLaws(fuselageSection());
    const Section fin = verticalTailSection();
    const Section tail = horizontalTailSection();
    laws_.finIsTail = std::memcmp(&fin, &tail, sizeof fin) == 0;
}

namespace {

// One flight's evaluation of a model's laws: the model is only read; the
// memos of the sections' Reynolds terms are the flight's own.
class Evaluation final : public sim::AeroEvaluation {
  public:
    explicit Evaluation(const AircraftModel& model, const AircraftModel::FlightLaws& laws)
        : m_(model), laws_(laws) {}

    double wingMaxLift(double airspeed) override {
        return laws_.wing.maxLift(laws_.wing.reynolds(airspeed, wing_), wing_);
    }

    double tailMaxLift(double airspeed) override {
        return laws_.tailLift.maxLift(ReynoldsNumber(airspeed, m_.horizontalTail().meanChord),
                                      tailLift_);
    }

    double flightDragCoefficient(double alpha, double airspeed) override {
        const ComponentResult& W = m_.wing();
        const ComponentResult& H = m_.horizontalTail();
        const ComponentResult& V = m_.verticalTail();
        const ComponentResult& F = m_.fuselage();
        const double AW = W.effectiveAspectRatio;
        const double AH = H.effectiveAspectRatio;
        const double clW = W.liftSlope * alpha;
        const double clH = (alpha - checkedDiv(2 * clW, kPi * AW)) * H.liftSlope;
        const bool finIsTail = laws_.finIsTail;
        const SectionLaws* const sections[] = {
            &laws_.wing, &laws_.horizontalTail,
            finIsTail ? &laws_.horizontalTail : &laws_.verticalTail, &laws_.fuselage};
        SectionLaws::Memo* const memos[] = {
            &wing_, &horizontalTail_, finIsTail ? &horizontalTail_ : &verticalTail_, &fuselage_};
        const double CL[] = {clW, clH, 0, 0};
        double drag[4];
        SectionLaws::profileDrags(sections, memos, CL, airspeed, drag, 4);
        const double cdW = drag[0] + checkedDiv(clW * clW, kPi * AW);
        const double cdH = drag[1] + checkedDiv(clH * clH, kPi * AH);
        return checkedDiv(cdW * W.developedArea + cdH * H.developedArea +
                              drag[2] * V.developedArea + drag[3] * F.developedArea,
                          W.projectedArea);
    }

    double stallPitchMoment(double alpha, double airspeed) override {
        const double clW = m_.wing().liftSlope * alpha;
        return laws_.wing.stallPitchIncrement(clW, laws_.wing.reynolds(airspeed, wing_), wing_);
    }

  private:
    const AircraftModel& m_;
    const AircraftModel::FlightLaws& laws_;
    SectionLaws::Memo wing_, tailLift_, horizontalTail_, verticalTail_, fuselage_;
};

} // namespace

std::unique_ptr<sim::AeroEvaluation> AircraftModel::startEvaluation() const {
    return std::make_unique<Evaluation>(*this, laws_);
}

} // namespace skarvel::model
