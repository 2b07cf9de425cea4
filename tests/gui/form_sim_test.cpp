// The main window driven as a user would: menus, keys, edits, drops.

#include "common/temp_dir.h"
#include "data/design_file.h"
#include "data/input_file.h"
#include "data/tables.h"
#include "data/textfile.h"
#include "gui/form_sim.h"
#include "gui/history_view.h"
#include "gui/table_view.h"
#include "window_fixture.h"

#include "gui/chart.h"
#include "gui/chart_panel.h"
#include "gui/comment_box.h"
#include "gui/help_window.h"
#include "gui/instrument_strip.h"
#include "gui/pick_list.h"
#include "gui/trajectory_view.h"
#include "view/view_state.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWidgetAction>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using skarvel::gui::ChartPanel;
using skarvel::gui::Command;
using skarvel::gui::CommentBox;
using skarvel::gui::Dialogs;
using skarvel::gui::HelpWindow;
using skarvel::gui::HistoryView;
using skarvel::gui::InstrumentStrip;
using skarvel::gui::PickList;
using skarvel::gui::TableView;
using skarvel::gui::TFormSim;
using skarvel::gui::TrajectoryView;
using skarvel::test::EditCell;
using skarvel::test::TempDir;
using skarvel::test::Window;
namespace data = skarvel::data;
namespace in = skarvel::data::input;

} // namespace

TEST(Window, StartUpFliesOnce) {
    Window w;
    ASSERT_EQ(w.rows(), 1u);
    EXPECT_EQ(w.ws().history().rows().front().caption, "1");
    EXPECT_EQ(w.title(), QStringLiteral("Skarvel"));
    EXPECT_EQ(w.find<HistoryView>("HistoryList")->model()->rowCount(), 1);
    EXPECT_EQ(w.find<HistoryView>("HistoryList")
                  ->model()
                  ->data(w.find<HistoryView>("HistoryList")->model()->index(0, 1)),
              QStringLiteral("66.372"));
}

// A double click on a design file starts the program with --design: the
// design is opened and converted, then flown; a file alone stays input data.
TEST(Window, StartUpWithADesignOpensItFirst) {
    TempDir files;
    data::Tables t;
    data::ResetTables(t);
    t.design.setCell(data::design::MainWing, data::design::Span, "180");
    const std::string path = files.file("g.kx");
    data::WriteDesignFile(path, t.design, "", "");
    Window w({QStringLiteral("--design"), QString::fromStdString(path)});
    EXPECT_EQ(w.ws().tables().design.cell(data::design::MainWing, data::design::Span), "180");
    EXPECT_TRUE(w.title().endsWith(QStringLiteral("g.kx")));
    ASSERT_EQ(w.rows(), 1u);
    EXPECT_EQ(w.ws().history().rows().front().cells[6 + in::WingSpan - 1],
              w.ws().tables().input.cell(1, in::WingSpan));
    EXPECT_TRUE(w.errors.isEmpty());
}

TEST(Window, StartUpWithAnInputFileFliesItAndFitsTheView) {
    TempDir files;
    data::Tables t;
    data::ResetTables(t);
    t.input.setCell(1, in::WindSpeed, "1.5");
    t.input.setCell(1, in::Altitude, "5");
    const std::string kxs = files.file("start.kxs");
    data::WriteInputFile(kxs, t.input);

    Window w({QString::fromStdString(kxs)});
    QTest::qWait(20);
    EXPECT_TRUE(w.title().endsWith(QStringLiteral("start.kxs")));
    EXPECT_EQ(w.ws().tables().input.cell(1, in::Altitude), "5");
    // One flight, with the file's values.
    ASSERT_EQ(w.rows(), 1u);
    EXPECT_EQ(w.ws().history().rows().front().cells[6], "1.5"); // 風速
    EXPECT_TRUE(w.errors.isEmpty());

    // Once laid out, the view is fitted to that flight: another scale than
    // the start-up one, and every sample inside the picture.
    const skarvel::view::ViewState& v = w.ws().viewport().state();
    EXPECT_EQ(v.width, w.find<TrajectoryView>("TrajectoryView")->imageArea()->width());
    EXPECT_EQ(v.height, w.find<TrajectoryView>("TrajectoryView")->imageArea()->height());
    EXPECT_NE(v.k, 10);
    const auto& record = w.ws().record();
    ASSERT_GT(record.lastIndex, 100);
    int outside = 0;
    for (int i = 0; i <= record.lastIndex; ++i) {
        const auto& s = record.sample(i);
        const skarvel::view::Point p = skarvel::view::Project(v, s.x, s.y, s.z);
        outside += p.x < 0 || p.x >= v.width || p.y < 0 || p.y >= v.height ? 1 : 0;
    }
    EXPECT_EQ(outside, 0);
}

