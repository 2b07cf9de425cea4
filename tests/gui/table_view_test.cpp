#include "app/gui/table_view.h"

#include "data/tables.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPalette>
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
        view_ = std::make_unique<TableView>(table);
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
        // Made current only when needed: that would replace a selected block.
        if (view_->currentIndex() != at(column, row))
            view_->setCurrentIndex(at(column, row));
        QTest::keyClick(view_.get(), text[0]);
        auto* editor = qobject_cast<QLineEdit*>(view_->indexWidget(at(column, row)));
        EXPECT_NE(editor, nullptr);
        if (editor != nullptr && text[1] != '\0')
            QTest::keyClicks(editor, text + 1);
        return editor;
    }

    void enter(QLineEdit* editor) {
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
    }

    data::Tables tables_;
    std::unique_ptr<TableView> view_;
    std::vector<Finished> finished_;
};

TEST_F(TableViewTest, ModelMirrorsTheInputTable) {
    TableModel model(tables_.input);
    ASSERT_EQ(model.rowCount(), 37);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), u"項目"_qs);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), u"単位"_qs);
    EXPECT_EQ(model.index(0, 0).data().toString(), u"風速"_qs);
    EXPECT_EQ(model.index(3, 1).data().toString(), u"150"_qs);
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            EXPECT_EQ(bool(model.flags(model.index(r, c)) & Qt::ItemIsEditable),
                      tables_.input.isEditable(c, r + 1))
                << c << "," << r + 1;

    const QPalette palette = QApplication::palette();
    EXPECT_EQ(model.index(0, 0).data(Qt::BackgroundRole).value<QBrush>(),
              palette.brush(QPalette::Button)); // "風速" caption is shaded
    EXPECT_EQ(model.index(3, 0).data(Qt::BackgroundRole).value<QBrush>(),
              palette.brush(QPalette::Base));
    EXPECT_EQ(model.index(0, 1).data(skarvel::gui::kIndentRole).toInt(), 3);
}

TEST_F(TableViewTest, FixedCaptionColumnBecomesTheVerticalHeader) {
    TableModel model(tables_.design);
    ASSERT_EQ(model.columnCount(), 7);
    ASSERT_EQ(model.rowCount(), 21);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), u"主翼"_qs);
    EXPECT_EQ(model.headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), u"形式"_qs);
    EXPECT_EQ(model.headerData(10, Qt::Vertical, Qt::TextAlignmentRole).toInt() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_EQ(model.headerData(11, Qt::Vertical, Qt::TextAlignmentRole).toInt() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight); // "紙重さ" reads as a sub-row of "紙名称"

    const QModelIndex i = model.indexOf(data::design::Fuselage, data::design::Span);
    EXPECT_EQ(i, model.index(3, 4));
    EXPECT_EQ(model.tableColumn(i), data::design::Fuselage);
    EXPECT_EQ(model.tableRow(i), data::design::Span);
    EXPECT_EQ(i.data().toString(), u"190"_qs);
    EXPECT_EQ(model.index(10, 4).data().toString(), u"ﾋﾉｷ2mm"_qs);

    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            EXPECT_EQ(bool(model.flags(model.index(r, c)) & Qt::ItemIsEditable),
                      tables_.design.isEditable(c + 1, r + 1))
                << c + 1 << "," << r + 1;
}

TEST_F(TableViewTest, HiddenCellShowsNothingAndCannotBeEdited) {
    tables_.design.assignCellStyle(data::design::InnerWing, data::design::Span,
                                   data::design::Hidden);
    TableModel model(tables_.design);
    const QModelIndex i = model.indexOf(data::design::InnerWing, data::design::Span);
    EXPECT_TRUE(i.data().toString().isEmpty());
    EXPECT_FALSE(model.flags(i) & Qt::ItemIsEditable);
    EXPECT_EQ(tables_.design.cell(data::design::InnerWing, data::design::Span), "40");
}

TEST_F(TableViewTest, ValueCellsRefuseCharactersOfOtherKinds) {
    using namespace data;
    show(tables_.input);
    QLineEdit* e = type(input::kValueColumn, input::Altitude, "12a");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text(), u"12"_qs); // typing replaced "2"; the letter was refused
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

    show(tables_.marker);
    e = type(marker::kValueColumn, 2, "-1.5");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text(), u"1.5"_qs); // 時刻: positive real
    enter(e);
    EXPECT_EQ(tables_.marker.cell(marker::kValueColumn, 2), "1.5");

    e = type(marker::kValueColumn, 1, "3.5e-");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text(), u"35"_qs); // ポイントNo: digits only
}

