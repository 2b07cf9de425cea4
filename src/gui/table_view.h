#pragma once
// The data tables on screen: a view that edits a workspace table through
// its model (gui/table_model.h) with the table's rules.

#include "gui/table_model.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPair>
#include <QSize>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace skarvel::gui {

// Edits cells with the value kind's accepted characters, tells its owner how
// each edit ended, and writes an edit confirmed with Enter into every other
// editable cell of a selected block when block editing is on.
class TableView : public QTableView {
    Q_OBJECT
  public:
    TableView(const data::Table& table, CellWriter writer, QWidget* parent = nullptr);

    TableModel* tableModel() const { return model_; }
    void setBlockEditing(bool on) { blockEditing_ = on; }
    // Where a block is written in one go (one edit of its owner); without
    // it, each cell goes through the cell writer.
    using BlockWriter =
        std::function<void(const std::vector<std::pair<int, int>>& cells, const std::string& text)>;
    void setBlockWriter(BlockWriter writer) { blockWriter_ = std::move(writer); }
    bool blockEditing() const { return blockEditing_; }
    // Column widths and 16-pixel rows from the table; a column is widened
    // where the font in use needs more room for its texts or a 7-character
    // number, never made narrower than the table's own width.
    void applyGeometry();
    // Texts a column may come to hold (the items of a pick list): it is made
    // wide enough to show them whole.
    void reserveWidth(int tableColumn, const QStringList& texts);
    // Ends an open cell editor exactly as leaving the cell would: its text is
    // written and the edit reported as not ended with Enter. True if one was open.
    bool commitOpenEditor();
    // Closes an open cell editor without writing what it holds, as Esc in
    // it does. False when none was open.
    bool cancelOpenEditor();
    // The editor open in the current cell; none.
    QWidget* openEditor() const;
    bool editing() const { return state() == QAbstractItemView::EditingState; }
    // The width that shows every column without a horizontal scroll bar.
    int fullWidth() const;
    // On (the default), a cell drawn on screen is kept as a picture and
    // drawn again from it until what it shows changes; off, every paint
    // draws every cell anew. What is drawn is the same either way.
    void setCellPictures(bool on);
    bool cellPictures() const { return cellPictures_; }

  Q_SIGNALS:
    // After the edit of table cell (column, row) has been written: whether it
    // was ended with the Enter key, and whether it changed the text of that
    // cell or of a block cell written with it. Delivered after the editor has
    // closed. Esc ends an edit without this signal.
    void editFinished(int column, int row, bool withEnter, bool changed);
    // Text being typed into a cell, on every change (the launch preview).
    void textEdited(int column, int row, const QString& text);
    // A double click, or Enter or Space on a cell not being edited: the cell
    // may open a chooser.
    void chooseRequested(int column, int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    friend class CellDelegate;
    int neededWidth(int tableColumn) const;
    void finishEdit(const QModelIndex& index, const QString& before, const QString& after,
                    bool withEnter);
    // Writes `text` into the other editable cells of the selected block when
    // the selection is one rectangle holding `edited`; true if a cell changed.
    bool writeBlock(const QModelIndex& edited, const QString& text);

    // A cell as last drawn: what its drawing depends on, and the picture.
    struct CellPicture {
        QString text;
        QFont font;
        qint64 palette = 0;
        QColor background;
        unsigned alignment = 0;
        unsigned state = 0;
        unsigned features = 0;
        int direction = 0;
        int indent = 0;
        QSize size;
        QImage::Format format = QImage::Format_Invalid;
        QImage image;           // null: not kept
        bool drawnAnew = false; // at its last paint
    };

    TableModel* model_;
    bool blockEditing_ = false;
    BlockWriter blockWriter_;
    bool cellPictures_ = true;
    QHash<int, std::vector<std::string>> reserved_;
    QHash<QPair<int, int>, CellPicture> pictures_; // by view row and column
};

} // namespace skarvel::gui
