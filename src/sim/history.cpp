#include "sim/history.h"

#include "data/numtext.h"
#include "data/tables.h"

#include <algorithm>

namespace skarvel::sim {

namespace {
constexpr int kInputRows = data::input::kRows - 1;
static_assert(RunHistory::kResultColumns + kInputRows == RunHistory::kColumns);
} // namespace

bool HistoryRow::hasInputs() const {
    return cells.size() == static_cast<std::size_t>(RunHistory::kColumns - 1);
}

RunHistory::RunHistory() {
    captions_[0] = "No";
    for (std::size_t k = 0; k < kSummaryCaptions.size(); ++k) {
        captions_[k + 1] = std::string(kSummaryCaptions[k]);
    }
}

void RunHistory::setInputCaptions(const data::Table& input) {
    for (int r = 1; r <= kInputRows; ++r) {
        captions_[static_cast<std::size_t>(kResultColumns - 1 + r)] = input.cell(0, r);
    }
}

void RunHistory::select(int row) {
    selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

void RunHistory::appendSummary(const FlightSummary& summary, const data::Table& input) {
    ++counter_;
    HistoryRow row;
    row.caption = std::to_string(counter_);
    for (auto& text : SummaryTexts(summary)) {
        row.cells.push_back(std::move(text));
    }
    for (int r = 1; r <= kInputRows; ++r) {
        row.cells.push_back(input.cell(data::input::kValueColumn, r));
    }
    rows_.insert(rows_.begin(), std::move(row));
    selected_ = 0;
    ++revision_;
    ++summaryRevision_;
    // Error rows are let in beyond the limit; the next flight trims the list
    // back to the newest rows.
    if (static_cast<int>(rows_.size()) > kMaxRows) {
        rows_.erase(rows_.begin() + kMaxRows, rows_.end());
    }
}

void RunHistory::appendError() {
    ++counter_;
    rows_.insert(rows_.begin(), HistoryRow{std::to_string(counter_), {"Error"}});
    // Selected and in view like a flight's row: every view shows the failed run.
    selected_ = 0;
    ++revision_;
    ++summaryRevision_;
}

void RunHistory::clear() {
    rows_.clear();
    counter_ = 0;
    selected_ = -1;
    ++revision_;
}

void RunHistory::deleteSelected() {
    if (selected_ < 0) {
        return;
    }
    rows_.erase(rows_.begin() + selected_);
    ++revision_;
    if (rows_.empty()) {
        selected_ = -1;
    } else if (selected_ >= static_cast<int>(rows_.size())) {
        selected_ = static_cast<int>(rows_.size()) - 1;
    }
}

void RunHistory::sortByColumn(int column) {
    if (column < 0 || column >= kColumns) {
        return;
    }
    auto key = [column](const HistoryRow& row) {
        if (column == 0) {
            return data::ParseWithSiPrefix(row.caption);
        }
        const auto i = static_cast<std::size_t>(column - 1);
        return i < row.cells.size() ? data::ParseWithSiPrefix(row.cells[i]) : 0.0;
    };
    struct Keyed {
        double key;
        bool selected;
        HistoryRow row;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        keyed.push_back({key(rows_[i]), static_cast<int>(i) == selected_, std::move(rows_[i])});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return a.key > b.key; });
    rows_.clear();
    selected_ = -1;
    ++revision_;
    for (auto& k : keyed) {
        if (k.selected) {
            selected_ = static_cast<int>(rows_.size());
        }
        rows_.push_back(std::move(k.row));
    }
}

std::string RunHistory::copyText(bool lineBreaks) const {
    return (selected_ >= 0 ? rowText(selected_, lineBreaks) : captionText(lineBreaks)) + "\r\n";
}

std::string RunHistory::captionText(bool lineBreaks) const {
    const std::string_view sep = lineBreaks ? "\r\n" : "\t";
    std::string text = captions_[0];
    for (int c = 1; c < kColumns; ++c) {
        text += sep;
        text += captions_[static_cast<std::size_t>(c)];
    }
    return text;
}

std::string RunHistory::rowText(int row, bool lineBreaks) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return {};
    }
    const std::string_view sep = lineBreaks ? "\r\n" : "\t";
    const HistoryRow& r = rows_[static_cast<std::size_t>(row)];
    std::string text = r.caption;
    for (const auto& cell : r.cells) {
        text += sep;
        text += cell;
    }
    return text;
}

bool RunHistory::restoreInputs(int row, data::Table& input) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return false;
    }
    const HistoryRow& h = rows_[static_cast<std::size_t>(row)];
    if (!h.hasInputs()) {
        return false;
    }
    for (int r = 1; r <= kInputRows; ++r) {
        input.setCell(data::input::kValueColumn, r,
                      h.cells[static_cast<std::size_t>(kResultColumns - 2 + r)]);
    }
    return true;
}

} // namespace skarvel::sim
