// Whatever text the cells hold, a run either completes or leaves an "Error"
// row, and no table, history cell or analysis line shows NaN or infinity.

#include "app/workspace.h"
#include "data/tables.h"
#include "sim/analysis_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using skarvel::app::Workspace;
namespace data = skarvel::data;

bool LooksNonFinite(const std::string& text) {
    for (const char* bad : {"nan", "NaN", "inf", "Inf", "e+", "e-"}) {
        if (text.find(bad) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void ExpectCleanTable(const data::Table& t) {
    for (int r = 1; r < t.rowCount(); ++r) {
        EXPECT_FALSE(LooksNonFinite(t.cell(1, r))) << "row " << r << ": " << t.cell(1, r);
    }
}

} // namespace

TEST(BadValues, RandomCellTextsNeverShowNaN) {
    const char* const texts[] = {"",      "abc",    "nan",    "inf",     "-inf",    "1e999",
                                 "1e300", "-1e300", "1e-300", "0",       "-0",      "5.",
                                 ".5",    "-",      "1e",     "12mm",    "9999999", "-90",
                                 "90",    "180",    "0.0001", "-0.0001", "1e10",    "3.3"};
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> rowPick(1, data::input::kRows - 1);
    std::uniform_int_distribution<std::size_t> textPick(0, std::size(texts) - 1);
    Workspace ws;
    int errors = 0;
    for (int run = 0; run < 150; ++run) {
        ws.resetTables();
        for (int k = 0; k < 4; ++k) {
            ws.editCell(skarvel::app::TableId::Input, data::input::kValueColumn, rowPick(random),
                        texts[textPick(random)]);
        }
        ws.runFromInput();
        ASSERT_FALSE(ws.history().rows().empty());
        const auto& row = ws.history().rows().front();
        if (!row.hasInputs()) {
            ++errors;
            EXPECT_EQ(row.cells, std::vector<std::string>{"Error"});
        } else {
            for (int c = 0; c < 6; ++c) {
                EXPECT_FALSE(LooksNonFinite(row.cells[static_cast<std::size_t>(c)]))
                    << "run " << run << " column " << c + 1 << ": " << row.cells[c];
            }
        }
        ExpectCleanTable(ws.tables().parameter);
        // The analysis of the same tables says "none" or "-" where it has no value.
        const std::string analysis = skarvel::sim::StabilityText(ws.analysis().stability()) +
                                     skarvel::sim::PolarText(ws.analysis().polar());
        EXPECT_EQ(analysis.find("nan"), std::string::npos) << analysis;
        EXPECT_EQ(analysis.find("inf"), std::string::npos) << analysis;
    }
    // Some of these inputs must fail, or the test would not reach that path.
    EXPECT_GT(errors, 0);
    EXPECT_LT(errors, 150);
}
