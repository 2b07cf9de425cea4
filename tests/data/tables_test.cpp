#include "data/tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace skarvel::data;

namespace {

Tables FreshTables() {
    Tables tables;
    ResetTables(tables);
    return tables;
}

std::vector<int> Widths(const Table& table) {
    std::vector<int> widths;
    for (int c = 0; c < table.columnCount(); ++c)
        widths.push_back(table.columnWidth(c));
    return widths;
}

} // namespace

TEST(TableShapes, ColumnsRowsAndWidths) {
    Tables t = FreshTables();
    EXPECT_EQ(Widths(t.input), (std::vector<int>{92, 43, 33}));
    EXPECT_EQ(Widths(t.parameter), (std::vector<int>{53, 76, 39}));
    EXPECT_EQ(Widths(t.marker), (std::vector<int>{79, 57, 32}));
    EXPECT_EQ(Widths(t.design), (std::vector<int>{75, 60, 60, 60, 60, 60, 60, 40}));
    EXPECT_EQ(Widths(t.computed), (std::vector<int>{120, 60, 60, 60, 60, 60, 40}));
    EXPECT_EQ(t.input.rowCount(), 38);
    EXPECT_EQ(t.parameter.rowCount(), 38);
    EXPECT_EQ(t.marker.rowCount(), 25);
    EXPECT_EQ(t.design.rowCount(), 22);
    EXPECT_EQ(t.computed.rowCount(), 25);
    EXPECT_EQ(t.input.fixedColumns(), 0);
    EXPECT_EQ(t.design.fixedColumns(), 1);
    EXPECT_EQ(t.computed.fixedColumns(), 1);
}

TEST(InputTable, HeaderCaptionsDefaultsUnits) {
    Tables t = FreshTables();
    const Table& in = t.input;
    EXPECT_EQ(in.cell(0, 0), "項目");
    EXPECT_EQ(in.cell(1, 0), "値");
    EXPECT_EQ(in.cell(2, 0), "単位");
    const struct {
        int row;
        const char *caption, *value, *unit;
    } rows[] = {
        {input::WindSpeed, "風速", "0", "m/s"},
        {input::ThermalRadius, "サーマル半径", "20", "m"},
        {input::LaunchSpeed, "初速", "150", "km/h"},
        {input::ClimbAngle, "上下角", "80", "度"},
        {input::PitchRate, "ピッチ角速度", "0", "rad/s"},
        {input::RollRate, "ロール角速度", "0", "rad/s"},
        {input::StabTilt, "スタブティルト", "1", "度"},
        {input::StaticMargin, "両立余裕(重心)", "6", "%"},
        {input::CgVertical, "重心上下位置", "3.3", "%"},
        {input::WingArea, "主翼面積", "45", "cm^2"},
        {input::TaperRatio, "主翼テーパー比", "0.44", ""},
        {input::SpanEfficiency, "主翼空力効率", "0.97", ""},
        {input::HTailVolume, "水平尾翼容積", "1.16", ""},
        {input::VTailAspect, "垂直尾翼AR", "0.76", ""},
        {input::Mass, "質量", "4.5", "g"},
        {input::RollInertia, "ロール慣性能率", "42", "gcm^2"},
        {input::MinDrag, "最小抗力係数", "0.05", ""},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(in.cell(0, r.row), r.caption) << r.row;
        EXPECT_EQ(in.cell(1, r.row), r.value) << r.row;
        EXPECT_EQ(in.cell(2, r.row), r.unit) << r.row;
    }
}

TEST(InputTable, CaptionsAreUniqueFileKeys) {
    std::set<std::string_view> seen;
    for (int row = 1; row < input::kRows; ++row) {
        EXPECT_FALSE(input::kCaptions[row].empty()) << row;
        EXPECT_TRUE(seen.insert(input::kCaptions[row]).second) << input::kCaptions[row];
    }
}

