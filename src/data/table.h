#pragma once
// A grid of text cells with an ordered list of cell styles. Cells are
// addressed (column, row) from 0; row 0 is the header row.

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skarvel::data {

// Which characters a cell accepts while the user types into it.
enum class ValueKind { Real, Text };

// Colour roles; the window resolves them from its palette.
enum class CellColour { Window, ButtonFace };

enum class CellAlign { Left, Right, Center };

struct CellStyle {
    friend bool operator==(const CellStyle&, const CellStyle&) = default;
    bool editable = false;
    ValueKind kind = ValueKind::Text;
    CellColour background = CellColour::Window;
    CellAlign align = CellAlign::Left;
    int indent = 0;
    // The text is drawn in the background colour: the cell shows nothing.
    bool hiddenText = false;
};

// True when `ch` (a Unicode code point) may be typed into a cell of that kind.
// Control characters (below U+0020 and U+007F) are always let through.
bool AcceptsCharacter(ValueKind kind, char32_t ch);

class Table {
  public:
    Table(int columns, int rows, int fixedColumns = 0);

    int columnCount() const { return columns_; }
    int rowCount() const { return rows_; }
    // Columns at the left that do not scroll (the caption column); never editable.
    int fixedColumns() const { return fixedColumns_; }

    // Empty text for a cell outside the table.
    const std::string& cell(int column, int row) const;
    // Writes a cell; ignored outside the table.
    void setCell(int column, int row, std::string text);
    void clearCells();

    int columnWidth(int column) const;
    void setColumnWidth(int column, int pixels);

    // The style list. Index 0 is the style of every cell nothing else claims.
    void setStyles(std::vector<CellStyle> styles);
    const std::vector<CellStyle>& styles() const { return styles_; }
    void assignCellStyle(int column, int row, int style);
    void assignRowStyle(int row, int style);
    void assignColumnStyle(int column, int style);
    void clearStyleAssignments();

    // Everything about the cells but their texts: the styles, their
    // assignments and the column widths.
    struct Styling {
        std::vector<int> widths;
        std::vector<CellStyle> styles;
        std::map<std::pair<int, int>, int> cellStyles;
        std::map<int, int> rowStyles;
        std::map<int, int> columnStyles;
        friend bool operator==(const Styling&, const Styling&) = default;
    };
    Styling styling() const;
    void setStyling(Styling styling);

    // Resolved style index: cell, else row, else column, else 0.
    int styleIndex(int column, int row) const;
    const CellStyle& style(int column, int row) const;
    // The resolved style is editable and the cell is not a header or fixed cell.
    bool isEditable(int column, int row) const;

  private:
    bool inside(int column, int row) const;

    int columns_;
    int rows_;
    int fixedColumns_;
    std::vector<std::string> cells_;
    std::vector<int> widths_;
    std::vector<CellStyle> styles_;
    std::map<std::pair<int, int>, int> cellStyles_;
    std::map<int, int> rowStyles_;
    std::map<int, int> columnStyles_;
};

} // namespace skarvel::data
