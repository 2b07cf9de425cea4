#include "gui/form_paper.h"

#include <algorithm>

#include "gui/qt_text.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPalette>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace skarvel::gui {

namespace col = model::paper_column;

TFormPaper::TFormPaper(QString catalogueFile, QWidget* parent)
    : QDialog(parent), state_(ToStdString(catalogueFile)), table_(new QTableWidget(this)) {
    setWindowTitle(QStringLiteral("紙の設定"));
    setModal(true);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Enter and Esc reach the dialog through keyPressEvent, so they work
    // whichever child has the focus; the actions carry the Alt mnemonics.
    ok_ = bar->addAction(QStringLiteral("&OK (Enter)"), this, &TFormPaper::takeSelection);
    ok_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_O));
    cancel_ = bar->addAction(QStringLiteral("キャンセル(&Esc)"), this, &QDialog::reject);
    cancel_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_E));
    reload_ = bar->addAction(QStringLiteral("データ再読込(&R)"), this, &TFormPaper::reload);
    reload_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_R));

    table_->setColumnCount(col::kCount);
    QStringList captions;
    for (const model::PaperColumnInfo& c : model::kPaperColumns) {
        captions << QString::fromUtf8(c.caption.data(), static_cast<qsizetype>(c.caption.size()));
    }
    table_->setHorizontalHeaderLabels(captions);
    for (int c = 0; c < col::kCount; ++c) {
        table_->setColumnWidth(c, model::kPaperColumns[static_cast<std::size_t>(c)].width);
    }
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->setSortingEnabled(false);
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    connect(header, &QHeaderView::sectionClicked, this, &TFormPaper::sortBy);
    connect(table_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) {
            takeSelection();
        }
    });

    // The chosen paper stays visible while the tool bar has the focus.
    QPalette palette = table_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    table_->setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(table_);

    fill();
    int width = 0;
    for (int c = 0; c < col::kCount; ++c) {
        width += table_->columnWidth(c);
    }
    resize(std::min(width + 2 * table_->frameWidth() + 24, 960), 360);
}

void TFormPaper::reload() {
    if (state_.reload()) {
        fill();
    }
}

void TFormPaper::setSelected(const QString& name, const QString& weight, const QString& thickness) {
    state_.setChoice({ToStdString(name), ToStdString(weight), ToStdString(thickness)});
}

QString TFormPaper::selectedName() const {
    return ToQString(state_.choice().name);
}

QString TFormPaper::selectedWeight() const {
    return ToQString(state_.choice().weight);
}

QString TFormPaper::selectedThickness() const {
    return ToQString(state_.choice().thickness);
}

void TFormPaper::prepareShow() {
    state_.show();
    showSelection(state_.selectedRow());
}

bool TFormPaper::choose(QString& name, QString& weight, QString& thickness) {
    setSelected(name, weight, thickness);
    prepareShow();
    const bool ok = exec() == QDialog::Accepted;
    name = selectedName();
    weight = selectedWeight();
    thickness = selectedThickness();
    return ok;
}

QTableView* TFormPaper::list() const {
    return table_;
}

int TFormPaper::rowCount() const {
    return table_->rowCount();
}

QString TFormPaper::cell(int row, int column) const {
    const QTableWidgetItem* item = table_->item(row, column);
    return item ? item->text() : QString();
}

void TFormPaper::takeSelection() {
    state_.select(viewSelection());
    state_.accept();
    accept();
}

void TFormPaper::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        takeSelection();
        return;
    }
    QDialog::keyPressEvent(event); // Esc: reject()
}

void TFormPaper::fill() {
    const std::vector<model::PaperSpec>& rows = state_.catalogue().rows();
    table_->clearSelection();
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const model::PaperSpec& paper = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < col::kCount; ++c) {
            auto* item = new QTableWidgetItem(ToQString(paper.text(c)));
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            table_->setItem(r, c, item);
        }
    }
    fitColumns();
    showSelection(std::nullopt);
}

void TFormPaper::fitColumns() {
    // Never narrower than the list's own widths; wide enough for every text
    // in the font in use.
    const QFontMetrics metrics(table_->font());
    const QFontMetrics header(table_->horizontalHeader()->font());
    constexpr int kPadding = 12;
    for (int c = 0; c < col::kCount; ++c) {
        const model::PaperColumnInfo& info = model::kPaperColumns[static_cast<std::size_t>(c)];
        int width = std::max(
            info.width, header.horizontalAdvance(QString::fromUtf8(
                            info.caption.data(), static_cast<qsizetype>(info.caption.size()))) +
                            kPadding);
        for (int r = 0; r < table_->rowCount(); ++r) {
            if (const QTableWidgetItem* item = table_->item(r, c)) {
                width = std::max(width, metrics.horizontalAdvance(item->text()) + kPadding);
            }
        }
        table_->setColumnWidth(c, width);
    }
}

void TFormPaper::sortBy(int column) {
    state_.select(viewSelection());
    state_.sortBy(column);
    fill();
    showSelection(state_.selectedRow());
}

std::optional<std::size_t> TFormPaper::viewSelection() const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(rows.front().row());
}

void TFormPaper::showSelection(std::optional<std::size_t> row) {
    QItemSelectionModel* selection = table_->selectionModel();
    selection->clear(); // selection and focus mark
    if (!row || static_cast<int>(*row) >= table_->rowCount()) {
        return;
    }
    const QModelIndex index = table_->model()->index(static_cast<int>(*row), 0);
    selection->setCurrentIndex(index,
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(index);
    table_->setFocus();
}

} // namespace skarvel::gui
