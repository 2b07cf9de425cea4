// Input data the flight fuzz target once failed on, kept as input-data files
// in regressions/ beside this file and replayed through the same commands:
// open, fly (drawn live and not, on a picture), analyse. Whatever they hold, a flight adds
// one history row, and no table value, history cell or analysis line shows
// NaN or infinity.

#include "app/trajectory_surface.h"
#include "app/workspace.h"
#include "data/tables.h"
#include "picture/recording_canvas.h"
#include "sim/analysis_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using skarvel::app::Workspace;
namespace data = skarvel::data;

const fs::path kRegressions = fs::path(__FILE__).parent_path() / "regressions";

bool ShowsNonFinite(std::string text) {
    for (char& ch : text) {
        if (ch >= 'A' && ch <= 'Z') {
            ch = static_cast<char>(ch - 'A' + 'a');
        }
    }
    return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos;
}

TEST(FuzzRegressions, InputDataFliesAndAnalysesWithoutNaN) {
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kRegressions)) {
        if (entry.path().extension() != ".kxs") {
            continue;
        }
        ++files;
        for (bool live : {true, false}) {
            const std::string name = entry.path().filename().string() + (live ? " (live)" : "");
            Workspace ws;
            skarvel::app::PictureSurface<skarvel::picture::RecordingCanvas> surface(320, 240);
            ws.viewport().setSurface(&surface);
            ws.viewport().prepare(320, 240);
            ws.setOption(skarvel::app::Option::LiveTrajectory, live);
            ASSERT_TRUE(ws.files().openInputFile(entry.path().string())) << name;
            ASSERT_TRUE(ws.runFromInput()) << name;
            // One flight, one row: a summary or "Error", never both.
            ASSERT_EQ(ws.history().rows().size(), 1u) << name;
            const auto& row = ws.history().rows().front();
            if (row.hasInputs()) {
                for (std::size_t c = 0; c < 6; ++c) {
                    EXPECT_FALSE(ShowsNonFinite(row.cells[c])) << name << ": " << row.cells[c];
                }
            }
            for (int r = 1; r < data::param::kRows; ++r) {
                const std::string& text = ws.tables().parameter.cell(data::param::kValueColumn, r);
                EXPECT_FALSE(ShowsNonFinite(text)) << name << " parameter " << r << ": " << text;
            }
            const std::string analysis = skarvel::sim::StabilityText(ws.analysis().stability()) +
                                         skarvel::sim::PolarText(ws.analysis().polar());
            EXPECT_FALSE(ShowsNonFinite(analysis)) << name << "\n" << analysis;
        }
    }
    EXPECT_GT(files, 0) << kRegressions;
}

} // namespace