TEST(InputTable, StylesOfValueCaptionAndUnitCells) {
    Tables t = FreshTables();
    const Table& in = t.input;
    for (int row = 1; row < input::kRows; ++row) {
        const CellStyle& value = in.style(1, row);
        EXPECT_TRUE(in.isEditable(1, row)) << row;
        EXPECT_EQ(value.kind, ValueKind::Real);
        EXPECT_EQ(value.background, CellColour::Window);
        EXPECT_EQ(value.indent, 3);
        EXPECT_FALSE(in.isEditable(0, row)) << row;
        EXPECT_FALSE(in.isEditable(2, row)) << row;
        EXPECT_EQ(in.style(2, row).background, CellColour::Window) << row;
        bool shaded = row <= 3 || (row >= 16 && row <= 19);
        EXPECT_EQ(in.style(0, row).background, shaded ? CellColour::ButtonFace : CellColour::Window)
            << row;
    }
    EXPECT_FALSE(in.isEditable(1, 0));
    EXPECT_FALSE(AcceptsCharacter(in.style(1, 1).kind, U'x'));
    EXPECT_TRUE(AcceptsCharacter(in.style(1, 1).kind, U'E'));
}

TEST(ParameterTable, SymbolsUnitsAndEditableValues) {
    Tables t = FreshTables();
    const Table& p = t.parameter;
    EXPECT_EQ(p.cell(0, 0), "記号");
    EXPECT_EQ(p.cell(1, 0), "値");
    EXPECT_EQ(p.cell(2, 0), "単位");
    EXPECT_EQ(p.cell(0, param::S), "S");
    EXPECT_EQ(p.cell(2, param::S), "cm^2");
    EXPECT_EQ(p.cell(0, param::Izz), "Izz");
    EXPECT_EQ(p.cell(2, param::Izz), "gcm^2");
    EXPECT_EQ(p.cell(0, param::hnreal), "hnreal");
    EXPECT_EQ(p.cell(2, param::hnreal), "%");
    EXPECT_EQ(p.cell(0, param::CD0), "CD0");
    EXPECT_EQ(p.cell(2, param::CD0), "");
    EXPECT_EQ(p.cell(0, param::Clb_CL), "Clb_CL");
    EXPECT_EQ(p.cell(0, param::Cnr_CD), "Cnr_CD");
    EXPECT_EQ(p.cell(0, param::Cl_iw), "Cl_iw");
    for (int row = 1; row < param::kRows; ++row) {
        EXPECT_EQ(p.cell(1, row), "") << row;
        EXPECT_TRUE(p.isEditable(1, row)) << row;
        EXPECT_EQ(p.style(1, row).kind, ValueKind::Real);
        EXPECT_FALSE(p.isEditable(0, row)) << row;
        EXPECT_FALSE(p.isEditable(2, row)) << row;
    }
}

TEST(MarkerTable, CaptionsUnitsAndValueStyles) {
    Tables t = FreshTables();
    const Table& m = t.marker;
    EXPECT_EQ(m.cell(0, 0), "項目");
    EXPECT_EQ(m.cell(0, 1), "ポイントNo");
    EXPECT_EQ(m.cell(2, 1), "");
    EXPECT_EQ(m.cell(0, 2), "時刻");
    EXPECT_EQ(m.cell(2, 2), "s");
    EXPECT_EQ(m.cell(0, 12), "宙返り半径");
    EXPECT_EQ(m.cell(0, 16), "Φロール角");
    EXPECT_EQ(m.cell(2, 16), "度");
    EXPECT_EQ(m.cell(0, 21), "w縦滑り速度");
    EXPECT_EQ(m.cell(0, 24), "rヨー  角速度");
    EXPECT_EQ(m.cell(2, 24), "rad/s");

    EXPECT_TRUE(m.isEditable(1, 1));
    EXPECT_EQ(m.style(1, 1).kind, ValueKind::WholeNumber);
    EXPECT_TRUE(m.isEditable(1, 2));
    EXPECT_EQ(m.style(1, 2).kind, ValueKind::PositiveReal);
    EXPECT_FALSE(AcceptsCharacter(m.style(1, 2).kind, U'-'));
    for (int row = 1; row < marker::kRows; ++row) {
        EXPECT_EQ(m.style(1, row).align, CellAlign::Right) << row;
        EXPECT_EQ(m.style(1, row).indent, 5) << row;
        EXPECT_EQ(m.cell(1, row), "") << row;
        if (row > 2) {
            EXPECT_FALSE(m.isEditable(1, row)) << row;
        }
        EXPECT_FALSE(m.isEditable(0, row)) << row;
        EXPECT_FALSE(m.isEditable(2, row)) << row;
    }
}

