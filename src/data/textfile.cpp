#include "data/textfile.h"

#include "data/codec.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace skarvel::data {
namespace {

[[noreturn]] void Fail(const char* verb, const std::string& path, const std::string& reason) {
    throw FileError(std::string("cannot ") + verb + " \"" + path + "\": " + reason);
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The last path component: the text after the last '/'.
std::string_view FileName(const std::string& path) {
    std::string_view view = path;
    std::size_t slash = view.rfind('/');
    return slash == std::string_view::npos ? view : view.substr(slash + 1);
}

// The extension starts at the last dot of the file name. A name that is only
// a dot and an extension (".kxs") counts as having one: that is what a user
// who types just the extension into a save dialog means.
std::size_t ExtensionStart(std::string_view name) {
    return name.rfind('.');
}

} // namespace

std::string ReadFileBytes(const std::string& path) {
    if (IsFolder(path))
        Fail("read", path, "is a folder");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        Fail("read", path, std::strerror(errno));
    std::string bytes;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    bool failed = std::ferror(file) != 0;
    int error = errno;
    std::fclose(file);
    if (failed)
        Fail("read", path, std::strerror(error));
    return bytes;
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
    if (IsFolder(path))
        Fail("write", path, "is a folder");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        Fail("write", path, std::strerror(errno));
    bool failed = std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size();
    int error = errno;
    if (std::fclose(file) != 0 && !failed) {
        failed = true;
        error = errno;
    }
    if (failed)
        Fail("write", path, std::strerror(error));
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> ReadCp932Lines(const std::string& path) {
    return SplitLines(DecodeCp932(ReadFileBytes(path)));
}

void WriteCp932Lines(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    WriteFileBytes(path, EncodeCp932(text));
}

bool HasExtension(const std::string& path) {
    return ExtensionStart(FileName(path)) != std::string_view::npos;
}

std::string LowerExtension(const std::string& path) {
    std::string_view name = FileName(path);
    std::size_t dot = ExtensionStart(name);
    if (dot == std::string_view::npos)
        return {};
    std::string extension(name.substr(dot));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return extension;
}

} // namespace skarvel::data