TEST_F(TableViewTest, RefusedCharactersAlreadyInTheCellCanBeDeleted) {
    tables_.input.setCell(data::input::kValueColumn, 1, "ab");
    TableView& v = show(tables_.input);
    const QModelIndex i = at(data::input::kValueColumn, 1);
    v.setCurrentIndex(i);
    QTest::keyClick(&v, Qt::Key_F2);
    auto* e = qobject_cast<QLineEdit*>(v.indexWidget(i));
    ASSERT_NE(e, nullptr);
    e->end(false);
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), u"a"_qs);
    QTest::keyClick(e, 'b');
    EXPECT_EQ(e->text(), u"a"_qs);
}

TEST_F(TableViewTest, EnterReportsAfterTheTableHoldsTheText) {
    using namespace data;
    show(tables_.input);
    QLineEdit* e = type(input::kValueColumn, input::WindSpeed, "3");
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(tables_.input.cell(input::kValueColumn, input::WindSpeed), "3");
    EXPECT_TRUE(finished_.empty()); // not from inside the closing editor
    Settle();
    ASSERT_EQ(finished_.size(), 1u);
    const Finished& f = finished_[0];
    EXPECT_EQ(f.column, input::kValueColumn);
    EXPECT_EQ(f.row, input::WindSpeed);
    EXPECT_TRUE(f.withEnter);
    EXPECT_TRUE(f.changed);
    EXPECT_EQ(f.cellAtSignal, "3");
    EXPECT_FALSE(f.editorOpenAtSignal);
}

TEST_F(TableViewTest, EnterWithTheSameTextReportsNoChange) {
    using namespace data;
    TableView& v = show(tables_.design);
    const QModelIndex i = at(design::MainWing, design::Span);
    v.setCurrentIndex(i);
    QTest::keyClick(&v, Qt::Key_F2);
    auto* e = qobject_cast<QLineEdit*>(v.indexWidget(i));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text(), u"170"_qs);
    enter(e);
    ASSERT_EQ(finished_.size(), 1u);
    EXPECT_EQ(finished_[0].column, design::MainWing);
    EXPECT_EQ(finished_[0].row, design::Span);
    EXPECT_TRUE(finished_[0].withEnter);
    EXPECT_FALSE(finished_[0].changed);
}

TEST_F(TableViewTest, LeavingByClickWritesWithoutEnter) {
    using namespace data;
    TableView& v = show(tables_.parameter);
    QLineEdit* e = type(param::kValueColumn, param::CLa, "5");
    ASSERT_NE(e, nullptr);
    QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, v.visualRect(at(0, param::Cma)).center());
    Settle();
    EXPECT_EQ(tables_.parameter.cell(param::kValueColumn, param::CLa), "5");
    ASSERT_EQ(finished_.size(), 1u);
    EXPECT_EQ(finished_[0].row, param::CLa);
    EXPECT_FALSE(finished_[0].withEnter);
    EXPECT_TRUE(finished_[0].changed);
}

TEST_F(TableViewTest, EscapeCancelsSilently) {
    using namespace data;
    show(tables_.input);
    QLineEdit* e = type(input::kValueColumn, input::LaunchSpeed, "99");
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Escape);
    Settle();
    EXPECT_EQ(tables_.input.cell(input::kValueColumn, input::LaunchSpeed), "150");
    EXPECT_FALSE(editorOpen(input::kValueColumn, input::LaunchSpeed));
    EXPECT_TRUE(finished_.empty());
}

TEST_F(TableViewTest, EnterOnACellNotBeingEditedConfirmsNothing) {
    TableView& v = show(tables_.input);
    v.setCurrentIndex(at(data::input::kValueColumn, 1));
    QTest::keyClick(&v, Qt::Key_Return);
    QTest::keyClick(&v, Qt::Key_Down);
    Settle();
    EXPECT_TRUE(finished_.empty());
    EXPECT_FALSE(editorOpen(data::input::kValueColumn, 1));
    EXPECT_EQ(v.currentIndex(), at(data::input::kValueColumn, 2));
}