TEST(DesignTable, HeaderCaptionsAndDefaults) {
    Tables t = FreshTables();
    const Table& d = t.design;
    EXPECT_EQ(d.cell(0, 0), "");
    EXPECT_EQ(d.cell(design::MainWing, 0), "主翼");
    EXPECT_EQ(d.cell(design::InnerWing, 0), "主翼内翼");
    EXPECT_EQ(d.cell(design::Fuselage, 0), "胴体");
    EXPECT_EQ(d.cell(design::NoseReinforcement, 0), "機首補強");
    EXPECT_EQ(d.cell(design::Unit, 0), "単位");
    EXPECT_EQ(d.cell(0, design::Type), "形式");
    EXPECT_EQ(d.cell(0, design::PaperThickness), "紙厚さ");
    EXPECT_EQ(d.cell(0, design::GlideSpeed), "滑空速度");

    EXPECT_EQ(d.cell(design::MainWing, design::Type), "1段上反角");
    // Full-width V (U+FF36).
    EXPECT_EQ(d.cell(design::VerticalTail, design::Type), "\xEF\xBC\xB6尾翼");
    EXPECT_EQ(d.cell(design::HorizontalTail, design::TrailingEdge), "楕円");
    EXPECT_EQ(d.cell(design::InnerWing, design::TrailingEdge), "直線");
    EXPECT_EQ(d.cell(design::MainWing, design::PaperThickness), "0.630");
    EXPECT_EQ(d.cell(design::MainWing, design::PaperThick), "0.630");
    EXPECT_EQ(d.cell(design::InnerWing, design::PaperThick), "0.198");
    EXPECT_EQ(d.cell(design::MainWing, design::PaperWeight), "489");
    EXPECT_EQ(d.cell(design::MainWing, design::PaperMass), "450");
    // Half-width katakana ﾋ (U+FF8B), not ヒ.
    EXPECT_EQ(d.cell(design::Fuselage, design::PaperName), "\xEF\xBE\x8B\xEF\xBE\x89\xEF\xBD\xB7"
                                                           "2mm");
    EXPECT_EQ(d.cell(design::InnerWing, design::PaperName), "NB160");
    EXPECT_EQ(d.cell(design::Fuselage, design::CgPosition), "26.817");
    EXPECT_EQ(d.cell(design::Fuselage, design::GlideSpeed), "5");
    EXPECT_EQ(d.cell(design::Fuselage, design::PaintCoats), "2");
    EXPECT_EQ(d.cell(design::HorizontalTail, design::Dihedral), "27.5");
    EXPECT_EQ(d.cell(design::NoseReinforcement, design::Span), "60");
    EXPECT_EQ(d.cell(design::Fuselage, design::Span), "190");
    EXPECT_EQ(d.cell(design::NoseReinforcement, design::PaperWeight), "0");
    EXPECT_EQ(d.cell(design::NoseReinforcement, design::RootChord), "");
    EXPECT_EQ(d.cell(design::InnerWing, design::LowerCamber), "");
    EXPECT_EQ(d.cell(design::Unit, design::Dihedral), "deg");
    EXPECT_EQ(d.cell(design::Unit, design::PaperWeight), "g/m2");
    EXPECT_EQ(d.cell(design::Unit, design::PaperName), "");
    EXPECT_EQ(d.cell(design::Unit, design::GlideSpeed), "m/s");
}

