#include "gui/table_view.h"

#include "data/tables.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPalette>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using skarvel::gui::TableModel;
using skarvel::gui::TableView;
namespace data = skarvel::data;

namespace {

struct Finished {
    int column;
    int row;
    bool withEnter;
    bool changed;
    std::string cellAtSignal;
    bool editorOpenAtSignal;
};

void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class TableViewTest : public ::testing::Test {
  protected:
    void SetUp() override { data::ResetTables(tables_); }

    // A shown view of `table` that records every finished edit.
    TableView& show(data::Table& table) {
        view_ = std::make_unique<TableView>(table, skarvel::gui::WriteInto(table));
        view_->applyGeometry();
        view_->resize(500, 700);
        view_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
        QObject::connect(view_.get(), &TableView::editFinished, view_.get(),
                         [this, &table](int column, int row, bool withEnter, bool changed) {
                             finished_.push_back({column, row, withEnter, changed,
                                                  table.cell(column, row),
                                                  editorOpen(column, row)});
                         });
        return *view_;
    }

    QModelIndex at(int column, int row) { return view_->tableModel()->indexOf(column, row); }
    bool editorOpen(int column, int row) { return view_->indexWidget(at(column, row)) != nullptr; }

    // Starts editing table cell (column, row) by typing the first character
    // of `text`, then types the rest into the editor; answers the editor.
    QLineEdit* type(int column, int row, const char* text) {
        // The cell becomes current without touching a selected block.
        view_->selectionModel()->setCurrentIndex(at(column, row), QItemSelectionModel::NoUpdate);
        QTest::keyClick(view_.get(), text[0]);
        auto* editor = qobject_cast<QLineEdit*>(view_->indexWidget(at(column, row)));
        EXPECT_NE(editor, nullptr);
        if (editor != nullptr && text[1] != '\0')
            QTest::keyClicks(editor, text + 1);
        return editor;
    }

    bool editable(const TableModel& m, int column, int row) {
        return bool(m.flags(m.indexOf(column, row)) & Qt::ItemIsEditable);
    }

    void enter(QLineEdit* editor) {
        if (editor == nullptr)
            return;
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
    }

    data::Tables tables_;
    std::unique_ptr<TableView> view_;
    std::vector<Finished> finished_;
};

TEST_F(TableViewTest, ModelMirrorsTheTables) {
    TableModel input(tables_.input, skarvel::gui::WriteInto(tables_.input));
    ASSERT_EQ(input.rowCount(), 37);
    ASSERT_EQ(input.columnCount(), 3);
    EXPECT_EQ(input.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), u"単位"_qs);
    EXPECT_EQ(input.index(3, 1).data().toString(), u"150"_qs);
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(input.index(0, 0).data(Qt::BackgroundRole).value<QBrush>(),
              palette.brush(QPalette::Button)); // "風速" caption is shaded
    EXPECT_EQ(input.index(3, 0).data(Qt::BackgroundRole).value<QBrush>(),
              palette.brush(QPalette::Base));
    EXPECT_EQ(input.index(0, 1).data(skarvel::gui::kIndentRole).toInt(), 3);

    // The design table's caption column is the vertical header.
    TableModel design(tables_.design, skarvel::gui::WriteInto(tables_.design));
    ASSERT_EQ(design.columnCount(), 7);
    EXPECT_EQ(design.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), u"主翼"_qs);
    EXPECT_EQ(design.headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), u"形式"_qs);
    EXPECT_EQ(design.headerData(11, Qt::Vertical, Qt::TextAlignmentRole).toInt() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight); // "紙重さ" reads as a sub-row of "紙名称"
    const QModelIndex span = design.indexOf(data::design::Fuselage, data::design::Span);
    EXPECT_EQ(span, design.index(3, 4));
    EXPECT_EQ(design.tableColumn(span), data::design::Fuselage);
    EXPECT_EQ(design.tableRow(span), data::design::Span);
    EXPECT_EQ(span.data().toString(), u"190"_qs);

    for (int row = 1; row < tables_.input.rowCount(); ++row)
        for (int column = 0; column < tables_.input.columnCount(); ++column)
            EXPECT_EQ(editable(input, column, row), tables_.input.isEditable(column, row));
    for (int row = 1; row < tables_.design.rowCount(); ++row)
        for (int column = 1; column < tables_.design.columnCount(); ++column)
            EXPECT_EQ(editable(design, column, row), tables_.design.isEditable(column, row))
                << column << "," << row;

    // A hidden cell keeps its text but neither shows nor edits it.
    tables_.design.assignCellStyle(data::design::InnerWing, data::design::Span,
                                   data::design::Hidden);
    EXPECT_TRUE(
        design.indexOf(data::design::InnerWing, data::design::Span).data().toString().isEmpty());
    EXPECT_FALSE(editable(design, data::design::InnerWing, data::design::Span));
}