TEST_F(TableViewTest, TextEditedFollowsTheEditor) {
    TableView& v = show(tables_.input);
    std::vector<QString> texts;
    QObject::connect(&v, &TableView::textEdited, &v, [&](int column, int row, const QString& t) {
        EXPECT_EQ(column, data::input::kValueColumn);
        EXPECT_EQ(row, data::input::LaunchSpeed);
        texts.push_back(t);
    });
    type(data::input::kValueColumn, data::input::LaunchSpeed, "1x2");
    EXPECT_EQ(texts, (std::vector<QString>{u"1"_qs, u"12"_qs}));
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
    for (int row = 3; row <= 4; ++row)
        tables_.marker.setCell(value, row, "7");

    // Leaving by a click writes the edited cell alone.
    SelectBlock(v, 0, 1, 2, 4);
    v.selectionModel()->setCurrentIndex(at(value, 2), QItemSelectionModel::NoUpdate);
    QLineEdit* e = type(value, 2, "8");
    ASSERT_NE(e, nullptr);
    QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, v.visualRect(at(2, 10)).center());
    Settle();
    EXPECT_EQ(tables_.marker.cell(value, 2), "8");
    EXPECT_EQ(tables_.marker.cell(value, 1), "");

    // Enter: the other editable cell of the block too, never the read-only ones.
    SelectBlock(v, 0, 1, 2, 4);
    v.selectionModel()->setCurrentIndex(at(value, 2), QItemSelectionModel::NoUpdate);
    e = type(value, 2, "9");
    ASSERT_NE(e, nullptr);
    enter(e);
    EXPECT_EQ(tables_.marker.cell(value, 2), "9");
    EXPECT_EQ(tables_.marker.cell(value, 1), "9");
    EXPECT_EQ(tables_.marker.cell(value, 3), "7");
    EXPECT_EQ(tables_.marker.cell(value, 4), "7");
    EXPECT_EQ(tables_.marker.cell(0, 1), "ポイントNo");
    EXPECT_EQ(tables_.marker.cell(2, 2), "s");
    ASSERT_EQ(finished_.size(), 2u);
    EXPECT_TRUE(finished_[1].withEnter);
    EXPECT_EQ(finished_[1].cellAtSignal, "9");
}

TEST_F(TableViewTest, BlockEditingNeedsOneRectangleAndTheSwitch) {
    using namespace data;
    TableView& v = show(tables_.input);
    const int value = input::kValueColumn;

    // Two separate pieces are not a block.
    v.setBlockEditing(true);
    SelectBlock(v, value, 1, value, 2);
    SelectBlock(v, value, 5, value, 6, QItemSelectionModel::Select);
    v.selectionModel()->setCurrentIndex(at(value, 1), QItemSelectionModel::NoUpdate);
    QLineEdit* e = type(value, 1, "4");
    ASSERT_NE(e, nullptr);
    enter(e);
    EXPECT_EQ(tables_.input.cell(value, 1), "4");
    EXPECT_EQ(tables_.input.cell(value, 2), "0");
    EXPECT_EQ(tables_.input.cell(value, 6), "0");

    // Without block editing a block is only a selection.
    v.setBlockEditing(false);
    SelectBlock(v, value, 1, value, 3);
    v.selectionModel()->setCurrentIndex(at(value, 1), QItemSelectionModel::NoUpdate);
    e = type(value, 1, "5");
    ASSERT_NE(e, nullptr);
    enter(e);
    EXPECT_EQ(tables_.input.cell(value, 1), "5");
    EXPECT_EQ(tables_.input.cell(value, 2), "0");

    // With it, the whole rectangle, on both sides of the edited cell.
    v.setBlockEditing(true);
    SelectBlock(v, value, 1, value, 3);
    v.selectionModel()->setCurrentIndex(at(value, 2), QItemSelectionModel::NoUpdate);
    e = type(value, 2, "6");
    ASSERT_NE(e, nullptr);
    enter(e);
    EXPECT_EQ(tables_.input.cell(value, 1), "6");
    EXPECT_EQ(tables_.input.cell(value, 3), "6");
    EXPECT_EQ(tables_.input.cell(value, 4), "150");
}

TEST_F(TableViewTest, GeometryFollowsTheTable) {
    TableView& input = show(tables_.input);
    EXPECT_FALSE(input.verticalHeader()->isVisible());
    EXPECT_EQ(input.columnWidth(0), 92);
    EXPECT_EQ(input.columnWidth(1), 43);
    EXPECT_EQ(input.columnWidth(2), 33);
    for (int r : {0, 20, 36})
        EXPECT_EQ(input.rowHeight(r), 16);
    EXPECT_EQ(input.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

    TableView& design = show(tables_.design);
    EXPECT_TRUE(design.verticalHeader()->isVisible());
    EXPECT_EQ(design.verticalHeader()->width(), 75);
    EXPECT_EQ(design.columnWidth(0), 60);
    EXPECT_EQ(design.columnWidth(6), 40);
    EXPECT_EQ(design.rowHeight(20), 16);
}

} // namespace
