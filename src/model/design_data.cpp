#include "model/design_data.h"

#include "data/numtext.h"
#include "data/tables.h"

#include <charconv>

namespace skarvel::model {

namespace dz = data::design;

EdgeShape EdgeShapeFromText(const std::string& text) {
    if (text == "直線") {
        return EdgeShape::Straight;
    }
    if (text == "楕円") {
        return EdgeShape::Ellipse;
    }
    if (text == "放物線") {
        return EdgeShape::Parabola;
    }
    if (text == "正弦") {
        return EdgeShape::Sine;
    }
    return EdgeShape::Other;
}

TailType TailTypeFromText(const std::string& text) {
    if (text.find("Ｖ") != std::string::npos) {
        return TailType::VTail;
    }
    if (text.find("先") != std::string::npos) {
        return TailType::Canard;
    }
    if (text.find("双") != std::string::npos) {
        return TailType::TwinFin;
    }
    return TailType::Normal;
}

DihedralType DihedralTypeFromText(const std::string& text) {
    return text.find('1') != std::string::npos ? DihedralType::OneStage : DihedralType::TwoStage;
}

namespace {

double Number(const data::Table& t, int column, int row) {
    return data::ParseReal(t.cell(column, row));
}

// An integer cell: optional sign and digits, nothing else; anything else is 0.
int WholeNumber(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last) {
        return 0;
    }
    return value;
}

DesignComponent Surface(const data::Table& t, int column) {
    DesignComponent c;
    c.leadingEdgeShape = EdgeShapeFromText(t.cell(column, dz::LeadingEdge));
    c.trailingEdgeShape = EdgeShapeFromText(t.cell(column, dz::TrailingEdge));
    c.span = Number(t, column, dz::Span);
    c.rootChord = Number(t, column, dz::RootChord);
    c.tipChord = Number(t, column, dz::TipChord);
    c.sweepLength = Number(t, column, dz::SweepLength);
    c.mountHeight = Number(t, column, dz::MountHeight);
    c.foreAft = Number(t, column, dz::ForeAft);
    c.dihedral = Number(t, column, dz::Dihedral);
    c.paperMass = Number(t, column, dz::PaperMass);
    c.paperThickness = Number(t, column, dz::PaperThick);
    c.edge = Number(t, column, dz::Edge);
    c.edge2 = c.edge;
    c.lowerCamber = Number(t, column, dz::LowerCamber);
    return c;
}

} // namespace

DesignData ReadDesignData(const data::Table& t) {
    DesignData d;
    d.tailType = TailTypeFromText(t.cell(dz::VerticalTail, dz::Type));
    d.dihedralType = DihedralTypeFromText(t.cell(dz::MainWing, dz::Type));
    d.mainWing = Surface(t, dz::MainWing);
    d.innerWing = Surface(t, dz::InnerWing);
    d.horizontalTail = Surface(t, dz::HorizontalTail);
    d.verticalTail = Surface(t, dz::VerticalTail);

    const double length = Number(t, dz::Fuselage, dz::Span);
    DesignComponent& nose = d.fuselageNose;
    nose.span = Number(t, dz::Fuselage, dz::RootChord); // nose height
    nose.rootChord = length;
    nose.tipChord = Number(t, dz::NoseReinforcement, dz::Span); // nose length
    nose.paperMass = Number(t, dz::NoseReinforcement, dz::PaperMass);
    nose.paperThickness = Number(t, dz::NoseReinforcement, dz::PaperThick);
    DesignComponent& body = d.fuselageBody;
    body.span = Number(t, dz::Fuselage, dz::TipChord); // rear height
    body.rootChord = length;
    body.tipChord = length;
    body.paperMass = Number(t, dz::Fuselage, dz::PaperMass);
    body.paperThickness = Number(t, dz::Fuselage, dz::PaperThick);

    d.paintCoats = WholeNumber(t.cell(dz::Fuselage, dz::PaintCoats));
    d.cgPosition = Number(t, dz::Fuselage, dz::CgPosition);
    const double speed = Number(t, dz::Fuselage, dz::GlideSpeed);
    d.glideSpeed = speed < 1 ? 1 : speed;
    return d;
}

} // namespace skarvel::model
