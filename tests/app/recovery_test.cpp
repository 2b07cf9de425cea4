// The recovery file: written when due, read back into a new workspace as
// the same tables, and found only when its window no longer runs.

#include "app/recovery.h"
#include "app/workspace.h"
#include "common/temp_dir.h"
#include "data/textfile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using skarvel::app::RecoveryKeeper;
using skarvel::app::TableId;
using skarvel::app::Workspace;
namespace data = skarvel::data;
namespace dz = data::design;
namespace in = data::input;
using std::chrono::milliseconds;

std::string Cells(const data::Table& t) {
    std::string out;
    for (int r = 0; r < t.rowCount(); ++r) {
        for (int c = 0; c < t.columnCount(); ++c) {
            out += t.cell(c, r) + '\t';
        }
        out += '\n';
    }
    return out;
}

TEST(Recovery, WrittenWhenDueAndReadBackAsTheSameUnsavedTables) {
    const skarvel::test::TempDir dir;
    Workspace ws;
    ws.files().saveDesignFile(dir.file("glider.kx"));
    RecoveryKeeper keeper(ws, dir.path() / "state", 4242);
    EXPECT_EQ(keeper.path(), (dir.path() / "state" / "recovery-4242.txt").string());
    EXPECT_EQ(keeper.due(ws), std::nullopt); // nothing unsaved

    ws.editCell(TableId::Input, 1, in::Altitude, "30");
    EXPECT_EQ(keeper.due(ws), RecoveryKeeper::kMaxDelay);
    const auto now = std::chrono::system_clock::now();
    keeper.update(ws, now);
    EXPECT_TRUE(std::filesystem::exists(keeper.path()));
    EXPECT_EQ(keeper.due(ws), std::nullopt);
    ws.editCell(TableId::Parameter, 1, 3, "0.5");
    ws.setComment("行1\n\t「タブ」\\ 終わり");
    EXPECT_EQ(keeper.due(ws), RecoveryKeeper::kMaxDelay);
    ws.editCell(TableId::Design, dz::MainWing, dz::Span, "160");
    ws.convertToInput(); // a confirmed recomputation is written at once
    EXPECT_EQ(keeper.due(ws), milliseconds(0));
    keeper.update(ws, now);

    const skarvel::app::Recovery r = skarvel::app::ReadRecovery(keeper.path());
    EXPECT_EQ(r.written, skarvel::app::LocalTimeText(now));
    Workspace restored;
    ASSERT_TRUE(restored.files().restoreRecovery(r));
    for (const TableId id :
         {TableId::Input, TableId::Parameter, TableId::Design, TableId::Computed}) {
        EXPECT_EQ(Cells(restored.table(id)), Cells(ws.table(id)));
    }
    EXPECT_EQ(restored.comment(), ws.comment());
    EXPECT_EQ(restored.files().caption(), ws.files().caption());
    EXPECT_EQ(restored.files().state().designFile, ws.files().state().designFile);
    EXPECT_TRUE(restored.files().unsaved().input);
    EXPECT_TRUE(restored.files().unsaved().design);
    EXPECT_EQ(restored.edits().undoName(), "前回の作業を復元");

    // Undone back to what was saved: the file goes at once.
    ws.edits().goTo(0);
    EXPECT_FALSE(ws.files().unsaved().any());
    EXPECT_EQ(keeper.due(ws), milliseconds(0));
    keeper.update(ws, now);
    EXPECT_FALSE(std::filesystem::exists(keeper.path()));
    EXPECT_EQ(keeper.due(ws), std::nullopt);
}

TEST(Recovery, BrokenFilesAreNamedNotGuessed) {
    const skarvel::test::TempDir dir;
    Workspace ws;
    const std::string good = skarvel::app::RecoveryText(ws, "2026-12-08 08:00:00");
    const auto refused = [&dir](const std::string& text) -> std::string {
        data::WriteFileBytes(dir.file("r"), text);
        try {
            skarvel::app::ReadRecovery(dir.file("r"));
        } catch (const data::FileError& e) {
            const std::string what = e.what();
            return what.substr(what.find(": ") + 2);
        }
        return "read";
    };
    EXPECT_EQ(refused(good), "read");
    EXPECT_EQ(refused("Skarvel recovery 2\n"), "回復用ファイルではありません");
    EXPECT_EQ(refused(good.substr(0, good.find("table\tparameter"))), "表が欠けています");
    const std::size_t table = good.find("table\tinput\t");
    EXPECT_EQ(refused(good.substr(0, table) + "comment\tbad \\q escape\n" + good.substr(table)),
              "13 行目の形式が違います");
    std::string wide = good;
    wide.replace(good.find("\t3\t38\n"), 6, "\t4\t38\n");
    EXPECT_EQ(refused(wide), "13 行目の表はこのプログラムの表と合いません");
    // A table cut short.
    EXPECT_EQ(refused(good.substr(0, good.find("table\tparameter") - 30)),
              "51 行目の表の行が欠けています");
}

TEST(Recovery, FoundOnlyWhenItsWindowNoLongerRuns) {
    const skarvel::test::TempDir dir;
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    const auto touch = [&dir](const std::string& name) { std::ofstream(dir.file(name)) << "x"; };
    touch("recovery-" + std::to_string(child) + ".txt");      // ended
    touch("recovery-" + std::to_string(::getpid()) + ".txt"); // this very window
    touch("recovery-1.txt");                                  // another program's number
    touch("recovery-x1.txt");
    touch("notes.txt");
    std::vector<std::string> found = skarvel::app::OrphanRecoveries(dir.path());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found,
              (std::vector<std::string>{dir.file("recovery-1.txt"),
                                        dir.file("recovery-" + std::to_string(child) + ".txt")}));
    EXPECT_TRUE(skarvel::app::OrphanRecoveries(dir.path() / "none").empty());
}

TEST(Recovery, FolderFollowsTheStateHome) {
    const char* saved = std::getenv("XDG_STATE_HOME");
    const std::string keep = saved != nullptr ? saved : "";
    ::setenv("XDG_STATE_HOME", "/srv/state", 1);
    EXPECT_EQ(skarvel::app::RecoveryFolder(), std::filesystem::path("/srv/state/skarvel"));
    ::setenv("XDG_STATE_HOME", "relative", 1); // not absolute: ignored
    EXPECT_EQ(skarvel::app::RecoveryFolder(),
              std::filesystem::path(std::getenv("HOME")) / ".local/state/skarvel");
    if (saved != nullptr) {
        ::setenv("XDG_STATE_HOME", keep.c_str(), 1);
    } else {
        ::unsetenv("XDG_STATE_HOME");
    }
}

} // namespace
