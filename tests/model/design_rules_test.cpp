#include "model/design_rules.h"

#include "data/tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace skarvel::model;
using namespace skarvel::data::design;
using skarvel::data::Table;

namespace {

Table ResetDesign() {
    skarvel::data::Tables tables;
    skarvel::data::ResetTables(tables);
    return tables.design;
}

// The default design after a recomputation: one-stage wing, V tail.
Table DefaultDesign() {
    Table design = ResetDesign();
    ApplyDesignCellStates(design, DihedralType::OneStage, TailType::VTail);
    return design;
}

using Cells = std::set<std::pair<int, int>>;

Cells CellsWhere(const Table& design, bool (*test)(const Table&, int, int)) {
    Cells cells;
    for (int row = 1; row < kRows; ++row) {
        for (int column = MainWing; column <= NoseReinforcement; ++column) {
            if (test(design, column, row))
                cells.insert({column, row});
        }
    }
    return cells;
}

Cells EditableCells(const Table& design) {
    return CellsWhere(design, [](const Table& t, int c, int r) { return t.isEditable(c, r); });
}

Cells HiddenCells(const Table& design) {
    return CellsWhere(design, [](const Table& t, int c, int r) {
        return t.styleIndex(c, r) == Hidden && t.style(c, r).hiddenText;
    });
}

Cells PickCells(const Table& design) {
    return CellsWhere(design,
                      [](const Table& t, int c, int r) { return t.styleIndex(c, r) == PickCell; });
}

// Rows `rows` of the columns first..last.
Cells Block(std::initializer_list<int> rows, int first, int last) {
    Cells cells;
    for (int row : rows) {
        for (int column = first; column <= last; ++column)
            cells.insert({column, row});
    }
    return cells;
}

Cells Union(std::initializer_list<Cells> parts) {
    Cells all;
    for (const Cells& part : parts)
        all.insert(part.begin(), part.end());
    return all;
}

Cells Minus(Cells cells, const Cells& removed) {
    for (auto cell : removed)
        cells.erase(cell);
    return cells;
}

// Editable cells as the table reset leaves them, row by row.
Cells EditableAfterReset() {
    return Union({Block({4}, 1, 6), Block({5, 6}, 1, 5), Block({7, 8, 9}, 1, 4), Block({10}, 1, 3),
                  Block({14, 15, 16}, 1, 6), Block({17}, 1, 4), Block({18}, 1, 1),
                  Block({18}, 3, 3), Block({19, 20, 21}, 5, 5)});
}

std::vector<int> StyleIndices(const Table& design) {
    std::vector<int> styles;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column)
            styles.push_back(design.styleIndex(column, row));
    }
    return styles;
}

} // namespace

// --- Pick lists ----------------------------------------------------------------

TEST(PickLists, ItemsCellsAndSelection) {
    auto items = [](PickList list) {
        auto span = PickListItems(list);
        return std::vector<std::string>(span.begin(), span.end());
    };
    EXPECT_EQ(items(PickList::EdgeShape),
              (std::vector<std::string>{"直線", "放物線", "楕円", "正弦"}));
    EXPECT_EQ(items(PickList::DihedralType), (std::vector<std::string>{"1段上反角", "2段上反角"}));
    EXPECT_EQ(items(PickList::TailType),
              (std::vector<std::string>{"通常尾翼", "双垂直尾翼", "Ｖ尾翼"}));
    for (int row = -1; row <= kRows; ++row) {
        for (int column = -1; column <= kColumns; ++column) {
            std::optional<PickList> expected;
            if ((row == 2 || row == 3) && column >= 1 && column <= 4)
                expected = PickList::EdgeShape;
            else if (row == 1 && column == 1)
                expected = PickList::DihedralType;
            else if (row == 1 && column == 4)
                expected = PickList::TailType;
            EXPECT_EQ(PickListFor(column, row), expected) << column << "," << row;
            EXPECT_EQ(IsPaperCell(column, row), row == 11 && column >= 1 && column <= 6);
        }
    }
    EXPECT_EQ(PickListSelection(PickList::EdgeShape, "直線"), 0u);
    EXPECT_EQ(PickListSelection(PickList::EdgeShape, "正弦"), 3u);
    EXPECT_EQ(PickListSelection(PickList::DihedralType, "2段上反角"), 1u);
    EXPECT_EQ(PickListSelection(PickList::TailType, "Ｖ尾翼"), 2u);
    for (const char* text : {"直線 ", "台形", "", "V尾翼", "1段上反角"})
        EXPECT_EQ(PickListSelection(PickList::TailType, text), std::nullopt) << text;
}

