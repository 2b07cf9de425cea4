#include "model/design_rules.h"

#include "data/numtext.h"
#include "data/tables.h"

#include <array>

namespace skarvel::model {
namespace {

using namespace data::design;

constexpr std::array<std::string_view, 4> kEdgeShapes = {"直線", "放物線", "楕円", "正弦"};
constexpr std::array<std::string_view, 2> kDihedralTypes = {"1段上反角", "2段上反角"};
constexpr std::array<std::string_view, 3> kTailTypes = {"通常尾翼", "双垂直尾翼", "Ｖ尾翼"};

// Digits of the numbers a paper choice writes, without padding zeros.
constexpr int kPaperDigits = 4;

std::string Formatted(double value) {
    return data::FormatSignificant(kPaperDigits, true, value);
}

// Whether a cell still holds `expected`, the value this program would have
// written there: equal as numbers, or equal to that value as written (so a
// product such as 0.291 x 3 matches the "0.873" it was stored as).
bool HoldsValue(const std::string& cell, double expected) {
    double current = 0;
    if (!data::TryParseRealStrict(cell, current))
        return false;
    if (current == expected)
        return true;
    double written = 0;
    return data::TryParseRealStrict(Formatted(expected), written) && current == written;
}

// The style of every design cell right after the table reset. Assigning it
// back to a cell restores exactly what the reset left there, including the
// cell-level styles the reset assigns itself.
const data::Table& ResetDesignTable() {
    static const data::Table table = [] {
        data::Tables tables;
        data::ResetTables(tables);
        return tables.design;
    }();
    return table;
}

void SetDefaultState(data::Table& design, int column, int row) {
    design.assignCellStyle(column, row, ResetDesignTable().styleIndex(column, row));
}

} // namespace

std::span<const std::string_view> PickListItems(PickList list) {
    switch (list) {
    case PickList::EdgeShape:
        return kEdgeShapes;
    case PickList::DihedralType:
        return kDihedralTypes;
    case PickList::TailType:
        return kTailTypes;
    }
    return {};
}

std::optional<PickList> PickListFor(int column, int row) {
    if ((row == LeadingEdge || row == TrailingEdge) && column >= MainWing && column <= VerticalTail)
        return PickList::EdgeShape;
    if (row == Type && column == MainWing)
        return PickList::DihedralType;
    if (row == Type && column == VerticalTail)
        return PickList::TailType;
    return std::nullopt;
}

std::optional<std::size_t> PickListSelection(PickList list, std::string_view text) {
    std::span<const std::string_view> items = PickListItems(list);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text)
            return i;
    }
    return std::nullopt;
}

bool ApplyPickListChoice(data::Table& design, int column, int row,
                         std::optional<std::size_t> item) {
    std::optional<PickList> list = PickListFor(column, row);
    if (!list || !item)
        return false;
    std::span<const std::string_view> items = PickListItems(*list);
    if (*item >= items.size())
        return false;
    design.setCell(column, row, std::string(items[*item]));
    return true;
}

bool IsPaperCell(int column, int row) {
    return row == PaperName && column >= MainWing && column <= NoseReinforcement;
}

void ApplyPaperChoice(data::Table& design, int column, const std::string& name,
                      const std::string& weight, const std::string& thickness) {
    if (column < MainWing || column > NoseReinforcement)
        return;
    // Sheet counts are design cells and read as such: empty counts as 0.
    double sheets = data::ParseReal(design.cell(column, SheetCount));
    double newWeight = 0;
    if (!data::TryParseRealStrict(weight, newWeight))
        return;
    design.setCell(column, PaperMass, Formatted(newWeight * sheets));

    double newThickness = 0;
    if (!data::TryParseRealStrict(thickness, newThickness))
        return;
    // A previous thickness that is no number matches no stack height: the
    // user's own "紙厚" and "エッジ" then stay.
    double oldThickness = 0;
    if (data::TryParseRealStrict(design.cell(column, PaperThickness), oldThickness)) {
        double oldStack = oldThickness * sheets;
        std::string newStack = Formatted(newThickness * sheets);
        if (HoldsValue(design.cell(column, PaperThick), oldStack))
            design.setCell(column, PaperThick, newStack);
        // 胴体 and 機首補強 have no edge: their "エッジ" cell is not design data.
        if (column <= VerticalTail && HoldsValue(design.cell(column, Edge), oldStack))
            design.setCell(column, Edge, newStack);
    }
    design.setCell(column, PaperName, name);
    design.setCell(column, PaperWeight, weight);
    design.setCell(column, PaperThickness, thickness);
}

void ApplyDesignCellStates(data::Table& design, DihedralType dihedral, TailType tail) {
    if (dihedral == DihedralType::TwoStage) {
        // The main wing's root chord shows the junction chord; its mount
        // comes from the inner wing.
        design.assignCellStyle(MainWing, RootChord, ReadOnlyGrey);
        design.assignCellStyle(MainWing, MountHeight, Hidden);
        design.assignCellStyle(MainWing, ForeAft, Hidden);
        design.assignCellStyle(InnerWing, LeadingEdge, PickCell);
        design.assignCellStyle(InnerWing, TrailingEdge, PickCell);
        for (int row = RootChord; row <= Dihedral; ++row)
            SetDefaultState(design, InnerWing, row);
    } else {
        for (int row : {RootChord, MountHeight, ForeAft})
            SetDefaultState(design, MainWing, row);
        design.assignCellStyle(InnerWing, LeadingEdge, Hidden);
        design.assignCellStyle(InnerWing, TrailingEdge, Hidden);
        for (int row = RootChord; row <= Dihedral; ++row)
            design.assignCellStyle(InnerWing, row, Hidden);
        // A "-" mount has no value of its own; the inner wing's, which the
        // one-stage wing no longer shows, stands in for it.
        for (int row : {MountHeight, ForeAft}) {
            if (design.cell(MainWing, row) == "-")
                design.setCell(MainWing, row, design.cell(InnerWing, row));
        }
    }

    if (tail == TailType::VTail) {
        for (int row = LeadingEdge; row < kRows; ++row)
            design.assignCellStyle(VerticalTail, row, Hidden);
    } else {
        design.assignCellStyle(VerticalTail, LeadingEdge, PickCell);
        design.assignCellStyle(VerticalTail, TrailingEdge, PickCell);
        for (int row = Span; row < kRows; ++row)
            SetDefaultState(design, VerticalTail, row);
        // A fin stands upright: its dihedral is not the user's to set.
        design.assignCellStyle(VerticalTail, Dihedral, ReadOnlyGrey);
    }
}

} // namespace skarvel::model
