// The sweep window beside the main window: entries, a sweep in the
// background, cancelling it, flying a point of it and saving its rows.

#include "gui/sweep_dialog.h"

#include "data/tables.h"
#include "gui/chart.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using skarvel::gui::Chart;
using skarvel::gui::ColorMap;
using skarvel::gui::Command;
using skarvel::gui::SweepDialog;
using skarvel::test::Window;
namespace in = skarvel::data::input;

constexpr int kLongWaitMs = 60'000;

SweepDialog* Open(Window& w) {
    w.trigger(Command::Sweep);
    SweepDialog* d = w.beside<skarvel::gui::SweepDialog>("SweepDialog");
    EXPECT_NE(d, nullptr);
    if (d != nullptr) {
        EXPECT_TRUE(d->isVisible());
        EXPECT_FALSE(d->isModal());
    }
    return d;
}

// Chooses a cell for variable k (empty: "なし") and types its range.
void Enter(SweepDialog* d, int k, const QString& name, const QString& from = {},
           const QString& to = {}, const QString& step = {}) {
    QComboBox* box = d->variableBox(k);
    const int index = name.isEmpty() ? 0 : box->findData(name);
    ASSERT_GE(index, 0) << name.toStdString();
    box->setCurrentIndex(index);
    if (!name.isEmpty()) {
        d->fromEdit(k)->setText(from);
        d->toEdit(k)->setText(to);
        d->stepEdit(k)->setText(step);
    }
}

// Starts the sweep with the button and waits for its end in the event loop.
void RunToTheEnd(SweepDialog* d) {
    ASSERT_TRUE(d->startButton()->isEnabled()) << d->pointsLabel()->text().toStdString();
    QTest::mouseClick(d->startButton(), Qt::LeftButton);
    // The click only starts it: the rows come from the event loop.
    EXPECT_TRUE(d->running());
    EXPECT_TRUE(d->rows().empty());
    EXPECT_FALSE(d->startButton()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([d] { return !d->running(); }, kLongWaitMs));
    // A queued replot lays the chart out.
    QCoreApplication::processEvents();
}

// A left click at a pixel of a chart, given to the widget under it.
void ClickAt(QWidget* chart, QPoint pixel) {
    QWidget* target = chart->childAt(pixel);
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(chart, pixel));
}

const QString kLaunch = QStringLiteral("初速");
const QString kClimb = QStringLiteral("上下角");

} // namespace

TEST(SweepDialog, OneVariableRunsInTheBackgroundToOnePointPerValue) {
    Window w;
    SweepDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Open(w), d);
    Enter(d, 0, kLaunch, QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("0.5"));
    Enter(d, 1, {});
    EXPECT_EQ(d->pointsLabel()->text(), QStringLiteral("点数: 5"));
    RunToTheEnd(d);

    ASSERT_EQ(d->rows().size(), 5u);
    EXPECT_EQ(d->resultTable()->model()->rowCount(), 5);
    EXPECT_EQ(d->shownChart(), d->chart());
    int plotted = 0;
    double best = -1;
    for (std::size_t i = 0; i < d->rows().size(); ++i) {
        const auto& row = d->rows()[i];
        EXPECT_EQ(row.point, i);
        ASSERT_TRUE(row.summary) << i;
        ++plotted;
        best = std::max(best, row.summary->airborneTime);
    }
    EXPECT_EQ(d->chart()->pointCount(0), plotted);
    EXPECT_EQ(d->chart()->pointX(4), 6.0);
    // The best of 滞空時間 marked: the longest flight.
    ASSERT_TRUE(d->bestRow());
    EXPECT_EQ(d->rows()[*d->bestRow()].summary->airborneTime, best);
    ASSERT_EQ(d->chart()->pointCount(1), 1);
    EXPECT_EQ(d->chart()->pointY(1, 0), best);
    EXPECT_TRUE(d->progressLabel()->text().startsWith(QStringLiteral("完了: 5 点")));
    EXPECT_TRUE(d->saveButton()->isEnabled());
    EXPECT_EQ(w.rows(), 1u); // a sweep adds nothing to the history

    // Another figure: the same points, its own best (the least sink).
    d->figureBox()->setCurrentIndex(5);
    EXPECT_EQ(d->chart()->leftTitle(), QStringLiteral("沈下率(m/s)"));
    EXPECT_EQ(d->chart()->pointCount(0), plotted);
    double least = 1e9;
    for (const auto& row : d->rows()) {
        least = std::min(least, row.summary->sinkRate);
    }
    EXPECT_EQ(d->chart()->pointY(1, 0), least);
}

