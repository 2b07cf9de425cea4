#pragma once
// Editing rules of the design table, without widgets: which cell opens which
// pick list, how a choice is written back, how a paper choice updates the
// paper rows, and how the cell states follow the dihedral and tail types.

#include "data/table.h"
#include "model/design_data.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace skarvel::model {

enum class PickList { EdgeShape, DihedralType, TailType };

// The list's items in the order the list shows them.
std::span<const std::string_view> PickListItems(PickList list);

// The list a design cell opens: edge shapes for the "前縁平面形" and
// "後縁平面形" rows of 主翼 to 垂直尾翼, the dihedral type for 主翼's
// "形式", the tail type for 垂直尾翼's "形式"; none for any other cell.
std::optional<PickList> PickListFor(int column, int row);

// The item shown selected when the list opens over a cell holding `text`:
// the one equal to it, none when no item is.
std::optional<std::size_t> PickListSelection(PickList list, std::string_view text);

// Writes the chosen item into the cell. Nothing happens, and false is
// returned, when no item is chosen or the cell opens no list; the caller
// converts the design only on true.
bool ApplyPickListChoice(data::Table& design, int column, int row, std::optional<std::size_t> item);

// Cells that open the paper dialog: row "紙名称" of 主翼 to 機首補強.
bool IsPaperCell(int column, int row);

// Applies the paper dialog's result (OK or Cancel alike) to a component
// column: "紙質量" := weight x sheets; "紙厚" and "エッジ", where they still
// equal the previous thickness x sheets, := thickness x sheets; then the
// name, weight and thickness texts. A weight or thickness that is not a
// number stops the update where it is needed, keeping what was written.
void ApplyPaperChoice(data::Table& design, int column, const std::string& name,
                      const std::string& weight, const std::string& thickness);

// Sets the cell states that depend on the wing's dihedral type and the tail
// type, and fills a one-stage main wing's "-" mount cells from the inner
// wing. A cell returned to its default state gets the style the table reset
// gives it.
void ApplyDesignCellStates(data::Table& design, DihedralType dihedral, TailType tail);

} // namespace skarvel::model
