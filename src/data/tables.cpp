#include "data/tables.h"

namespace skarvel::data {

namespace input {
const std::array<std::string_view, kColumns> kHeader = {"項目", "値", "単位"};
const std::array<std::string_view, kRows> kCaptions = {
    "",
    "風速",
    "サーマル強度",
    "サーマル半径",
    "初速",
    "高度",
    "X座標",
    "Y座標",
    "上下角",
    "バンク角",
    "方位角",
    "迎角",
    "横滑り角",
    "ピッチ角速度",
    "ロール角速度",
    "ヨー角速度",
    "水平尾翼取付角",
    "スタブティルト",
    "垂直尾翼取付角",
    "主翼ねじれ角",
    "両立余裕(重心)",
    "重心上下位置",
    "重心左右位置",
    "主翼面積",
    "主翼翼幅",
    "主翼テーパー比",
    "主翼上反角",
    "主翼後退角",
    "主翼空力効率",
    "テールモーメント",
    "水平尾翼容積",
    "垂直尾翼容積",
    "水平尾翼AR",
    "垂直尾翼AR",
    "質量",
    "ロール慣性能率",
    "ピッチ慣性能率",
    "最小抗力係数",
};
const std::array<std::string_view, kRows> kDefaults = {
    "",  "0",  "0",    "20",  "150",  "2",    "0",   "0",    "80",  "80", "0",   "0",    "0",
    "0", "0",  "0",    "0",   "1",    "0",    "0",   "6",    "3.3", "0",  "45",  "168",  "0.44",
    "9", "14", "0.97", "134", "1.16", "0.07", "2.9", "0.76", "4.5", "42", "107", "0.05",
};
const std::array<std::string_view, kRows> kUnits = {
    "",      "m/s",   "m/s",   "m",  "km/h", "m",  "m",  "m", "度", "度",    "度",    "度", "度",
    "rad/s", "rad/s", "rad/s", "度", "度",   "度", "度", "%", "%",  "%",     "cm^2",  "mm", "",
    "度",    "度",    "",      "mm", "",     "",   "",   "",  "g",  "gcm^2", "gcm^2", "",
};
} // namespace input

namespace param {
const std::array<std::string_view, kColumns> kHeader = {"記号", "値", "単位"};
const std::array<std::string_view, kRows> kSymbols = {
    "",    "S",      "b",    "mass",   "Ixx",    "Iyy",    "Izz",    "hn",    "h",      "hnreal",
    "CD0", "Cm0",    "CLa",  "CLq",    "CLih",   "Cma",    "Cmq",    "Cmih",  "Cyb",    "Cyp",
    "Cyr", "Cydr",   "Clb",  "Clb_CL", "Clp",    "Clr_CL", "Cldr",   "Cnb",   "Cnb_CL", "Cnp_CL",
    "Cnr", "Cnr_CD", "Cndr", "Cmb_it", "Cmr_it", "Cna_it", "Cnq_it", "Cl_iw",
};
const std::array<std::string_view, kRows> kUnits = {
    "", "cm^2", "mm", "g", "gcm^2", "gcm^2", "gcm^2", "%", "%", "%",
};
} // namespace param

namespace marker {
const std::array<std::string_view, kColumns> kHeader = {"項目", "値", "単位"};
const std::array<std::string_view, kRows> kCaptions = {
    "",
    "ポイントNo",
    "時刻",
    "対地速度",
    "対気速度",
    "上昇気流",
    "沈下率",
    "迎角",
    "横滑り角",
    "揚力係数",
    "抗力係数",
    "旋回半径",
    "宙返り半径",
    "高度",
    "X座標",
    "Y座標",
    "Φロール角",
    "Θピッチ角",
    "Ψヨー角",
    "u機体軸速度",
    "v横滑り速度",
    "w縦滑り速度",
    "pロール角速度",
    "qピッチ角速度",
    "rヨー  角速度",
};
const std::array<std::string_view, kRows> kUnits = {
    "",  "",  "s", "m/s", "m/s", "m/s", "m/s", "度",  "度",  "",      "",      "m",     "m",
    "m", "m", "m", "度",  "度",  "度",  "m/s", "m/s", "m/s", "rad/s", "rad/s", "rad/s",
};
} // namespace marker

namespace design {
const std::array<std::string_view, kColumns> kHeader = {
    "", "主翼", "主翼内翼", "水平尾翼", "垂直尾翼", "胴体", "機首補強", "単位",
};
const std::array<std::string_view, kRows> kCaptions = {
    "",           "形式",       "前縁平面形", "後縁平面形",   "展開長",
    "翼根翼弦長", "翼端翼弦長", "前縁後退長", "取付位置",     "前後位置",
    "上反角",     "紙名称",     "紙重さ",     "紙厚さ",       "紙枚数",
    "紙質量",     "紙厚",       "エッジ",     "下面キャンバ", "塗装回数",
    "重心位置",   "滑空速度",
};
const std::array<std::string_view, kRows> kUnits = {
    "", "",     "",   "", "mm",   "mm", "mm", "mm", "mm", "mm", "deg",
    "", "g/m2", "mm", "", "g/m2", "mm", "mm", "mm", "",   "mm", "m/s",
};
// Quoted texts keep their digits as the user sees them: "0.630", not 0.63.
const std::array<std::array<std::string_view, kColumns>, kRows> kDefaults = {{
    {},
    {"", "1段上反角", "", "", "Ｖ尾翼", "", "", ""},
    {"", "放物線", "放物線", "放物線", "放物線", "", "", ""},
    {"", "直線", "直線", "楕円", "楕円", "", "", ""},
    {"", "170", "40", "64", "20", "190", "60", ""},
    {"", "35", "35", "27", "27", "5", "", ""},
    {"", "10", "10", "0", "0", "2", "", ""},
    {"", "25", "25", "18", "18", "", "", ""},
    {"", "0", "0", "0", "0", "", "", ""},
    {"", "25", "25", "0", "0", "", "", ""},
    {"", "9", "9", "27.5", "", "", "", ""},
    {"", "板目青", "NB160", "KMK250", "KMK250", "ﾋﾉｷ2mm", "", ""},
    {"", "489", "186", "265", "265", "800", "0", ""},
    {"", "0.630", "0.198", "0.291", "0.291", "2", "0", ""},
    {"", "1", "1", "1", "1", "1", "0", ""},
    {"", "450", "226", "265", "265", "800", "0", ""},
    {"", "0.630", "0.198", "0.291", "0.291", "2", "0", ""},
    {"", "0.1", "0.1", "0.1", "0.1", "", "", ""},
    {"", "0", "", "0", "", "", "", ""},
    {"", "", "", "", "", "2", "", ""},
    {"", "", "", "", "", "26.817", "", ""},
    {"", "", "", "", "", "5", "", ""},
}};
} // namespace design

namespace computed {
const std::array<std::string_view, kColumns> kHeader = {
    "", "主翼", "水平尾翼", "垂直尾翼", "胴体", "全体", "単位",
};
const std::array<std::string_view, kRows> kCaptions = {
    "",
    "質量",
    "ロール慣性能率",
    "ピッチ慣性能率",
    "有効面積",
    "翼幅",
    "アスペクトレシオ",
    "実効テーパー比",
    "実効上反角",
    "実効後退角",
    "幾何平均翼弦長",
    "空力平均翼弦長",
    "前縁-空力中心(x)",
    "翼根-空力中心(z)",
    "前縁-質量中心(x)",
    "翼根-質量中心(z)",
    "空力効率",
    "揚力傾斜",
    "最小抗力係数",
    "テールモーメント",
    "尾翼容積",
    "重心",
    "両立余裕",
    "動安定余裕",
    "滑空速度",
};
const std::array<std::string_view, kRows> kUnits = {
    "",   "g",  "gcm^2", "gcm^2", "cm2",  "mm", "",   "", "度", "度", "mm", "mm",  "mm",
    "mm", "mm", "mm",    "",      "/rad", "",   "mm", "", "%",  "%",  "%",  "m/s",
};
} // namespace computed

namespace {

template <std::size_t N>
void WriteHeader(Table& table, const std::array<std::string_view, N>& header) {
    for (std::size_t c = 0; c < N; ++c)
        table.setCell(static_cast<int>(c), 0, std::string(header[c]));
}

template <std::size_t N>
void WriteColumn(Table& table, int column, const std::array<std::string_view, N>& texts) {
    for (std::size_t r = 1; r < N; ++r)
        table.setCell(column, static_cast<int>(r), std::string(texts[r]));
}

void SetWidths(Table& table, std::initializer_list<int> widths) {
    int column = 0;
    for (int width : widths)
        table.setColumnWidth(column++, width);
}

CellStyle ReadOnly(CellColour background, CellAlign align = CellAlign::Left) {
    CellStyle style;
    style.background = background;
    style.align = align;
    return style;
}

CellStyle Editable(ValueKind kind, CellAlign align = CellAlign::Left, int indent = 0) {
    CellStyle style;
    style.editable = true;
    style.kind = kind;
    style.align = align;
    style.indent = indent;
    return style;
}

void ResetInput(Table& table) {
    enum { Plain, Value, Shaded };
    SetWidths(table, {92, 43, 33});
    table.clearStyleAssignments();
    table.setStyles({ReadOnly(CellColour::Window), Editable(ValueKind::Real, CellAlign::Left, 3),
                     ReadOnly(CellColour::ButtonFace)});
    table.assignColumnStyle(input::kValueColumn, Value);
    // The environment rows and the trim settings stand out from the rest.
    for (int row : {input::WindSpeed, input::ThermalStrength, input::ThermalRadius,
                    input::TailSetting, input::StabTilt, input::FinSetting, input::WingTwist})
        table.assignCellStyle(0, row, Shaded);
    WriteHeader(table, input::kHeader);
    WriteColumn(table, 0, input::kCaptions);
    WriteColumn(table, input::kValueColumn, input::kDefaults);
    WriteColumn(table, input::kUnitColumn, input::kUnits);
}

void ResetParameter(Table& table) {
    enum { Plain, Value };
    SetWidths(table, {53, 76, 39});
    table.clearStyleAssignments();
    table.setStyles({ReadOnly(CellColour::Window), Editable(ValueKind::Real)});
    table.assignColumnStyle(param::kValueColumn, Value);
    WriteHeader(table, param::kHeader);
    WriteColumn(table, 0, param::kSymbols);
    WriteColumn(table, param::kUnitColumn, param::kUnits);
}

void ResetMarker(Table& table) {
    enum { Plain, Value, TypedValue };
    SetWidths(table, {79, 57, 32});
    table.clearStyleAssignments();
    CellStyle value = ReadOnly(CellColour::Window, CellAlign::Right);
    value.indent = 5;
    table.setStyles(
        {ReadOnly(CellColour::Window), value, Editable(ValueKind::Real, CellAlign::Right, 5)});
    table.assignColumnStyle(marker::kValueColumn, Value);
    // The point number and the time are typed in.
    table.assignCellStyle(marker::kValueColumn, marker::PointNumber, TypedValue);
    table.assignCellStyle(marker::kValueColumn, marker::Time, TypedValue);
    WriteHeader(table, marker::kHeader);
    WriteColumn(table, 0, marker::kCaptions);
    WriteColumn(table, marker::kUnitColumn, marker::kUnits);
}

void ResetDesign(Table& table) {
    using namespace design;
    SetWidths(table, {75, 60, 60, 60, 60, 60, 60, 40});
    WriteHeader(table, kHeader);

    CellStyle hidden = ReadOnly(CellColour::ButtonFace);
    hidden.hiddenText = true;
    table.clearStyleAssignments();
    table.setStyles({Editable(ValueKind::Real), ReadOnly(CellColour::ButtonFace),
                     ReadOnly(CellColour::Window), hidden,
                     ReadOnly(CellColour::ButtonFace, CellAlign::Left),
                     ReadOnly(CellColour::ButtonFace, CellAlign::Right)});
    // The order matters only within a level; cell beats row beats column.
    table.assignColumnStyle(NoseReinforcement, ReadOnlyGrey);
    table.assignColumnStyle(Unit, ReadOnlyGrey);
    for (int row : {Type, LeadingEdge, TrailingEdge, PaperWeight, PaperThickness, LowerCamber,
                    PaintCoats, CgPosition, GlideSpeed})
        table.assignRowStyle(row, ReadOnlyGrey);
    table.assignRowStyle(PaperName, PickCell);
    table.assignRowStyle(SheetCount, EditableReal);
    table.assignCellStyle(MainWing, Type, PickCell);
    table.assignCellStyle(VerticalTail, Type, PickCell);
    for (int column = MainWing; column <= VerticalTail; ++column) {
        table.assignCellStyle(column, LeadingEdge, PickCell);
        table.assignCellStyle(column, TrailingEdge, PickCell);
    }
    const std::pair<int, int> greyCells[] = {
        {VerticalTail, Dihedral}, {Fuselage, SweepLength}, {Fuselage, MountHeight},
        {Fuselage, ForeAft},      {Fuselage, Dihedral},    {Fuselage, Edge},
        {Unit, PaperName},        {Unit, SheetCount},
    };
    for (auto [column, row] : greyCells)
        table.assignCellStyle(column, row, ReadOnlyGrey);
    const std::pair<int, int> editableCells[] = {
        {NoseReinforcement, Span}, {NoseReinforcement, PaperMass}, {NoseReinforcement, PaperThick},
        {MainWing, LowerCamber},   {HorizontalTail, LowerCamber},  {Fuselage, PaintCoats},
        {Fuselage, CgPosition},    {Fuselage, GlideSpeed},
    };
    for (auto [column, row] : editableCells)
        table.assignCellStyle(column, row, EditableReal);
    // The paper sub-rows read as indented under "紙名称".
    table.assignCellStyle(0, PaperName, CaptionLeft);
    for (int row : {PaperWeight, PaperThickness, SheetCount})
        table.assignCellStyle(0, row, CaptionRight);

    WriteColumn(table, 0, kCaptions);
    // Only the cells that have a default are written; the others keep their
    // text (the reset command empties them beforehand).
    for (int row = 1; row < kRows; ++row) {
        for (int column = MainWing; column <= NoseReinforcement; ++column) {
            std::string_view text =
                kDefaults[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            if (!text.empty())
                table.setCell(column, row, std::string(text));
        }
    }
    WriteColumn(table, Unit, kUnits);
}

void ResetComputed(Table& table) {
    table.clearStyleAssignments();
    table.setStyles({ReadOnly(CellColour::ButtonFace)});
    SetWidths(table, {120, 60, 60, 60, 60, 60, 40});
    WriteHeader(table, computed::kHeader);
    WriteColumn(table, 0, computed::kCaptions);
    WriteColumn(table, computed::Unit, computed::kUnits);
}

} // namespace

void ResetTables(Tables& tables) {
    tables.input.clearCells();
    ResetInput(tables.input);
    ResetParameter(tables.parameter);
    ResetMarker(tables.marker);
    ResetDesign(tables.design);
    ResetComputed(tables.computed);
}

void ClearAllTables(Tables& tables) {
    for (Table* table :
         {&tables.input, &tables.parameter, &tables.marker, &tables.design, &tables.computed})
        table->clearCells();
}

} // namespace skarvel::data
