#pragma once
// The five data tables of the main window: their shapes, captions, symbols,
// units, default values and cell styles, and the table reset.

#include "data/table.h"

#include <array>
#include <string_view>

namespace skarvel::data {

// Input-data table ("入力データ"): caption, value, unit; rows 1 to 37.
namespace input {
inline constexpr int kColumns = 3;
inline constexpr int kRows = 38;
inline constexpr int kValueColumn = 1;
inline constexpr int kUnitColumn = 2;
enum Row : int {
    WindSpeed = 1,
    ThermalStrength,
    ThermalRadius,
    LaunchSpeed,
    Altitude,
    PositionX,
    PositionY,
    ClimbAngle,
    BankAngle,
    Heading,
    AngleOfAttack,
    Sideslip,
    PitchRate, // "ピッチ角速度"
    RollRate,  // "ロール角速度"
    YawRate,
    TailSetting,
    StabTilt,
    FinSetting,
    WingTwist,
    StaticMargin,
    CgVertical,
    CgLateral,
    WingArea,
    WingSpan,
    TaperRatio,
    Dihedral,
    Sweep,
    SpanEfficiency,
    TailArm,
    HTailVolume,
    VTailVolume,
    HTailAspect,
    VTailAspect,
    Mass,
    RollInertia,
    PitchInertia,
    MinDrag,
};
// Header texts of row 0 ("項目", "値", "単位").
extern const std::array<std::string_view, kColumns> kHeader;
// Indexed by row; entry 0 is unused (empty).
extern const std::array<std::string_view, kRows> kCaptions;
extern const std::array<std::string_view, kRows> kDefaults;
extern const std::array<std::string_view, kRows> kUnits;
} // namespace input

// Parameter table ("パラメータ"): symbol, value, unit; rows 1 to 37.
namespace param {
inline constexpr int kColumns = 3;
inline constexpr int kRows = 38;
inline constexpr int kValueColumn = 1;
inline constexpr int kUnitColumn = 2;
enum Row : int {
    S = 1,
    b,
    mass,
    Ixx,
    Iyy,
    Izz,
    hn,
    h,
    hnreal,
    CD0,
    Cm0,
    CLa,
    CLq,
    CLih,
    Cma,
    Cmq,
    Cmih,
    Cyb,
    Cyp,
    Cyr,
    Cydr,
    Clb,
    Clb_CL,
    Clp,
    Clr_CL,
    Cldr,
    Cnb,
    Cnb_CL,
    Cnp_CL,
    Cnr,
    Cnr_CD,
    Cndr,
    Cmb_it,
    Cmr_it,
    Cna_it,
    Cnq_it,
    Cl_iw,
};
extern const std::array<std::string_view, kColumns> kHeader;
extern const std::array<std::string_view, kRows> kSymbols;
extern const std::array<std::string_view, kRows> kUnits;
} // namespace param

// Marker table ("マーカー"): caption, value, unit; rows 1 to 24.
namespace marker {
inline constexpr int kColumns = 3;
inline constexpr int kRows = 25;
inline constexpr int kValueColumn = 1;
inline constexpr int kUnitColumn = 2;
enum Row : int {
    PointNumber = 1, // "ポイントNo"
    Time,
    GroundSpeed,
    Airspeed,
    Updraft,
    SinkRate,
    AngleOfAttack,
    Sideslip,
    LiftCoefficient,
    DragCoefficient,
    TurnRadius,
    LoopRadius,
    Altitude,
    PositionX,
    PositionY,
    Roll,        // "Φロール角"
    Pitch,       // "Θピッチ角"
    Yaw,         // "Ψヨー角"
    AxialSpeed,  // "u機体軸速度"
    SideSpeed,   // "v横滑り速度"
    NormalSpeed, // "w縦滑り速度"
    RollRate,
    PitchRate,
    YawRate,
};
extern const std::array<std::string_view, kColumns> kHeader;
extern const std::array<std::string_view, kRows> kCaptions;
extern const std::array<std::string_view, kRows> kUnits;
} // namespace marker

// Design table ("KXファイル"): captions, six components, unit; rows 1 to 21.
namespace design {
inline constexpr int kColumns = 8;
inline constexpr int kRows = 22;
enum Column : int {
    MainWing = 1,
    InnerWing,
    HorizontalTail,
    VerticalTail,
    Fuselage,
    NoseReinforcement,
    Unit,
};
enum Row : int {
    Type = 1,
    LeadingEdge,
    TrailingEdge,
    Span,
    RootChord,
    TipChord,
    SweepLength,
    MountHeight,
    ForeAft,
    Dihedral,
    PaperName,
    PaperWeight,
    PaperThickness,
    SheetCount,
    PaperMass,
    PaperThick,
    Edge,
    LowerCamber,
    PaintCoats,
    CgPosition,
    GlideSpeed,
};
// Style indices of the design table's style list.
enum Style : int {
    EditableReal = 0,
    ReadOnlyGrey = 1,
    PickCell = 2,
    Hidden = 3,
    CaptionLeft = 4,
    CaptionRight = 5,
};
extern const std::array<std::string_view, kColumns> kHeader;
extern const std::array<std::string_view, kRows> kCaptions;
extern const std::array<std::string_view, kRows> kUnits;
// kDefaults[row][column]; column 0 and 7 unused.
extern const std::array<std::array<std::string_view, kColumns>, kRows> kDefaults;
} // namespace design

// Computed-data table ("KXデータ"): captions, five result columns, unit; rows 1 to 24.
namespace computed {
inline constexpr int kColumns = 7;
inline constexpr int kRows = 25;
enum Column : int {
    Wing = 1,
    HorizontalTail,
    VerticalTail,
    Fuselage,
    Whole, // "全体"
    Unit,
};
enum Row : int {
    Mass = 1,
    RollInertia,
    PitchInertia,
    Area, // "有効面積"
    Span,
    AspectRatio,
    Taper,
    Dihedral,
    Sweep,
    MeanChord,
    Mac,
    AcX,
    AcZ,
    MassCentreX,
    MassCentreZ,
    Efficiency,
    LiftSlope,
    MinDrag,
    TailArm,
    TailVolume,
    CentreOfGravity, // "重心"
    StaticMargin,    // "両立余裕"
    DynamicMargin,
    GlideSpeed,
};
extern const std::array<std::string_view, kColumns> kHeader;
extern const std::array<std::string_view, kRows> kCaptions;
extern const std::array<std::string_view, kRows> kUnits;
} // namespace computed

struct Tables {
    Table input{input::kColumns, input::kRows};
    Table parameter{param::kColumns, param::kRows};
    Table marker{marker::kColumns, marker::kRows};
    Table design{design::kColumns, design::kRows, 1};
    Table computed{computed::kColumns, computed::kRows, 1};
};

// Writes headers, captions, symbols, units, defaults, styles and column widths
// in the program's order: the input-data table is cleared first, the others
// keep their value cells (the parameter and marker values, the computed data).
void ResetTables(Tables& tables);

// Empties every cell of all five tables (the reset command does this first).
void ClearAllTables(Tables& tables);

} // namespace skarvel::data
