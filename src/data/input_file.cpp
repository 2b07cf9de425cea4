#include "data/input_file.h"

#include "data/codec.h"
#include "data/tables.h"
#include "data/textfile.h"

#include <array>
#include <string_view>

namespace skarvel::data {
namespace {

std::string ValueText(std::string_view rest) {
    std::size_t space = rest.find(' ');
    if (space != std::string_view::npos)
        return std::string(rest.substr(0, space));
    // A value typed by hand without the unit ("風速=3") still counts.
    std::size_t begin = rest.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return {};
    std::size_t end = rest.find_last_not_of(' ');
    return std::string(rest.substr(begin, end - begin + 1));
}

} // namespace

std::vector<std::string> InputFileLines(const Table& input) {
    std::vector<std::string> lines;
    lines.reserve(input::kRows);
    for (int row = 0; row < input::kRows; ++row) {
        lines.push_back(input.cell(0, row) + "=" + input.cell(input::kValueColumn, row) + " " +
                        input.cell(input::kUnitColumn, row));
    }
    return lines;
}

namespace {

// The value of each row from the first line whose caption names it. Keys are
// the fixed captions, not the caption cells, so a file reads the same
// whatever state the table is in.
class InputLineMatcher {
  public:
    void take(std::string_view line) {
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return;
        std::string_view caption = line.substr(0, equals);
        for (int row = 1; row < input::kRows; ++row) {
            auto index = static_cast<std::size_t>(row);
            if (!found_[index] && EqualsIgnoringAsciiCase(caption, input::kCaptions[index])) {
                found_[index] = true;
                values_[index] = ValueText(line.substr(equals + 1));
                any_ = true;
                return;
            }
        }
    }

    bool any() const { return any_; }

    // A row without a line is emptied.
    void apply(Table& input) {
        for (int row = 1; row < input::kRows; ++row)
            input.setCell(input::kValueColumn, row,
                          std::move(values_[static_cast<std::size_t>(row)]));
    }

  private:
    std::array<bool, input::kRows> found_{};
    std::array<std::string, input::kRows> values_{};
    bool any_ = false;
};

} // namespace

void ApplyInputFileLines(Table& input, const std::vector<std::string>& lines) {
    InputLineMatcher matcher;
    for (const std::string& line : lines)
        matcher.take(line);
    matcher.apply(input);
}

void WriteInputFile(const std::string& path, const Table& input) {
    WriteCp932Lines(path, InputFileLines(input));
}

void ReadInputFile(const std::string& path, Table& input) {
    // Everything that can fail comes before the first cell is written. The
    // lines are taken straight from the text: a file of nothing but line
    // breaks would otherwise become millions of empty strings.
    const std::string text = DecodeCp932(ReadFileBytes(path, kDataFileLimit));
    InputLineMatcher matcher;
    ForEachLine(text, [&](std::string_view line) { matcher.take(line); });
    if (!matcher.any())
        throw NotInputFileError("入力データのファイルではありません: " + QuotedName(path));
    matcher.apply(input);
}

} // namespace skarvel::data
