#include "gui/sweep_parts.h"

#include "gui/qt_text.h"

#include <QBrush>
#include <QHeaderView>
#include <QTableView>
#include <QTextBoundaryFinder>

namespace skarvel::gui {

namespace {

const QColor kBestRow(0xD8, 0xF0, 0xD8);

} // namespace

SweepRowsModel::SweepRowsModel(const app::SweepRun& run, QObject* parent)
    : QAbstractTableModel(parent), run_(run) {
    reset();
}

void SweepRowsModel::reset() {
    beginResetModel();
    titles_.clear();
    for (const std::string& title : run_.results().columnTitles()) {
        titles_ << ToQString(title);
    }
    shown_ = 0;
    endResetModel();
}

void SweepRowsModel::grown() {
    const int count = int(run_.results().rows().size());
    if (count > shown_) {
        beginInsertRows(QModelIndex(), shown_, count - 1);
        shown_ = count;
        endInsertRows();
    }
}

void SweepRowsModel::bestChanged() {
    if (shown_ > 0) {
        Q_EMIT dataChanged(index(0, 0), index(shown_ - 1, columnCount() - 1), {Qt::BackgroundRole});
    }
}

int SweepRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int SweepRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(titles_.size());
}

QVariant SweepRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return titles_.value(section);
}

QVariant SweepRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shown_) {
        return {};
    }
    const std::size_t row = std::size_t(index.row());
    switch (role) {
    case Qt::BackgroundRole:
        return run_.results().best() == row ? QVariant(QBrush(kBestRow)) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::DisplayRole:
        return ToQString(run_.results().cellText(row, std::size_t(index.column())));
    default:
        return {};
    }
}

QTableView* SweepRowsTable(SweepRowsModel* model) {
    auto* table = new QTableView;
    table->setModel(model);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setDefaultSectionSize(
        table->fontMetrics().horizontalAdvance(QStringLiteral("最大高度(m)")) + 16);
    table->setWordWrap(false);
    return table;
}

// Word joiners hold "速度(m/s) 3.2" and "初速(km/h) = 4" together where the
// line breaking rules would break them (after the slash of a unit, between
// two kanji), and their spaces do not break.
QString Unbroken(const std::vector<std::string>& parts) {
    QStringList held;
    for (const std::string& text : parts) {
        const QString part = ToQString(text).replace(QLatin1Char(' '), QChar(QChar::Nbsp));
        QString joined;
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, part);
        qsizetype from = 0;
        for (qsizetype at = breaks.toNextBoundary(); at > 0 && at < part.size();
             at = breaks.toNextBoundary()) {
            joined += part.mid(from, at - from) + QChar(0x2060);
            from = at;
        }
        held << joined + part.mid(from);
    }
    return held.join(QStringLiteral("　"));
}

} // namespace skarvel::gui
