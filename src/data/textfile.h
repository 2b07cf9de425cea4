#pragma once
// Whole-file reading and writing with errors that name the file, and the
// small text helpers the file formats share.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel::data {

// A file that cannot be read or written. what() names the file and the
// reason as the command line says it; japanese() says the same in the
// window's words.
class FileError : public std::runtime_error {
  public:
    // Why: the system's error number, or one of the program's own reasons.
    enum class Reason { System, Folder, NotRegular, NoFileName, TooLarge, DanglingLink, Other };

    explicit FileError(const std::string& message) : std::runtime_error(message) {}
    FileError(const std::string& message, bool writing, std::string path, Reason reason,
              int error = 0)
        : std::runtime_error(message), writing_(writing), path_(std::move(path)), reason_(reason),
          error_(error) {}

    // "「NAME」を保存できません: 保存先のフォルダがありません。" and the like.
    std::string japanese() const;

  private:
    bool writing_ = false;
    std::string path_;
    Reason reason_ = Reason::Other;
    int error_ = 0;
};

// The largest input-data, design or paper-catalogue file the program reads:
// 4 MB. Anything bigger is not one of its files.
inline constexpr std::uintmax_t kDataFileLimit = 4 * 1024 * 1024;
inline constexpr std::uintmax_t kNoFileLimit = UINTMAX_MAX;

// A file name as error messages show it: control characters are written as
// escapes (\n, \r, \t, \xHH, \uHHHH for C1 controls and the line and paragraph
// separators), so that a message stays one line. Everything else is kept.
std::string QuotedName(std::string_view path);

// All bytes of a regular file. Throws FileError when it is missing, not a
// regular file (a folder, a device, a FIFO: these are never opened in a way
// that could block) or unreadable, and when it holds more than `limit` bytes
// ("ファイルが大きすぎます: NAME").
std::string ReadFileBytes(const std::string& path, std::uintmax_t limit = kNoFileLimit);

// Replaces the file's content with `bytes`, safely: the bytes go to a new file
// in the same folder, which is flushed to the disk and then renamed over the
// target. On any failure the old file is left as it was, the new one removed,
// and FileError names the target. A replaced file keeps its permissions (and
// owner where allowed); a new one gets 0666 less the umask. A symbolic link
// is followed, so the link stays and its target gets the new content; a link
// to nothing is refused ("リンク先のファイルがありません: NAME"), and so is a
// path without a file name ("" or "folder/").
//
// The new file has no name while it is written where the file system allows
// (Linux's O_TMPFILE), so a save killed half-way leaves nothing behind. It is
// named ".NAME.saving" beside the target just before the rename, or for the
// whole write where unnamed files are not supported; a save finding that name
// left behind by a killed save removes it. A save never removes a temporary
// another save is still using (each holds a lock on its own): it takes a
// unique name ".NAME.XXXXXXXX.saving" instead.
void WriteFileBytes(const std::string& path, std::string_view bytes);

// WriteFileBytes in pieces, for a file written while it is computed: the
// bytes go to the new file as they come, and commit() puts it in the
// target's place. Destroyed without commit(), it leaves the old file as it
// was. Each call throws FileError as WriteFileBytes does; a write() that
// fails (a full disk) leaves none of its bytes in the new file, so a
// commit() after it keeps the pieces written before, each whole.
class SafeFileWriter {
  public:
    explicit SafeFileWriter(const std::string& path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    void write(std::string_view bytes);
    void commit();

  private:
    struct Open;
    std::unique_ptr<Open> open_;
};

// Whether saves may write their new file unnamed (the default). Tests turn it
// off to try the named temporary that other file systems get.
void UseUnnamedTemporaries(bool use);

// Calls visit(std::string_view line) for each line of `text`, cut at CR LF, CR
// or LF. A final line break does not start another line.
template <class Visit> void ForEachLine(std::string_view text, Visit&& visit) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        visit(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        visit(text.substr(start));
}

// The lines of ForEachLine as strings.
std::vector<std::string> SplitLines(std::string_view text);

// Reads a CP932 text file as UTF-8 lines; `limit` as for ReadFileBytes.
std::vector<std::string> ReadCp932Lines(const std::string& path,
                                        std::uintmax_t limit = kNoFileLimit);

// UTF-8 lines as the CP932 bytes of a text file, each line ended by CR LF.
std::string Cp932Text(const std::vector<std::string>& lines);

// Writes UTF-8 lines as CP932, each ended by CR LF.
void WriteCp932Lines(const std::string& path, const std::vector<std::string>& lines);

// The ASCII letter lower-cased; every other byte unchanged (UTF-8 stays intact).
inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal when only the case of ASCII letters differs.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The last path component: the text after the last '/'.
std::string_view LastPathComponent(std::string_view path);

// True when the last path component has an extension ("a.txt", not "a" or "dir.x/a").
bool HasExtension(const std::string& path);

// The extension of the last path component, lower-cased ASCII, with its dot (".kxs").
std::string LowerExtension(const std::string& path);

// The path with the last component's extension replaced (or added): "plot.png"
// and "plot" with ".emf" give "plot.emf". A path without a file name ("",
// "folder/") stays as it is: an extension alone would name a hidden file.
std::string ReplaceExtension(const std::string& path, std::string_view extension);

} // namespace skarvel::data