TEST(PickLists, ChoiceWritesTheItemOrNothing) {
    Table design = ResetDesign();
    EXPECT_TRUE(ApplyPickListChoice(design, HorizontalTail, TrailingEdge, 3));
    EXPECT_EQ(design.cell(HorizontalTail, TrailingEdge), "正弦");
    EXPECT_TRUE(ApplyPickListChoice(design, VerticalTail, Type, 1));
    EXPECT_EQ(design.cell(VerticalTail, Type), "双垂直尾翼");
    // No item selected (opened over an unknown name), an index past the
    // list, or a cell that opens no list: the cell stays.
    design.setCell(MainWing, LeadingEdge, "台形");
    EXPECT_FALSE(ApplyPickListChoice(design, MainWing, LeadingEdge, std::nullopt));
    EXPECT_FALSE(ApplyPickListChoice(design, MainWing, LeadingEdge, 4));
    EXPECT_EQ(design.cell(MainWing, LeadingEdge), "台形");
    EXPECT_FALSE(ApplyPickListChoice(design, Fuselage, LeadingEdge, 0));
    EXPECT_FALSE(ApplyPickListChoice(design, MainWing, Span, 0));
    EXPECT_EQ(design.cell(Fuselage, LeadingEdge), "");
    EXPECT_EQ(design.cell(MainWing, Span), "170");
}

// --- Paper choice --------------------------------------------------------------

namespace {

// Sets a component's sheets, paper thickness, stack ("紙厚") and edge.
void SetPaper(Table& design, int column, const char* sheets, const char* thickness,
              const char* stack, const char* edge) {
    design.setCell(column, SheetCount, sheets);
    design.setCell(column, PaperThickness, thickness);
    design.setCell(column, PaperThick, stack);
    design.setCell(column, Edge, edge);
}

} // namespace

TEST(PaperChoice, MassAndTheStacksThatFollowThePaper) {
    Table design = ResetDesign();
    ApplyPaperChoice(design, MainWing, "NB160", "186", "0.198");
    EXPECT_EQ(design.cell(MainWing, PaperName), "NB160");
    EXPECT_EQ(design.cell(MainWing, PaperWeight), "186");
    EXPECT_EQ(design.cell(MainWing, PaperThickness), "0.198");
    EXPECT_EQ(design.cell(MainWing, PaperMass), "186");
    EXPECT_EQ(design.cell(MainWing, PaperThick), "0.198"); // "0.630" is 0.63 x 1
    EXPECT_EQ(design.cell(MainWing, Edge), "0.1");         // the user's own edge

    // 2 sheets of 0.2 mm: a stack of 0.4 follows the paper, one of 0.5 stays.
    SetPaper(design, MainWing, "2", "0.2", "0.4", "0.4");
    SetPaper(design, HorizontalTail, "2", "0.2", "0.5", "0.4");
    ApplyPaperChoice(design, MainWing, "A", "100", "0.3");
    ApplyPaperChoice(design, HorizontalTail, "A", "100", "0.3");
    EXPECT_EQ(design.cell(MainWing, PaperMass), "200");
    EXPECT_EQ(design.cell(MainWing, PaperThick), "0.6");
    EXPECT_EQ(design.cell(MainWing, Edge), "0.6");
    EXPECT_EQ(design.cell(HorizontalTail, PaperThick), "0.5");
    EXPECT_EQ(design.cell(HorizontalTail, Edge), "0.6");

    // 0.198 x 3 is not exactly 0.594 in binary, but "0.594" is what this
    // program writes for it; 0.5945 is the user's.
    SetPaper(design, VerticalTail, "3", "0.198", "0.594", "0.5945");
    ApplyPaperChoice(design, VerticalTail, "X", "123.456", "0.1234");
    EXPECT_EQ(design.cell(VerticalTail, PaperMass), "370.4"); // 4 significant digits
    EXPECT_EQ(design.cell(VerticalTail, PaperThick), "0.3702");
    EXPECT_EQ(design.cell(VerticalTail, Edge), "0.5945");

    // Cancel passes the old texts back: 紙質量 450 becomes 489 x 1.
    design = ResetDesign();
    ApplyPaperChoice(design, MainWing, "板目青", "489", "0.630");
    EXPECT_EQ(design.cell(MainWing, PaperMass), "489");
    EXPECT_EQ(design.cell(MainWing, PaperThick), "0.63");
    EXPECT_EQ(design.cell(MainWing, PaperThickness), "0.630");
}

