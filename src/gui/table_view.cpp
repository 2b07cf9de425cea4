#include "gui/table_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QValidator>
#include <QtDebug>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

namespace skarvel::gui {

namespace {

constexpr int kRowHeight = 16;
// Set on an editor whose edit is being ended with the Enter key.
constexpr char kEndedWithEnter[] = "skarvelEndedWithEnter";
// Set on an editor once it has been given its cell's text.
constexpr char kLoaded[] = "skarvelLoaded";
// Room around a cell's text: the frame, the margins and the caret.
constexpr int kTextPadding = 10;
// The widest number a value cell must show whole.
constexpr char kWidestNumber[] = "0.98360";

QString CellText(const data::Table& table, int column, int row) {
    return QString::fromStdString(table.cell(column, row));
}

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

int RefusedCount(data::ValueKind kind, const QString& text) {
    int count = 0;
    for (char32_t ch : text.toUcs4()) {
        if (!data::AcceptsCharacter(kind, ch))
            ++count;
    }
    return count;
}

// Refuses every change that adds a character the cell's value kind does not
// accept, so a refused key does nothing and refused pasted text is dropped.
// Characters of that sort already in the cell (a file may bring them) are
// tolerated and may be deleted one by one; none can come back.
class CellValidator : public QValidator {
  public:
    CellValidator(data::ValueKind kind, QObject* parent) : QValidator(parent), kind_(kind) {}

    void setStartText(const QString& text) { allowed_ = RefusedCount(kind_, text); }

    State validate(QString& input, int&) const override {
        int refused = RefusedCount(kind_, input);
        if (refused > allowed_)
            return Invalid;
        allowed_ = refused;
        return Acceptable;
    }

  private:
    data::ValueKind kind_;
    mutable int allowed_ = 0;
};

void Report(const char* where) {
    try {
        throw;
    } catch (const std::exception& e) {
        qWarning("%s: %s", where, e.what());
    } catch (...) {
        qWarning("%s: unknown failure", where);
    }
}

} // namespace

// ---------------------------------------------------------------------------
// TableModel

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
    if (table_.isEditable(column, row) && !table_.style(column, row).hiddenText)
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

// ---------------------------------------------------------------------------
// CellDelegate

class CellDelegate : public QStyledItemDelegate {
  public:
    explicit CellDelegate(TableView* view) : QStyledItemDelegate(view), view_(view) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const TableModel* model = view_->tableModel();
        const int column = model->tableColumn(index);
        const int row = model->tableRow(index);
        const data::CellStyle& style = model->table().style(column, row);

        auto* editor = new QLineEdit(parent);
        editor->setFrame(
            editor->style()->styleHint(QStyle::SH_ItemView_DrawDelegateFrame, nullptr, editor));
        editor->setAlignment(AlignmentOf(style));
        editor->setTextMargins(style.indent, 0, 0, 0);
        if (style.kind != data::ValueKind::Text)
            editor->setValidator(new CellValidator(style.kind, editor));

        QPointer<TableView> view = view_;
        QObject::connect(editor, &QLineEdit::textEdited, editor,
                         [view, column, row](const QString& text) {
                             try {
                                 if (view)
                                     Q_EMIT view->textEdited(column, row, text);
                             } catch (...) {
                                 Report("cell text");
                             }
                         });
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* lineEdit = qobject_cast<QLineEdit*>(editor);
        if (lineEdit == nullptr) {
            QStyledItemDelegate::setEditorData(editor, index);
            return;
        }
        // An open editor holds what the user is typing: a refresh of the
        // table must not take it back.
        if (lineEdit->property(kLoaded).toBool())
            return;
        lineEdit->setProperty(kLoaded, true);
        const QString text = index.data(Qt::EditRole).toString();
        if (auto* validator =
                dynamic_cast<CellValidator*>(const_cast<QValidator*>(lineEdit->validator())))
            validator->setStartText(text);
        // Writing the same text again would move the caret under the typist.
        if (lineEdit->text() != text)
            lineEdit->setText(text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        try {
            auto* lineEdit = qobject_cast<QLineEdit*>(editor);
            if (lineEdit == nullptr || model != view_->tableModel()) {
                QStyledItemDelegate::setModelData(editor, model, index);
                return;
            }
            const bool withEnter = editor->property(kEndedWithEnter).toBool();
            editor->setProperty(kEndedWithEnter, false);
            const TableModel* tableModel = view_->tableModel();
            const QString before = CellText(tableModel->table(), tableModel->tableColumn(index),
                                            tableModel->tableRow(index));
            const QString after = lineEdit->text();
            model->setData(index, after, Qt::EditRole);
            view_->finishEdit(index, before, after, withEnter);
        } catch (...) {
            Report("cell edit");
        }
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        try {
            if (!view_->cellPictures() || !paintFromPicture(painter, option, index))
                paintCell(painter, option, index);
        } catch (...) {
            Report("cell paint");
        }
    }

  private:
    void paintCell(QPainter* painter, const QStyleOptionViewItem& option,
                   const QModelIndex& index) const {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        drawCell(painter, opt, index.data(kIndentRole).toInt());
    }

