#include "model/conversion.h"

#include "data/numtext.h"
#include "model/design_rules.h"
#include "sim/checked.h"

#include <array>
#include <cmath>

namespace skarvel::model {

namespace dz = data::design;
namespace in = data::input;

namespace {

std::string Text(double v) {
    return data::FormatSignificant(4, false, v);
}

// Computed-data rows 1 to 18 of the four component columns.
constexpr std::array<double ComponentResult::*, 18> kComponentRows = {
    &ComponentResult::mass,
    &ComponentResult::rollInertia,
    &ComponentResult::pitchInertia,
    &ComponentResult::projectedArea,
    &ComponentResult::projectedSpan,
    &ComponentResult::aspectRatio,
    &ComponentResult::effectiveTaper,
    &ComponentResult::effectiveDihedral,
    &ComponentResult::effectiveSweep,
    &ComponentResult::meanChord,
    &ComponentResult::mac,
    &ComponentResult::acX,
    &ComponentResult::acZ,
    &ComponentResult::massCentreX,
    &ComponentResult::massCentreZ,
    &ComponentResult::efficiency,
    &ComponentResult::liftSlope,
    &ComponentResult::cd0};

void FillComputedTable(data::Table& t, const AircraftModel& m) {
    const ComponentResult* columns[] = {&m.wing, &m.horizontalTail, &m.verticalTail, &m.fuselage};
    for (int c = 0; c < 4; ++c) {
        int row = 1;
        for (auto field : kComponentRows) {
            t.setCell(c + 1, row++, Text(columns[c]->*field));
        }
    }
    const AircraftResult& a = m.aircraft;
    constexpr int whole = 5;
    t.setCell(whole, 1, Text(a.totalMass));
    t.setCell(whole, 2, Text(a.totalRollInertia));
    t.setCell(whole, 3, Text(a.totalPitchInertia));
    t.setCell(whole, 13, Text(a.acZ));
    t.setCell(whole, 15, Text(a.cgZ));
    t.setCell(whole, 18, Text(a.totalCd0));
    t.setCell(2, 19, Text(a.tailArmH));
    t.setCell(3, 19, Text(a.tailArmV));
    t.setCell(2, 20, Text(a.tailVolumeH));
    t.setCell(3, 20, Text(a.tailVolumeV));
    t.setCell(whole, 21, Text(a.h * 100));
    t.setCell(whole, 22, Text(a.staticMarginCompat * 100));
    t.setCell(whole, 23, Text(a.dynamicMargin * 100));
    t.setCell(whole, 24, Text(m.design().glideSpeed));
}

} // namespace

bool ComputeDesign(data::Tables& tables, AircraftModel& model) {
    const DesignData design = ReadDesignData(tables.design);
    ApplyDesignCellStates(tables.design, design.dihedralType, design.tailType);
    bool ok = true;
    try {
        model.compute(design);
    } catch (const sim::ArithmeticError&) {
        ok = false;
    }
    if (model.wingComputed() && design.dihedralType == DihedralType::TwoStage) {
        // The main wing's root chord shows the chord at the junction.
        tables.design.setCell(dz::MainWing, dz::RootChord,
                              data::FormatFixed(model.aircraft.junctionChord, 4));
    }
    if (ok) {
        FillComputedTable(tables.computed, model);
    }
    return ok;
}

void TransferDesignToInput(data::Tables& tables, const AircraftModel& model) {
    data::Table& t = tables.input;
    const data::Table& c = tables.computed;
    const auto set = [&t](int row, std::string text) {
        t.setCell(in::kValueColumn, row, std::move(text));
    };
    try {
        set(in::StaticMargin, c.cell(5, 22));
        set(in::CgVertical, Text(model.aircraft.cgHeightRatio * 100));
        set(in::CgLateral, "0");
        set(in::WingArea, c.cell(1, 4));
        set(in::WingSpan, c.cell(1, 5));
        set(in::TaperRatio, c.cell(1, 7));
        set(in::Dihedral, c.cell(1, 8));
        set(in::Sweep, c.cell(1, 9));
        set(in::SpanEfficiency, c.cell(1, 16));
        const double arm = model.aerodynamicTailArm();
        set(in::TailArm, Text(arm));
        set(in::HTailVolume,
            Text(sim::checkedDiv(model.aircraft.tailVolumeH * arm, model.aircraft.tailArmH)));
        set(in::VTailVolume,
            Text(sim::checkedDiv(model.aircraft.tailVolumeV * arm, model.aircraft.tailArmH)));
        set(in::HTailAspect, Text(model.horizontalTail.effectiveAspectRatio));
        set(in::VTailAspect, Text(model.verticalTail.effectiveAspectRatio));
        set(in::Mass, c.cell(5, 1));
        set(in::RollInertia, c.cell(5, 2));
        set(in::PitchInertia, c.cell(5, 3));
        set(in::MinDrag, "0");
    } catch (const sim::ArithmeticError&) {
        // Quiet: the rows written so far stay.
    }
}

} // namespace skarvel::model