TEST(DesignTable, StyleListOrder) {
    Tables t = FreshTables();
    const auto& s = t.design.styles();
    ASSERT_EQ(s.size(), 6u);
    EXPECT_TRUE(s[design::EditableReal].editable);
    EXPECT_EQ(s[design::EditableReal].kind, ValueKind::Real);
    EXPECT_EQ(s[design::EditableReal].background, CellColour::Window);
    EXPECT_FALSE(s[design::ReadOnlyGrey].editable);
    EXPECT_EQ(s[design::ReadOnlyGrey].background, CellColour::ButtonFace);
    EXPECT_FALSE(s[design::PickCell].editable);
    EXPECT_EQ(s[design::PickCell].background, CellColour::Window);
    EXPECT_FALSE(s[design::Hidden].editable);
    EXPECT_TRUE(s[design::Hidden].hiddenText);
    EXPECT_EQ(s[design::Hidden].background, CellColour::ButtonFace);
    EXPECT_EQ(s[design::CaptionLeft].background, CellColour::ButtonFace);
    EXPECT_EQ(s[design::CaptionLeft].align, CellAlign::Left);
    EXPECT_EQ(s[design::CaptionRight].background, CellColour::ButtonFace);
    EXPECT_EQ(s[design::CaptionRight].align, CellAlign::Right);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i != design::Hidden) {
            EXPECT_FALSE(s[i].hiddenText) << i;
        }
    }
}

TEST(DesignTable, EditableCellsAfterReset) {
    Tables t = FreshTables();
    // Row -> editable columns, as the reset leaves them.
    const std::vector<std::set<int>> editable = {
        {},                 // header
        {},                 // 形式
        {},                 // 前縁平面形
        {},                 // 後縁平面形
        {1, 2, 3, 4, 5, 6}, // 展開長
        {1, 2, 3, 4, 5},    // 翼根翼弦長
        {1, 2, 3, 4, 5},    // 翼端翼弦長
        {1, 2, 3, 4},       // 前縁後退長
        {1, 2, 3, 4},       // 取付位置
        {1, 2, 3, 4},       // 前後位置
        {1, 2, 3},          // 上反角
        {},                 // 紙名称
        {},                 // 紙重さ
        {},                 // 紙厚さ
        {1, 2, 3, 4, 5, 6}, // 紙枚数
        {1, 2, 3, 4, 5, 6}, // 紙質量
        {1, 2, 3, 4, 5, 6}, // 紙厚
        {1, 2, 3, 4},       // エッジ
        {1, 3},             // 下面キャンバ
        {5},                // 塗装回数
        {5},                // 重心位置
        {5},                // 滑空速度
    };
    ASSERT_EQ(editable.size(), static_cast<std::size_t>(design::kRows));
    for (int row = 0; row < design::kRows; ++row) {
        for (int column = 0; column < design::kColumns; ++column) {
            EXPECT_EQ(t.design.isEditable(column, row), editable[row].count(column) == 1)
                << "column " << column << " row " << row;
        }
    }
}

TEST(DesignTable, PickCellsAndCaptionStyles) {
    Tables t = FreshTables();
    const Table& d = t.design;
    std::set<std::pair<int, int>> picks = {{1, 1}, {4, 1}};
    for (int column = 1; column <= 4; ++column) {
        picks.insert({column, 2});
        picks.insert({column, 3});
    }
    for (int column = 1; column <= 6; ++column)
        picks.insert({column, 11});
    for (int row = 1; row < design::kRows; ++row) {
        for (int column = 1; column < design::kColumns; ++column) {
            EXPECT_EQ(d.styleIndex(column, row) == design::PickCell,
                      picks.count({column, row}) == 1)
                << "column " << column << " row " << row;
        }
    }
    EXPECT_EQ(d.styleIndex(0, design::PaperName), design::CaptionLeft);
    EXPECT_EQ(d.styleIndex(0, design::PaperWeight), design::CaptionRight);
    EXPECT_EQ(d.styleIndex(0, design::PaperThickness), design::CaptionRight);
    EXPECT_EQ(d.styleIndex(0, design::SheetCount), design::CaptionRight);
    EXPECT_NE(d.styleIndex(0, design::PaperMass), design::CaptionRight);
    EXPECT_EQ(d.styleIndex(design::Unit, design::SheetCount), design::ReadOnlyGrey);
    EXPECT_EQ(d.styleIndex(design::NoseReinforcement, design::RootChord), design::ReadOnlyGrey);
}

