// The stability analysis window beside the main window: what it shows of
// the analysis, when it recomputes, and the flights it asks for.

#include "gui/stability_dialog.h"

#include "data/tables.h"
#include "gui/advice_page.h"
#include "gui/chart.h"
#include "window_fixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using skarvel::gui::Chart;
using skarvel::gui::Command;
using skarvel::gui::StabilityDialog;
using skarvel::test::EditCell;
using skarvel::test::Window;
namespace in = skarvel::data::input;

constexpr double kDeg = 180 / std::numbers::pi;

StabilityDialog* Open(Window& w) {
    w.trigger(Command::Stability);
    StabilityDialog* d = w.beside<skarvel::gui::StabilityDialog>("StabilityDialog");
    EXPECT_NE(d, nullptr);
    // Raised and active; on a platform that activates windows late, once it is.
    if (d != nullptr) {
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([d] { return QApplication::activeWindow() == d; }, 1000));
    }
    return d;
}

QString Shown(const QTableWidget* table, int row, int column = 0) {
    const QTableWidgetItem* item = table->item(row, column);
    return item == nullptr ? QString() : item->text();
}

// Every text the dialog shows: labels, table cells and headers.
QString AllText(const StabilityDialog& d) {
    QString text;
    for (const QLabel* label : d.findChildren<QLabel*>()) {
        text += label->text() + QLatin1Char('\n');
    }
    for (const QTableWidget* table : d.findChildren<QTableWidget*>()) {
        for (int r = 0; r < table->rowCount(); ++r) {
            for (int c = 0; c < table->columnCount(); ++c) {
                text += Shown(table, r, c) + QLatin1Char('\n');
            }
        }
    }
    return text;
}

} // namespace

TEST(StabilityDialog, ShowsTheAnalysisOfTheTables) {
    Window w;
    StabilityDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(Open(w), d); // asked again: the same window, raised

    const skarvel::sim::StabilityAnalysis a = w.ws().analysis().stability();
    ASSERT_TRUE(a.trim);
    EXPECT_TRUE(d->message()->isHidden());
    const QTableWidget* trim = d->trimTable();
    EXPECT_EQ(Shown(trim, 0), QString::number(a.trim->V, 'f', 2));
    EXPECT_EQ(Shown(trim, 1), QString::number(a.trim->alpha * kDeg, 'f', 2));
    EXPECT_EQ(Shown(trim, 4), QString::number(a.trim->phi * kDeg, 'f', 2));
    EXPECT_EQ(Shown(trim, 5), QString::number(a.trim->omega * kDeg, 'f', 2));
    EXPECT_EQ(Shown(trim, 7), QString::number(a.trim->sink, 'f', 3));
    ASSERT_TRUE(a.trim->radius);
    EXPECT_EQ(Shown(trim, 9), QString::number(*a.trim->radius, 'f', 1));
    EXPECT_EQ(Shown(trim, 10), QString::number(a.trim->CL, 'f', 3));
    EXPECT_EQ(Shown(trim, 11), QString::number(a.trim->CD, 'f', 4));
    // The value column is in sight beside the captions, wide enough for its numbers.
    EXPECT_LE(trim->columnViewportPosition(0) + trim->columnWidth(0), trim->viewport()->width())
        << trim->width() << " header " << trim->verticalHeader()->width() << " hint "
        << trim->verticalHeader()->sizeHint().width() << " min " << trim->minimumWidth();
    EXPECT_GE(trim->columnWidth(0), trim->fontMetrics().horizontalAdvance(Shown(trim, 9)));
    ASSERT_TRUE(a.staticMargin);
    EXPECT_TRUE(d->marginLabel()->text().contains(QString::number(*a.staticMargin, 'f', 1)));

    // One row per mode, in the analysis' order; each pair of roots plotted twice.
    ASSERT_EQ(d->modeTable()->rowCount(), static_cast<int>(a.modes.size()));
    int points = 0;
    for (std::size_t i = 0; i < a.modes.size(); ++i) {
        const int row = static_cast<int>(i);
        EXPECT_EQ(Shown(d->modeTable(), row, 1), QString::number(a.modes[i].root.real(), 'f', 3));
        points += a.modes[i].root.imag() != 0 ? 2 : 1;
    }
    EXPECT_EQ(d->rootChart()->pointCount(0) + d->rootChart()->pointCount(1), points);
}

