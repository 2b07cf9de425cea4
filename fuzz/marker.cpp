// The marker table's entries after a short flight: any text entered in any
// of its value cells, with the page, "4秒表示" and the track bar moved in
// between, as the bytes say.
//
// Promised: the point number and the time mark a sample of the flight (the
// nearest one for a time, the number limited to the flight for a number);
// the table then shows that sample, without NaN or infinity; an entry in any
// other row changes nothing but that cell.

#include "fuzz_common.h"
#include "fuzz_input.h"

#include "app/trajectory_surface.h"
#include "app/workspace.h"
#include "data/numtext.h"
#include "data/tables.h"
#include "picture/recording_canvas.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

using namespace skarvel;
namespace mk = data::marker;

namespace {

std::string TextFor(FuzzedDataProvider& provider, int row) {
    switch (provider.ConsumeIntegralInRange(0, 3)) {
    case 0:
        if (row == mk::PointNumber) {
            return std::to_string(provider.ConsumeIntegral<int>());
        }
        return data::FormatShortest(provider.ConsumeFloatingPointInRange(-1.0, 10.0));
    case 1:
        return std::to_string(provider.ConsumeIntegralInRange(-5, 500));
    default:
        return fuzz::ConsumeCellText(provider, "1");
    }
}

void RequireShowsSample(const app::Workspace& ws) {
    const int i = ws.marker().markerSample();
    const data::Table& table = ws.tables().marker;
    FUZZ_REQUIRE(table.cell(mk::kValueColumn, mk::PointNumber) == std::to_string(i),
                 table.cell(mk::kValueColumn, mk::PointNumber) + " for " + std::to_string(i));
    fuzz::RequireFiniteCells(table, mk::kValueColumn, mk::kValueColumn, "marker");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider provider(bytes, size);
    fuzz::FlyingWorkspace flying(4, 200, 150);
    app::Workspace& ws = flying.ws;

    // A flight of a length the bytes choose: from a drop to a few seconds.
    const double altitude = provider.ConsumeFloatingPointInRange(0.0, 4.0);
    ws.editCell(app::TableId::Input, data::input::kValueColumn, data::input::Altitude,
                data::FormatShortest(altitude));
    ws.runFromInput();
    const sim::FlightRecord& record = ws.record();
    const int last = record.lastIndex;

    while (provider.remaining_bytes() > 0) {
        switch (provider.ConsumeIntegralInRange(0, 7)) {
        case 0:
        case 1:
        case 2: { // the point number or the time entered
            const int row = provider.ConsumeBool() ? mk::PointNumber : mk::Time;
            const std::string text = TextFor(provider, row);
            ws.editCell(app::TableId::Marker, mk::kValueColumn, row, text);
            ws.marker().markerCellEntered(row);
            const int i = ws.marker().markerSample();
            FUZZ_REQUIRE(i >= 0 && i <= last, text + " -> " + std::to_string(i));
            if (row == mk::PointNumber) {
                if (const std::optional<int> n = data::ParseInteger(text)) {
                    FUZZ_REQUIRE(i == std::clamp(*n, 0, last), text + " -> " + std::to_string(i));
                }
            } else {
                // The nearest sample to the time (the launch for anything
                // before it or no time at all).
                const double t = data::ParseRealStrict(text);
                const double gap = std::fabs(record.sample(i).t - t);
                if (t >= 0) {
                    for (int j : {i - 1, i + 1}) {
                        if (j >= 0 && j <= last) {
                            FUZZ_REQUIRE(gap <= std::fabs(record.sample(j).t - t),
                                         text + " -> " + std::to_string(i));
                        }
                    }
                } else {
                    FUZZ_REQUIRE(i == 0, text + " -> " + std::to_string(i));
                }
            }
            RequireShowsSample(ws);
            break;
        }
        case 3: { // any other row: only the cell changes
            const int row = provider.ConsumeIntegralInRange(0, mk::kRows);
            const std::string text = TextFor(provider, row);
            ws.editCell(app::TableId::Marker, mk::kValueColumn, row, text);
            const data::Tables before = ws.tables();
            const int sample = ws.marker().markerSample();
            if (row != mk::PointNumber && row != mk::Time) {
                ws.marker().markerCellEntered(row);
                FUZZ_REQUIRE(fuzz::SameTables(before, ws.tables()), "row " + std::to_string(row));
                FUZZ_REQUIRE(ws.marker().markerSample() == sample, "row " + std::to_string(row));
            }
            break;
        }
        case 4:
            ws.marker().setVisiblePage(
                static_cast<app::Page>(provider.ConsumeIntegralInRange(0, 3)));
            break;
        case 5:
            ws.marker().setFourSeconds(provider.ConsumeBool());
            FUZZ_REQUIRE(ws.marker().trackMax() ==
                             (ws.marker().fourSeconds() ? std::min(400, last) : last),
                         std::to_string(ws.marker().trackMax()));
            break;
        case 6: {
            const int position = provider.ConsumeIntegralInRange(-10, last + 10);
            const int old = ws.marker().trackPosition();
            ws.marker().setTrackPosition(position);
            const int now = ws.marker().trackPosition();
            FUZZ_REQUIRE(now == std::clamp(position, 0, ws.marker().trackMax()),
                         std::to_string(position) + " -> " + std::to_string(now));
            if (now != old) {
                FUZZ_REQUIRE(ws.marker().markerSample() == now, "marker off the track bar");
                RequireShowsSample(ws);
            }
            break;
        }
        default:
            ws.marker().markSample(provider.ConsumeIntegralInRange(-10, last + 10));
            RequireShowsSample(ws);
            break;
        }
    }
    return 0;
}
