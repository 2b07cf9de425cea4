#include "model/paper_catalogue.h"

#include "data/codec.h"
#include "data/numtext.h"
#include "data/textfile.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <numeric>

namespace skarvel::model {

const std::array<PaperColumnInfo, paper_column::kCount> kPaperColumns = {{
    {"No.", 30},
    {"名称", 80},
    {"品名", 100},
    {"規格", 100},
    {"色", 60},
    {"質量", 40},
    {"厚さ", 40},
    {"比重", 40},
    {"縦曲げ剛性", 75},
    {"横曲げ剛性", 75},
    {"縦横剛性比", 75},
}};

namespace {

std::vector<std::string> SplitAtTabs(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
        fields.emplace_back(line.substr(start, tab - start));
    fields.emplace_back(line.substr(start));
    return fields;
}

// The collation the list sorts its text columns with. Chosen once: the
// environment's locale if it can be made, else the classic one, whose
// collation is plain byte order.
const std::collate<char>& ListCollation() {
    static const std::locale locale = [] {
        try {
            return std::locale("");
        } catch (const std::exception&) {
            return std::locale::classic();
        }
    }();
    return std::use_facet<std::collate<char>>(locale);
}

// A value for numeric sorting. Infinity is a fine sort key, NaN is not (it
// would break the ordering); texts are never NaN, but a guard costs nothing.
double SortNumber(std::string_view text) {
    double value = data::ParseWithSiPrefix(text);
    return std::isnan(value) ? 0.0 : value;
}

bool IsTextColumn(int column) {
    return column >= paper_column::Name && column <= paper_column::Colour;
}

} // namespace

std::string PaperSpec::text(int column) const {
    if (column == paper_column::Number)
        return std::to_string(number);
    if (column < 1 || static_cast<std::size_t>(column) > fields.size())
        return {};
    return fields[static_cast<std::size_t>(column - 1)];
}

std::vector<PaperSpec> ParsePaperCatalogue(std::string_view utf8) {
    std::size_t count = 0;
    data::ForEachLine(utf8, [&](std::string_view) { ++count; });
    std::vector<PaperSpec> rows;
    rows.reserve(count);
    int number = 0;
    data::ForEachLine(utf8, [&](std::string_view line) {
        rows.push_back(PaperSpec{++number, SplitAtTabs(line)});
    });
    return rows;
}

bool CollatesBefore(std::string_view a, std::string_view b) {
    return ListCollation().compare(a.data(), a.data() + a.size(), b.data(), b.data() + b.size()) <
           0;
}

bool PaperCatalogue::load(const std::string& path) {
    std::string bytes;
    try {
        bytes = data::ReadFileBytes(path, data::kDataFileLimit);
    } catch (const data::FileError&) {
        // The catalogue is optional: without it, or with a file far too big to
        // be one, the list simply stays as it is.
        return false;
    }
    rows_ = ParsePaperCatalogue(data::DecodeCp932(bytes));
    return true;
}

std::vector<std::size_t> PaperCatalogue::sortBy(int column) {
    if (column < 0 || column >= paper_column::kCount)
        return {};
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (IsTextColumn(column)) {
        std::vector<std::string> keys;
        keys.reserve(rows_.size());
        for (const PaperSpec& row : rows_)
            keys.push_back(row.text(column));
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return CollatesBefore(keys[a], keys[b]);
        });
    } else {
        std::vector<double> keys;
        keys.reserve(rows_.size());
        for (const PaperSpec& row : rows_)
            keys.push_back(column == paper_column::Number ? row.number
                                                          : SortNumber(row.text(column)));
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    }
    std::vector<PaperSpec> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t index : order)
        sorted.push_back(std::move(rows_[index]));
    rows_ = std::move(sorted);
    return order;
}

std::optional<std::size_t> PaperCatalogue::findName(std::string_view name) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].text(paper_column::Name) == name)
            return i;
    }
    return std::nullopt;
}

PaperDialogState::PaperDialogState(std::string cataloguePath) : path_(std::move(cataloguePath)) {
    catalogue_.load(path_);
}

bool PaperDialogState::reload() {
    if (!catalogue_.load(path_))
        return false;
    selected_.reset();
    return true;
}

void PaperDialogState::show() {
    selected_ = catalogue_.findName(choice_.name);
}

void PaperDialogState::select(std::optional<std::size_t> row) {
    if (row && *row >= catalogue_.rows().size())
        row.reset();
    selected_ = row;
}

void PaperDialogState::sortBy(int column) {
    std::vector<std::size_t> order = catalogue_.sortBy(column);
    if (!selected_ || order.empty())
        return;
    auto at = std::find(order.begin(), order.end(), *selected_);
    selected_ = static_cast<std::size_t>(at - order.begin());
}

void PaperDialogState::accept() {
    if (!selected_)
        return;
    const PaperSpec& row = catalogue_.rows()[*selected_];
    choice_ = {row.text(paper_column::Name), row.text(paper_column::Weight),
               row.text(paper_column::Thickness)};
}

} // namespace skarvel::model
