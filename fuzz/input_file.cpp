// An input-data file (.kxs) of any bytes opened as the window's open command
// opens it. A refused file changes nothing; a read one sets the value cells
// as its lines say, keeps the captions and units, re-estimates the parameters
// without NaN or infinity, and reads back the same from what a save writes.

#include "fuzz_common.h"

#include "app/workspace.h"
#include "data/codec.h"
#include "data/input_file.h"
#include "data/tables.h"
#include "data/textfile.h"

#include <string>
#include <vector>

using namespace skarvel;
namespace in = data::input;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static fuzz::ScratchFile file("input.kxs");
    const std::string& path = file.write(bytes, size);

    app::Workspace ws;
    const data::Tables before = ws.tables();
    const std::string caption = ws.files().caption();
    const app::DialogFiles dialogs = ws.dialogFiles();

    bool read = false;
    try {
        read = ws.files().openInputFile(path);
    } catch (const data::NotInputFileError& e) {
        FUZZ_REQUIRE(std::string(e.what()).find("入力データのファイルではありません") == 0,
                     e.what());
    } catch (const data::FileError& e) {
        // Only a file over the size limit is unreadable here.
        FUZZ_REQUIRE(size > data::kDataFileLimit, e.what());
    }
    if (!read) {
        FUZZ_REQUIRE(fuzz::SameTables(before, ws.tables()), "a refused file changed the tables");
        FUZZ_REQUIRE(ws.files().caption() == caption, ws.files().caption());
        FUZZ_REQUIRE(ws.dialogFiles().inputOpen == dialogs.inputOpen, ws.dialogFiles().inputOpen);
        FUZZ_REQUIRE(ws.dialogFiles().inputSave == dialogs.inputSave, ws.dialogFiles().inputSave);
        return 0;
    }

    const data::Table& input = ws.tables().input;
    // The value cells are what the lines say; nothing else of the table moves.
    std::vector<std::string> lines;
    data::ForEachLine(
        data::DecodeCp932(std::string_view(reinterpret_cast<const char*>(bytes), size)),
        [&](std::string_view line) { lines.emplace_back(line); });
    data::Table expected = before.input;
    data::ApplyInputFileLines(expected, lines);
    FUZZ_REQUIRE(fuzz::SameCells(expected, input), "cells differ from the file's lines");
    for (int row = 0; row < in::kRows; ++row) {
        FUZZ_REQUIRE(input.cell(0, row) == before.input.cell(0, row), std::to_string(row));
        FUZZ_REQUIRE(input.cell(in::kUnitColumn, row) == before.input.cell(in::kUnitColumn, row),
                     std::to_string(row));
        // A value never holds a space: the unit follows the first one.
        FUZZ_REQUIRE(input.cell(in::kValueColumn, row).find(' ') == std::string::npos,
                     input.cell(in::kValueColumn, row));
    }
    FUZZ_REQUIRE(ws.dialogFiles().inputOpen == path && ws.dialogFiles().inputSave == path,
                 ws.dialogFiles().inputOpen);
    FUZZ_REQUIRE(ws.files().caption() != caption, ws.files().caption());

    // The parameters are estimated from whatever the cells hold.
    fuzz::RequireFiniteCells(ws.tables().parameter, data::param::kValueColumn,
                             data::param::kValueColumn, "parameter");

    // A save writes lines that read back as the same table, unless it has
    // characters CP932 cannot hold (the save warns of those).
    if (ws.files().unsavableInputCharacters().empty()) {
        const std::vector<std::string> written = data::InputFileLines(input);
        std::string text;
        for (const std::string& line : written) {
            text += data::EncodeCp932(line) + "\r\n";
        }
        std::vector<std::string> reread;
        data::ForEachLine(data::DecodeCp932(text),
                          [&](std::string_view line) { reread.emplace_back(line); });
        data::Table again = before.input;
        data::ApplyInputFileLines(again, reread);
        FUZZ_REQUIRE(fuzz::SameCells(again, input), "a saved file reads back differently");
    }
    return 0;
}