// A cell a trim flight wrote to full precision: its range's ends shown from
// their start, as the table cell shows the value.
TEST(SweepDialog, AChosenCellOffersARangeAboutItsValue) {
    Window w;
    w.ws().editCell(skarvel::app::TableId::Input, in::kValueColumn, in::ClimbAngle,
                    "13.164138998510214");
    SweepDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    d->variableBox(1)->setCurrentIndex(d->variableBox(1)->findData(kClimb));
    EXPECT_EQ(d->fromEdit(1)->text(), QStringLiteral("11.164138998510214"));
    EXPECT_EQ(d->stepEdit(1)->text(), QStringLiteral("0.5"));
    EXPECT_EQ(d->fromEdit(1)->cursorPosition(), 0);
}

TEST(SweepDialog, RefusedEntriesSayWhyAndCannotStart) {
    Window w;
    SweepDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    const auto refused = [d](const QString& message) {
        EXPECT_EQ(d->pointsLabel()->text(), message);
        EXPECT_FALSE(d->startButton()->isEnabled());
        EXPECT_FALSE(d->entries());
    };
    Enter(d, 0, kLaunch, QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("0"));
    refused(QStringLiteral("変数1の刻みに 0 は使えません"));
    d->stepEdit(0)->setText(QStringLiteral("-1"));
    refused(QStringLiteral("変数1の刻みの符号が逆です（開始値から終了値へ向かいません）"));
    d->stepEdit(0)->setText(QStringLiteral("1"));
    d->fromEdit(0)->setText(QStringLiteral("abc"));
    refused(QStringLiteral("変数1の開始値「abc」は数値ではありません"));
    d->fromEdit(0)->setText(QString());
    refused(QStringLiteral("変数1の開始値を入力してください"));
    d->fromEdit(0)->setText(QStringLiteral("4"));
    Enter(d, 1, kLaunch, QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1"));
    refused(QStringLiteral("変数1と変数2に同じセルは選べません"));
    Enter(d, 1, kClimb, QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0.00001"));
    EXPECT_TRUE(d->pointsLabel()->text().startsWith(QStringLiteral("点数 300003 はこの画面の上限")))
        << d->pointsLabel()->text().toStdString();
    EXPECT_FALSE(d->startButton()->isEnabled());
    // The sweep's own refusals: a count it can tell, one it cannot, a range
    // beyond the doubles.
    Enter(d, 1, kClimb, QStringLiteral("0"), QStringLiteral("1e8"), QStringLiteral("1"));
    refused(QStringLiteral("変数2の点数 100000001 は上限 10000000 点を超えています。"
                           "範囲を狭めるか刻みを大きくしてください"));
    d->toEdit(1)->setText(QStringLiteral("1"));
    d->stepEdit(1)->setText(QStringLiteral("1e-300"));
    refused(QStringLiteral("変数2の点数が多すぎます（上限 10000000 点）。"
                           "範囲を狭めるか刻みを大きくしてください"));
    Enter(d, 1, kClimb, QStringLiteral("-1e308"), QStringLiteral("1e308"), QStringLiteral("1e307"));
    refused(QStringLiteral("変数2の範囲が大きすぎて計算できません（開始値・終了値・刻みの値が"
                           "大きすぎます）"));

    // Put right, the count comes back and the button with it.
    d->fromEdit(1)->setText(QStringLiteral("0"));
    d->toEdit(1)->setText(QStringLiteral("1"));
    d->stepEdit(1)->setText(QStringLiteral("0.5"));
    EXPECT_EQ(d->pointsLabel()->text(), QStringLiteral("点数: 3 × 3 = 9"));
    EXPECT_TRUE(d->startButton()->isEnabled());
}

// 中止, and Esc as the window's own close, stop the sweep where it is.
TEST(SweepDialog, CancelAndEscStopTheSweepWithTheRowsSoFar) {
    Window w;
    SweepDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    // Some 40000 points: seconds of work, cancelled long before the end.
    Enter(d, 0, kLaunch, QStringLiteral("3"), QStringLiteral("7"), QStringLiteral("0.01"));
    Enter(d, 1, kClimb, QStringLiteral("-10"), QStringLiteral("10"), QStringLiteral("0.2"));
    ASSERT_TRUE(d->entries());
    const std::size_t size = d->entries()->size();
    for (const bool escape : {false, true}) {
        QTest::mouseClick(d->startButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([d] { return !d->rows().empty(); }, kLongWaitMs));
        EXPECT_TRUE(d->cancelButton()->isEnabled());
        if (escape) {
            QTest::keyClick(d, Qt::Key_Escape);
            EXPECT_FALSE(d->isVisible());
        } else {
            QTest::mouseClick(d->cancelButton(), Qt::LeftButton);
        }
        EXPECT_FALSE(d->cancelButton()->isEnabled());
        ASSERT_TRUE(QTest::qWaitFor([d] { return !d->running(); }, 5000));
        const std::size_t taken = d->rows().size();
        EXPECT_LT(taken, size);
        EXPECT_TRUE(d->progressLabel()->text().startsWith(QStringLiteral("中止しました")));
        EXPECT_TRUE(d->startButton()->isEnabled());
        QTest::qWait(3 * SweepDialog::kPollMs);
        EXPECT_EQ(d->rows().size(), taken);
    }
}

TEST(SweepDialog, AClickedPointIsFlownAsARun) {
    Window w;
    SweepDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    Enter(d, 0, kLaunch, QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("1"));
    Enter(d, 1, {});
    RunToTheEnd(d);
    ASSERT_EQ(d->chart()->pointCount(0), 3);

    EXPECT_EQ(d->chart()->bottomTitle(), QStringLiteral("初速(km/h)"));
    // Beside a point, off the line's points: nothing flown, no cell written.
    const QPoint first = d->chart()->pixelOf(d->chart()->pointX(0), d->chart()->pointY(0, 0));
    ClickAt(d->chart(), first + QPoint(12, 0));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.rows(), 1u);
    // The line: the last point.
    ClickAt(d->chart(), d->chart()->pixelOf(d->chart()->pointX(2), d->chart()->pointY(0, 2)));
    EXPECT_EQ(w.rows(), 1u); // queued, not flown in the click
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.rows(), 2u);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::LaunchSpeed), "6");
    EXPECT_TRUE(w.errors.isEmpty());

    // The colour map of two variables: its cell (column 0, row 1).
    Enter(d, 1, kClimb, QStringLiteral("-5"), QStringLiteral("5"), QStringLiteral("5"));
    RunToTheEnd(d);
    ASSERT_EQ(d->rows().size(), 9u);
    ASSERT_EQ(d->shownChart(), d->colorMap());
    ColorMap* map = d->colorMap();
    ASSERT_EQ(map->columns(), 3);
    ASSERT_EQ(map->rows(), 3);
    for (const auto& row : d->rows()) {
        const ColorMap::Cell cell{int(row.point / 3), int(row.point % 3)};
        EXPECT_EQ(map->value(cell), row.summary ? row.summary->airborneTime : map->value(cell));
    }
    ASSERT_TRUE(d->bestRow());
    const std::size_t best = d->rows()[*d->bestRow()].point;
    EXPECT_EQ(map->mark(), (ColorMap::Cell{int(best / 3), int(best % 3)}));
    const QPoint cell = map->pixelOf({0, 1});
    // Hovering names the point's values.
    QWidget* plot = map->childAt(cell);
    ASSERT_NE(plot, nullptr);
    const QPointF at = plot->mapFrom(map, cell);
    QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &move);
    const QString text = d->pointLabel()->text();
    // Read without its word joiners and no-break spaces.
    const QString read = QString(text).remove(QChar(0x2060)).replace(QChar::Nbsp, u' ');
    EXPECT_TRUE(
        read.startsWith(QStringLiteral("点 1　初速(km/h) = 4　上下角(度) = 0　滞空時間(s) ")))
        << text.toStdString();
    // However narrow, its lines break between the values only, never in
    // "速度(m/s)" or between a caption and its value.
    for (int width = 40; width <= 400; width += 15) {
        QTextLayout layout(text, d->pointLabel()->font());
        QTextOption wrap;
        wrap.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(wrap);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            const int start = line.textStart();
            EXPECT_TRUE(start == 0 || text[start - 1] == QChar(0x3000))
                << width << ": " << text.mid(start).toStdString();
        }
        layout.endLayout();
    }
    ClickAt(map, cell);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.rows(), 3u);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::LaunchSpeed), "4");
    EXPECT_EQ(w.ws().tables().input.cell(1, in::ClimbAngle), "0");
}