TEST(Window, EnterInAnInputCellRunsLeavingDoesNot) {
    Window w;
    QWidget* editor =
        EditCell(w.find<TableView>("InputTable"), 1, in::Altitude, QStringLiteral("3"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(20);
    EXPECT_EQ(w.rows(), 2u);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::Altitude), "3");

    EditCell(w.find<TableView>("InputTable"), 1, in::Altitude, QStringLiteral("4"));
    auto* view = w.find<TableView>("InputTable");
    const QRect other = view->visualRect(view->tableModel()->indexOf(1, in::WindSpeed));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, other.center());
    QTest::qWait(20);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::Altitude), "4");
    EXPECT_EQ(w.rows(), 2u);

    // Enter in a parameter cell runs from the parameters, with the edited value.
    editor =
        EditCell(w.find<TableView>("ParameterTable"), 1, data::param::CD0, QStringLiteral("0.09"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(20);
    EXPECT_EQ(w.rows(), 3u);
    EXPECT_EQ(w.ws().inputSet().CD0, 0.09);
}

TEST(Window, RunRequestsDuringARunAreDroppedAndEscStops) {
    Window w;
    w.ws().editCell(skarvel::app::TableId::Input, 1, in::Altitude, "500");
    int requests = 0;
    // The first event pass clears the views before the flight; the next one
    // comes at the first simulated second.
    QTimer::singleShot(0, w.form.get(), [&] {
        QTimer::singleShot(0, w.form.get(), [&] {
            ++requests;
            w.trigger(Command::RunFromInput);
            w.trigger(Command::RunFromParameters);
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr ? focus : w.form.get(), Qt::Key_Escape);
        });
    });
    w.trigger(Command::RunFromInput);
    EXPECT_EQ(requests, 1);
    ASSERT_EQ(w.rows(), 2u);
    // Stopped at the first whole second: the last two samples share its time.
    const auto& record = w.ws().record();
    EXPECT_NEAR(record.sample(record.lastIndex).t, 1.0, 1e-9);
    EXPECT_EQ(w.ws().history().rows().front().cells[0], "1");
    EXPECT_FALSE(w.ws().busy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(Window, ResetAsksFirst) {
    Window w;
    w.ws().editCell(skarvel::app::TableId::Input, 1, in::WindSpeed, "7");
    w.find<CommentBox>("CommentBox")->setPlainText(QStringLiteral("メモ"));
    w.answer = false;
    w.trigger(Command::Reset);
    EXPECT_EQ(w.yesNoAsked, 1);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::WindSpeed), "7");
    EXPECT_EQ(w.find<CommentBox>("CommentBox")->toPlainText(), QStringLiteral("メモ"));
    w.answer = true;
    w.trigger(Command::Reset);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::WindSpeed), "0");
    EXPECT_EQ(w.find<CommentBox>("CommentBox")->toPlainText(), QString());
    EXPECT_EQ(w.rows(), 1u); // the reset flies nothing and keeps the history
}

TEST(Window, DroppedFiles) {
    Window w;
    data::Tables t;
    data::ResetTables(t);
    t.input.setCell(1, in::WindSpeed, "2.5");
    const std::string kxs = w.dir.file("drop.kxs");
    data::WriteInputFile(kxs, t.input);
    data::WriteFileBytes(w.dir.file("drop.kx"), "\"プログラム\",\"Tarnifold Ver0.4\"\r\n");

    const auto drop = [&](const std::string& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &event);
    };
    drop(w.dir.file("drop.kx"));
    EXPECT_EQ(w.ws().tables().input.cell(1, in::WindSpeed), "0");
    drop(w.dir.path().string()); // a folder
    EXPECT_EQ(w.title(), QStringLiteral("Skarvel"));
    drop(kxs);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::WindSpeed), "2.5");
    EXPECT_TRUE(w.title().endsWith(QStringLiteral("drop.kxs")));
    EXPECT_EQ(w.rows(), 1u); // reading flies nothing
    EXPECT_TRUE(w.errors.isEmpty());
}

