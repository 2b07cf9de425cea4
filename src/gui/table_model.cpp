#include "gui/table_model.h"

#include "view/table_cells.h"

#include <QApplication>
#include <QPalette>

#include <algorithm>

namespace skarvel::gui {

Qt::Alignment AlignmentOf(const data::CellStyle& style) {
    switch (style.align) {
    case data::CellAlign::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case data::CellAlign::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case data::CellAlign::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

CellWriter WriteInto(data::Table& table) {
    return [&table](int column, int row, const std::string& text) {
        table.setCell(column, row, text);
    };
}

TableModel::TableModel(const data::Table& table, CellWriter writer, QObject* parent)
    : QAbstractTableModel(parent), table_(table), writer_(std::move(writer)) {
    takeAll();
}

void TableModel::takeAll() {
    shown_.clear();
    shown_.reserve(static_cast<std::size_t>(table_.rowCount()) *
                   static_cast<std::size_t>(table_.columnCount()));
    for (int row = 0; row < table_.rowCount(); ++row) {
        for (int column = 0; column < table_.columnCount(); ++column) {
            const std::string& text = table_.cell(column, row);
            shown_.push_back({text, QString::fromStdString(text), table_.style(column, row)});
        }
    }
}

bool TableModel::takeChanged(int column, int row) {
    Shown& cell = shown_[shownIndex(column, row)];
    const std::string& text = table_.cell(column, row);
    const data::CellStyle& style = table_.style(column, row);
    const bool sameStyle = cell.style.editable == style.editable && cell.style.kind == style.kind &&
                           cell.style.background == style.background &&
                           cell.style.align == style.align && cell.style.indent == style.indent &&
                           cell.style.hiddenText == style.hiddenText;
    if (sameStyle && cell.text == text) {
        return false;
    }
    if (cell.text != text) {
        cell.text = text;
        cell.shownText = QString::fromStdString(text);
    }
    cell.style = style;
    return true;
}

QString TableModel::text(int column, int row) const {
    if (column < 0 || row < 0 || column >= table_.columnCount() || row >= table_.rowCount())
        return {};
    // What was reported last is usually what the table holds: its text is
    // converted already.
    const Shown& cell = shown_[shownIndex(column, row)];
    const std::string& now = table_.cell(column, row);
    return cell.text == now ? cell.shownText : QString::fromStdString(now);
}

int TableModel::tableColumn(const QModelIndex& index) const {
    return index.column() + columnOffset();
}

int TableModel::tableRow(const QModelIndex& index) const {
    return index.row() + 1;
}

QModelIndex TableModel::indexOf(int tableColumn, int tableRow) const {
    return index(tableRow - 1, tableColumn - columnOffset());
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(table_.rowCount() - 1, 0);
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(table_.columnCount() - columnOffset(), 0);
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int column = tableColumn(index);
    const int row = tableRow(index);
    const data::CellStyle& style = table_.style(column, row);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        // A hidden cell keeps its text but shows none.
        return style.hiddenText ? QString() : text(column, row);
    case Qt::BackgroundRole:
        return QApplication::palette().brush(
            style.background == data::CellColour::ButtonFace ? QPalette::Button : QPalette::Base);
    case Qt::TextAlignmentRole:
        return AlignmentOf(style).toInt();
    case kIndentRole:
        return style.indent;
    default:
        return {};
    }
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int column = tableColumn(index);
    const int row = tableRow(index);
    writer_(column, row, value.toString().toStdString());
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int column = tableColumn(index);
    const int row = tableRow(index);
    if (view::TakesEdit(table_, column, row))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TableModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal) {
        if (role == Qt::DisplayRole)
            return text(section + columnOffset(), 0);
        return {};
    }
    if (columnOffset() == 0)
        return QAbstractTableModel::headerData(section, o, role);
    // The caption column: its texts with their own alignment.
    const int row = section + 1;
    switch (role) {
    case Qt::DisplayRole:
        return text(0, row);
    case Qt::TextAlignmentRole:
        return AlignmentOf(table_.style(0, row)).toInt();
    default:
        return {};
    }
}

void TableModel::refresh() {
    if (shown_.size() != static_cast<std::size_t>(table_.rowCount()) *
                             static_cast<std::size_t>(table_.columnCount())) {
        takeAll();
        if (rowCount() > 0 && columnCount() > 0)
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        if (columnCount() > 0)
            Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        if (rowCount() > 0)
            Q_EMIT headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
        return;
    }
    const int rows = rowCount();
    const int columns = columnCount();
    const int offset = columnOffset();
    // Each run of changed sections or cells is reported once; a single
    // cell alone, so that a view repaints that cell only.
    int first = -1;
    for (int c = 0; c <= columns; ++c) {
        const bool changed = c < columns && takeChanged(c + offset, 0);
        if (changed && first < 0) {
            first = c;
        } else if (!changed && first >= 0) {
            Q_EMIT headerDataChanged(Qt::Horizontal, first, c - 1);
            first = -1;
        }
    }
    if (offset > 0) {
        for (int r = 0; r <= rows; ++r) {
            const bool changed = r < rows && takeChanged(0, r + 1);
            if (changed && first < 0) {
                first = r;
            } else if (!changed && first >= 0) {
                Q_EMIT headerDataChanged(Qt::Vertical, first, r - 1);
                first = -1;
            }
        }
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            const bool changed = c < columns && takeChanged(c + offset, r + 1);
            if (changed && first < 0) {
                first = c;
            } else if (!changed && first >= 0) {
                Q_EMIT dataChanged(index(r, first), index(r, c - 1));
                first = -1;
            }
        }
    }
}

} // namespace skarvel::gui