TEST(SweepDialog, SavesTheRowsAsCsv) {
    Window w;
    SweepDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->saveButton()->isEnabled()); // nothing swept yet
    Enter(d, 0, kLaunch, QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("0.5"));
    Enter(d, 1, QStringLiteral("主翼/上反角"), QStringLiteral("5"), QStringLiteral("9"),
          QStringLiteral("4"));
    RunToTheEnd(d);
    ASSERT_EQ(d->rows().size(), 6u);

    std::string expected = skarvel::app::SweepCsvHeader(*d->grid());
    for (const auto& row : d->rows()) {
        expected += skarvel::app::SweepCsvLine(row);
    }
    w.nextFile = QString::fromStdString(w.dir.file("sweep.csv"));
    QTest::mouseClick(d->saveButton(), Qt::LeftButton);
    QFile file(w.nextFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), expected);
    EXPECT_TRUE(w.errors.isEmpty());

    // A folder that is not there: the file error, named.
    w.nextFile = QString::fromStdString(w.dir.file("missing/sweep.csv"));
    QTest::mouseClick(d->saveButton(), Qt::LeftButton);
    ASSERT_EQ(w.errors.size(), 1);
    EXPECT_TRUE(w.errors[0].contains(QStringLiteral("sweep.csv"))) << w.errors[0].toStdString();
}