TEST(Window, HistoryListCopyAndSort) {
    Window w;
    auto* list = w.find<HistoryView>("HistoryList");
    // A straight flight: no yaw rate at the end.
    w.ws().editCell(skarvel::app::TableId::Input, 1, in::BankAngle, "0");
    w.ws().editCell(skarvel::app::TableId::Input, 1, in::Altitude, "0");
    w.ws().editCell(skarvel::app::TableId::Input, 1, in::ClimbAngle, "-10");
    w.trigger(Command::RunFromInput);
    ASSERT_EQ(w.rows(), 2u);
    ASSERT_EQ(w.ws().history().rows().front().cells[3], "直線");

    list->setFocus();
    // Ctrl+C copies the history's text, Ctrl+Shift+C its one-field-a-line form.
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), w.ws().history().copyText(false));
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), w.ws().history().copyText(true));

    // Sorting by the turn radius puts the straight flight (0) last.
    QHeaderView* header = list->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(4) + 5, 5));
    EXPECT_EQ(w.ws().history().rows().front().caption, "1");
    EXPECT_EQ(w.ws().history().rows().back().cells[3], "直線");

    // Enter re-runs the selected row without adding one; Delete removes it.
    list->selectRow(1);
    QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.rows(), 2u);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::BankAngle), "0");
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(w.rows(), 1u);
    QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(w.rows(), 0u);
    EXPECT_EQ(w.ws().history().counter(), 0);
}

TEST(Window, MenusHoldEveryCommand) {
    Window w;
    // Every command of the table is in the menus once.
    std::vector<QAction*> inMenus;
    std::function<void(QMenu*)> collect = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->menu() != nullptr) {
                collect(a->menu());
            } else if (!a->isSeparator()) {
                inMenus.push_back(a);
            }
        }
    };
    for (QAction* a : w.form->menuBar()->actions()) {
        collect(a->menu());
    }
    EXPECT_EQ(inMenus.size(), skarvel::gui::kCommandCount);
    for (const skarvel::gui::CommandSpec& spec : skarvel::gui::CommandTable()) {
        QAction* a = w.form->action(spec.id);
        EXPECT_EQ(std::count(inMenus.begin(), inMenus.end(), a), 1) << spec.objectName;
    }
    EXPECT_EQ(w.form->action(Command::Stop)->toolTip(), QStringLiteral("ストップ(Esc)"));
    EXPECT_EQ(w.form->action(Command::FitXY)->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
    EXPECT_EQ(w.form->action(Command::Help)->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(w.form->action(Command::LiveCharts)->isChecked());
    EXPECT_FALSE(w.form->action(Command::AutoFit)->isChecked());
}

TEST(Window, FileCommandsAndErrors) {
    Window w;
    w.nextFile = QString::fromStdString(w.dir.file("saved"));
    w.trigger(Command::InputSaveAs);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(w.dir.file("saved.kxs"))));
    EXPECT_TRUE(w.title().endsWith(QStringLiteral("saved.kxs")));

    // A file that cannot be read: an error box naming it, no table changed.
    w.nextFile = QString::fromStdString(w.dir.file("missing.kxs"));
    w.trigger(Command::InputOpen);
    ASSERT_EQ(w.errors.size(), 1);
    EXPECT_TRUE(w.errors.front().contains(QStringLiteral("missing.kxs")));

    // A file that is not input data: refused by name, the table unchanged.
    data::WriteFileBytes(w.dir.file("design.kx"), "\"プログラム\",\"Tarnifold Ver0.4\"\r\n");
    w.nextFile = QString::fromStdString(w.dir.file("design.kx"));
    w.trigger(Command::InputOpen);
    ASSERT_EQ(w.errors.size(), 2);
    EXPECT_EQ(w.errors.back(), QStringLiteral("入力データのファイルではありません: ") + w.nextFile);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::LaunchSpeed), "150");

    // A design file with a wrong header: the warning, nothing read.
    data::WriteFileBytes(w.dir.file("bad.kx"), "\"name\",\"x\"\r\n");
    w.nextFile = QString::fromStdString(w.dir.file("bad.kx"));
    w.trigger(Command::FileOpen);
    ASSERT_EQ(w.warnings.size(), 1);
    EXPECT_TRUE(w.warnings.front().endsWith(QStringLiteral("読み込みを中断しました。")));

    w.nextFile = QString::fromStdString(w.dir.file("flight"));
    w.trigger(Command::SaveText);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(w.dir.file("flight.txt"))));
    w.nextFile.clear(); // cancelled
    w.trigger(Command::SaveText);
    EXPECT_EQ(w.errors.size(), 2);
}

