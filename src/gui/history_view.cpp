#include "gui/history_view.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScrollBar>

namespace skarvel::gui {

namespace {
constexpr int kNumberWidth = 30;
constexpr int kResultWidth = 80;
constexpr int kInputWidth = 60;
constexpr int kCaptionPadding = 12;
} // namespace

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(history_.rows().size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : sim::RunHistory::kColumns;
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const sim::HistoryRow& row = history_.rows()[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        if (index.column() == 0) {
            return QString::fromStdString(row.caption);
        }
        const auto i = static_cast<std::size_t>(index.column() - 1);
        return i < row.cells.size() ? QString::fromStdString(row.cells[i]) : QString();
    }
    if (role == Qt::TextAlignmentRole && index.column() >= 1 &&
        index.column() < sim::RunHistory::kResultColumns) {
        return QVariant::fromValue(Qt::AlignCenter);
    }
    return {};
}

QVariant HistoryModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < sim::RunHistory::kColumns) {
        return QString::fromStdString(history_.captions()[static_cast<std::size_t>(section)]);
    }
    if (o == Qt::Horizontal && role == Qt::TextAlignmentRole && section >= 1 &&
        section < sim::RunHistory::kResultColumns) {
        return QVariant::fromValue(Qt::AlignCenter);
    }
    return QAbstractTableModel::headerData(section, o, role);
}

void HistoryModel::refresh() {
    beginResetModel();
    endResetModel();
}

HistoryView::HistoryView(const sim::RunHistory& history, QWidget* parent)
    : QTableView(parent), history_(history), model_(new HistoryModel(history, this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setShowGrid(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(16);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    // The captions show whole in the font in use; the widths are the least.
    const QFontMetrics metrics(horizontalHeader()->font());
    for (int c = 0; c < sim::RunHistory::kColumns; ++c) {
        const int least = c == 0
                              ? kNumberWidth
                              : (c < sim::RunHistory::kResultColumns ? kResultWidth : kInputWidth);
        const QString caption =
            QString::fromStdString(history_.captions()[static_cast<std::size_t>(c)]);
        setColumnWidth(c, std::max(least, metrics.horizontalAdvance(caption) + kCaptionPadding));
    }
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { Q_EMIT sortRequested(column); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) {
            Q_EMIT rerunRequested(index.row());
        }
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { syncSelectionFromView(); });
}

void HistoryView::syncSelectionFromView() {
    if (syncing_) {
        return;
    }
    const QModelIndexList rows = selectionModel()->selectedRows();
    Q_EMIT rowSelected(rows.isEmpty() ? -1 : rows.front().row());
}

void HistoryView::refresh() {
    if (history_.revision() == shownRevision_) {
        showSelection();
        return;
    }
    const int h = horizontalScrollBar()->value();
    const int v = verticalScrollBar()->value();
    syncing_ = true;
    model_->refresh();
    syncing_ = false;
    showSelection();
    horizontalScrollBar()->setValue(h);
    verticalScrollBar()->setValue(v);
    if (history_.summaryRevision() != shownSummaries_) {
        // A new flight's row: at the top, selected, in view.
        verticalScrollBar()->setValue(verticalScrollBar()->minimum());
    }
    shownRevision_ = history_.revision();
    shownSummaries_ = history_.summaryRevision();
}

void HistoryView::showSelection() {
    const int selected = history_.selected();
    const QModelIndexList shown = selectionModel()->selectedRows();
    const int current = shown.isEmpty() ? -1 : shown.front().row();
    if (current == selected) {
        return;
    }
    syncing_ = true;
    if (selected >= 0) {
        const QModelIndex index = model_->index(selected, 0);
        selectionModel()->select(index,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    } else {
        selectionModel()->clearSelection();
    }
    syncing_ = false;
}

void HistoryView::copyToClipboard(bool lineBreaks) {
    QApplication::clipboard()->setText(QString::fromStdString(history_.copyText(lineBreaks)));
}

void HistoryView::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                            Qt::AltModifier | Qt::MetaModifier);
    switch (event->key()) {
    case Qt::Key_Delete:
        if (mods == Qt::NoModifier) {
            Q_EMIT deleteRequested();
        } else {
            Q_EMIT clearRequested();
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (history_.selected() >= 0) {
            Q_EMIT rerunRequested(history_.selected());
        }
        return;
    case Qt::Key_C:
        if (mods & Qt::ControlModifier) {
            copyToClipboard((mods & Qt::ShiftModifier) != 0);
            return;
        }
        break;
    default:
        break;
    }
    QTableView::keyPressEvent(event);
}

} // namespace skarvel::gui