TEST_F(TableViewTest, TypingKeepsOnlyTheCellsCharacters) {
    using namespace data;
    TableView& v = show(tables_.input);
    std::vector<QString> typed;
    QObject::connect(&v, &TableView::textEdited, &v,
                     [&](int, int, const QString& text) { typed.push_back(text); });
    QLineEdit* e = type(input::kValueColumn, input::Altitude, "12a");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text(), u"12"_qs); // typing replaced "2"; the letter was refused
    EXPECT_EQ(typed, (std::vector<QString>{u"1"_qs, u"12"_qs}));
    QInputMethodEvent ime;
    ime.setCommitString(u"ヒノキ"_qs);
    QApplication::sendEvent(e, &ime);
    EXPECT_EQ(e->text(), u"12"_qs);
    enter(e);
    EXPECT_EQ(tables_.input.cell(input::kValueColumn, input::Altitude), "12");

    e = type(input::kValueColumn, input::Mass, "-1e-3");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text(), u"-1e-3"_qs);
    QApplication::clipboard()->setText(u"4x"_qs);
    e->paste();
    EXPECT_EQ(e->text(), u"-1e-3"_qs);
    enter(e);
}

TEST_F(TableViewTest, RefusedCharactersAlreadyInTheCellCanBeDeleted) {
    tables_.input.setCell(data::input::kValueColumn, 1, "ab");
    TableView& v = show(tables_.input);
    v.setCurrentIndex(at(data::input::kValueColumn, 1));
    QTest::keyClick(&v, Qt::Key_F2);
    auto* e = qobject_cast<QLineEdit*>(v.indexWidget(at(data::input::kValueColumn, 1)));
    ASSERT_NE(e, nullptr);
    e->end(false);
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), u"a"_qs);
    QTest::keyClick(e, 'b');
    EXPECT_EQ(e->text(), u"a"_qs);
}

TEST_F(TableViewTest, EnterReportsAfterTheEditorClosed) {
    using namespace data;
    TableView& v = show(tables_.design);
    QLineEdit* e = type(design::MainWing, design::Span, "3");
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(tables_.design.cell(design::MainWing, design::Span), "3");
    EXPECT_TRUE(finished_.empty()); // not from inside the closing editor
    Settle();
    ASSERT_EQ(finished_.size(), 1u);
    EXPECT_EQ(finished_[0].column, design::MainWing);
    EXPECT_EQ(finished_[0].row, design::Span);
    EXPECT_TRUE(finished_[0].withEnter);
    EXPECT_TRUE(finished_[0].changed);
    EXPECT_EQ(finished_[0].cellAtSignal, "3");
    EXPECT_FALSE(finished_[0].editorOpenAtSignal);

    // Confirmed again unchanged.
    QTest::keyClick(&v, Qt::Key_F2);
    e = qobject_cast<QLineEdit*>(v.indexWidget(at(design::MainWing, design::Span)));
    ASSERT_NE(e, nullptr);
    enter(e);
    ASSERT_EQ(finished_.size(), 2u);
    EXPECT_TRUE(finished_[1].withEnter);
    EXPECT_FALSE(finished_[1].changed);
}