TEST(Window, CommentBoxKeepsTheKeysToItself) {
    Window w;
    w.find<CommentBox>("CommentBox")->setFocus();
    // "z" and "o" are view commands elsewhere: here they are only typed.
    w.ws().viewport().zoom(2);
    const skarvel::view::ViewState before = w.ws().viewport().state();
    QTest::keyClicks(w.find<CommentBox>("CommentBox"), QStringLiteral("zo"));
    EXPECT_EQ(w.find<CommentBox>("CommentBox")->toPlainText(), QStringLiteral("zo"));
    EXPECT_EQ(w.ws().viewport().state().k, before.k);
    EXPECT_EQ(w.ws().viewport().state().ox, before.ox);
    EXPECT_EQ(w.ws().comment(), "zo");
    // Pasting from an empty clipboard pastes nothing (and must not crash);
    // text pastes as text.
    QApplication::clipboard()->clear();
    QTest::keyClick(w.find<CommentBox>("CommentBox"), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(w.find<CommentBox>("CommentBox"), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(w.ws().comment(), "zo");
    QApplication::clipboard()->setText(QStringLiteral("c"));
    QTest::keyClick(w.find<CommentBox>("CommentBox"), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(w.ws().comment(), "zoc");
}

TEST(Window, HelpAlwaysOpens) {
    Window w;
    // No guide beside the program: an error naming the guide it looked for.
    w.trigger(Command::Help);
    ASSERT_EQ(w.errors.size(), 1);
    EXPECT_TRUE(w.errors.front().contains(QStringLiteral("skarvel-help.html")));

    // The program's guide opens in a window of the program.
    data::WriteFileBytes(w.dir.file("skarvel-help.html"),
                         "<html><body><h1>Skarvel ヘルプ</h1></body></html>");
    w.trigger(Command::Help);
    ASSERT_NE(w.find<HelpWindow>("HelpWindow"), nullptr);
    EXPECT_TRUE(w.find<HelpWindow>("HelpWindow")->isVisible());
    EXPECT_TRUE(
        w.find<HelpWindow>("HelpWindow")->toPlainText().contains(QStringLiteral("Skarvel ヘルプ")));
    w.find<HelpWindow>("HelpWindow")->close();

    // A help file named after the program goes to the system viewer, and to
    // the guide's window when no viewer takes it.
    data::WriteFileBytes(w.dir.file("skarvel.HLP"), "help");
    w.trigger(Command::Help);
    EXPECT_FALSE(w.find<HelpWindow>("HelpWindow")->isVisible());
    w.viewerTakesFiles = false;
    w.trigger(Command::Help);
    EXPECT_TRUE(w.find<HelpWindow>("HelpWindow")->isVisible());
    EXPECT_EQ(w.errors.size(), 1);
}

TEST(Window, CommandsFirstCommitTheOpenEditor) {
    Window w;
    QWidget* editor =
        EditCell(w.find<TableView>("InputTable"), 1, in::LaunchSpeed, QStringLiteral("100"));
    ASSERT_NE(editor, nullptr);
    w.trigger(Command::RunFromInput);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::LaunchSpeed), "100");
    ASSERT_EQ(w.rows(), 2u);
    EXPECT_EQ(w.ws().history().rows()[0].cells[6 + in::LaunchSpeed - 1], "100");
    auto* view = w.find<TableView>("InputTable");
    EXPECT_EQ(view->indexWidget(view->tableModel()->indexOf(1, in::LaunchSpeed)), nullptr);
}

TEST(Window, HistoryKeepsItsPlaceUntilItsRowsChange) {
    Window w;
    for (int i = 0; i < 7; ++i) {
        w.trigger(Command::RunFromInput);
    }
    auto* list = w.find<HistoryView>("HistoryList");
    list->selectRow(4);
    list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum());
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    const int h = list->horizontalScrollBar()->value();
    const int v = list->verticalScrollBar()->value();
    ASSERT_GT(h, 0);
    ASSERT_GT(v, 0);
    w.form->action(Command::AutoFit)->trigger();
    w.nextFile = QString::fromStdString(w.dir.file("kept"));
    w.trigger(Command::InputSaveAs);
    EXPECT_EQ(list->horizontalScrollBar()->value(), h);
    EXPECT_EQ(list->verticalScrollBar()->value(), v);
    EXPECT_EQ(w.ws().history().selected(), 4);
    EXPECT_EQ(list->selectionModel()->selectedRows().front().row(), 4);

    // A new flight's row: selected and in view at the top.
    w.trigger(Command::RunFromInput);
    EXPECT_EQ(list->verticalScrollBar()->value(), 0);
    EXPECT_EQ(list->horizontalScrollBar()->value(), h);
    EXPECT_EQ(list->selectionModel()->selectedRows().front().row(), 0);
}

