// A short flight from any input values. The bytes choose input-data cells
// and the texts typed into them (numbers of every size written as text,
// whole numbers, odd texts, anything), the altitude is kept to a few metres
// and the flight is stopped after a few simulated seconds, as Esc stops it.
// Then the stability analysis and the glide polar of the same tables, and
// sometimes a flight from the trim.
//
// Promised: a run either completes or leaves an "Error" row; no history
// cell, table value, exported flight line or analysis line shows NaN or
// infinity; a completed flight's record holds finite samples in time order.

#include "fuzz_common.h"
#include "fuzz_input.h"

#include "app/trajectory_surface.h"
#include "app/workspace.h"
#include "data/input_file.h"
#include "data/numtext.h"
#include "data/tables.h"
#include "picture/recording_canvas.h"
#include "sim/analysis_text.h"
#include "sim/load.h"
#include "sim/text_export.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

using namespace skarvel;
namespace in = data::input;

namespace {

void RequireCleanHistoryRow(const app::Workspace& ws) {
    FUZZ_REQUIRE(!ws.history().rows().empty(), "no history row");
    const sim::HistoryRow& row = ws.history().rows().front();
    if (!row.hasInputs()) {
        FUZZ_REQUIRE(row.cells == std::vector<std::string>{"Error"}, "error row");
        return;
    }
    for (std::size_t c = 0; c < row.cells.size() && c < 6; ++c) {
        FUZZ_REQUIRE(!fuzz::ShowsNonFinite(row.cells[c]),
                     "history column " + std::to_string(c + 1) + ": " + row.cells[c]);
    }
}

// A completed flight's record holds finite samples in time order. A failed
// one may end in a state that is not finite (the launch itself, when the
// input asked for one out of range); what shows it shows "0" there.
void RequireCleanRecord(app::Workspace& ws) {
    const sim::FlightRecord& record = ws.record();
    FUZZ_REQUIRE(record.lastIndex >= 0 && record.lastIndex <= sim::FlightRecord::kMaxSamples,
                 std::to_string(record.lastIndex));
    for (const std::string& line : sim::FlightTextLines(record)) {
        FUZZ_REQUIRE(!fuzz::ShowsNonFinite(line), line);
    }
    for (int i : {0, record.lastIndex / 2, record.lastIndex}) {
        ws.marker().markSample(i);
        fuzz::RequireFiniteCells(ws.tables().marker, data::marker::kValueColumn,
                                 data::marker::kValueColumn, "marker");
    }
    if (!ws.history().rows().front().hasInputs()) {
        return;
    }
    for (int i = 0; i <= record.lastIndex; ++i) {
        const sim::FlightSample& s = record.sample(i);
        for (std::size_t k = 0; k < sim::FlightSample::kValueCount; ++k) {
            const double value = s.*sim::FlightSample::kValues[k];
            FUZZ_REQUIRE(std::isfinite(value), "sample " + std::to_string(i) + " value " +
                                                   std::to_string(k) + ": " +
                                                   std::to_string(value));
        }
        // A stopped or full record repeats its last state at the end.
        if (i > 0 && i < record.lastIndex) {
            FUZZ_REQUIRE(s.t > record.sample(i - 1).t, "time order at " + std::to_string(i));
        } else if (i > 0) {
            FUZZ_REQUIRE(s.t >= record.sample(i - 1).t, "time order at " + std::to_string(i));
        }
    }
}

void RequireCleanAnalysis(app::Workspace& ws) {
    const std::string text =
        sim::StabilityText(ws.analysis().stability()) + sim::PolarText(ws.analysis().polar());
    FUZZ_REQUIRE(!fuzz::ShowsNonFinite(text), text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider provider(bytes, size);
    fuzz::FlyingWorkspace flying(3, 320, 240);
    app::Workspace& ws = flying.ws;

    const std::uint8_t options = provider.ConsumeIntegral<std::uint8_t>();
    ws.setOption(app::Option::LiveTrajectory, (options & 1) != 0);
    ws.setOption(app::Option::AutoFit, (options & 2) != 0);
    ws.setOption(app::Option::GroundTrack, (options & 4) != 0);
    ws.setOption(app::Option::SpanVerticals, (options & 8) != 0);

    // The altitude first, so that the edits below may not lift it far.
    ws.editCell(app::TableId::Input, in::kValueColumn, in::Altitude,
                data::FormatShortest(provider.ConsumeFloatingPointInRange(-0.5, 3.0)));
    const int edits = provider.ConsumeIntegralInRange(0, 16);
    for (int k = 0; k < edits && provider.remaining_bytes() > 0; ++k) {
        const int row = provider.ConsumeIntegralInRange(1, in::kRows - 1);
        std::string text =
            fuzz::ConsumeCellText(provider, ws.tables().input.cell(in::kValueColumn, row));
        if (row == in::Altitude && std::fabs(data::ParseRealStrict(text)) > 3.0) {
            continue;
        }
        ws.editCell(app::TableId::Input, in::kValueColumn, row, text);
    }

    // Replaying a crash with SKARVEL_FUZZ_KXS=FILE writes the input data it
    // flies as an input-data file: a regression test for tests/app/regressions/.
    if (const char* kxs = std::getenv("SKARVEL_FUZZ_KXS")) {
        data::WriteInputFile(kxs, ws.tables().input);
    }
    FUZZ_REQUIRE(ws.runFromInput(), "run refused");
    FUZZ_REQUIRE(!ws.busy(), "still busy after the run");
    // One flight, one row: a summary or "Error", never both.
    FUZZ_REQUIRE(ws.history().rows().size() == 1, std::to_string(ws.history().rows().size()));
    RequireCleanHistoryRow(ws);
    RequireCleanRecord(ws);
    fuzz::RequireFiniteCells(ws.tables().parameter, data::param::kValueColumn,
                             data::param::kValueColumn, "parameter");
    fuzz::RequireFiniteCells(ws.tables().marker, data::marker::kValueColumn,
                             data::marker::kValueColumn, "marker");
    RequireCleanAnalysis(ws);

    // Sometimes: a flight from the steady glide, with a mode excited.
    if ((options & 0x30) == 0x30) {
        const std::size_t rows = ws.history().rows().size();
        const auto mode = (options & 0x40) != 0 ? std::optional<std::size_t>()
                                                : std::optional<std::size_t>(options >> 7);
        const data::Table before = ws.tables().input;
        if (ws.analysis().flyFromTrim(mode)) {
            FUZZ_REQUIRE(ws.history().rows().size() == rows + 1, "trim flight without a row");
            RequireCleanHistoryRow(ws);
            RequireCleanRecord(ws);
            // The rows the trim defines hold the trimmed state as numbers; the
            // others, the altitude and heading among them, are as they were.
            for (int row = 1; row < in::kRows; ++row) {
                const std::string& text = ws.tables().input.cell(in::kValueColumn, row);
                if (std::find(sim::kLaunchStateRows.begin(), sim::kLaunchStateRows.end(), row) ==
                    sim::kLaunchStateRows.end()) {
                    FUZZ_REQUIRE(text == before.cell(in::kValueColumn, row),
                                 "row " + std::to_string(row) + " changed: " + text);
                    continue;
                }
                double value = 0;
                FUZZ_REQUIRE(data::TryParseRealStrict(text, value),
                             "launch row " + std::to_string(row) + ": " + text);
            }
        }
    }
    return 0;
}