TEST_F(TableViewTest, ClickElsewhereWritesWithoutEnterAndEscapeCancels) {
    using namespace data;
    TableView& v = show(tables_.parameter);
    QLineEdit* e = type(param::kValueColumn, param::CLa, "5");
    ASSERT_NE(e, nullptr);
    QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, v.visualRect(at(0, param::Cma)).center());
    Settle();
    EXPECT_EQ(tables_.parameter.cell(param::kValueColumn, param::CLa), "5");
    ASSERT_EQ(finished_.size(), 1u);
    EXPECT_FALSE(finished_[0].withEnter);
    EXPECT_TRUE(finished_[0].changed);

    e = type(param::kValueColumn, param::CLa, "99");
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(editorOpen(param::kValueColumn, param::CLa));
    EXPECT_EQ(tables_.parameter.cell(param::kValueColumn, param::CLa), "5");

    // Enter on a cell not being edited confirms nothing; the arrows move.
    QTest::keyClick(&v, Qt::Key_Return);
    QTest::keyClick(&v, Qt::Key_Down);
    Settle();
    EXPECT_EQ(finished_.size(), 1u);
    EXPECT_EQ(v.currentIndex(), at(param::kValueColumn, param::CLa + 1));
}

// Selects the view rectangle of table cells (left..right, top..bottom).
void SelectBlock(TableView& v, int left, int top, int right, int bottom,
                 QItemSelectionModel::SelectionFlags how = QItemSelectionModel::ClearAndSelect) {
    TableModel* m = v.tableModel();
    v.selectionModel()->select(QItemSelection(m->indexOf(left, top), m->indexOf(right, bottom)),
                               how);
}

TEST_F(TableViewTest, BlockEditingWritesEditableBlockCellsOnEnterOnly) {
    using namespace data;
    TableView& v = show(tables_.marker);
    v.setBlockEditing(true);
    const int value = marker::kValueColumn;
    tables_.marker.setCell(value, 3, "7");

    // Leaving by a click writes the edited cell alone.
    SelectBlock(v, 0, 1, 2, 3);
    QLineEdit* e = type(value, 2, "8");
    ASSERT_NE(e, nullptr);
    QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, v.visualRect(at(2, 10)).center());
    Settle();
    EXPECT_EQ(tables_.marker.cell(value, 2), "8");
    EXPECT_EQ(tables_.marker.cell(value, 1), "");

    // Enter: the other editable cell of the block too, never the read-only ones.
    SelectBlock(v, 0, 1, 2, 3);
    e = type(value, 2, "9");
    ASSERT_NE(e, nullptr);
    enter(e);
    EXPECT_EQ(tables_.marker.cell(value, 1), "9");
    EXPECT_EQ(tables_.marker.cell(value, 3), "7");
    EXPECT_EQ(tables_.marker.cell(0, 1), "ポイントNo");
    EXPECT_EQ(tables_.marker.cell(2, 2), "s");
    ASSERT_EQ(finished_.size(), 2u);
    EXPECT_EQ(finished_[1].cellAtSignal, "9");
}

TEST_F(TableViewTest, BlockEditingNeedsOneRectangleAndTheSwitch) {
    using namespace data;
    TableView& v = show(tables_.input);
    const int value = input::kValueColumn;

    v.setBlockEditing(true);
    SelectBlock(v, value, 5, value, 6);
    SelectBlock(v, value, 1, value, 3, QItemSelectionModel::Select); // two pieces
    enter(type(value, 2, "4"));
    EXPECT_EQ(tables_.input.cell(value, 2), "4");
    EXPECT_EQ(tables_.input.cell(value, 1), "0");

    v.setBlockEditing(false);
    SelectBlock(v, value, 1, value, 3);
    enter(type(value, 2, "5"));
    EXPECT_EQ(tables_.input.cell(value, 1), "0");

    v.setBlockEditing(true);
    SelectBlock(v, value, 1, value, 3);
    enter(type(value, 2, "6"));
    EXPECT_EQ(tables_.input.cell(value, 1), "6");
    EXPECT_EQ(tables_.input.cell(value, 3), "6");
    EXPECT_EQ(tables_.input.cell(value, 4), "150");
}

