#pragma once
// Splitting copied or printed text into its fields.

#include <string>
#include <string_view>
#include <vector>

namespace skarvel::test {

// Every field between separators, empty ones included.
inline std::vector<std::string> Split(const std::string& text, std::string_view sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(sep, start)) != std::string::npos;
         start = at + sep.size()) {
        parts.push_back(text.substr(start, at - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

inline std::vector<std::string> Split(const std::string& text, char sep) {
    return Split(text, std::string_view(&sep, 1));
}

} // namespace skarvel::test
