// The edit history: random edits undone to the start and redone to the end
// byte for byte, its bounds, and what a step gives back.

#include "app/edit_history.h"
#include "app/sweep.h"
#include "app/workspace.h"
#include "data/tables.h"

#include <gtest/gtest.h>

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
    const EditExtras extras{std::make_shared<const model::AircraftModel>(), true};
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
    const EditExtras extras{std::make_shared<const model::AircraftModel>(), true};
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
    EXPECT_FALSE(history.record("nothing", unchanged, {first, true}, tables, {first, true}));
    EXPECT_FALSE(history.canUndo());
    for (const char* name : {"a", "b", "c"}) {
        const data::Tables before = tables;
        tables.input.setCell(1, 1, name);
        history.record(name, before, {first, true}, tables, {second, false});
    }
    EXPECT_EQ(history.undoName(), "c");
    const auto undone = history.undo(tables);
    ASSERT_TRUE(undone);
    EXPECT_EQ(undone->model, first);
    EXPECT_TRUE(undone->designComputed);
    EXPECT_EQ(tables.input.cell(1, 1), "b");
    EXPECT_EQ(history.redoName(), "c");
    // A new step drops the one that could be redone.
    const data::Tables before = tables;
    tables.input.setCell(1, 2, "d");
    history.record("d", before, {first, true}, tables, {first, true});
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.names(), (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(history.done(), 3u);
}

// Every kind of step through the workspace: undo gives back the tables
// before it, redo the tables after it, byte for byte, and the design model
// with them.
TEST(WorkspaceEdits, EachKindOfStepUndoneAndRedoneExactly) {
    namespace dz = data::design;
    namespace in = data::input;
    using skarvel::app::TableId;
    using skarvel::app::Workspace;
    const auto designEdit = [](Workspace& ws) {
        ws.editCell(TableId::Design, dz::MainWing, dz::Span, "160");
        ws.convertToInput(); // Enter in the cell: joins the edit
    };
    const auto point = [](Workspace& ws) {
        const skarvel::app::SweepGrid grid(
            {skarvel::app::ParseSweepVariable("主翼/翼根翼弦長=30:40:10")});
        ws.sweeps().flyPoint(grid, 1);
    };
    const std::pair<const char*, std::function<void(Workspace&)>> kinds[] = {
        {"初速 の変更",
         [](Workspace& ws) { ws.editCell(TableId::Input, 1, in::LaunchSpeed, "120"); }},
        {"主翼 展開長 の変更", designEdit},
        {"入力データに変換", [](Workspace& ws) { ws.convertToInput(); }},
        {"垂直尾翼 形式 の選択",
         [](Workspace& ws) { ws.choosePickItem(dz::VerticalTail, dz::Type, 0); }},
        {"主翼 紙の設定",
         [](Workspace& ws) { ws.applyPaperChoice(dz::MainWing, "紙", "100", "0.1"); }},
        {"このトリムで飛行", [](Workspace& ws) { ws.analysis().flyFromTrim(); }},
        {"スイープの点", point},
        {"データのリセット", [](Workspace& ws) { ws.resetTables(); }},
    };
    for (const auto& [name, edit] : kinds) {
        Workspace ws;
        ws.editCell(TableId::Input, 1, in::Altitude, "30"); // something to reset
        const data::Tables before = ws.tables();
        const model::AircraftModel* modelBefore = &ws.aircraft();
        edit(ws);
        ASSERT_EQ(ws.edits().undoName(), name);
        const data::Tables after = ws.tables();
        const model::AircraftModel* modelAfter = &ws.aircraft();
        const std::size_t rows = ws.history().rows().size();
        ASSERT_TRUE(ws.edits().undo());
        EXPECT_TRUE(SameTables(ws.tables(), before)) << name;
        EXPECT_EQ(&ws.aircraft(), modelBefore) << name;
        ASSERT_TRUE(ws.edits().redo());
        EXPECT_TRUE(SameTables(ws.tables(), after)) << name;
        EXPECT_EQ(&ws.aircraft(), modelAfter) << name;
        EXPECT_EQ(ws.history().rows().size(), rows) << name; // undo and redo never fly
    }
}

} // namespace