TEST_F(TableViewTest, GeometryFollowsTheTableAndTheFont) {
    TableView& input = show(tables_.input);
    EXPECT_FALSE(input.verticalHeader()->isVisible());
    for (int r : {0, 36})
        EXPECT_EQ(input.rowHeight(r), 16);
    TableView& design = show(tables_.design);
    EXPECT_TRUE(design.verticalHeader()->isVisible());
    EXPECT_EQ(design.rowHeight(20), 16);

    // Never narrower than the table's widths; wide enough for every text in
    // the font in use, and for a 7-character number in a value column.
    for (data::Table* table : {&tables_.input, &tables_.parameter, &tables_.marker, &tables_.design,
                               &tables_.computed}) {
        TableView& view = show(*table);
        const int offset = view.tableModel()->columnOffset();
        const QFontMetrics metrics(view.font());
        const auto shown = [&](int column) {
            return column == 0 && offset > 0 ? view.verticalHeader()->width()
                                             : view.columnWidth(column - offset);
        };
        for (int c = 0; c < table->columnCount(); ++c) {
            EXPECT_GE(shown(c), table->columnWidth(c));
            for (int r = 0; r < table->rowCount(); ++r) {
                const QString text = QString::fromStdString(table->cell(c, r));
                EXPECT_GE(shown(c), metrics.horizontalAdvance(text) + 4) << table->cell(c, r);
            }
        }
    }
    TableView& parameters = show(tables_.parameter);
    EXPECT_GE(parameters.columnWidth(data::param::kValueColumn),
              QFontMetrics(parameters.font()).horizontalAdvance(u"0.98360"_qs) + 4);
}

TEST_F(TableViewTest, ARefreshLeavesAnOpenEditorAlone) {
    TableView& v = show(tables_.input);
    QLineEdit* editor = type(data::input::kValueColumn, data::input::Altitude, "12");
    ASSERT_NE(editor, nullptr);
    tables_.input.setCell(data::input::kValueColumn, data::input::Altitude, "99");
    v.tableModel()->refresh();
    EXPECT_EQ(editor->text(), u"12"_qs);
    // Committing writes what was typed, as leaving the cell would.
    EXPECT_TRUE(v.commitOpenEditor());
    Settle();
    EXPECT_EQ(tables_.input.cell(data::input::kValueColumn, data::input::Altitude), "12");
    ASSERT_EQ(finished_.size(), 1u);
    EXPECT_FALSE(finished_[0].withEnter);
    EXPECT_FALSE(v.commitOpenEditor());
}

TEST_F(TableViewTest, ARefreshReportsEveryChangedCellAndNoOther) {
    data::Table& design = tables_.design;
    TableModel model(design, skarvel::gui::WriteInto(design));
    QSet<QPair<int, int>> cells;    // table (column, row)
    QSet<QPair<int, int>> sections; // (orientation, section)
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         for (int r = from.row(); r <= to.row(); ++r)
                             for (int c = from.column(); c <= to.column(); ++c)
                                 cells.insert({model.tableColumn(model.index(r, c)),
                                               model.tableRow(model.index(r, c))});
                     });
    QObject::connect(&model, &QAbstractItemModel::headerDataChanged,
                     [&](Qt::Orientation o, int first, int last) {
                         for (int s = first; s <= last; ++s)
                             sections.insert({int(o), s});
                     });
    model.refresh();
    EXPECT_TRUE(cells.isEmpty());
    EXPECT_TRUE(sections.isEmpty());

    // Texts side by side, apart, in the last column, a style alone, a
    // caption and a column header.
    const int last = design.columnCount() - 1;
    design.setCell(1, data::design::Span, "1");
    design.setCell(2, data::design::Span, "2");
    design.setCell(5, data::design::Span, "5");
    design.setCell(last, data::design::RootChord, "x");
    design.assignCellStyle(3, data::design::RootChord, data::design::Hidden);
    design.setCell(0, data::design::RootChord, "翼弦");
    design.setCell(last, 0, "単位!");
    model.refresh();
    EXPECT_EQ(cells, (QSet<QPair<int, int>>{{1, data::design::Span},
                                            {2, data::design::Span},
                                            {5, data::design::Span},
                                            {last, data::design::RootChord},
                                            {3, data::design::RootChord}}));
    EXPECT_EQ(sections, (QSet<QPair<int, int>>{{int(Qt::Vertical), data::design::RootChord - 1},
                                               {int(Qt::Horizontal), last - 1}}));
    EXPECT_EQ(model.indexOf(5, data::design::Span).data().toString(), u"5"_qs);
    EXPECT_EQ(
        model.headerData(data::design::RootChord - 1, Qt::Vertical, Qt::DisplayRole).toString(),
        u"翼弦"_qs);

    // Nothing changed since: nothing reported.
    cells.clear();
    sections.clear();
    model.refresh();
    EXPECT_TRUE(cells.isEmpty());
    EXPECT_TRUE(sections.isEmpty());
}

