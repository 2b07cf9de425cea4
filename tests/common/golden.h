#pragma once
// Golden files: a test's whole output against the text recorded beside the
// test's source file.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace skarvel::test {

// The text recorded in `name` beside `sourceFile` (pass __FILE__). After a
// wanted change, SKARVEL_WRITE_GOLDEN=1 writes `text` there first.
inline std::string Golden(const char* sourceFile, const char* name, const std::string& text) {
    const auto path = std::filesystem::path(sourceFile).parent_path() / name;
    if (std::getenv("SKARVEL_WRITE_GOLDEN") != nullptr) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ADD_FAILURE() << "no golden file " << path;
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A 64-bit FNV-1a digest of `size` bytes: a golden line that stands for
// every bit of many values.
inline std::uint64_t Digest(const void* data, std::size_t size) {
    std::uint64_t digest = 1469598103934665603ULL;
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        digest = (digest ^ bytes[i]) * 1099511628211ULL;
    }
    return digest;
}

} // namespace skarvel::test
