#pragma once
// Golden files: a test's whole output against the text recorded beside the
// test's source file.

#include <gtest/gtest.h>

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

} // namespace skarvel::test
