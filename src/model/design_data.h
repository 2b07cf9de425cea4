#pragma once
// A glider design as read from the design table.

#include "data/table.h"

#include <string>

namespace skarvel::model {

enum class EdgeShape { Straight = 0, Ellipse = 1, Parabola = 2, Sine = 3, Other = 4 };
enum class TailType { Normal = 0, TwinFin = 1, VTail = 2, Canard = 3 };
enum class DihedralType { OneStage = 1, TwoStage = 2 };

// "直線", "楕円", "放物線", "正弦"; any other text is Other.
EdgeShape EdgeShapeFromText(const std::string& text);
// Contains "Ｖ" -> VTail, else "先" -> Canard, else "双" -> TwinFin, else Normal.
TailType TailTypeFromText(const std::string& text);
// Contains "1" -> OneStage, else TwoStage.
DihedralType DihedralTypeFromText(const std::string& text);

struct DesignComponent {
    EdgeShape leadingEdgeShape = EdgeShape::Straight;
    EdgeShape trailingEdgeShape = EdgeShape::Straight;
    double span = 0;           // mm, developed
    double rootChord = 0;      // mm
    double tipChord = 0;       // mm
    double sweepLength = 0;    // mm
    double mountHeight = 0;    // mm, positive upwards
    double foreAft = 0;        // mm
    double dihedral = 0;       // degrees
    double paperMass = 0;      // g/m^2, as used
    double paperThickness = 0; // mm
    double edge = 0;           // mm, at the leading edge
    double edge2 = 0;          // mm, at the trailing edge (equal to edge)
    double lowerCamber = 0;    // mm
};

struct DesignData {
    TailType tailType = TailType::Normal;
    DihedralType dihedralType = DihedralType::OneStage;
    DesignComponent mainWing, innerWing, horizontalTail, verticalTail;
    DesignComponent fuselageNose, fuselageBody;
    int paintCoats = 0;
    double cgPosition = 0; // mm aft of the main wing's root leading edge
    double glideSpeed = 1; // m/s, at least 1
};

// Reads the design table (numbers with ParseReal).
DesignData ReadDesignData(const data::Table& design);

} // namespace skarvel::model
