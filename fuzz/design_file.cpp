// A design file (.kx) of any bytes opened as the window's open command opens
// it, which converts the design into input data. A refused header changes
// nothing; a read design leaves no NaN or infinity in the computed data, the
// input data or the parameters, keeps the program's glide speed, and writes
// lines that read back as the same design.

#include "fuzz_common.h"

#include "app/workspace.h"
#include "data/design_file.h"
#include "data/tables.h"
#include "data/textfile.h"

#include <string>
#include <vector>

using namespace skarvel;
namespace dz = data::design;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static fuzz::ScratchFile file("design.kx");
    const std::string& path = file.write(bytes, size);

    app::Workspace ws;
    ws.setComment("comment before");
    const data::Tables before = ws.tables();
    const std::string caption = ws.files().caption();

    data::DesignReadResult result;
    try {
        result = ws.files().openDesignFile(path);
    } catch (const data::FileError& e) {
        FUZZ_REQUIRE(size > data::kDataFileLimit, e.what());
        FUZZ_REQUIRE(fuzz::SameTables(before, ws.tables()),
                     "an unreadable file changed the tables");
        return 0;
    }
    FUZZ_REQUIRE(ws.files().sketchEnabled(), "the sketch stays off after a read");

    switch (result.status) {
    case data::DesignReadStatus::NotADesignFile:
        FUZZ_REQUIRE(result.message == data::NotADesignFileMessage(data::QuotedName(path)),
                     result.message);
        FUZZ_REQUIRE(fuzz::SameTables(before, ws.tables()), "a refused file changed the tables");
        FUZZ_REQUIRE(ws.files().caption() == caption, ws.files().caption());
        FUZZ_REQUIRE(ws.comment() == "comment before", ws.comment());
        FUZZ_REQUIRE(!ws.files().measuredMass(), "measured mass of a refused file");
        FUZZ_REQUIRE(ws.dialogFiles().designOpen.empty(), ws.dialogFiles().designOpen);
        return 0;
    case data::DesignReadStatus::Read:
        FUZZ_REQUIRE(result.message.empty(), result.message);
        break;
    case data::DesignReadStatus::ReadWithVersionWarning:
        FUZZ_REQUIRE(result.message == data::DesignVersionMessage(data::QuotedName(path)),
                     result.message);
        break;
    }

    const data::Tables& t = ws.tables();
    FUZZ_REQUIRE(t.design.cell(dz::Fuselage, dz::GlideSpeed) == "5",
                 t.design.cell(dz::Fuselage, dz::GlideSpeed));
    FUZZ_REQUIRE(ws.comment() == (result.hasComment ? result.comment : "comment before"),
                 ws.comment());
    FUZZ_REQUIRE(ws.files().measuredMass().has_value() == result.hasMeasuredMass, "measured mass");
    FUZZ_REQUIRE(ws.dialogFiles().designOpen == path, ws.dialogFiles().designOpen);

    // Whatever the design, the numbers the conversion wrote are numbers.
    fuzz::RequireFiniteCells(t.computed, data::computed::Wing, data::computed::Whole, "computed");
    fuzz::RequireFiniteCells(t.input, data::input::kValueColumn, data::input::kValueColumn,
                             "input");
    fuzz::RequireFiniteCells(t.parameter, data::param::kValueColumn, data::param::kValueColumn,
                             "parameter");

    // What a save writes reads back as the same design, comment and mass.
    const std::string measured = ws.files().measuredMass()
                                     ? *ws.files().measuredMass()
                                     : std::string(data::kDefaultMeasuredMass);
    std::string text;
    for (const std::string& line :
         data::DesignFileLines(t.design, ws.comment(), "design", measured)) {
        text += line + "\r\n";
    }
    data::Table again = t.design;
    const data::DesignReadResult reread = data::ApplyDesignText(text, "design.kx", again);
    FUZZ_REQUIRE(reread.status == data::DesignReadStatus::Read, reread.message);
    FUZZ_REQUIRE(fuzz::SameCells(again, t.design), "a saved design reads back differently");
    FUZZ_REQUIRE(reread.hasComment && reread.comment == ws.comment(), reread.comment);
    FUZZ_REQUIRE(reread.hasMeasuredMass && reread.measuredMass == measured, reread.measuredMass);
    return 0;
}
