// Paper.ini as the paper dialog reads it, from any bytes: one row a line
// holding the line's fields, sorts that order the list and keep every row
// once, a selection that stays on its paper, and OK giving that paper's texts.
//
// The bytes are the file. The sorts and the selection are picked from the
// last bytes, so that the corpus files stay plain catalogues.

#include "fuzz_common.h"

#include "data/codec.h"
#include "data/numtext.h"
#include "data/textfile.h"
#include "model/paper_catalogue.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace skarvel;
namespace pc = model::paper_column;

namespace {

std::string Joined(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : "\t") + fields[i];
    }
    return line;
}

double NumberKey(const model::PaperSpec& row, int column) {
    if (column == pc::Number) {
        return row.number;
    }
    const double value = data::ParseWithSiPrefix(row.text(column));
    return std::isnan(value) ? 0.0 : value;
}

void RequireSorted(const model::PaperCatalogue& catalogue, int column) {
    const auto& rows = catalogue.rows();
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (column >= pc::Name && column <= pc::Colour) {
            FUZZ_REQUIRE(!model::CollatesBefore(rows[i].text(column), rows[i - 1].text(column)),
                         "column " + std::to_string(column) + " row " + std::to_string(i));
        } else {
            FUZZ_REQUIRE(!(NumberKey(rows[i], column) < NumberKey(rows[i - 1], column)),
                         "column " + std::to_string(column) + " row " + std::to_string(i));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static fuzz::ScratchFile file{std::string(model::kPaperFileName)};
    file.write(bytes, size);

    model::PaperDialogState dialog(file.path());
    const std::vector<model::PaperSpec> read = dialog.catalogue().rows();

    // One row a line, numbered from 1, holding the line's fields.
    std::vector<std::string> lines;
    data::ForEachLine(
        data::DecodeCp932(std::string_view(reinterpret_cast<const char*>(bytes), size)),
        [&](std::string_view line) { lines.emplace_back(line); });
    FUZZ_REQUIRE(read.size() == lines.size(),
                 std::to_string(read.size()) + " rows, " + std::to_string(lines.size()) + " lines");
    for (std::size_t i = 0; i < read.size(); ++i) {
        FUZZ_REQUIRE(read[i].number == static_cast<int>(i + 1), std::to_string(i));
        FUZZ_REQUIRE(Joined(read[i].fields) == lines[i], std::to_string(i));
        FUZZ_REQUIRE(read[i].text(pc::Number) == std::to_string(i + 1), std::to_string(i));
    }

    // The dialog opened on the first row's paper selects the first row of
    // that name.
    dialog.setChoice({read.empty() ? std::string("?") : read.front().text(pc::Name), "w", "t"});
    dialog.show();
    if (!read.empty()) {
        FUZZ_REQUIRE(dialog.selectedRow() == std::optional<std::size_t>(0), "first name");
    } else {
        FUZZ_REQUIRE(!dialog.selectedRow(), "empty catalogue");
    }

    // Up to eight sorts and a selection from the tail bytes.
    const std::size_t tail = std::min<std::size_t>(size, 9);
    const std::uint8_t* picks = bytes + size - tail;
    if (tail > 0 && !read.empty()) {
        dialog.select(picks[0] % (read.size() + 1));
    }
    for (std::size_t k = 1; k < tail; ++k) {
        const std::optional<std::size_t> selected = dialog.selectedRow();
        const int selectedNumber = selected ? dialog.catalogue().rows()[*selected].number : 0;
        const int column = static_cast<int>(picks[k] % (pc::kCount + 2)) - 1;
        std::vector<model::PaperSpec> before = dialog.catalogue().rows();
        dialog.sortBy(column);
        const auto& after = dialog.catalogue().rows();
        FUZZ_REQUIRE(after.size() == before.size(), "sort lost rows");
        if (column < 0 || column >= pc::kCount) {
            // A column the list lacks: nothing moves.
            for (std::size_t i = 0; i < after.size(); ++i) {
                FUZZ_REQUIRE(after[i].number == before[i].number,
                             "moved by column " + std::to_string(column));
            }
            continue;
        }
        RequireSorted(dialog.catalogue(), column);
        // Every row once: the line numbers are a permutation.
        std::vector<int> numbers;
        for (const auto& row : after) {
            numbers.push_back(row.number);
        }
        std::sort(numbers.begin(), numbers.end());
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            FUZZ_REQUIRE(numbers[i] == static_cast<int>(i + 1), "row lost by a sort");
        }
        // The selection stays on its paper.
        FUZZ_REQUIRE(dialog.selectedRow().has_value() == selected.has_value(), "selection lost");
        if (selected) {
            FUZZ_REQUIRE(after[*dialog.selectedRow()].number == selectedNumber,
                         "selection moved to another paper");
        }
    }

    // OK takes the selected paper's texts, or keeps the choice.
    const model::PaperChoice passed = dialog.choice();
    dialog.accept();
    if (const std::optional<std::size_t> selected = dialog.selectedRow()) {
        const model::PaperSpec& row = dialog.catalogue().rows()[*selected];
        FUZZ_REQUIRE(dialog.choice() ==
                         (model::PaperChoice{row.text(pc::Name), row.text(pc::Weight),
                                             row.text(pc::Thickness)}),
                     "accepted choice");
        FUZZ_REQUIRE(dialog.catalogue().findName(row.text(pc::Name)).value() <= *selected,
                     "findName");
    } else {
        FUZZ_REQUIRE(dialog.choice() == passed, "choice without a selection");
    }

    // Reading the file again gives the file's order back.
    FUZZ_REQUIRE(dialog.reload(), "reload");
    FUZZ_REQUIRE(!dialog.selectedRow(), "selection after reload");
    FUZZ_REQUIRE(dialog.catalogue().rows().size() == read.size(), "reload rows");
    return 0;
}