TEST(ComputedTable, ReadOnlyGreyWithCaptionsAndUnits) {
    Tables t = FreshTables();
    const Table& c = t.computed;
    EXPECT_EQ(c.cell(1, 0), "主翼");
    EXPECT_EQ(c.cell(2, 0), "水平尾翼");
    EXPECT_EQ(c.cell(5, 0), "全体");
    EXPECT_EQ(c.cell(6, 0), "単位");
    EXPECT_EQ(c.cell(0, 4), "有効面積");
    EXPECT_EQ(c.cell(6, 4), "cm2");
    EXPECT_EQ(c.cell(0, 12), "前縁-空力中心(x)");
    EXPECT_EQ(c.cell(0, 15), "翼根-質量中心(z)");
    EXPECT_EQ(c.cell(6, 17), "/rad");
    EXPECT_EQ(c.cell(0, 21), "重心");
    EXPECT_EQ(c.cell(6, 21), "%");
    EXPECT_EQ(c.cell(0, 24), "滑空速度");
    EXPECT_EQ(c.cell(6, 24), "m/s");
    ASSERT_EQ(c.styles().size(), 1u);
    for (int row = 0; row < computed::kRows; ++row) {
        for (int column = 0; column < computed::kColumns; ++column) {
            EXPECT_FALSE(c.isEditable(column, row));
            EXPECT_EQ(c.style(column, row).background, CellColour::ButtonFace);
        }
    }
}

TEST(TableReset, RestoresInputButKeepsComputedValues) {
    Tables t = FreshTables();
    t.input.setCell(1, input::WindSpeed, "9");
    t.input.setCell(2, input::Mass, "kg");
    t.parameter.setCell(1, param::CLa, "4.5");
    t.marker.setCell(1, 2, "1.25");
    t.computed.setCell(1, 1, "3.2");
    t.design.setCell(design::MainWing, design::Span, "999");
    t.design.setCell(design::InnerWing, design::Type, "kept");
    ResetTables(t);
    EXPECT_EQ(t.input.cell(1, input::WindSpeed), "0");
    EXPECT_EQ(t.input.cell(2, input::Mass), "g");
    EXPECT_EQ(t.parameter.cell(1, param::CLa), "4.5");
    EXPECT_EQ(t.marker.cell(1, 2), "1.25");
    EXPECT_EQ(t.computed.cell(1, 1), "3.2");
    EXPECT_EQ(t.design.cell(design::MainWing, design::Span), "170");
    // Cells without a default are not written by the reset.
    EXPECT_EQ(t.design.cell(design::InnerWing, design::Type), "kept");
}

TEST(TableReset, ClearAllTablesEmptiesEveryCell) {
    Tables t = FreshTables();
    t.parameter.setCell(1, 1, "x");
    ClearAllTables(t);
    for (const Table* table : {&t.input, &t.parameter, &t.marker, &t.design, &t.computed}) {
        for (int row = 0; row < table->rowCount(); ++row) {
            for (int column = 0; column < table->columnCount(); ++column)
                EXPECT_EQ(table->cell(column, row), "") << column << "," << row;
        }
    }
    // The styles stay; the reset command follows with a reset anyway.
    EXPECT_TRUE(t.input.isEditable(1, 1));
}