TEST(StabilityDialog, AGrowingModeIsRedWithItsTimeToDouble) {
    Window w;
    // Without dihedral the spiral diverges.
    w.ws().editCell(skarvel::app::TableId::Input, 1, in::Dihedral, "0");
    StabilityDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    const skarvel::sim::StabilityAnalysis& a = d->analysis();
    int growing = 0;
    for (std::size_t i = 0; i < a.modes.size(); ++i) {
        const int row = static_cast<int>(i);
        const QTableWidgetItem* item = d->modeTable()->item(row, 0);
        ASSERT_NE(item, nullptr);
        const bool red = item->foreground().color() == QColor(0xD0, 0x00, 0x00);
        EXPECT_EQ(red, a.modes[i].grows()) << row;
        if (a.modes[i].grows()) {
            ++growing;
            EXPECT_TRUE(Shown(d->modeTable(), row, 6).startsWith(QStringLiteral("倍増 ")));
        } else if (a.modes[i].timeTo) {
            EXPECT_TRUE(Shown(d->modeTable(), row, 6).startsWith(QStringLiteral("半減 ")));
        }
    }
    ASSERT_GT(growing, 0);
    EXPECT_GT(d->rootChart()->pointCount(1), 0);
}

TEST(StabilityDialog, AnEditRecomputesOnceTheTablesSettle) {
    Window w;
    StabilityDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(d->analysis().trim);
    // Typing writes nothing: nothing to recompute while the cell is edited.
    // (The user comes back to the main window to type.)
    w.form->activateWindow();
    EXPECT_TRUE(skarvel::test::WaitUntil(
        [&w] { return QApplication::activeWindow() == w.form.get(); }, 1000));
    QWidget* editor =
        EditCell(w.find<skarvel::gui::TableView>("InputTable"), 1, in::Mass, QStringLiteral("0"));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(w.find<skarvel::gui::TableView>("InputTable")->editing());
    EXPECT_NE(w.ws().tables().input.cell(1, in::Mass), "0");
    QTest::qWait(2 * StabilityDialog::kSettleMs);
    EXPECT_TRUE(w.find<skarvel::gui::TableView>("InputTable")->editing());
    EXPECT_NE(w.ws().tables().input.cell(1, in::Mass), "0");
    EXPECT_FALSE(d->recomputePending());
    EXPECT_TRUE(d->message()->isHidden());

    // The edit written: the analysis follows after the pause, not at once.
    w.find<skarvel::gui::TableView>("InputTable")->commitOpenEditor();
    ASSERT_EQ(w.ws().tables().input.cell(1, in::Mass), "0");
    EXPECT_TRUE(d->recomputePending());
    EXPECT_TRUE(d->analysis().trim);
    EXPECT_TRUE(d->message()->isHidden());
    EXPECT_TRUE(skarvel::test::WaitUntil([d] { return !d->recomputePending(); },
                                         5 * StabilityDialog::kSettleMs));

    // A massless glider: the message, dashes, no numbers that are not numbers.
    EXPECT_FALSE(d->analysis().trim);
    EXPECT_FALSE(d->message()->isHidden());
    EXPECT_TRUE(
        d->message()->text().contains(QStringLiteral("存在しないことを示すものではありません")));
    const QString all = AllText(*d).toLower();
    EXPECT_FALSE(all.contains(QStringLiteral("nan"))) << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("inf"))) << all.toStdString();
    EXPECT_EQ(Shown(d->trimTable(), 0), QStringLiteral("-"));
    EXPECT_EQ(d->modeTable()->rowCount(), 0);
    // The message wraps in the trim's place; the mode table keeps its columns in view.
    d->resize(900, 700);
    QCoreApplication::processEvents();
    EXPECT_LE(d->modeTable()->horizontalHeader()->length(), d->modeTable()->viewport()->width());
    EXPECT_FALSE(d->flyButton()->isEnabled());
    EXPECT_FALSE(d->exciteButton()->isEnabled());
}

