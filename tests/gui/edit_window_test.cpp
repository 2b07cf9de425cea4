// The window's undo and redo, its question before unsaved work is replaced,
// and its recovery file, as a user meets them: keys, menus, the close.

#include "window_fixture.h"

#include "app/recovery.h"
#include "data/tables.h"
#include "data/textfile.h"
#include "gui/comment_box.h"

#include <QListWidget>
#include <QProcess>
#include <QTimer>
#include <QToolBar>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using skarvel::gui::Command;
using skarvel::gui::TableView;
using skarvel::test::EditCell;
using skarvel::test::Window;
namespace data = skarvel::data;
namespace in = data::input;
namespace dz = data::design;

// A cell typed and confirmed with Tab (Enter would fly).
void Type(Window& w, const char* table, int column, int row, const QString& text) {
    QWidget* editor = EditCell(w.find<TableView>(table), column, row, text);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    QCoreApplication::sendPostedEvents();
}

std::string InputDump(const skarvel::app::Workspace& ws) {
    std::string out;
    for (const data::Table* t : {&ws.tables().input, &ws.tables().parameter, &ws.tables().design}) {
        for (int r = 0; r < t->rowCount(); ++r) {
            for (int c = 0; c < t->columnCount(); ++c) {
                out += t->cell(c, r) + '\t';
            }
            out += '\n';
        }
    }
    return out + ws.comment();
}

TEST(EditWindow, UndoAndRedoFromKeysMenusAndTheList) {
    Window w;
    QAction* undo = w.form->action(Command::Undo);
    QAction* redo = w.form->action(Command::Redo);
    EXPECT_FALSE(undo->isEnabled()); // the start-up files are not an edit
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す(&U)"));
    EXPECT_EQ(w.title(), QStringLiteral("Skarvel"));
    const std::string altitude = w.ws().tables().input.cell(1, in::Altitude);
    const std::string span = w.ws().tables().design.cell(dz::MainWing, dz::Span);

    Type(w, "InputTable", 1, in::Altitude, QStringLiteral("30"));
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す(&U): 高度 の変更"));
    EXPECT_EQ(undo->toolTip(), QStringLiteral("元に戻す: 高度 の変更"));
    EXPECT_EQ(w.title(), QStringLiteral("Skarvel*"));

    // Ctrl+Z wherever the focus is; the letters z and Z still zoom.
    QWidget* focus = w.find<QWidget>("TrajectoryImage");
    ASSERT_NE(focus, nullptr);
    focus->setFocus();
    const double scale = w.ws().viewport().state().k;
    QTest::keyClick(focus, Qt::Key_Z);
    EXPECT_GT(w.ws().viewport().state().k, scale);
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::Altitude), altitude);
    EXPECT_EQ(w.title(), QStringLiteral("Skarvel")); // back to what was opened
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(redo->text(), QStringLiteral("やり直し(&Y): 高度 の変更"));
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::Altitude), "30");
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(focus, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::Altitude), "30");

    // A design cell with Enter: the edit and its conversion are one step.
    QWidget* editor =
        EditCell(w.find<TableView>("DesignTable"), dz::MainWing, dz::Span, QStringLiteral("160"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.ws().edits().names(),
              (std::vector<std::string>{"高度 の変更", "主翼 展開長 の変更"}));

    // Typing in the comment is one step, undone by the window's Ctrl+Z.
    auto* comment = w.find<skarvel::gui::CommentBox>("CommentBox");
    ASSERT_NE(comment, nullptr);
    comment->setFocus();
    QTest::keyClicks(comment, QStringLiteral("memo"));
    EXPECT_EQ(w.ws().edits().undoName(), "コメントの変更");
    EXPECT_EQ(w.ws().edits().done(), 3u);
    QTest::keyClick(comment, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(comment->toPlainText(), QString());
    EXPECT_EQ(w.ws().edits().done(), 2u);

    // The list: a click goes back to the start.
    w.trigger(Command::EditHistory);
    auto* list = Window::beside<QWidget>("EditHistoryWindow");
    ASSERT_NE(list, nullptr);
    auto* rows = list->findChild<QListWidget*>(QStringLiteral("EditHistoryList"));
    ASSERT_EQ(rows->count(), 4); // the start and three steps
    EXPECT_EQ(rows->currentRow(), 2);
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                      rows->visualItemRect(rows->item(0)).center());
    EXPECT_EQ(w.ws().edits().done(), 0u);
    EXPECT_EQ(w.ws().tables().design.cell(dz::MainWing, dz::Span), span);
    EXPECT_EQ(w.ws().tables().input.cell(1, in::Altitude), altitude);
    EXPECT_EQ(rows->currentRow(), 0);
    list->close();
}

