// A recovery file of any bytes, as a starting window reads it. A refused
// file says why; a read one restores into a workspace as one undoable step,
// with the data cells it holds, the captions the program's own, and reads
// back the same from the recovery file that workspace would write.

#include "fuzz_common.h"

#include "app/recovery.h"
#include "app/workspace.h"
#include "data/tables.h"
#include "data/textfile.h"

#include <string>

using namespace skarvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static fuzz::ScratchFile file("recovery-1.txt");
    static fuzz::ScratchFile again("recovery-2.txt");
    const std::string& path = file.write(bytes, size);

    app::Recovery recovery;
    try {
        recovery = app::ReadRecovery(path);
    } catch (const data::FileError& e) {
        FUZZ_REQUIRE(std::string(e.what()).find("回復用ファイル") == 0 ||
                         size > data::kDataFileLimit,
                     e.what());
        return 0;
    }
    app::Workspace ws;
    const data::Tables start = ws.tables();
    FUZZ_REQUIRE(ws.files().restoreRecovery(recovery), "restore refused");
    FUZZ_REQUIRE(fuzz::SameCells(ws.tables().input, recovery.tables.input), "input");
    FUZZ_REQUIRE(fuzz::SameCells(ws.tables().parameter, recovery.tables.parameter), "parameter");
    for (int row = 0; row < data::input::kRows; ++row) {
        FUZZ_REQUIRE(ws.tables().input.cell(0, row) == start.input.cell(0, row), "caption");
    }
    FUZZ_REQUIRE(ws.comment() == recovery.comment, "comment");

    // What this workspace would write reads back as the same tables.
    const std::string text = app::RecoveryText(ws, recovery.written);
    const std::string& second =
        again.write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    const app::Recovery reread = app::ReadRecovery(second);
    FUZZ_REQUIRE(fuzz::SameCells(reread.tables.design, ws.tables().design), "design reread");
    FUZZ_REQUIRE(reread.comment == ws.comment(), "comment reread");

    // Undone, the workspace is as it started.
    FUZZ_REQUIRE(ws.edits().undo(), "undo");
    FUZZ_REQUIRE(fuzz::SameTables(start, ws.tables()), "undo of a restore");
    return 0;
}
