#pragma once
// Whole-file reading and writing with errors that name the file.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel::data {

// A file that cannot be read or written. what() names the file and the reason.
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// All bytes of a regular file; throws FileError when it is missing, a folder
// or unreadable.
std::string ReadFileBytes(const std::string& path);

// Replaces the file's content with `bytes`; throws FileError on failure.
void WriteFileBytes(const std::string& path, std::string_view bytes);

// Splits text into lines at CR LF, CR or LF. A final line break does not start
// another line.
std::vector<std::string> SplitLines(std::string_view text);

// Reads a CP932 text file as UTF-8 lines.
std::vector<std::string> ReadCp932Lines(const std::string& path);

// Writes UTF-8 lines as CP932, each ended by CR LF.
void WriteCp932Lines(const std::string& path, const std::vector<std::string>& lines);

// True when the last path component has an extension ("a.txt", not "a" or "dir.x/a").
bool HasExtension(const std::string& path);

// The extension of the last path component, lower-cased ASCII, with its dot (".kxs").
std::string LowerExtension(const std::string& path);

} // namespace skarvel::data
