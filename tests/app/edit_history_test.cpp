// The edit history: random edits undone to the start and redone to the end
// byte for byte, its bounds, and what a step gives back.

#include "app/edit_history.h"
#include "app/sweep.h"
#include "app/workspace.h"
#include "common/temp_dir.h"
#include "data/tables.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <string>

namespace {

using skarvel::app::EditExtras;
using skarvel::app::EditHistory;
namespace data = skarvel::data;
namespace model = skarvel::model;

// Every cell's text and the styling of the four edited tables.
bool SameTables(const data::Tables& a, const data::Tables& b) {
    for (auto table : {&data::Tables::input, &data::Tables::parameter, &data::Tables::design,
                       &data::Tables::computed}) {
        const data::Table& x = a.*table;
        const data::Table& y = b.*table;
        if (!(x.styling() == y.styling())) {
            return false;
        }
        for (int r = 0; r < x.rowCount(); ++r) {
            for (int c = 0; c < x.columnCount(); ++c) {
                if (x.cell(c, r) != y.cell(c, r)) {
                    return false;
                }
            }
        }
    }
    return true;
}

EditExtras Extras(skarvel::model::SharedAircraftModel model, bool computed) {
    EditExtras e;
    e.model = std::move(model);
    e.designComputed = computed;
    return e;
}

// One random edit: a cell, a block of cells, or a cell's style.
void RandomEdit(data::Tables& t, std::mt19937& random) {
    data::Table* tables[] = {&t.input, &t.parameter, &t.design, &t.computed};
    data::Table& table = *tables[random() % 4];
    const int column = static_cast<int>(random() % static_cast<unsigned>(table.columnCount()));
    const int row = static_cast<int>(random() % static_cast<unsigned>(table.rowCount()));
    switch (random() % 4) {
    case 0:
    case 1:
        table.setCell(column, row, std::to_string(random() % 1000));
        break;
    case 2:
        for (int r = row; r < std::min(row + 3, table.rowCount()); ++r) {
            table.setCell(column, r, "");
        }
        break;
    default:
        table.assignCellStyle(column, row, 0);
        break;
    }
}

TEST(EditHistory, RandomEditsUndoneToTheStartAndRedoneToTheEnd) {
    constexpr int kEdits = 3000;
    std::mt19937 random(26);
    data::Tables tables;
    data::ResetTables(tables);
    const data::Tables start = tables;
    EditHistory history(kEdits);
    const EditExtras extras = Extras(std::make_shared<const model::AircraftModel>(), true);
    int recorded = 0;
    for (int i = 0; i < kEdits; ++i) {
        const data::Tables before = tables;
        RandomEdit(tables, random);
        recorded += history.record("edit " + std::to_string(i), before, extras, tables, extras);
    }
    const data::Tables end = tables;
    ASSERT_EQ(history.size(), static_cast<std::size_t>(recorded));
    while (history.undo(tables)) {
    }
    EXPECT_TRUE(SameTables(tables, start));
    while (history.redo(tables)) {
    }
    EXPECT_TRUE(SameTables(tables, end));
}

TEST(EditHistory, BoundedAndHoldingOnlyWhatChanged) {
    data::Tables tables;
    data::ResetTables(tables);
    EditHistory history;
    const EditExtras extras = Extras(std::make_shared<const model::AircraftModel>(), true);
    for (int i = 0; i < 10000; ++i) {
        const data::Tables before = tables;
        tables.input.setCell(1, 1 + i % 20, std::to_string(i));
        history.record("edit", before, extras, tables, extras);
    }
    EXPECT_EQ(history.size(), EditHistory::kDefaultSteps);
    EXPECT_LT(history.bytes(), std::size_t{1} << 20); // a step is a cell, not the tables
    // A size limit drops the oldest steps too, but keeps the newest.
    EditHistory small(1000, 1);
    const data::Tables before = tables;
    tables.design.setCell(1, 1, "x");
    small.record("one", before, extras, tables, extras);
    EXPECT_EQ(small.size(), 1u);
}

TEST(EditHistory, NamesRedoAndWhatAStepGivesBack) {
    data::Tables tables;
    data::ResetTables(tables);
    EditHistory history;
    auto first = std::make_shared<const model::AircraftModel>();
    auto second = std::make_shared<const model::AircraftModel>();
    const data::Tables unchanged = tables;
    EXPECT_FALSE(
        history.record("nothing", unchanged, Extras(first, true), tables, Extras(first, true)));
    EXPECT_FALSE(history.canUndo());
    for (const char* name : {"a", "b", "c"}) {
        const data::Tables before = tables;
        tables.input.setCell(1, 1, name);
        history.record(name, before, Extras(first, true), tables, Extras(second, false));
    }
    EXPECT_EQ(history.undoName(), "c");
    const auto undone = history.undo(tables);
    ASSERT_TRUE(undone);
    EXPECT_EQ(undone->to.model, first);
    EXPECT_TRUE(undone->to.designComputed);
    EXPECT_EQ(tables.input.cell(1, 1), "b");
    EXPECT_EQ(history.redoName(), "c");
    // A new step drops the one that could be redone.
    const data::Tables before = tables;
    tables.input.setCell(1, 2, "d");
    history.record("d", before, Extras(first, true), tables, Extras(first, true));
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.names(), (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(history.done(), 3u);
}

// What undo and redo must give back: the tables, the comment and the files.
struct Dump {
    data::Tables tables;
    std::string comment;
    skarvel::app::FileState files;
    explicit Dump(const skarvel::app::Workspace& ws)
        : tables(ws.tables()), comment(ws.comment()), files(ws.files().state()) {}
    bool operator==(const Dump& o) const {
        return SameTables(tables, o.tables) && comment == o.comment && files == o.files;
    }
};

using skarvel::app::TableId;
using skarvel::app::Workspace;
namespace dz = data::design;
namespace in = data::input;

struct StepKind {
    const char* name;
    std::function<void(Workspace&)> prepare; // not part of the step
    std::function<void(Workspace&)> edit;
};

// Every kind of step through the workspace: undo gives back the tables, the
// comment and the files before it, redo the ones after it, byte for byte,
// and the design model with them.
TEST(WorkspaceEdits, EachKindOfStepUndoneAndRedoneExactly) {
    const skarvel::test::TempDir dir;
    const std::string inputFile = dir.file("a.kxs");
    const std::string designFile = dir.file("b.kx");
    {
        Workspace other;
        other.editCell(TableId::Input, 1, in::LaunchSpeed, "130");
        other.editCell(TableId::Design, dz::MainWing, dz::Span, "170");
        other.setComment("他の設計");
        other.files().saveInputFile(inputFile);
        other.files().saveDesignFile(designFile);
    }
    const auto none = [](Workspace&) {};
    const auto t0 = Workspace::Clock::time_point{};
    const StepKind kinds[] = {
        {"初速 の変更", none,
         [](Workspace& ws) { ws.editCell(TableId::Input, 1, in::LaunchSpeed, "120"); }},
        {"入力データ 3 セルの変更", none,
         [](Workspace& ws) {
             ws.editCell(TableId::Input, 1, in::LaunchSpeed, "120");
             ws.editBlock(TableId::Input, {{1, 5}, {1, 6}}, "120");
         }},
        {"主翼 展開長 の変更", none,
         [](Workspace& ws) {
             ws.editCell(TableId::Design, dz::MainWing, dz::Span, "160");
             ws.convertToInput(); // Enter in the cell: joins the edit
         }},
        {"入力データに変換", none, [](Workspace& ws) { ws.convertToInput(); }},
        {"垂直尾翼 形式 の選択", none,
         [](Workspace& ws) { ws.choosePickItem(dz::VerticalTail, dz::Type, 0); }},
        {"主翼 紙の設定", none,
         [](Workspace& ws) { ws.applyPaperChoice(dz::MainWing, "紙", "100", "0.1"); }},
        {"このトリムで飛行", none, [](Workspace& ws) { ws.analysis().flyFromTrim(); }},
        {"スイープの点", none,
         [](Workspace& ws) {
             const skarvel::app::SweepGrid grid(
                 {skarvel::app::ParseSweepVariable("主翼/翼根翼弦長=30:40:10")});
             ws.sweeps().flyPoint(grid, 1);
         }},
        {"計算履歴の行の入力",
         [](Workspace& ws) {
             ws.runFromInput();
             ws.editCell(TableId::Input, 1, in::LaunchSpeed, "99");
         },
         [](Workspace& ws) { ws.historyCommands().rerun(0); }},
        {"コメントの変更", none,
         [t0](Workspace& ws) {
             // One burst of typing, then a pause: the pause begins a new step.
             ws.setComment("メ", t0);
             ws.setComment("メモ", t0 + std::chrono::seconds(1));
             ws.setComment("メモ。", t0 + std::chrono::seconds(2));
         }},
        {"入力データを開く", none,
         [&inputFile](Workspace& ws) { ws.files().openInputFile(inputFile); }},
        {"KXファイルを開く", none,
         [&designFile](Workspace& ws) { ws.files().openDesignFile(designFile); }},
        {"データのリセット", [](Workspace& ws) { ws.setComment("x"); },
         [](Workspace& ws) { ws.resetTables(); }},
    };
    for (const StepKind& kind : kinds) {
        Workspace ws;
        ws.editCell(TableId::Input, 1, in::Altitude, "30"); // something to reset
        kind.prepare(ws);
        const Dump before(ws);
        const model::AircraftModel* modelBefore = &ws.aircraft();
        const std::size_t steps = ws.edits().done();
        kind.edit(ws);
        ASSERT_EQ(ws.edits().undoName(), kind.name);
        EXPECT_EQ(ws.edits().done(), steps + 1) << kind.name;
        const Dump after(ws);
        const model::AircraftModel* modelAfter = &ws.aircraft();
        const std::size_t rows = ws.history().rows().size();
        ASSERT_TRUE(ws.edits().undo());
        EXPECT_TRUE(Dump(ws) == before) << kind.name;
        EXPECT_EQ(&ws.aircraft(), modelBefore) << kind.name;
        ASSERT_TRUE(ws.edits().redo());
        EXPECT_TRUE(Dump(ws) == after) << kind.name;
        EXPECT_EQ(&ws.aircraft(), modelAfter) << kind.name;
        EXPECT_EQ(ws.history().rows().size(), rows) << kind.name; // undo and redo never fly
    }
}

TEST(WorkspaceEdits, CommentTypingIsOneStepPerBurst) {
    Workspace ws;
    const auto t0 = Workspace::Clock::time_point{};
    ws.setComment("a", t0);
    ws.setComment("ab", t0 + std::chrono::seconds(2));
    ws.setComment("abc", t0 + std::chrono::seconds(6)); // after a pause
    ws.setComment("abcd", t0 + std::chrono::seconds(7));
    ws.edits().endBurst(); // the box lost the focus
    ws.setComment("abcde", t0 + std::chrono::seconds(8));
    EXPECT_EQ(ws.edits().names(), (std::vector<std::string>(3, "コメントの変更")));
    ws.edits().undo();
    EXPECT_EQ(ws.comment(), "abcd");
    ws.edits().undo();
    EXPECT_EQ(ws.comment(), "ab");
    // A burst typed back to where it began is no step at all, and the next
    // typing does not join an older step.
    ws.edits().goTo(0);
    ws.setComment("x", t0);
    ws.setComment("", t0 + std::chrono::seconds(1));
    EXPECT_EQ(ws.edits().done(), 0u);
    ws.editCell(TableId::Input, 1, in::Altitude, "30");
    ws.setComment("y", t0 + std::chrono::seconds(2));
    EXPECT_EQ(ws.edits().names(), (std::vector<std::string>{"高度 の変更", "コメントの変更"}));
}

// Changed is what differs from the file last opened or saved; undoing back
// to it is unchanged again, and the question names what changed.
TEST(WorkspaceEdits, UnsavedFollowsEditsSavesAndUndo) {
    using skarvel::app::Replacing;
    const skarvel::test::TempDir dir;
    Workspace ws;
    const auto unsaved = [&ws] {
        const auto u = ws.files().unsaved();
        return std::pair(u.input, u.design);
    };
    EXPECT_EQ(unsaved(), std::pair(false, false));
    ws.editCell(TableId::Input, 1, in::Altitude, "30");
    EXPECT_EQ(unsaved(), std::pair(true, false));
    EXPECT_EQ(ws.files().saveQuestion(ws.files().unsaved()),
              "変更を保存しますか?\n入力データ（無題）が変更されています。");
    ws.edits().undo();
    EXPECT_EQ(unsaved(), std::pair(false, false));
    ws.edits().redo();
    ws.files().saveInputFile(dir.file("a"));
    EXPECT_EQ(unsaved(), std::pair(false, false));
    ws.edits().undo(); // the file still holds the edit
    EXPECT_EQ(unsaved(), std::pair(true, false));
    ws.edits().redo();
    ws.setComment("メモ");
    EXPECT_EQ(unsaved(), std::pair(false, true));
    ws.editCell(TableId::Design, dz::MainWing, dz::Span, "160");
    ws.convertToInput();
    EXPECT_EQ(unsaved(), std::pair(true, true));
    EXPECT_EQ(ws.files().saveQuestion(ws.files().unsaved()),
              "変更を保存しますか?\n入力データ（a.kxs）と設計データ（無題）が変更されています。");
    EXPECT_FALSE(ws.files().unsavedBefore(Replacing::OpenInput).design);
    EXPECT_TRUE(ws.files().unsavedBefore(Replacing::OpenDesign).input);
    ws.files().saveDesignFile(dir.file("b"));
    ws.files().saveInputFile(dir.file("a"));
    EXPECT_EQ(unsaved(), std::pair(false, false));
    // A design opened: it and the input data converted from it are as read.
    Workspace reader;
    reader.files().openDesignFile(dir.file("b.kx"));
    EXPECT_EQ(reader.tables().design.cell(dz::MainWing, dz::Span), "160");
    EXPECT_FALSE(reader.files().unsaved().any());
    EXPECT_EQ(reader.comment(), "メモ");
}

// Thousands of edits of every kind in a seeded random order, all undone to
// the start and redone to the end, byte for byte.
TEST(WorkspaceEdits, RandomEditsUndoneToTheStartAndRedoneToTheEnd) {
    constexpr int kEdits = 2000;
    std::mt19937 random(27);
    Workspace ws;
    ws.edits().setLimit(kEdits);
    const Dump start(ws);
    auto t = Workspace::Clock::time_point{};
    const auto pick = [&random](int n) { return static_cast<int>(random() % unsigned(n)); };
    for (int i = 0; i < kEdits; ++i) {
        const std::string value = std::to_string(20 + pick(150));
        switch (pick(10)) {
        case 0:
        case 1:
            ws.editCell(TableId::Input, 1, 1 + pick(in::kRows - 1), value);
            break;
        case 2:
            ws.editCell(TableId::Parameter, 1, 1 + pick(data::param::kRows - 1), value);
            break;
        case 3:
            ws.editCell(TableId::Design, dz::MainWing + pick(5), dz::LeadingEdge + pick(9), value);
            break;
        case 4:
            ws.editBlock(TableId::Input, {{1, 1 + pick(10)}, {1, 12 + pick(10)}}, value);
            break;
        case 5:
            ws.convertToInput();
            break;
        case 6:
            ws.choosePickItem(dz::VerticalTail, dz::Type, pick(3));
            break;
        case 7:
            ws.applyPaperChoice(dz::MainWing + pick(4), "紙" + value, value, "0.1");
            break;
        case 8:
            t += std::chrono::seconds(pick(6));
            ws.setComment(ws.comment() + value, t);
            break;
        default:
            if (pick(20) == 0) {
                ws.resetTables();
            } else {
                ws.edits().undo(); // undone steps are dropped by the next one
            }
            break;
        }
    }
    const Dump end(ws);
    EXPECT_GT(ws.edits().done(), std::size_t{kEdits / 2});
    ws.edits().goTo(0);
    EXPECT_TRUE(Dump(ws) == start);
    ws.edits().goTo(ws.edits().names().size());
    EXPECT_TRUE(Dump(ws) == end);
}

} // namespace
