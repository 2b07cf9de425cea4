// The sweep window beside the main window: entries, a sweep in the
// background, cancelling it, flying a point of it and saving its rows.

#include "gui/color_map.h"
#include "gui/sweep_dialog.h"

#include "data/tables.h"
#include "gui/chart.h"
#include "gui/optimise_dialog.h"
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

// The window's widgets by their object names; a field of variable k by
// its name and number.
template <typename T = QPushButton> T* Find(SweepDialog* d, const char* name) {
    T* widget = d->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}
QLineEdit* Field(SweepDialog* d, const char* name, int k) {
    return d->findChild<QLineEdit*>(QString::fromLatin1(name) + QString::number(k + 1));
}
QLabel* Points(SweepDialog* d) {
    return Find<QLabel>(d, "SweepPoints");
}

// Chooses a cell for variable k (empty: "なし") and types its range.
void Enter(SweepDialog* d, int k, const QString& name, const QString& from = {},
           const QString& to = {}, const QString& step = {}) {
    auto* box = d->findChild<QComboBox*>(QStringLiteral("SweepVariable%1").arg(k + 1));
    const int index = name.isEmpty() ? 0 : box->findData(name);
    ASSERT_GE(index, 0) << name.toStdString();
    box->setCurrentIndex(index);
    if (!name.isEmpty()) {
        Field(d, "SweepFrom", k)->setText(from);
        Field(d, "SweepTo", k)->setText(to);
        Field(d, "SweepStep", k)->setText(step);
    }
}

// Starts the sweep with the button and waits for its end in the event loop.
void RunToTheEnd(SweepDialog* d) {
    ASSERT_TRUE(Find(d, "SweepStart")->isEnabled()) << Points(d)->text().toStdString();
    QTest::mouseClick(Find(d, "SweepStart"), Qt::LeftButton);
    // The click only starts it: the rows come from the event loop.
    EXPECT_TRUE(d->running());
    EXPECT_TRUE(d->results().rows().empty());
    EXPECT_FALSE(Find(d, "SweepStart")->isEnabled());
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
    EXPECT_EQ(Points(d)->text(), QStringLiteral("点数: 5"));
    RunToTheEnd(d);

    const auto& rows = d->results().rows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(Find<QTableView>(d, "SweepRows")->model()->rowCount(), 5);
    Chart* chart = Find<Chart>(d, "SweepChart");
    EXPECT_TRUE(chart->isVisible());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].point, i);
        ASSERT_TRUE(rows[i].summary) << i;
    }
    EXPECT_EQ(chart->pointCount(0), 5);
    EXPECT_EQ(chart->pointX(4), 6.0);
    // The best of 滞空時間 marked.
    ASSERT_TRUE(d->results().best());
    ASSERT_EQ(chart->pointCount(1), 1);
    EXPECT_EQ(chart->pointY(1, 0), rows[*d->results().best()].summary->airborneTime);
    EXPECT_TRUE(Find<QLabel>(d, "SweepProgress")->text().startsWith(QStringLiteral("完了: 5 点")));
    EXPECT_TRUE(Find(d, "SweepSaveCsv")->isEnabled());
    EXPECT_EQ(w.rows(), 1u); // a sweep adds nothing to the history

    // Another figure: the same points, its own best.
    auto* figures = Find<QComboBox>(d, "SweepFigure");
    figures->setCurrentIndex(figures->findText(QStringLiteral("沈下率(m/s)")));
    EXPECT_EQ(chart->leftTitle(), QStringLiteral("沈下率(m/s)"));
    EXPECT_EQ(chart->pointCount(0), 5);
    EXPECT_EQ(chart->pointY(1, 0), rows[*d->results().best()].summary->sinkRate);
}

