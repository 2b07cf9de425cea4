#pragma once
// The paper catalogue (Paper.ini beside the program) and the state of the
// paper dialog that picks a paper for a component of the design table.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skarvel::model {

inline constexpr std::string_view kPaperFileName = "Paper.ini";

// Columns of the list: the row number, then the catalogue's ten fields.
namespace paper_column {
enum Index : int {
    Number = 0,      // "No."
    Name,            // "名称", matched against the design's "紙名称"
    Product,         // "品名"
    Grade,           // "規格"
    Colour,          // "色"
    Weight,          // "質量", g/m2
    Thickness,       // "厚さ", mm
    SpecificGravity, // "比重"
    StiffnessAlong,  // "縦曲げ剛性"
    StiffnessAcross, // "横曲げ剛性"
    StiffnessRatio,  // "縦横剛性比"
};
inline constexpr int kCount = 11;
} // namespace paper_column

struct PaperColumnInfo {
    std::string_view caption;
    int width; // pixels
};
extern const std::array<PaperColumnInfo, paper_column::kCount> kPaperColumns;

// One catalogue line.
struct PaperSpec {
    int number = 0; // 1-based line number in the file
    // The line's TAB-separated texts, unchanged; a line may have fewer or more
    // than the ten the list shows.
    std::vector<std::string> fields;

    // The text of a list column: the number for "No.", the field otherwise,
    // empty when the line has no such field.
    std::string text(int column) const;
};

// Rows of catalogue text (UTF-8): one per line, an empty line included, but
// none after a final line break. Lines end with CR LF, LF or CR.
std::vector<PaperSpec> ParsePaperCatalogue(std::string_view utf8);

// The list's string order for the text columns: the user's locale collation,
// case-sensitive; byte order (code-point order for UTF-8) when the
// environment names no usable locale.
bool CollatesBefore(std::string_view a, std::string_view b);

class PaperCatalogue {
  public:
    // Replaces the rows by the file's lines (CP932). Returns false and keeps
    // the rows when the file is missing, cannot be read or is bigger than data::kDataFileLimit.
    bool load(const std::string& path);
    void setRows(std::vector<PaperSpec> rows) { rows_ = std::move(rows); }

    const std::vector<PaperSpec>& rows() const { return rows_; }

    // Sorts ascending by a list column ("No." and "質量" onwards by number,
    // with SI prefixes; the other text columns by CollatesBefore). Rows that
    // compare equal keep their order. Returns the old index of each row now
    // at that position; empty (nothing done) for a column the list lacks.
    std::vector<std::size_t> sortBy(int column);

    // The first row whose "名称" equals `name` exactly.
    std::optional<std::size_t> findName(std::string_view name) const;

  private:
    std::vector<PaperSpec> rows_;
};

// The three texts the design table exchanges with the dialog.
struct PaperChoice {
    std::string name;
    std::string weight;
    std::string thickness;
    bool operator==(const PaperChoice&) const = default;
};

// The paper dialog without its widgets. The caller sets the choice to the
// component's current paper, shows, and reads the choice back after OK or
// Cancel.
class PaperDialogState {
  public:
    explicit PaperDialogState(std::string cataloguePath);

    // Reads the catalogue again; the selection goes with the old list. A
    // missing file changes nothing.
    bool reload();
    const PaperCatalogue& catalogue() const { return catalogue_; }

    void setChoice(PaperChoice choice) { choice_ = std::move(choice); }
    const PaperChoice& choice() const { return choice_; }

    // Selects the first row named like the current choice, or nothing.
    void show();
    std::optional<std::size_t> selectedRow() const { return selected_; }
    // Selects a row (out-of-range indices select nothing).
    void select(std::optional<std::size_t> row);
    // Sorts the list; the selection stays on its paper.
    void sortBy(int column);

    // OK: the choice becomes the selected row's name, weight and thickness.
    // With no row selected the choice stays as it was passed in.
    void accept();
    // Cancel: the choice stays as it was passed in.
    void cancel() {}

  private:
    std::string path_;
    PaperCatalogue catalogue_;
    PaperChoice choice_;
    std::optional<std::size_t> selected_;
};

} // namespace skarvel::model
