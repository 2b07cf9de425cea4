#include "data/input_file.h"

#include "data/codec.h"
#include "data/tables.h"
#include "data/textfile.h"

#include <string_view>

namespace skarvel::data {
namespace {

// Case-insensitive for ASCII letters only: full-width letters and kana must
// match exactly, as they would in the files' own code page.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

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

void ApplyInputFileLines(Table& input, const std::vector<std::string>& lines) {
    // Keys are taken from the fixed captions, not the caption cells, so a file
    // reads the same whatever state the table is in.
    for (int row = 1; row < input::kRows; ++row) {
        std::string_view caption = input::kCaptions[static_cast<std::size_t>(row)];
        std::string value;
        for (const std::string& line : lines) {
            std::size_t equals = line.find('=');
            if (equals == std::string::npos ||
                !EqualsIgnoringAsciiCase(std::string_view(line).substr(0, equals), caption))
                continue;
            value = ValueText(std::string_view(line).substr(equals + 1));
            break;
        }
        input.setCell(input::kValueColumn, row, std::move(value));
    }
}

void WriteInputFile(const std::string& path, const Table& input) {
    WriteCp932Lines(path, InputFileLines(input));
}

void ReadInputFile(const std::string& path, Table& input) {
    // ReadCp932Lines throws before anything is written into the table.
    ApplyInputFileLines(input, ReadCp932Lines(path));
}

} // namespace skarvel::data