TEST(Window, SavesNameTheCharactersThatBecomeQuestionMarks) {
    Window w;
    w.ws().editCell(skarvel::app::TableId::Input, 1, in::WindSpeed, "€3");
    w.nextFile = QString::fromStdString(w.dir.file("euro.kxs"));
    QStringList asked;
    w.answer = false;
    w.trigger(Command::InputSaveAs);
    EXPECT_EQ(w.yesNoAsked, 1);
    EXPECT_FALSE(QFileInfo::exists(w.nextFile));
    w.answer = true;
    w.trigger(Command::InputSaveAs);
    EXPECT_TRUE(QFileInfo::exists(w.nextFile));
    EXPECT_EQ(w.title(), QStringLiteral("Skarvel - ") + w.nextFile);
}

TEST(Window, HistoryCaptionsShowWhole) {
    Window w;
    auto* list = w.find<HistoryView>("HistoryList");
    const QFontMetrics header(list->horizontalHeader()->font());
    for (int c = 0; c < list->model()->columnCount(); ++c) {
        const QString caption = list->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_GE(list->columnWidth(c), header.horizontalAdvance(caption) + 4)
            << caption.toStdString();
    }
}

TEST(Window, EveryToolBarButtonHasItsOwnIcon) {
    Window w;
    QList<QImage> seen;
    for (QAction* a : w.form->findChild<QToolBar*>(QStringLiteral("ToolBar"))->actions()) {
        if (a->isSeparator() || qobject_cast<QWidgetAction*>(a) != nullptr) {
            continue;
        }
        const QImage icon = a->icon().pixmap(16, 16).toImage();
        ASSERT_FALSE(icon.isNull()) << a->objectName().toStdString();
        EXPECT_FALSE(seen.contains(icon)) << a->objectName().toStdString();
        seen << icon;
    }
    EXPECT_EQ(seen.size(), 26);
}

TEST(Window, StandardDialogsSpeakJapanese) {
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
              QStringLiteral("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Open"), QStringLiteral("開く"));
    // File dialogs list dates and sizes in the system's locale.
    EXPECT_EQ(QLocale::system().toString(QDate(2026, 12, 7), QLocale::ShortFormat),
              QStringLiteral("2026/12/07"));
    EXPECT_TRUE(QLocale::system().formattedDataSize(612).contains(QStringLiteral("バイト")));
    // An input box is wide enough for its whole title.
    const QString title = QStringLiteral("左右の視角（度）を設定");
    int width = 0;
    int needed = 0;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            width = box->width();
            needed = box->fontMetrics().horizontalAdvance(title);
            box->close();
        }
    });
    Dialogs::Standard().askText(nullptr, title, QStringLiteral("-180～180の整数"),
                                QStringLiteral("0"));
    EXPECT_GT(width, needed + 100);
}

namespace {

// Pixels of the picture that are not the background.
int DrawnPixels(const QImage& image) {
    const QRgb background = image.pixel(0, 0);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            drawn += image.pixel(x, y) != background ? 1 : 0;
        }
    }
    return drawn;
}

} // namespace

TEST(Window, ZoomBoxShowsOverThePictureWhileDragging) {
    Window w;
    QTest::qWait(20);
    auto* page = w.find<TrajectoryView>("TrajectoryView");
    QWidget* image = page->imageArea();
    // Pixels of the image area that differ from the picture under them.
    const auto overPicture = [&] {
        const QImage picture = page->picture();
        const QImage shown = image->grab().toImage().convertToFormat(picture.format());
        int n = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                n += shown.pixel(x, y) != picture.pixel(x, y) ? 1 : 0;
            }
        }
        return n;
    };
    const QImage picture = page->picture();
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(100, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 200), image->mapToGlobal(QPointF(300, 200)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(image, &move);
    // A dotted outline of the 200 x 150 box: some of its 700 pixels, not all.
    const int box = overPicture();
    EXPECT_GT(box, 100);
    EXPECT_LT(box, 350);
    EXPECT_EQ(page->picture(), picture); // never drawn into the picture
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_EQ(overPicture(), 0);
}

