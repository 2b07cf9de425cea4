#pragma once
// The design file (.kx): one glider design as quoted key/value pairs in
// comma-separated CP932 text, read into and written from the design table.

#include "data/table.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel::data {

// Splits design-file text (UTF-8) into its flat token list. Line structure
// does not matter: blanks and control characters (codes 1 to 32) separate
// tokens, a comma ends a token and two commas give an empty one, a token
// starting with a double quote runs to its closing quote with "" standing for
// one quote (an unterminated one takes the rest of the text). A NUL character
// ends the text: whatever follows it is not design data.
std::vector<std::string> TokenizeDesignText(std::string_view utf8);

// The same tokens one at a time, for texts too big to hold as a token list.
class DesignTokenizer {
  public:
    explicit DesignTokenizer(std::string_view utf8);
    // The next token into `token`; false at the end of the text.
    bool next(std::string& token);

  private:
    void skipSeparators();
    std::string_view text_;
    std::size_t pos_ = 0;
};

enum class DesignReadStatus {
    Read,                   // a design file of a known version
    ReadWithVersionWarning, // read, but written by an unknown version
    NotADesignFile,         // header refused, nothing changed
};

struct DesignReadResult {
    DesignReadStatus status = DesignReadStatus::NotADesignFile;
    // The warning to show (version or header); empty for DesignReadStatus::Read.
    std::string message;
    // The file's "コメント" value with its line breaks made CR LF; the
    // comment box keeps its text when the file has none.
    bool hasComment = false;
    std::string comment;
    // The measured mass of the real glider ("実測質量"). It belongs to the
    // design, not to any table: keep it and pass it back when saving.
    bool hasMeasuredMass = false;
    std::string measuredMass;
};

// The measured mass written when the design came with none.
inline constexpr std::string_view kDefaultMeasuredMass = "4.49";

// Header refused: NAME は KXファイルではありません。 CR LF 読み込みを中断しました。
std::string NotADesignFileMessage(const std::string& fullName);
// Unknown version: NAME は Tarnifoldのバージョンが一致しません。 CR LF ...
std::string DesignVersionMessage(const std::string& fullName);

// Reads design-file text (already decoded to UTF-8) into the design table.
// `fullName` is the file's name as chosen, used in the messages. A refused
// header leaves the table unchanged. After reading, the glide-speed cell
// (胴体, "滑空速度") is "5" whatever the file held.
DesignReadResult ApplyDesignText(std::string_view utf8Text, const std::string& fullName,
                                 Table& design);

// Reads a CP932 design file. Throws FileError when the file cannot be read
// or is bigger than kDataFileLimit; the table is then unchanged. The messages
// name the file with QuotedName.
DesignReadResult ReadDesignFile(const std::string& path, Table& design);

// The 104 "key","value" lines of a design file, without line ends. Values
// are the cell texts as they stand, with each double quote doubled so that
// any text reads back whole. `machineName` is the saved file's name without
// folder and extension; pass kDefaultMeasuredMass when no measured mass is known.
std::vector<std::string> DesignFileLines(const Table& design, const std::string& comment,
                                         const std::string& machineName,
                                         const std::string& measuredMass);

// The name a saved design carries: the file name without folder and extension.
std::string MachineNameFromPath(const std::string& path);

// Writes the design file in CP932 with CR LF line ends; throws FileError.
void WriteDesignFile(const std::string& path, const Table& design, const std::string& comment,
                     const std::string& measuredMass);

} // namespace skarvel::data