TEST(PaperChoice, ANonNumberStopsTheUpdate) {
    Table design = ResetDesign();
    const Table before = design;
    ApplyPaperChoice(design, MainWing, "P", "重い", "0.2");
    for (int row = 1; row < kRows; ++row)
        EXPECT_EQ(design.cell(MainWing, row), before.cell(MainWing, row)) << row;

    ApplyPaperChoice(design, MainWing, "P", "100", "0.2mm");
    EXPECT_EQ(design.cell(MainWing, PaperMass), "100");
    EXPECT_EQ(design.cell(MainWing, PaperThick), "0.630");
    EXPECT_EQ(design.cell(MainWing, PaperName), "板目青");

    // A previous thickness that is no number: the stacks stay, the texts go in.
    SetPaper(design, MainWing, "1", "?", "0", "0");
    ApplyPaperChoice(design, MainWing, "P", "100", "0.2");
    EXPECT_EQ(design.cell(MainWing, PaperThick), "0");
    EXPECT_EQ(design.cell(MainWing, Edge), "0");
    EXPECT_EQ(design.cell(MainWing, PaperName), "P");
    EXPECT_EQ(design.cell(MainWing, PaperThickness), "0.2");
}

TEST(PaperChoice, FuselageAndNoseHaveNoEdge) {
    Table design = ResetDesign();
    ApplyPaperChoice(design, Fuselage, "ﾋﾉｷ1mm", "400", "1");
    EXPECT_EQ(design.cell(Fuselage, PaperMass), "400");
    EXPECT_EQ(design.cell(Fuselage, PaperThick), "1");
    EXPECT_EQ(design.cell(Fuselage, Edge), "");
    EXPECT_EQ(design.cell(Fuselage, PaperName), "ﾋﾉｷ1mm");
    // No sheets: everything stacks to 0 and the texts are still taken.
    design.setCell(NoseReinforcement, Edge, "0");
    ApplyPaperChoice(design, NoseReinforcement, "KMK250", "265", "0.291");
    EXPECT_EQ(design.cell(NoseReinforcement, PaperMass), "0");
    EXPECT_EQ(design.cell(NoseReinforcement, PaperThick), "0");
    EXPECT_EQ(design.cell(NoseReinforcement, Edge), "0");
    EXPECT_EQ(design.cell(NoseReinforcement, PaperName), "KMK250");
    // Not a component column: nothing to do.
    const Table before = design;
    ApplyPaperChoice(design, Unit, "x", "1", "1");
    ApplyPaperChoice(design, 0, "x", "1", "1");
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column)
            EXPECT_EQ(design.cell(column, row), before.cell(column, row));
    }
}

// --- Cell states ---------------------------------------------------------------

TEST(CellStates, ResetAndDefaultDesign) {
    Table reset = ResetDesign();
    ASSERT_EQ(EditableCells(reset), EditableAfterReset());

    Table design = DefaultDesign();
    Cells hidden = Union(
        {Block({2, 3, 5, 6, 7, 8, 9, 10}, 2, 2),
         Block({2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}, 4, 4)});
    EXPECT_EQ(HiddenCells(design), hidden);
    EXPECT_EQ(EditableCells(design), Minus(EditableAfterReset(), hidden));
    EXPECT_EQ(PickCells(design),
              Union({Block({1}, 1, 1), Block({1}, 4, 4), Block({2, 3}, 1, 1), Block({2, 3}, 3, 3),
                     Block({11}, 1, 3), Block({11}, 5, 6)}));
}