// A cell a trim flight wrote to full precision: its range's ends shown from
// their start, as the table cell shows the value.
TEST(SweepDialog, AChosenCellOffersARangeAboutItsValue) {
    Window w;
    w.ws().editCell(skarvel::app::TableId::Input, in::kValueColumn, in::ClimbAngle,
                    "13.164138998510214");
    SweepDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    // It opens on 初速 alone.
    EXPECT_EQ(Find<QComboBox>(d, "SweepVariable1")->currentData().toString(), kLaunch);
    EXPECT_FALSE(Field(d, "SweepFrom", 1)->isEnabled());
    auto* box = Find<QComboBox>(d, "SweepVariable2");
    box->setCurrentIndex(box->findData(kClimb));
    EXPECT_EQ(Field(d, "SweepFrom", 1)->text(), QStringLiteral("11.164138998510214"));
    EXPECT_EQ(Field(d, "SweepStep", 1)->text(), QStringLiteral("0.5"));
    EXPECT_EQ(Field(d, "SweepFrom", 1)->cursorPosition(), 0);
}

TEST(SweepDialog, RefusedEntriesSayWhyAndCannotStart) {
    Window w;
    SweepDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    Enter(d, 0, kLaunch, QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("0"));
    Enter(d, 1, kClimb, QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0.5"));
    EXPECT_EQ(Points(d)->text(), QStringLiteral("変数1の刻みに 0 は使えません"));
    EXPECT_FALSE(Find(d, "SweepStart")->isEnabled());
    EXPECT_FALSE(d->entries());

    // Put right, the count comes back and the button with it.
    Field(d, "SweepStep", 0)->setText(QStringLiteral("1"));
    EXPECT_EQ(Points(d)->text(), QStringLiteral("点数: 3 × 3 = 9"));
    EXPECT_TRUE(Find(d, "SweepStart")->isEnabled());
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
        QTest::mouseClick(Find(d, "SweepStart"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([d] { return !d->results().rows().empty(); }, kLongWaitMs));
        EXPECT_TRUE(Find(d, "SweepCancel")->isEnabled());
        if (escape) {
            QTest::keyClick(d, Qt::Key_Escape);
            EXPECT_FALSE(d->isVisible());
        } else {
            QTest::mouseClick(Find(d, "SweepCancel"), Qt::LeftButton);
        }
        EXPECT_FALSE(Find(d, "SweepCancel")->isEnabled());
        ASSERT_TRUE(QTest::qWaitFor([d] { return !d->running(); }, 5000));
        const std::size_t taken = d->results().rows().size();
        EXPECT_LT(taken, size);
        EXPECT_TRUE(
            Find<QLabel>(d, "SweepProgress")->text().startsWith(QStringLiteral("中止しました")));
        EXPECT_TRUE(Find(d, "SweepStart")->isEnabled());
        QTest::qWait(3 * SweepDialog::kPollMs);
        EXPECT_EQ(d->results().rows().size(), taken);
    }
}

TEST(SweepDialog, AClickedPointIsFlownAsARun) {
    Window w;
    SweepDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    Enter(d, 0, kLaunch, QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("1"));
    Enter(d, 1, {});
    RunToTheEnd(d);
    Chart* chart = Find<Chart>(d, "SweepChart");
    ASSERT_EQ(chart->pointCount(0), 3);

    EXPECT_EQ(chart->bottomTitle(), QStringLiteral("初速(km/h)"));
    // Beside a point, off the line's points: nothing flown, no cell written.
    const QPoint first = chart->pixelOf(chart->pointX(0), chart->pointY(0, 0));
    ClickAt(chart, first + QPoint(12, 0));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.rows(), 1u);
    // The line: the last point.
    ClickAt(chart, chart->pixelOf(chart->pointX(2), chart->pointY(0, 2)));
    EXPECT_EQ(w.rows(), 1u); // queued, not flown in the click
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.rows(), 2u);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::LaunchSpeed), "6");
    EXPECT_TRUE(w.errors.isEmpty());

    // The colour map of two variables: its cell (column 0, row 1).
    Enter(d, 1, kClimb, QStringLiteral("-5"), QStringLiteral("5"), QStringLiteral("5"));
    RunToTheEnd(d);
    ASSERT_EQ(d->results().rows().size(), 9u);
    ColorMap* map = Find<ColorMap>(d, "SweepMap");
    ASSERT_TRUE(map->isVisible());
    ASSERT_EQ(map->columns(), 3);
    ASSERT_EQ(map->rows(), 3);
    for (const auto& row : d->results().rows()) {
        const ColorMap::Cell cell{int(row.point / 3), int(row.point % 3)};
        EXPECT_EQ(map->value(cell), row.summary ? row.summary->airborneTime : map->value(cell));
    }
    ASSERT_TRUE(d->results().best());
    const std::size_t best = d->results().rows()[*d->results().best()].point;
    EXPECT_EQ(map->mark(), (ColorMap::Cell{int(best / 3), int(best % 3)}));
    const QPoint cell = map->pixelOf({0, 1});
    // Hovering names the point's values.
    QWidget* plot = map->childAt(cell);
    ASSERT_NE(plot, nullptr);
    const QPointF at = plot->mapFrom(map, cell);
    QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &move);
    const QString text = Find<QLabel>(d, "SweepPoint")->text();
    // Read without its word joiners and no-break spaces.
    const QString read = QString(text).remove(QChar(0x2060)).replace(QChar::Nbsp, u' ');
    EXPECT_TRUE(
        read.startsWith(QStringLiteral("点 1　初速(km/h) = 4　上下角(度) = 0　滞空時間(s) ")))
        << text.toStdString();
    // However narrow, its lines break between the values only, never in
    // "速度(m/s)" or between a caption and its value.
    for (int width = 40; width <= 400; width += 15) {
        QTextLayout layout(text, Find<QLabel>(d, "SweepPoint")->font());
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
    EXPECT_FALSE(Find(d, "SweepSaveCsv")->isEnabled()); // nothing swept yet
    Enter(d, 0, kLaunch, QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("0.5"));
    Enter(d, 1, QStringLiteral("主翼/上反角"), QStringLiteral("5"), QStringLiteral("9"),
          QStringLiteral("4"));
    RunToTheEnd(d);
    ASSERT_EQ(d->results().rows().size(), 6u);

    std::string expected = skarvel::app::SweepCsvHeader(*d->results().grid());
    for (const auto& row : d->results().rows()) {
        expected += skarvel::app::SweepCsvLine(row);
    }
    w.nextFile = QString::fromStdString(w.dir.file("sweep.csv"));
    QTest::mouseClick(Find(d, "SweepSaveCsv"), Qt::LeftButton);
    QFile file(w.nextFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), expected);
    EXPECT_TRUE(w.errors.isEmpty());

    // A folder that is not there: the file error, named.
    w.nextFile = QString::fromStdString(w.dir.file("missing/sweep.csv"));
    QTest::mouseClick(Find(d, "SweepSaveCsv"), Qt::LeftButton);
    ASSERT_EQ(w.errors.size(), 1);
    EXPECT_TRUE(w.errors[0].contains(QStringLiteral("sweep.csv"))) << w.errors[0].toStdString();
}