    // What QStyledItemDelegate::paint() draws, with `opt` initialised from
    // the cell already; a cell with an indent moves its text right.
    static void drawCell(QPainter* painter, QStyleOptionViewItem opt, int indent) {
        const QWidget* widget = opt.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        if (indent > 0) {
            // The background and the selection cover the whole cell; only
            // the text moves right by the indent.
            style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
            opt.rect.adjust(std::min(indent, opt.rect.width()), 0, 0, 0);
        }
        // Text wider than its cell is cut on the right, never on the left,
        // so that a number keeps its sign and its leading digits.
        if ((opt.displayAlignment & Qt::AlignRight) != 0) {
            const int margin =
                style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
            if (opt.fontMetrics.horizontalAdvance(opt.text) > opt.rect.width() - 2 * margin) {
                opt.displayAlignment =
                    (opt.displayAlignment & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
            }
        }
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    }

    // Draws the cell from the picture of it kept in the view when nothing
    // it shows has changed since; else draws it and keeps what was drawn.
    // Only where the picture gives the same pixels as drawing the cell
    // there: into an image (the screen's; no printer, picture or scaled
    // painter), a cell whose solid background covers it whole, and a picture
    // taken of a cell drawn whole. False: nothing drawn.
    bool paintFromPicture(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
        QPaintEngine* engine = painter->paintEngine();
        if (engine == nullptr || engine->type() != QPaintEngine::Raster)
            return false;
        QPaintDevice* device = engine->paintDevice();
        if (device == nullptr || device->devType() != QInternal::Image)
            return false;
        const QImage& target = *static_cast<const QImage*>(device);
        const QTransform place = painter->deviceTransform();
        if (place.type() > QTransform::TxTranslate || place.dx() != std::floor(place.dx()) ||
            place.dy() != std::floor(place.dy()))
            return false;
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        if (opt.backgroundBrush.style() != Qt::SolidPattern || !opt.backgroundBrush.isOpaque() ||
            opt.rect.isEmpty())
            return false;
        const int indent = index.data(kIndentRole).toInt();
        TableView::CellPicture& picture = view_->pictures_[{index.row(), index.column()}];
        const bool same = picture.format == target.format() && picture.size == opt.rect.size() &&
                          picture.text == opt.text && picture.indent == indent &&
                          picture.alignment == opt.displayAlignment.toInt() &&
                          picture.state == opt.state.toInt() &&
                          picture.features == opt.features.toInt() &&
                          picture.direction == opt.direction &&
                          picture.background == opt.backgroundBrush.color() &&
                          picture.palette == opt.palette.cacheKey() && picture.font == opt.font;
        if (same && !picture.image.isNull()) {
            painter->drawImage(opt.rect.topLeft(), picture.image);
            picture.drawnAnew = false;
            return true;
        }
        drawCell(painter, opt, indent);
        // A cell that changes at every paint (a replay's values) is not
        // worth keeping: it is kept once it has been drawn the same twice.
        const bool changing = !same && picture.drawnAnew;
        // Else the cell as it now is in the image, when none of it was clipped.
        const QRect onDevice =
            opt.rect.translated(static_cast<int>(place.dx()), static_cast<int>(place.dy()));
        bool whole = !changing;
        if (whole) {
            QRegion drawn(target.rect());
            if (const QRegion system = engine->systemClip(); !system.isEmpty())
                drawn &= system;
            if (painter->hasClipping())
                drawn &= place.map(painter->clipRegion());
            whole = QRegion(onDevice).subtracted(drawn).isEmpty();
        }
        picture = {opt.text,
                   opt.font,
                   opt.palette.cacheKey(),
                   opt.backgroundBrush.color(),
                   opt.displayAlignment.toInt(),
                   opt.state.toInt(),
                   opt.features.toInt(),
                   opt.direction,
                   indent,
                   opt.rect.size(),
                   target.format(),
                   whole ? target.copy(onDevice) : QImage(),
                   true};
        return true;
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        try {
            auto* editor = qobject_cast<QWidget*>(object);
            if (editor != nullptr && event->type() == QEvent::KeyPress) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                    // Ended here and now rather than through the default
                    // queued commit, so that the edit is known to have ended
                    // with Enter and the key goes no further.
                    editor->setProperty(kEndedWithEnter, true);
                    Q_EMIT commitData(editor);
                    Q_EMIT closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
                    return true;
                }
            }
            return QStyledItemDelegate::eventFilter(object, event);
        } catch (...) {
            Report("cell editor");
            return false;
        }
    }

  private:
    TableView* view_;
};

// ---------------------------------------------------------------------------
// TableView

TableView::TableView(const data::Table& table, CellWriter writer, QWidget* parent)
    : QTableView(parent), model_(new TableModel(table, std::move(writer), this)) {
    setModel(model_);
    setItemDelegate(new CellDelegate(this));
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            Q_EMIT chooseRequested(model_->tableColumn(index), model_->tableRow(index));
    });
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    // Tab leaves the table (an open cell still hands on to the next one);
    // Ctrl+Tab switches the page.
    setTabKeyNavigation(false);
    // Narrow unit columns read better cut off than shortened to "k…".
    setTextElideMode(Qt::ElideNone);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionsMovable(false);
    applyGeometry();
}