TEST(CellStates, TwoStageWingWithNormalTail) {
    Table design = DefaultDesign();
    design.setCell(MainWing, MountHeight, "-");
    ApplyDesignCellStates(design, DihedralType::TwoStage, TailType::Normal);
    EXPECT_EQ(design.styleIndex(MainWing, RootChord), ReadOnlyGrey);
    EXPECT_EQ(HiddenCells(design), Block({8, 9}, 1, 1));
    EXPECT_EQ(design.cell(MainWing, MountHeight), "-") << "only a one-stage wing fills it";
    Cells pick = PickCells(design);
    for (auto cell : Union({Block({2, 3}, 1, 4), Block({1}, 1, 1), Block({1}, 4, 4)}))
        EXPECT_TRUE(pick.count(cell)) << cell.first << "," << cell.second;
    // The inner wing's geometry and the fin's rows are back to the reset
    // states, except that the fin's dihedral is only shown.
    Cells editable = Minus(EditableAfterReset(), Block({5, 8, 9}, 1, 1));
    EXPECT_EQ(EditableCells(design), editable);
    EXPECT_EQ(design.styleIndex(VerticalTail, Dihedral), ReadOnlyGrey);
    EXPECT_FALSE(design.style(VerticalTail, Dihedral).hiddenText);
}

TEST(CellStates, EveryNonVTailLooksTheSame) {
    Table normal = DefaultDesign();
    ApplyDesignCellStates(normal, DihedralType::OneStage, TailType::Normal);
    for (TailType tail : {TailType::TwinFin, TailType::Canard}) {
        Table other = DefaultDesign();
        ApplyDesignCellStates(other, DihedralType::OneStage, tail);
        EXPECT_EQ(StyleIndices(other), StyleIndices(normal));
    }
    EXPECT_EQ(EditableCells(normal), Minus(EditableAfterReset(), Block({5, 6, 7, 8, 9, 10}, 2, 2)));
}

TEST(CellStates, SwitchingBackRestoresTheResetStates) {
    Table switched = DefaultDesign();
    ApplyDesignCellStates(switched, DihedralType::TwoStage, TailType::TwinFin);
    ApplyDesignCellStates(switched, DihedralType::OneStage, TailType::VTail);
    EXPECT_EQ(StyleIndices(switched), StyleIndices(DefaultDesign()));

    // Two-stage and normal tail applied to a freshly reset table leaves the
    // same states as reaching them from the default design.
    Table fresh = ResetDesign();
    ApplyDesignCellStates(fresh, DihedralType::TwoStage, TailType::Normal);
    ApplyDesignCellStates(switched, DihedralType::TwoStage, TailType::Normal);
    EXPECT_EQ(StyleIndices(switched), StyleIndices(fresh));
    // The header, captions and unit column are never touched.
    Table reset = ResetDesign();
    for (int row = 0; row < kRows; ++row) {
        for (int column : {0, 5, 6, 7})
            EXPECT_EQ(fresh.styleIndex(column, row), reset.styleIndex(column, row));
    }
}

TEST(CellStates, OneStageWingTakesTheInnerMountForADash) {
    Table design = ResetDesign();
    design.setCell(MainWing, MountHeight, "-");
    design.setCell(MainWing, ForeAft, "-");
    design.setCell(InnerWing, MountHeight, "3");
    design.setCell(InnerWing, ForeAft, "28.5");
    ApplyDesignCellStates(design, DihedralType::OneStage, TailType::VTail);
    EXPECT_EQ(design.cell(MainWing, MountHeight), "3");
    EXPECT_EQ(design.cell(MainWing, ForeAft), "28.5");

    design.setCell(MainWing, MountHeight, "- ");
    design.setCell(MainWing, ForeAft, "");
    design.setCell(MainWing, RootChord, "-");
    ApplyDesignCellStates(design, DihedralType::OneStage, TailType::VTail);
    EXPECT_EQ(design.cell(MainWing, MountHeight), "- ");
    EXPECT_EQ(design.cell(MainWing, ForeAft), "");
    EXPECT_EQ(design.cell(MainWing, RootChord), "-");
}
