// The design commands of the workspace: conversion, design files and flights
// on the design-based laws.

#include "app/workspace.h"
#include "common/temp_dir.h"
#include "data/codec.h"
#include "data/tables.h"
#include "data/textfile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using skarvel::app::FlightView;
using skarvel::app::Workspace;
using skarvel::test::TempDir;
namespace data = skarvel::data;
namespace dz = skarvel::data::design;
namespace in = skarvel::data::input;

// Asks for a conversion while the flight is being computed.
struct ConvertingView : FlightView {
    Workspace* ws = nullptr;
    int dropped = 0;
    void secondElapsed() override {
        if (!ws->convertToInput()) {
            ++dropped;
        }
    }
};

void WriteCp932(const std::string& path, const std::string& utf8) {
    data::WriteFileBytes(path, data::EncodeCp932(utf8));
}

} // namespace

TEST(DesignCommands, ConversionFillsTheInputDataAndFliesTheDesign) {
    Workspace ws;
    // Start-up computes the design but leaves the input data at its defaults.
    EXPECT_EQ(ws.tables().computed.cell(5, 1), "4.542");
    EXPECT_EQ(ws.tables().input.cell(1, in::Mass), "4.5");
    ASSERT_TRUE(ws.convertToInput());
    EXPECT_EQ(ws.tables().input.cell(1, in::Mass), "4.542");
    EXPECT_EQ(ws.tables().input.cell(1, in::MinDrag), "0");
    // The parameter table follows the converted input data.
    EXPECT_EQ(ws.tables().parameter.cell(1, skarvel::data::param::mass), "4.542");
    EXPECT_EQ(ws.tables().parameter.cell(1, skarvel::data::param::CD0), "0");

    ws.runFromInput();
    const auto& row = ws.history().rows().front();
    ASSERT_TRUE(row.hasInputs()) << row.cells.front();
    EXPECT_EQ(row.cells[0], "65.236");

    // Without a design model the same flight fails into an "Error" row.
    ws.setDesignLaws(nullptr);
    ws.runFromInput();
    EXPECT_EQ(ws.history().rows().front().cells, std::vector<std::string>{"Error"});
}

TEST(DesignCommands, ConversionIsDroppedDuringAFlight) {
    Workspace ws;
    ConvertingView view;
    view.ws = &ws;
    ws.setFlightView(&view);
    ws.editCell(skarvel::app::TableId::Input, 1, in::Altitude, "30");
    ws.runFromInput();
    EXPECT_GT(view.dropped, 0);
    EXPECT_EQ(ws.tables().input.cell(1, in::Mass), "4.5"); // nothing was converted
    EXPECT_TRUE(ws.convertToInput());
}

TEST(DesignCommands, SaveAndOpenDesignFiles) {
    TempDir dir;
    Workspace ws;
    ws.editCell(skarvel::app::TableId::Design, dz::MainWing, dz::Span, "180");
    ws.setComment("一行目\r\n\"二行目\"");
    const std::string saved = ws.files().saveDesignFile(dir.file("glider"));
    EXPECT_EQ(saved, dir.file("glider.kx"));
    EXPECT_EQ(ws.files().caption(), "Skarvel - " + saved);
    EXPECT_EQ(ws.dialogFiles().designOpen, saved);
    EXPECT_EQ(ws.files().saveDesignFile(dir.file("other.dat")), dir.file("other.dat"));

    Workspace other;
    const auto result = other.files().openDesignFile(saved);
    EXPECT_EQ(result.status, data::DesignReadStatus::Read);
    EXPECT_EQ(other.tables().design.cell(dz::MainWing, dz::Span), "180");
    EXPECT_EQ(other.comment(), "一行目\r\n\"二行目\"");
    // The caption names the file without its folder; the design was converted.
    EXPECT_EQ(other.files().caption(), "Skarvel - glider.kx");
    EXPECT_EQ(other.tables().input.cell(1, in::MinDrag), "0");
    EXPECT_EQ(other.tables().input.cell(1, in::WingSpan), other.tables().computed.cell(1, 5));
    EXPECT_TRUE(other.history().rows().empty()); // opening flies nothing
}

TEST(DesignCommands, RefusedAndOldDesignFiles) {
    TempDir dir;
    Workspace ws;
    const data::Table before = ws.tables().design;
    WriteCp932(dir.file("bad.kx"), "\"プログラム\",\"Other 1.0\"\r\n\"主翼展開長\",\"99\"\r\n");
    const auto refused = ws.files().openDesignFile(dir.file("bad.kx"));
    EXPECT_EQ(refused.status, data::DesignReadStatus::NotADesignFile);
    EXPECT_EQ(refused.message,
              dir.file("bad.kx") + " は KXファイルではありません。\r\n読み込みを中断しました。");
    EXPECT_EQ(ws.tables().design.cell(dz::MainWing, dz::Span), before.cell(dz::MainWing, dz::Span));
    EXPECT_EQ(ws.files().caption(), "Skarvel");

    WriteCp932(dir.file("new.kx"),
               "\"プログラム\",\"Tarnifold Ver0.5\"\r\n\"主翼展開長\",\"99\"\r\n"
               "\"実測質量\",\"4.61\"\r\n\"滑空速度\",\"9\"\r\n");
    const auto warned = ws.files().openDesignFile(dir.file("new.kx"));
    EXPECT_EQ(warned.status, data::DesignReadStatus::ReadWithVersionWarning);
    EXPECT_EQ(warned.message, dir.file("new.kx") + " は Tarnifoldのバージョンが一致しません。\r\n"
                                                   "正しいデータを表示できない可能性があります。");
    EXPECT_EQ(ws.tables().design.cell(dz::MainWing, dz::Span), "99");
    EXPECT_EQ(ws.tables().design.cell(dz::Fuselage, dz::GlideSpeed), "5");
    // The measured mass stays with the design: no table shows it, saving keeps it.
    ASSERT_TRUE(ws.files().measuredMass().has_value());
    EXPECT_EQ(*ws.files().measuredMass(), "4.61");
    EXPECT_NE(ws.tables().computed.cell(5, 7), "4.61");
    const std::string saved = ws.files().saveDesignFile(dir.file("kept.kx"));
    const std::string text = data::DecodeCp932(data::ReadFileBytes(saved));
    EXPECT_NE(text.find("\"実測質量\",\"4.61\"\r\n"), std::string::npos);

    EXPECT_THROW(ws.files().openDesignFile(dir.file("missing.kx")), data::FileError);
    EXPECT_EQ(*ws.files().measuredMass(), "4.61");

    // The next design without one does not inherit it.
    WriteCp932(dir.file("plain.kx"), "\"プログラム\",\"Tarnifold Ver0.5\"\r\n");
    ws.files().openDesignFile(dir.file("plain.kx"));
    EXPECT_FALSE(ws.files().measuredMass().has_value());

    // The reset forgets the measured mass along with the design.
    ws.files().openDesignFile(dir.file("new.kx"));
    ws.resetTables();
    EXPECT_FALSE(ws.files().measuredMass().has_value());
    EXPECT_EQ(ws.tables().computed.cell(5, 1), "4.542");
}