void TableView::applyGeometry() {
    const int offset = model_->columnOffset();

    QHeaderView* rows = verticalHeader();
    rows->setMinimumSectionSize(kRowHeight);
    rows->setDefaultSectionSize(kRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setVisible(offset > 0);
    if (offset > 0) {
        // The caption column is the vertical header, which keeps its own
        // margins on both sides of the text.
        const int margins = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, rows);
        rows->setFixedWidth(neededWidth(0) + margins);
    }

    QHeaderView* columns = horizontalHeader();
    columns->setMinimumSectionSize(1);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    for (int c = 0; c < model_->columnCount(); ++c)
        setColumnWidth(c, neededWidth(c + offset));
}

int TableView::neededWidth(int tableColumn) const {
    const data::Table& table = model_->table();
    const QFontMetrics cells(font());
    const QFontMetrics header(horizontalHeader()->font());
    int width = table.columnWidth(tableColumn);
    for (int row = 0; row < table.rowCount(); ++row) {
        const data::CellStyle& style = table.style(tableColumn, row);
        const QFontMetrics& metrics = row == 0 ? header : cells;
        const QString text = CellText(table, tableColumn, row);
        int needed = metrics.horizontalAdvance(text) + style.indent + kTextPadding;
        if (row > 0 && style.kind != data::ValueKind::Text)
            needed = std::max(needed, cells.horizontalAdvance(QString::fromLatin1(kWidestNumber)) +
                                          style.indent + kTextPadding);
        width = std::max(width, needed);
    }
    for (const QString& text : reserved_.value(tableColumn)) {
        width = std::max(width, cells.horizontalAdvance(text) + kTextPadding);
    }
    return width;
}

void TableView::reserveWidth(int tableColumn, const QStringList& texts) {
    reserved_[tableColumn] = texts;
    applyGeometry();
}

void TableView::setCellPictures(bool on) {
    // The pictures kept stay: each is checked against its cell before use.
    cellPictures_ = on;
    viewport()->update();
}

int TableView::fullWidth() const {
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    if (verticalHeader()->isVisible() || model_->columnOffset() > 0)
        width += verticalHeader()->width();
    for (int c = 0; c < model_->columnCount(); ++c)
        width += columnWidth(c);
    return width;
}

QWidget* TableView::openEditor() const {
    return state() == QAbstractItemView::EditingState ? indexWidget(currentIndex()) : nullptr;
}

bool TableView::commitOpenEditor() {
    QWidget* editor = openEditor();
    if (editor == nullptr)
        return false;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

bool TableView::cancelOpenEditor() {
    QWidget* editor = openEditor();
    if (editor == nullptr)
        return false;
    closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    return true;
}

void TableView::keyPressEvent(QKeyEvent* event) {
    try {
        const bool choose = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                            event->key() == Qt::Key_Space;
        if (choose && state() != QAbstractItemView::EditingState && currentIndex().isValid())
            Q_EMIT chooseRequested(model_->tableColumn(currentIndex()),
                                   model_->tableRow(currentIndex()));
        QTableView::keyPressEvent(event);
        // Enter on a cell that is not being edited only activates it; it
        // confirms nothing and must not travel on to the window.
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            event->accept();
    } catch (...) {
        Report("table key");
    }
}

void TableView::finishEdit(const QModelIndex& index, const QString& before, const QString& after,
                           bool withEnter) {
    const int column = model_->tableColumn(index);
    const int row = model_->tableRow(index);
    bool changed = before != after;
    if (withEnter && blockEditing_)
        changed = writeBlock(index, after) || changed;
    // Queued: the editor is still open here, and the owner may start a long
    // computation that processes events from this signal.
    QMetaObject::invokeMethod(
        this,
        [this, column, row, withEnter, changed] {
            try {
                Q_EMIT editFinished(column, row, withEnter, changed);
            } catch (...) {
                Report("cell edit finished");
            }
        },
        Qt::QueuedConnection);
}

bool TableView::writeBlock(const QModelIndex& edited, const QString& text) {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.size() < 2)
        return false;
    int top = edited.row(), bottom = edited.row();
    int left = edited.column(), right = edited.column();
    QSet<QPair<int, int>> cells;
    for (const QModelIndex& i : selected) {
        cells.insert({i.row(), i.column()});
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    // Only one rectangle holding the edited cell is a block.
    if (!cells.contains({edited.row(), edited.column()}) ||
        cells.size() != (bottom - top + 1) * (right - left + 1))
        return false;

    const std::string value = text.toStdString();
    bool changed = false;
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            const QModelIndex cell = model_->index(r, c);
            if (cell == edited || !(model_->flags(cell) & Qt::ItemIsEditable))
                continue;
            if (model_->table().cell(model_->tableColumn(cell), model_->tableRow(cell)) != value)
                changed = true;
            model_->setData(cell, text, Qt::EditRole);
        }
    }
    return changed;
}

} // namespace skarvel::gui