TEST(StabilityDialog, FliesFromTheTrimAndFromAnExcitedMode) {
    Window w;
    StabilityDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    const std::string launch = w.ws().tables().input.cell(1, in::LaunchSpeed);
    ASSERT_TRUE(d->flyButton()->isEnabled());
    EXPECT_FALSE(d->exciteButton()->isEnabled()); // no mode chosen yet

    // The flight is queued: it runs from the event loop, not in the click.
    QTest::mouseClick(d->flyButton(), Qt::LeftButton);
    EXPECT_EQ(w.rows(), 1u);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(w.rows(), 2u);
    const std::string trimmed = w.ws().tables().input.cell(1, in::Sideslip);
    EXPECT_NE(w.ws().tables().input.cell(1, in::LaunchSpeed), launch);
    EXPECT_TRUE(w.errors.isEmpty());
    EXPECT_TRUE(w.warnings.isEmpty());
    // The window says what the flight wrote into the tables.
    EXPECT_TRUE(d->flyNote()->text().startsWith(QStringLiteral("入力データの初速・上下角・")))
        << d->flyNote()->text().toStdString();

    // The Dutch roll (or any mode with sideslip) changes the launch's sideslip.
    EXPECT_TRUE(skarvel::test::WaitUntil([d] { return !d->recomputePending(); },
                                         5 * StabilityDialog::kSettleMs));
    const auto& modes = d->analysis().modes;
    int dutch = -1;
    for (std::size_t i = 0; i < modes.size(); ++i) {
        if (modes[i].kind == skarvel::sim::ModeKind::DutchRoll) {
            dutch = static_cast<int>(i);
        }
    }
    ASSERT_GE(dutch, 0);
    d->modeTable()->selectRow(dutch);
    ASSERT_TRUE(d->exciteButton()->isEnabled());
    QTest::mouseClick(d->exciteButton(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(w.rows(), 3u);
    EXPECT_NE(w.ws().tables().input.cell(1, in::Sideslip), trimmed);
    // The selection outlives the recomputation the flight brought.
    EXPECT_TRUE(skarvel::test::WaitUntil([d] { return !d->recomputePending(); },
                                         5 * StabilityDialog::kSettleMs));
    EXPECT_TRUE(d->exciteButton()->isEnabled());
}

// The polar names the settings without a trim and shows unstable trims apart:
// twin-fin's +0.5 degree trim diverges, so the best glide ratio is elsewhere.
TEST(StabilityDialog, ThePolarSaysWhereItHasNoTrimAndWhichTrimsAreUnstable) {
    Window w;
    w.ws().files().openDesignFile(std::string(SKARVEL_EXAMPLES) + "/twin-fin.kx");
    StabilityDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(skarvel::test::WaitUntil([d] { return !d->recomputePending(); },
                                         5 * StabilityDialog::kSettleMs));
    const skarvel::sim::GlidePolar polar = w.ws().analysis().polar();
    int unstable = 0;
    for (const auto& row : polar.rows) {
        unstable += row.trim && !row.trim->stalled && !row.stable() ? 1 : 0;
    }
    ASSERT_GT(unstable, 0);
    EXPECT_EQ(d->sinkChart()->pointCount(2), unstable);
    EXPECT_EQ(d->sinkChart()->seriesTitle(2), QStringLiteral("不安定"));
    EXPECT_EQ(d->polarNote()->text(),
              QStringLiteral("トリムが見つからない水平尾翼取付角: +1〜+6 度（点がありません）。 "
                             "赤い点は不安定なトリム（発散するモードがある）で、機体はそこに"
                             "とどまりません。最良滑空比と最小沈下率は、安定で失速していない"
                             "トリムから選んでいます。"));
}

// The advice page is computed when it is shown; its button writes the best
// value into the tables as one step, and the page follows.
TEST(StabilityDialog, TheAdvicePageAndItsButton) {
    Window w;
    w.ws().files().openDesignFile(std::string(SKARVEL_EXAMPLES) + "/default.kx");
    StabilityDialog* d = Open(w);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->advice().settings.empty()); // not computed while hidden
    d->pages()->setCurrentIndex(1);
    ASSERT_EQ(d->advice().settings.size(), 4u);
    auto* apply = d->advicePage()->findChild<QPushButton*>(QStringLiteral("ApplyAdvice1"));
    ASSERT_NE(apply, nullptr);
    EXPECT_EQ(apply->text(), QStringLiteral("最良値 0.42 にする"));
    apply->click();
    EXPECT_EQ(w.ws().tables().input.cell(1, in::TailSetting), "0.42");
    EXPECT_EQ(w.form->action(skarvel::gui::Command::Undo)->text(),
              QStringLiteral("元に戻す(&U): 調整の目安: 水平尾翼取付角 を 0.42 に"));
    d->recompute(); // (the window's views reach it a moment later)
    EXPECT_NEAR(d->advice().settings[1].current, 0.42, 1e-12);
}
