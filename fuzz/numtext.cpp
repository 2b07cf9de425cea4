// The number text readers on any text, and what they promise of each other:
// the strict reader gives a finite number or 0, the try-reader agrees with
// it, the tolerant and SI readers stay finite, an integer reads back as the
// same text's real number, and formatted numbers read back.

#include "fuzz_common.h"

#include "data/numtext.h"
#include "data/table.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

using namespace skarvel;

namespace {

std::string Show(std::string_view text) {
    std::string out;
    for (unsigned char ch : text) {
        if (ch >= 0x20 && ch < 0x7F) {
            out += static_cast<char>(ch);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", ch);
            out += hex;
        }
    }
    return "\"" + out + "\"";
}

void CheckText(std::string_view text) {
    const double strict = data::ParseRealStrict(text);
    FUZZ_REQUIRE(std::isfinite(strict), Show(text));
    double tried = 12345;
    const bool accepted = data::TryParseRealStrict(text, tried);
    if (accepted) {
        FUZZ_REQUIRE(tried == strict || (std::isnan(tried) && std::isnan(strict)), Show(text));
        FUZZ_REQUIRE(std::isfinite(tried), Show(text));
    } else {
        FUZZ_REQUIRE(tried == 0.0, Show(text));
        FUZZ_REQUIRE(strict == 0.0, Show(text));
    }

    const double tolerant = data::ParseReal(text);
    FUZZ_REQUIRE(std::isfinite(tolerant), Show(text));
    // The tolerant reader takes whatever the strict one takes.
    if (accepted) {
        FUZZ_REQUIRE(tolerant == strict, Show(text));
    }
    FUZZ_REQUIRE(std::isfinite(data::ParseWithSiPrefix(text)), Show(text));
    // The number is the text's leading run of number characters.
    const data::NumberAndSuffix split = data::SplitNumberAndSuffix(text);
    FUZZ_REQUIRE(text.substr(0, split.number.size()) == split.number, Show(text));
    FUZZ_REQUIRE(split.number.find_first_not_of("0123456789-.eE") == std::string::npos, Show(text));
    FUZZ_REQUIRE(split.suffix.size() + split.number.size() <= text.size(), Show(text));

    if (const std::optional<int> integer = data::ParseInteger(text)) {
        // An integer is a real number too, and the same one (blanks aside:
        // the strict reader takes spaces but not tabs).
        if (text.find('\t') == std::string_view::npos) {
            FUZZ_REQUIRE(accepted && strict == static_cast<double>(*integer), Show(text));
        }
        FUZZ_REQUIRE(data::ParseInteger(std::to_string(*integer)) == integer, Show(text));
    }

    // A table's cells read as the strict reader reads them, except the
    // header row, column 0 and cells outside the table.
    data::Table table(3, 3);
    table.setCell(1, 1, std::string(text));
    table.setCell(0, 1, std::string(text));
    table.setCell(1, 0, std::string(text));
    FUZZ_REQUIRE(data::CellNumber(table, 1, 1) == strict, Show(text));
    FUZZ_REQUIRE(data::CellNumber(table, 0, 1) == 0.0, Show(text));
    FUZZ_REQUIRE(data::CellNumber(table, 1, 0) == 0.0, Show(text));
    FUZZ_REQUIRE(data::CellNumber(table, 5, 1) == 0.0, Show(text));
}

void CheckNumber(double value, int digits, bool noPad, int decimals) {
    if (!std::isfinite(value)) {
        return;
    }
    const std::string shortest = data::FormatShortest(value);
    double back = 0;
    FUZZ_REQUIRE(data::TryParseRealStrict(shortest, back) && back == value, shortest);

    const std::string significant = data::FormatSignificant(digits, noPad, value);
    FUZZ_REQUIRE(significant.find_first_of("eE") == std::string::npos, significant);
    FUZZ_REQUIRE(!fuzz::ShowsNonFinite(significant), significant);
    const std::string fixed = data::FormatFixed(value, decimals);
    // Rounding the largest doubles up may pass the largest double: such a
    // text is right but cannot be read back.
    if (std::fabs(value) < 1e308) {
        FUZZ_REQUIRE(data::TryParseRealStrict(significant, back), significant);
        FUZZ_REQUIRE(data::TryParseRealStrict(fixed, back), fixed);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    CheckText(text);
    // The same bytes as a double, with the formatting choices after them.
    if (size >= sizeof(double) + 2) {
        double value;
        std::memcpy(&value, bytes, sizeof value);
        const int digits = 1 + bytes[sizeof value] % 18;
        const bool noPad = (bytes[sizeof value] & 0x80) != 0;
        const int decimals = bytes[sizeof value + 1] % 12;
        CheckNumber(value, digits, noPad, decimals);
    }
    return 0;
}