// A text confirmed with Enter into a selected block is one step with the
// cell it was typed into.
TEST(EditWindow, ABlockEditIsOneStep) {
    Window w;
    auto* input = w.find<TableView>("InputTable");
    const data::Table before = w.ws().tables().input;
    input->setCurrentIndex(input->tableModel()->indexOf(1, in::WindSpeed));
    input->selectionModel()->select(
        QItemSelection(input->tableModel()->indexOf(1, in::WindSpeed),
                       input->tableModel()->indexOf(1, in::ThermalRadius)),
        QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(input, Qt::Key_F2);
    QWidget* editor = input->indexWidget(input->currentIndex());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("3"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.ws().tables().input.cell(1, in::ThermalRadius), "3");
    EXPECT_EQ(w.ws().edits().names(), (std::vector<std::string>{"入力データ 3 セルの変更"}));
    w.trigger(Command::Undo);
    for (int row = in::WindSpeed; row <= in::ThermalRadius; ++row) {
        EXPECT_EQ(w.ws().tables().input.cell(1, row), before.cell(1, row));
    }
}

TEST(EditWindow, UnsavedWorkIsAskedAboutBeforeItIsReplaced) {
    Window w;
    Type(w, "InputTable", 1, in::Altitude, QStringLiteral("30"));
    // Cancel: the open is not even offered, the reset not asked.
    w.saveAnswer = skarvel::gui::SaveAnswer::Cancel;
    w.nextFile = QString::fromStdString(w.dir.file("other.kxs"));
    w.trigger(Command::InputOpen);
    EXPECT_TRUE(w.offeredFile.isEmpty());
    w.trigger(Command::Reset);
    EXPECT_EQ(w.yesNoAsked, 0);
    ASSERT_EQ(w.saveQuestions.size(), 2);
    EXPECT_EQ(w.saveQuestions[0],
              QStringLiteral("変更を保存しますか?\n入力データ（無題）が変更されています。"));
    EXPECT_FALSE(w.form->close());
    EXPECT_TRUE(w.form->isVisible());

    // Save: the input data has no file yet, so its name is asked, then the
    // window closes.
    w.saveAnswer = skarvel::gui::SaveAnswer::Save;
    w.nextFile = QString::fromStdString(w.dir.file("kept"));
    EXPECT_TRUE(w.form->close());
    EXPECT_TRUE(std::filesystem::exists(w.dir.file("kept.kxs")));
    w.form->show();
    EXPECT_FALSE(w.form->isWindowModified());

    // Ctrl+S saves a changed document to its own file without a dialog.
    Type(w, "InputTable", 1, in::Altitude, QStringLiteral("40"));
    w.nextFile.clear();
    w.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
    QTest::keyClick(w.find<TableView>("InputTable"), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(w.form->isWindowModified());
    EXPECT_NE(skarvel::data::ReadFileBytes(w.dir.file("kept.kxs")).find("40"), std::string::npos);
    EXPECT_EQ(w.saveQuestions.size(), 4); // open, reset, two closes
}

// Closing during a flight stops it first; the window then closes (asking
// about unsaved work as any close does).
TEST(EditWindow, CloseDuringAFlightStopsItThenCloses) {
    Window w;
    Type(w, "InputTable", 1, in::Altitude, QStringLiteral("300"));
    const std::size_t rows = w.rows();
    // Queued after the flight: it arrives while the flight runs.
    w.form->action(Command::RunFromInput)->trigger();
    bool closedDuringFlight = false;
    QMetaObject::invokeMethod(
        w.form.get(),
        [&w, &closedDuringFlight] {
            closedDuringFlight = w.ws().busy();
            w.form->close();
        },
        Qt::QueuedConnection);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(closedDuringFlight);
    EXPECT_FALSE(w.ws().busy());
    EXPECT_EQ(w.rows(), rows + 1);
    EXPECT_TRUE(skarvel::test::WaitUntil([&w] { return !w.form->isVisible(); }));
    EXPECT_EQ(w.saveQuestions.size(), 1);
}

// The recovery file: written at once after a confirmed design
// recomputation, gone on a clean close.
TEST(EditWindow, RecoveryFileFollowsUnsavedWork) {
    Window w;
    const std::filesystem::path file =
        skarvel::app::RecoveryFolder() /
        ("recovery-" + std::to_string(QCoreApplication::applicationPid()) + ".txt");
    QWidget* editor =
        EditCell(w.find<TableView>("DesignTable"), dz::MainWing, dz::Span, QStringLiteral("160"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(skarvel::test::WaitUntil([&file] { return std::filesystem::exists(file); }));
    w.form->close();
    EXPECT_FALSE(std::filesystem::exists(file));
}

// Run only as the child of KilledWindowIsRestoredByTheNext: edits, waits for
// its recovery file, says what its tables are, and waits to be killed.
TEST(EditWindow, DISABLED_ChildEditsAndWaits) {
    Window w;
    Type(w, "InputTable", 1, in::Altitude, QStringLiteral("33"));
    w.ws().setComment("殺される前のメモ");
    QWidget* editor =
        EditCell(w.find<TableView>("DesignTable"), dz::MainWing, dz::Span, QStringLiteral("155"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    const std::filesystem::path file =
        skarvel::app::RecoveryFolder() /
        ("recovery-" + std::to_string(QCoreApplication::applicationPid()) + ".txt");
    ASSERT_TRUE(skarvel::test::WaitUntil([&file] { return std::filesystem::exists(file); }, 20000));
    std::ofstream(qgetenv("SKARVEL_TEST_CHILD_OUT").toStdString() + ".tmp") << InputDump(w.ws());
    std::filesystem::rename(qgetenv("SKARVEL_TEST_CHILD_OUT").toStdString() + ".tmp",
                            qgetenv("SKARVEL_TEST_CHILD_OUT").toStdString());
    QTest::qWait(60000);
}

TEST(EditWindow, KilledWindowIsRestoredByTheNext) {
    const skarvel::test::TempDir state;
    const std::string expected = state.file("expected.txt");
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_STATE_HOME"), QString::fromStdString(state.path().string()));
    env.insert(QStringLiteral("SKARVEL_TEST_KEEP_STATE"), QStringLiteral("1"));
    env.insert(QStringLiteral("SKARVEL_TEST_CHILD_OUT"), QString::fromStdString(expected));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=EditWindow.DISABLED_ChildEditsAndWaits"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForStarted());
    for (int i = 0; i < 600 && !std::filesystem::exists(expected); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(std::filesystem::exists(expected)) << child.readAllStandardOutput().toStdString();
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    child.waitForFinished();
    std::stringstream dump;
    dump << std::ifstream(expected).rdbuf();

    const QByteArray savedState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(state.path().string()));
    Window::nextRestoreAnswer = skarvel::gui::RestoreAnswer::Restore;
    {
        Window w;
        Window::nextRestoreAnswer = skarvel::gui::RestoreAnswer::Later;
        ASSERT_TRUE(skarvel::test::WaitUntil([&w] { return w.restoreQuestions.size() == 1; }));
        EXPECT_TRUE(w.restoreQuestions[0].startsWith(QStringLiteral("前回の作業を復元しますか?")));
        EXPECT_EQ(InputDump(w.ws()), dump.str());
        EXPECT_TRUE(w.form->isWindowModified());
        EXPECT_EQ(w.ws().edits().undoName(), "前回の作業を復元");
        EXPECT_TRUE(skarvel::app::OrphanRecoveries(state.path() / "skarvel").empty());
    }
    qputenv("XDG_STATE_HOME", savedState);
}

} // namespace
