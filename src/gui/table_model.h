#pragma once
// The item model of the data tables on screen: a thin model over a workspace
// table (no copy of its cells) that writes edits through its owner.

#include "data/table.h"

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace skarvel::gui {

// The left indent of a cell's text in pixels (int), for the cell painter.
inline constexpr int kIndentRole = Qt::UserRole;

// How a cell of that style aligns its text.
Qt::Alignment AlignmentOf(const data::CellStyle& style);

// Writes a cell the user typed: (table column, table row, text). The window
// passes it on to the workspace, which owns the table.
using CellWriter = std::function<void(int column, int row, const std::string& text)>;

// A writer straight into a table the caller owns (tests, dialogs).
CellWriter WriteInto(data::Table& table);

// Shows a data::Table. Row 0 of the table is the view's horizontal header;
// with fixed columns, table column 0 is the vertical header (the captions)
// and the view's column c is table column c + 1.
class TableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    TableModel(const data::Table& table, CellWriter writer, QObject* parent = nullptr);

    const data::Table& table() const { return table_; }
    // 1 when table column 0 is shown as the vertical header, else 0.
    int columnOffset() const { return table_.fixedColumns() > 0 ? 1 : 0; }
    // Table cell of a view index.
    int tableColumn(const QModelIndex& index) const;
    int tableRow(const QModelIndex& index) const;
    QModelIndex indexOf(int tableColumn, int tableRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // The table changed behind the view's back (a computation wrote it):
    // the cells and header sections whose text or style differ from what
    // the model last reported are reported changed, and only those.
    void refresh();

  private:
    // A cell as last reported to the views.
    struct Shown {
        std::string text;
        QString shownText; // `text` converted once
        data::CellStyle style;
    };
    // Compares table cell (column, row) with what was last reported and
    // takes it over; true when it differs.
    bool takeChanged(int column, int row);
    std::size_t shownIndex(int column, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(table_.columnCount()) +
               static_cast<std::size_t>(column);
    }
    QString text(int column, int row) const;
    void takeAll();

    const data::Table& table_;
    CellWriter writer_;
    std::vector<Shown> shown_; // row by row, the whole table with headers
};

} // namespace skarvel::gui