// The optimiser window: a run on its own thread while the window stays
// usable, its best value drawn, and 適用 writing the result as one step
// that is flown.
TEST(OptimiseWindow, RunsAppliesAndFlies) {
    Window w;
    w.trigger(Command::Optimise);
    auto* d = Window::beside<skarvel::gui::OptimiseDialog>("OptimiseDialog");
    ASSERT_NE(d, nullptr);
    d->figureBox()->setCurrentIndex(d->figureBox()->findData(QStringLiteral("glide-ratio")));
    QComboBox* cell = d->variableBox(0);
    cell->setCurrentIndex(cell->findData(QStringLiteral("水平尾翼取付角")));
    d->start();
    ASSERT_TRUE(d->running() || d->job() != nullptr);
    EXPECT_TRUE(skarvel::test::WaitUntil([d] { return !d->running(); }, 30000));
    QTest::qWait(2 * skarvel::gui::OptimiseDialog::kPollMs);
    ASSERT_TRUE(d->job()->result().best);
    EXPECT_TRUE(d->resultLabel()->text().startsWith(QStringLiteral("最良値")));
    EXPECT_GT(d->chart()->pointCount(0), 0);
    ASSERT_TRUE(d->applyButton()->isEnabled());
    const std::size_t rows = w.rows();
    d->applyButton()->click();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.ws().edits().undoName(), "最適化の結果");
    EXPECT_EQ(w.rows(), rows + 1);
    EXPECT_EQ(w.ws().tables().input.cell(1, skarvel::data::input::TailSetting),
              skarvel::app::OptimiseValueText(d->job()->result().values[0]));
    d->close();
}