// The view's cells as they are drawn on screen: into an image; only those
// in `area` when it is given.
QImage Drawn(TableView& view, const QRegion& area = {}) {
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    view.viewport()->render(&image, QPoint(), area);
    return image;
}

TEST_F(TableViewTest, CellPicturesDrawWhatTheCellsShow) {
    data::Table& marker = tables_.marker;
    for (int row = 1; row < marker.rowCount(); ++row)
        marker.setCell(data::marker::kValueColumn, row, std::to_string(row * 7));
    TableView& v = show(marker);
    v.tableModel()->refresh();
    ASSERT_TRUE(v.cellPictures());
    // Cells cut by the edge of what is drawn are not kept as they were cut.
    Drawn(v);
    for (int row = 1; row < marker.rowCount(); ++row)
        marker.setCell(data::marker::kValueColumn, row, std::to_string(row * 5));
    v.tableModel()->refresh();
    Drawn(v, QRect(0, 0, v.viewport()->width() / 2, 40));
    const QImage first = Drawn(v);
    EXPECT_EQ(Drawn(v), first);
    v.setCellPictures(false);
    EXPECT_EQ(Drawn(v), first);
    v.setCellPictures(true);

    // Some values change, some change back, one cell is current: drawn
    // from pictures where nothing changed, and the same as drawn anew.
    for (int step = 0; step < 3; ++step) {
        for (int row = 1; row < marker.rowCount(); row += 2)
            marker.setCell(data::marker::kValueColumn, row, std::to_string(row * 5 + step % 2));
        v.setCurrentIndex(v.tableModel()->indexOf(data::marker::kValueColumn, 3 + step));
        v.tableModel()->refresh();
        const QImage kept = Drawn(v);
        const QImage again = Drawn(v);
        v.setCellPictures(false);
        const QImage anew = Drawn(v);
        v.setCellPictures(true);
        EXPECT_TRUE(kept == anew) << "step " << step;
        EXPECT_TRUE(again == anew) << "step " << step;
        if (step % 2 == 1) {
            EXPECT_TRUE(kept != first);
        }
    }
}

// A number wider than its cell loses its last digits, not its sign: with
// the cell too narrow for either, -1665.6 and 1665.6 still look different.
TEST_F(TableViewTest, ANarrowCellKeepsTheSignAndLeadingDigits) {
    data::Table& marker = tables_.marker;
    TableView& v = show(marker);
    const int column = data::marker::kValueColumn - v.tableModel()->columnOffset();
    v.setColumnWidth(column, v.fontMetrics().horizontalAdvance(QStringLiteral("665.6")));
    const auto cell = [&](const char* text) {
        marker.setCell(data::marker::kValueColumn, 1, text);
        v.tableModel()->refresh();
        return Drawn(v).copy(v.visualRect(v.tableModel()->indexOf(data::marker::kValueColumn, 1)));
    };
    EXPECT_TRUE(cell("-1665.6000") != cell("1665.6000"));
    EXPECT_TRUE(cell("-1665.6000") != cell("-2665.6000")); // the leading digit shows
}

} // namespace
