#include "model/conversion.h"

#include "data/numtext.h"
#include "model/design_rules.h"
#include "sim/checked.h"
#include "sim/units.h"

#include <array>
#include <cmath>

namespace skarvel::model {

namespace dz = data::design;
namespace in = data::input;
namespace cd = data::computed;

namespace {

std::string Text(double v) {
    return data::FormatSignificant(4, false, v);
}

// Computed-data rows from 質量 to 最小抗力係数 of the four component columns.
constexpr std::array<double ComponentResult::*, cd::MinDrag> kComponentRows = {
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
    const ComponentResult* columns[] = {&m.wing(), &m.horizontalTail(), &m.verticalTail(),
                                        &m.fuselage()};
    for (int c = 0; c < 4; ++c) {
        int row = cd::Mass;
        for (auto field : kComponentRows) {
            t.setCell(cd::Wing + c, row++, Text(columns[c]->*field));
        }
    }
    const AircraftResult& a = m.aircraft();
    t.setCell(cd::Whole, cd::Mass, Text(a.totalMass));
    t.setCell(cd::Whole, cd::RollInertia, Text(a.totalRollInertia));
    t.setCell(cd::Whole, cd::PitchInertia, Text(a.totalPitchInertia));
    t.setCell(cd::Whole, cd::AcZ, Text(a.acZ));
    t.setCell(cd::Whole, cd::MassCentreZ, Text(a.cgZ));
    t.setCell(cd::Whole, cd::MinDrag, Text(a.totalCd0));
    t.setCell(cd::HorizontalTail, cd::TailArm, Text(a.tailArmH));
    t.setCell(cd::VerticalTail, cd::TailArm, Text(a.tailArmV));
    t.setCell(cd::HorizontalTail, cd::TailVolume, Text(a.tailVolumeH));
    t.setCell(cd::VerticalTail, cd::TailVolume, Text(a.tailVolumeV));
    t.setCell(cd::Whole, cd::CentreOfGravity, Text(a.h * sim::kPercentPerWhole));
    t.setCell(cd::Whole, cd::StaticMargin, Text(a.staticMarginCompat * sim::kPercentPerWhole));
    t.setCell(cd::Whole, cd::DynamicMargin, Text(a.dynamicMargin * sim::kPercentPerWhole));
    t.setCell(cd::Whole, cd::GlideSpeed, Text(m.design().glideSpeed));
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
                              data::FormatFixed(model.aircraft().junctionChord, 4));
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
        set(in::StaticMargin, c.cell(cd::Whole, cd::StaticMargin));
        set(in::CgVertical, Text(model.aircraft().cgHeightRatio * sim::kPercentPerWhole));
        set(in::CgLateral, "0");
        set(in::WingArea, c.cell(cd::Wing, cd::Area));
        set(in::WingSpan, c.cell(cd::Wing, cd::Span));
        set(in::TaperRatio, c.cell(cd::Wing, cd::Taper));
        set(in::Dihedral, c.cell(cd::Wing, cd::Dihedral));
        set(in::Sweep, c.cell(cd::Wing, cd::Sweep));
        set(in::SpanEfficiency, c.cell(cd::Wing, cd::Efficiency));
        const double arm = model.aerodynamicTailArm();
        set(in::TailArm, Text(arm));
        set(in::HTailVolume,
            Text(sim::checkedDiv(model.aircraft().tailVolumeH * arm, model.aircraft().tailArmH)));
        set(in::VTailVolume,
            Text(sim::checkedDiv(model.aircraft().tailVolumeV * arm, model.aircraft().tailArmH)));
        set(in::HTailAspect, Text(model.horizontalTail().effectiveAspectRatio));
        set(in::VTailAspect, Text(model.verticalTail().effectiveAspectRatio));
        set(in::Mass, c.cell(cd::Whole, cd::Mass));
        set(in::RollInertia, c.cell(cd::Whole, cd::RollInertia));
        set(in::PitchInertia, c.cell(cd::Whole, cd::PitchInertia));
        set(in::MinDrag, "0");
    } catch (const sim::ArithmeticError&) {
        // Quiet: the rows written so far stay.
    }
}

} // namespace skarvel::model
