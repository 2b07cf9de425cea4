#include "gui/table_view.h"

#include "view/table_cells.h"

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

QString CellText(const data::Table& table, int column, int row) {
    return QString::fromStdString(table.cell(column, row));
}

// Refuses every change that adds a character the cell's value kind does not
// accept, so a refused key does nothing and refused pasted text is dropped.
// Characters of that sort already in the cell (a file may bring them) are
// tolerated and may be deleted one by one; none can come back.
class CellValidator : public QValidator {
  public:
    CellValidator(data::ValueKind kind, QObject* parent) : QValidator(parent), kind_(kind) {}

    void setStartText(const QString& text) {
        allowed_ = view::RefusedCount(kind_, text.toStdU32String());
    }

    State validate(QString& input, int&) const override {
        const int refused = view::RefusedCount(kind_, input.toStdU32String());
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
            if (view::ShownFromLeft(opt.fontMetrics.horizontalAdvance(opt.text),
                                    opt.rect.width() - 2 * margin)) {
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
    const QFontMetrics cells(font());
    const QFontMetrics header(horizontalHeader()->font());
    return view::NeededWidth(
        model_->table(), tableColumn,
        [&header](const std::string& text) {
            return header.horizontalAdvance(QString::fromStdString(text));
        },
        [&cells](const std::string& text) {
            return cells.horizontalAdvance(QString::fromStdString(text));
        },
        reserved_.value(tableColumn));
}

void TableView::reserveWidth(int tableColumn, const QStringList& texts) {
    std::vector<std::string>& reserved = reserved_[tableColumn];
    reserved.clear();
    for (const QString& text : texts)
        reserved.push_back(text.toStdString());
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
    std::vector<view::TableCell> selected;
    for (const QModelIndex& i : selectionModel()->selectedIndexes())
        selected.push_back({model_->tableColumn(i), model_->tableRow(i)});
    const view::TableCell cell{model_->tableColumn(edited), model_->tableRow(edited)};
    const std::string value = text.toStdString();
    bool changed = false;
    std::vector<std::pair<int, int>> cells;
    for (const view::TableCell& target : view::BlockTargets(model_->table(), selected, cell)) {
        if (model_->table().cell(target.column, target.row) != value)
            changed = true;
        if (blockWriter_)
            cells.emplace_back(target.column, target.row);
        else
            model_->setData(model_->indexOf(target.column, target.row), text, Qt::EditRole);
    }
    if (blockWriter_ && !cells.empty()) {
        blockWriter_(cells, value);
        model_->refresh();
    }
    return changed;
}

} // namespace skarvel::gui
