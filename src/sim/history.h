#pragma once
// The run history: one summary row per flight with the inputs of that flight,
// newest first, at most 20 rows.

#include "data/table.h"
#include "sim/summary.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel::sim {

struct HistoryRow {
    std::string caption;            // the run number
    std::vector<std::string> cells; // columns 1 onwards; an error row holds only "Error"

    bool hasInputs() const;
};

class RunHistory {
  public:
    static constexpr int kColumns = 44;
    static constexpr int kResultColumns = 7; // "No" and the six results
    static constexpr int kMaxRows = 20;

    RunHistory();

    // Columns 7 to 43 take the captions of input-data rows 1 to 37.
    void setInputCaptions(const data::Table& input);
    const std::array<std::string, kColumns>& captions() const { return captions_; }

    const std::vector<HistoryRow>& rows() const { return rows_; }
    int counter() const { return counter_; }
    int selected() const { return selected_; } // -1 when no row is selected
    void select(int row);
    // Counts every change of the rows (added, removed, reordered), and
    // separately the runs' rows added (a flight's or an error), so that a
    // list on screen can tell whether it must move at all.
    long revision() const { return revision_; }
    long summaryRevision() const { return summaryRevision_; }

    // A flight's row at the top, selected; the oldest beyond 20 rows is dropped.
    void appendSummary(const FlightSummary& summary, const data::Table& input);
    // "Error" at the top with the next run number, selected; no row limit on
    // this path.
    void appendError();
    // Removes every row and restarts the numbering.
    void clear();
    // Deletes the selected row; the row then at that place (or the last) is selected.
    void deleteSelected();

    // Sorts descending by the numeric value of a column (column 0: the run
    // number), reading texts with ParseWithSiPrefix; the selection follows its row.
    void sortByColumn(int column);

    // The selected row, or the column captions when none is selected, each
    // field preceded by a tab (or by CR LF with lineBreaks), ended by CR LF.
    std::string copyText(bool lineBreaks) const;
    // The same for the captions and for one row, without the final CR LF.
    std::string captionText(bool lineBreaks) const;
    std::string rowText(int row, bool lineBreaks) const;

    // Writes a row's inputs back into the input-data table. False for a row
    // without inputs (an error row), which changes nothing.
    bool restoreInputs(int row, data::Table& input) const;

  private:
    std::array<std::string, kColumns> captions_;
    std::vector<HistoryRow> rows_;
    int counter_ = 0;
    int selected_ = -1;
    long revision_ = 0;
    long summaryRevision_ = 0;
};

} // namespace skarvel::sim