TEST(Window, TrajectoryPage) {
    Window w;
    QTest::qWait(20);
    auto* page = w.find<TrajectoryView>("TrajectoryView");
    const QImage fitted = page->picture();
    ASSERT_EQ(fitted.size(), page->imageArea()->size());
    EXPECT_GT(DrawnPixels(fitted), 200);
    const double k = w.ws().viewport().state().k;

    // A drag from bottom-right to top-left shrinks the view into the box; a
    // double-click fits it again.
    QWidget* image = page->imageArea();
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(300, 200));
    QMouseEvent move(QEvent::MouseMove, QPointF(100, 50), image->mapToGlobal(QPointF(100, 50)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(image, &move);
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(100, 50));
    const double shrunk = w.ws().viewport().state().k;
    EXPECT_LT(shrunk, k);
    // (The fit's margin is measured at the scale before it: a fit from
    // another scale ends at another one.)
    QTest::mouseDClick(image, Qt::LeftButton, {}, QPoint(10, 10));
    const double refitted = w.ws().viewport().state().k;
    EXPECT_GT(refitted, 2 * shrunk);

    // The key map works in a table cell too: "z" enlarges, and the letter
    // still goes on to the table.
    w.find<TableView>("InputTable")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z);
    EXPECT_DOUBLE_EQ(w.ws().viewport().state().k, refitted * 1.05);
    // The angle dialog: 200 is limited to 180 and shown in the bar and label.
    w.nextText = QStringLiteral("200");
    w.form->action(Command::ViewAngleX)->trigger();
    EXPECT_EQ(w.ws().viewport().state().a, 180);
    EXPECT_EQ(page->horizontalAngleBar()->value(), 180);

    // Enter in a cell: a new flight drawn live on a cleared picture.
    QWidget* editor =
        EditCell(w.find<TableView>("InputTable"), 1, in::Altitude, QStringLiteral("10"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(20);
    EXPECT_EQ(w.rows(), 2u);
    EXPECT_NE(page->picture(), fitted);
    EXPECT_GT(DrawnPixels(page->picture()), 200);
}

TEST(Window, ChartsMarkerAndPreview) {
    Window w;
    auto* charts = w.find<ChartPanel>("ChartPanel");
    auto* strip = w.find<InstrumentStrip>("InstrumentStrip");
    ASSERT_GT(charts->chart(0)->pointCount(), 1000);

    // Without "グラフ(&G)" the next flight leaves the charts empty.
    w.form->action(Command::LiveCharts)->trigger();
    w.trigger(Command::RunFromInput);
    EXPECT_EQ(charts->chart(0)->pointCount(), 0);

    // The track bar moves the marker: the table and the bars follow.
    strip->markerSlider()->setValue(100);
    EXPECT_EQ(w.ws().marker().markerSample(), 100);
    EXPECT_EQ(w.find<TableView>("MarkerTable")->tableModel()->index(0, 1).data().toString(),
              QStringLiteral("100"));
    EXPECT_EQ(strip->bar(1)->value(), w.ws().marker().bars().z);

    // Typing the launch speed previews it: the track bar back to 0, 36 km/h
    // (10 m/s) on the V bar.
    EditCell(w.find<TableView>("InputTable"), 1, in::LaunchSpeed, QStringLiteral("36"));
    EXPECT_EQ(strip->markerSlider()->value(), 0);
    EXPECT_EQ(w.ws().marker().markerSample(), -1);
    EXPECT_EQ(strip->bar(0)->value(), 100);
}

TEST(Window, DesignChoosers) {
    Window w;
    namespace dz = data::design;
    auto* design = w.find<TableView>("DesignTable");
    w.find<QTabWidget>("RightTabs")->setCurrentIndex(0);
    QTest::qWait(20);
    const auto cellCentre = [&](int column, int row) {
        return design->visualRect(design->tableModel()->indexOf(column, row)).center();
    };
    auto* list = w.find<PickList>("PickList");

    // A double click on the main wing's leading edge opens the edge shapes
    // with the cell's shape selected; a press on an item chooses it and
    // the design is converted.
    const QPoint edge = cellCentre(dz::MainWing, dz::LeadingEdge);
    QTest::mouseClick(design->viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseDClick(design->viewport(), Qt::LeftButton, {}, edge);
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), 4);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("放物線"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(2)).center());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(w.ws().tables().design.cell(dz::MainWing, dz::LeadingEdge), "楕円");
    // The cursor stays on the cell that was chosen for.
    const auto cursorOn = [&](int column, int row) {
        return design->currentIndex() == design->tableModel()->indexOf(column, row);
    };
    EXPECT_TRUE(cursorOn(dz::MainWing, dz::LeadingEdge));
    const std::string wingArea = w.ws().tables().input.cell(1, in::WingArea);

    // Enter on the wing type opens its list; Space chooses the selection.
    design->setCurrentIndex(design->tableModel()->indexOf(dz::MainWing, dz::Type));
    QTest::keyClick(design, Qt::Key_Return);
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), 2);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(w.ws().tables().design.cell(dz::MainWing, dz::Type), "2段上反角");
    EXPECT_NE(w.ws().tables().input.cell(1, in::WingArea), wingArea);
    EXPECT_TRUE(cursorOn(dz::MainWing, dz::Type));
    // Esc closes the list, the cursor staying.
    QTest::keyClick(design, Qt::Key_Return);
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(cursorOn(dz::MainWing, dz::Type));
    EXPECT_TRUE(design->hasFocus());

    // Space on the tail type; leaving the list changes nothing.
    design->setCurrentIndex(design->tableModel()->indexOf(dz::VerticalTail, dz::Type));
    QTest::keyClick(design, Qt::Key_Space);
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), 3);
    // The list and the column show "双垂直尾翼" whole.
    const int twinFin = list->fontMetrics().horizontalAdvance(QStringLiteral("双垂直尾翼"));
    EXPECT_GT(list->viewport()->width(), twinFin);
    EXPECT_GT(design->columnWidth(dz::VerticalTail - 1), twinFin);
    design->setFocus();
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(w.ws().tables().design.cell(dz::VerticalTail, dz::Type), "Ｖ尾翼");

    // The paper cell opens the paper dialog; cancelled, 紙質量 is still
    // rewritten as 紙重さ x 紙枚数.
    QString asked;
    w.paperAnswer = [&](QString& name, QString&, QString&) {
        asked = name;
        return false;
    };
    w.ws().editCell(skarvel::app::TableId::Design, dz::MainWing, dz::PaperMass, "1");
    design->setCurrentIndex(design->tableModel()->indexOf(dz::MainWing, dz::PaperName));
    QTest::keyClick(design, Qt::Key_Return);
    EXPECT_EQ(asked, QStringLiteral("板目青"));
    EXPECT_EQ(w.ws().tables().design.cell(dz::MainWing, dz::PaperMass),
              w.ws().tables().design.cell(dz::MainWing, dz::PaperWeight));
}

