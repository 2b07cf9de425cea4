#pragma once
// The input-data file (.kxs): one line per input-data row, "caption=value unit".

#include "data/table.h"
#include "data/textfile.h"

#include <string>
#include <vector>

namespace skarvel::data {

// A file without a single line of input data: what() is
// "入力データのファイルではありません: NAME".
class NotInputFileError : public FileError {
  public:
    using FileError::FileError;
};

// The 38 lines (header row included) that a file written from `input` holds.
std::vector<std::string> InputFileLines(const Table& input);

// Sets the value cells of rows 1 to 37 from a file's lines (UTF-8): the first
// line whose text before its first "=" equals the caption, ignoring the case of
// ASCII letters, gives the text after "=" up to its first space (the whole rest,
// trimmed of spaces, when it has none). A row without such a line is emptied.
void ApplyInputFileLines(Table& input, const std::vector<std::string>& lines);

// Writes the file in CP932 with CR LF line ends; throws FileError.
void WriteInputFile(const std::string& path, const Table& input);

// Reads the file into the table as ApplyInputFileLines does. Throws FileError
// (a file over kDataFileLimit included) or, when no line's caption is one of
// the table's, NotInputFileError; the table is then left as it was.
void ReadInputFile(const std::string& path, Table& input);

} // namespace skarvel::data
