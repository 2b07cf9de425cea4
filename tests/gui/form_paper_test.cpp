#include "gui/form_paper.h"

#include "common/temp_dir.h"
#include "data/codec.h"
#include "model/paper_catalogue.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using skarvel::gui::TFormPaper;
namespace col = skarvel::model::paper_column;

namespace {

const char* const kCatalogue = "ケント紙\tKT-1\tA4\t白\t100\t0.12\t0.83\t12\t8\t1.5\r\n"
                               "画用紙\tGY-2\tB4\t白\t90\t0.11\t0.82\t10\t7\t1.43\r\n"
                               "ﾋﾉｷ2mm\t板\r\n"
                               "色画用紙\tIR-3\tA4\t青\t120\t0.15\t0.8\t15\t9\t1.67\r\n";

void ClickHeader(TFormPaper& form, int column) {
    QHeaderView* header = form.list()->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

class FormPaperTest : public ::testing::Test {
  protected:
    void write(const std::string& utf8) {
        std::ofstream(path_, std::ios::binary) << skarvel::data::EncodeCp932(utf8);
    }
    int selectedRow(const TFormPaper& form) const {
        const QModelIndexList rows = form.list()->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }

    skarvel::test::TempDir dir_;
    std::string path_ = dir_.file("Paper.ini");
};

// The list shows the catalogue as read; how lines become rows is the
// catalogue's own test.
TEST_F(FormPaperTest, ListsTheCatalogue) {
    write(kCatalogue);
    TFormPaper form(QString::fromStdString(path_));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("紙の設定"));
    ASSERT_EQ(form.rowCount(), 4);
    EXPECT_EQ(form.cell(1, col::Number), "2");
    EXPECT_EQ(form.cell(1, col::Name), QStringLiteral("画用紙"));
    EXPECT_EQ(form.cell(1, col::Weight), "90");

    TFormPaper none(QString::fromStdString(dir_.file("missing.ini")));
    EXPECT_EQ(none.rowCount(), 0);
}

TEST_F(FormPaperTest, ShowSelectsTheRowNamedLikeThePaper) {
    write(kCatalogue);
    TFormPaper form(QString::fromStdString(path_));
    form.setSelected(QStringLiteral("画用紙"), "1", "2");
    form.prepareShow();
    EXPECT_EQ(selectedRow(form), 1);
    EXPECT_EQ(form.list()->currentIndex().row(), 1);

    form.setSelected(QStringLiteral("和紙"), "1", "2");
    form.prepareShow();
    EXPECT_EQ(selectedRow(form), -1);
    EXPECT_FALSE(form.list()->currentIndex().isValid());
}

TEST_F(FormPaperTest, OkTakesNameWeightAndThicknessOfTheSelectedRow) {
    write(kCatalogue);
    TFormPaper form(QString::fromStdString(path_));
    form.show();
    form.setSelected(QStringLiteral("ケント紙"), "0", "0");
    form.prepareShow();
    form.list()->selectRow(3);
    form.okAction()->trigger();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.selectedName(), QStringLiteral("色画用紙"));
    EXPECT_EQ(form.selectedWeight(), "120");
    EXPECT_EQ(form.selectedThickness(), "0.15");

    form.show();
    form.prepareShow();
    form.setResult(QDialog::Rejected);
    form.list()->selectRow(1);
    QTest::keyClick(form.list(), Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.selectedName(), QStringLiteral("画用紙"));
    EXPECT_EQ(form.selectedWeight(), "90");
    EXPECT_EQ(form.selectedThickness(), "0.11");

    form.show();
    form.prepareShow();
    QTableView* list = form.list();
    const QPoint at = list->visualRect(list->model()->index(0, col::Name)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(form.selectedName(), QStringLiteral("ケント紙"));
    EXPECT_EQ(form.selectedThickness(), "0.12");
}

TEST_F(FormPaperTest, CancelAndEscapeKeepThePassedValues) {
    write(kCatalogue);
    TFormPaper form(QString::fromStdString(path_));
    form.show();
    form.setSelected(QStringLiteral("和紙"), "64", "0.09");
    form.prepareShow();
    form.list()->selectRow(0);
    form.cancelAction()->trigger();
    EXPECT_EQ(form.result(), QDialog::Rejected);

    form.show();
    form.setResult(QDialog::Accepted);
    form.list()->selectRow(1);
    QTest::keyClick(form.list(), Qt::Key_Escape);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(form.selectedName(), QStringLiteral("和紙"));
    EXPECT_EQ(form.selectedWeight(), "64");
    EXPECT_EQ(form.selectedThickness(), "0.09");
}

TEST_F(FormPaperTest, ChooseHandsTheValuesBack) {
    write(kCatalogue);
    TFormPaper form(QString::fromStdString(path_));
    QString name = QStringLiteral("画用紙"), weight = "1", thickness = "2";
    QTimer::singleShot(0, &form, [&form] { form.okAction()->trigger(); });
    EXPECT_TRUE(form.choose(name, weight, thickness));
    EXPECT_EQ(weight, "90");
    EXPECT_EQ(thickness, "0.11");

    QTimer::singleShot(0, &form, [&form] {
        form.list()->selectRow(0);
        form.cancelAction()->trigger();
    });
    EXPECT_FALSE(form.choose(name, weight, thickness));
    EXPECT_EQ(name, QStringLiteral("画用紙"));
    EXPECT_EQ(weight, "90");
}

// The reload button reads the file again; renumbering and a missing file are
// the catalogue's own test.
TEST_F(FormPaperTest, ReloadReadsTheFileAgain) {
    write(kCatalogue);
    TFormPaper form(QString::fromStdString(path_));
    form.show();
    write("新聞紙\tNP\tA3\t灰\t45\t0.07\r\n画用紙\tGY-2\tB4\t白\t90\t0.11\r\n");
    form.reloadAction()->trigger();
    ASSERT_EQ(form.rowCount(), 2);
    EXPECT_EQ(form.cell(0, col::Name), QStringLiteral("新聞紙"));
}

TEST_F(FormPaperTest, HeaderClickSortsAscendingAndKeepsTheSelection) {
    write(kCatalogue);
    TFormPaper form(QString::fromStdString(path_));
    form.show();
    form.setSelected(QStringLiteral("ケント紙"), "", "");
    form.prepareShow();
    for (int click = 0; click < 2; ++click) {
        ClickHeader(form, col::Weight);
        EXPECT_EQ(form.cell(1, col::Weight), "90");
        EXPECT_EQ(form.cell(2, col::Weight), "100");
        EXPECT_EQ(form.cell(3, col::Weight), "120");
        EXPECT_EQ(selectedRow(form), 2);
    }
}

} // namespace