TEST(Window, ReplaysRunFromTheEventLoopAndEndWithTheWindow) {
    Window w;
    // (A replay started by its letter in an open cell: the random input tests.)
    // A flight asked for by a button runs once the click has been delivered.
    const std::size_t rows = w.rows();
    w.form->action(Command::RunFromInput)->trigger();
    EXPECT_EQ(w.rows(), rows);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.rows(), rows + 1);

    // A flight asked for just before the window closes does not start.
    w.form->action(Command::RunFromInput)->trigger();
    w.form->close();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.rows(), rows + 1);
    w.form->show();

    // Closing the window ends a replay at once.
    w.trigger(Command::PlayBackward);
    EXPECT_TRUE(w.ws().marker().replaying());
    w.form->close();
    EXPECT_FALSE(w.ws().marker().replaying());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Esc during a replay stops it and drops what an open cell holds, as Esc in
// the cell does outside a replay: nothing typed there is written later.
TEST(Window, EscDuringAReplayDropsTheOpenEdit) {
    Window w;
    const std::string wind = w.ws().tables().input.cell(1, in::WindSpeed);
    w.trigger(Command::PlayBackward);
    ASSERT_TRUE(w.ws().marker().replaying());
    QWidget* editor =
        EditCell(w.find<TableView>("InputTable"), 1, in::WindSpeed, QStringLiteral("7"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(w.ws().marker().replaying());
    EXPECT_FALSE(w.find<TableView>("InputTable")->editing());
    w.find<TableView>("InputTable")->commitOpenEditor(); // what a later click would do
    EXPECT_EQ(w.ws().tables().input.cell(1, in::WindSpeed), wind);
}

TEST(Window, LettersOpenNoEditorInTheMarkerTable) {
    Window w;
    auto* marker = w.find<TableView>("MarkerTable");
    w.find<QTabWidget>("LeftTabs")->setCurrentWidget(marker);
    const QModelIndex point = marker->tableModel()->indexOf(1, data::marker::PointNumber);
    marker->setCurrentIndex(point);
    marker->setFocus();
    const double scale = w.ws().viewport().state().k;
    QTest::keyClick(marker, Qt::Key_Z, Qt::NoModifier); // zoom in
    EXPECT_GT(w.ws().viewport().state().k, scale);
    EXPECT_EQ(marker->indexWidget(point), nullptr);
    // Typing a digit still edits the point number.
    QTest::keyClick(marker, Qt::Key_5);
    EXPECT_NE(marker->indexWidget(point), nullptr);
}

TEST(Window, KeysSwitchTheFocusedTabGroupsPage) {
    Window w;
    QTabWidget* left = w.find<QTabWidget>("LeftTabs");
    QTabWidget* right = w.find<QTabWidget>("RightTabs");
    // From inside an open cell: the cell is confirmed, the page changes.
    QWidget* editor =
        EditCell(w.find<TableView>("InputTable"), 1, in::WindSpeed, QStringLiteral("2"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(left->currentIndex(), 1);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::WindSpeed), "2");
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(left->currentIndex(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(left->currentIndex(), 2);
    EXPECT_EQ(right->currentIndex(), 3);
    // Without a tab group in focus the main pages turn.
    w.find<HistoryView>("HistoryList")->setFocus();
    QTest::keyClick(w.find<HistoryView>("HistoryList"), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(right->currentIndex(), 0);
    // Tab leaves a table.
    w.find<TableView>("InputTable")->setFocus();
    QTest::keyClick(w.find<TableView>("InputTable"), Qt::Key_Tab);
    EXPECT_FALSE(w.find<TableView>("InputTable")->hasFocus());
}

TEST(Window, KeyMapTurnsAndMovesTheView) {
    Window w;
    QWidget* target = w.find<TrajectoryView>("TrajectoryView");
    target->setFocus();
    QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : target;
    const skarvel::view::ViewState start = w.ws().viewport().state();
    // Alt+arrows turn the view by a degree; Shift+Alt+arrows move it.
    QTest::keyClick(focus, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(focus, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(w.ws().viewport().state().a, start.a + 1);
    EXPECT_EQ(w.ws().viewport().state().b, start.b - 1); // towards the side view
    const std::int32_t ox = w.ws().viewport().state().ox;
    QTest::keyClick(focus, Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_NE(w.ws().viewport().state().ox, ox);
    // "o" puts the origin back to the middle of the picture.
    QTest::keyClick(focus, Qt::Key_O);
    EXPECT_EQ(w.ws().viewport().state().ox, w.ws().viewport().state().width / 2);
}

TEST(Window, AResizedWindowDrawsTheTrajectoryAtItsNewSize) {
    Window w;
    QTest::qWait(20);
    const QWidget* area = w.find<TrajectoryView>("TrajectoryView")->imageArea();
    EXPECT_EQ(w.ws().viewport().state().width, area->width());
    w.form->resize(w.form->width() + 120, w.form->height() + 80);
    QTest::qWait(50);
    EXPECT_EQ(w.ws().viewport().state().width, area->width());
    EXPECT_EQ(w.ws().viewport().state().height, area->height());
    EXPECT_GT(area->width(), 0);
}

// A design that cannot be computed is said without a dialog, naming the
// part, until a computation succeeds.
TEST(Window, AFailedDesignIsSaidUntilOneSucceeds) {
    Window w;
    namespace dz = data::design;
    w.find<QTabWidget>("RightTabs")->setCurrentIndex(0);
    auto* design = w.find<TableView>("DesignTable");
    const int computedPage =
        w.find<QTabWidget>("RightTabs")->indexOf(w.find<TableView>("ComputedTable"));
    const auto enter = [&](const char* text) {
        QWidget* editor = EditCell(design, dz::MainWing, dz::Span, QString::fromUtf8(text));
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::sendPostedEvents();
    };
    enter("0");
    ASSERT_EQ(w.ws().tables().design.cell(dz::MainWing, dz::Span), "0");
    EXPECT_TRUE(w.form->statusBar()->currentMessage().contains(QStringLiteral("（主翼）")))
        << w.form->statusBar()->currentMessage().toStdString();
    EXPECT_FALSE(w.find<QTabWidget>("RightTabs")->tabIcon(computedPage).isNull());
    EXPECT_TRUE(w.errors.isEmpty() && w.warnings.isEmpty());
    enter("170");
    EXPECT_EQ(w.form->statusBar()->currentMessage(), QString());
    EXPECT_TRUE(w.find<QTabWidget>("RightTabs")->tabIcon(computedPage).isNull());
}

// Dragging a splitter to its end leaves every panel in sight.
TEST(Window, SplittersKeepEveryPanel) {
    Window w;
    w.find<QSplitter>("MainSplitter")->setSizes({0, 2000});
    w.find<QSplitter>("TopSplitter")->setSizes({0, 2000});
    w.find<QSplitter>("BottomSplitter")->setSizes({2000, 0, 0});
    for (QSplitter* s : {w.find<QSplitter>("MainSplitter"), w.find<QSplitter>("TopSplitter"),
                         w.find<QSplitter>("BottomSplitter")}) {
        for (const int size : s->sizes()) {
            EXPECT_GE(size, 40) << s->objectName().toStdString();
        }
    }
}
