#pragma once
// What the fuzz targets share: a broken promise stops the run with a
// message (libFuzzer then keeps the input), a private file for the readers
// that take a path, and the checks on table texts.

#include "data/table.h"
#include "data/tables.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace skarvel::fuzz {

[[noreturn]] inline void Broken(const char* what, const char* file, int line,
                                const std::string& detail) {
    std::fprintf(stderr, "\n%s:%d: promise broken: %s\n  %s\n", file, line, what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_REQUIRE(condition, detail)                                                            \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::skarvel::fuzz::Broken(#condition, __FILE__, __LINE__, (detail));                     \
        }                                                                                          \
    } while (false)

// One file per process under the temporary folder, rewritten for each input,
// named with the extension the reader expects.
class ScratchFile {
  public:
    explicit ScratchFile(const std::string& name) {
        folder_ =
            std::filesystem::temp_directory_path() / ("skarvel-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / name).string();
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& write(const std::uint8_t* bytes, std::size_t size) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
        out.close();
        if (!out) {
            Broken("scratch file written", __FILE__, __LINE__, path_);
        }
        return path_;
    }
    const std::string& path() const { return path_; }

  private:
    std::filesystem::path folder_;
    std::string path_;
};

// A number the program wrote that shows NaN or infinity in any spelling.
inline bool ShowsNonFinite(std::string_view text) {
    std::string lower(text);
    for (char& ch : lower) {
        if (ch >= 'A' && ch <= 'Z') {
            ch = static_cast<char>(ch - 'A' + 'a');
        }
    }
    return lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos;
}

// Every cell of columns [firstColumn, lastColumn] below the header is free
// of NaN and infinity.
inline void RequireFiniteCells(const data::Table& table, int firstColumn, int lastColumn,
                               const char* name) {
    for (int c = firstColumn; c <= lastColumn; ++c) {
        for (int r = 1; r < table.rowCount(); ++r) {
            const std::string& text = table.cell(c, r);
            FUZZ_REQUIRE(!ShowsNonFinite(text), std::string(name) + " (" + std::to_string(c) +
                                                    ", " + std::to_string(r) + "): " + text);
        }
    }
}

inline bool SameCells(const data::Table& a, const data::Table& b) {
    if (a.columnCount() != b.columnCount() || a.rowCount() != b.rowCount()) {
        return false;
    }
    for (int c = 0; c < a.columnCount(); ++c) {
        for (int r = 0; r < a.rowCount(); ++r) {
            if (a.cell(c, r) != b.cell(c, r)) {
                return false;
            }
        }
    }
    return true;
}

inline bool SameTables(const data::Tables& a, const data::Tables& b) {
    return SameCells(a.input, b.input) && SameCells(a.parameter, b.parameter) &&
           SameCells(a.marker, b.marker) && SameCells(a.design, b.design) &&
           SameCells(a.computed, b.computed);
}

} // namespace skarvel::fuzz
