#pragma once
// Shift-JIS (code page 932) text at the file edge; UTF-8 everywhere inside.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel::data {

// CP932 bytes to UTF-8. Bytes that form no CP932 character become U+FFFD and
// decoding goes on with the next byte.
std::string DecodeCp932(std::string_view bytes);

// UTF-8 to CP932 bytes. A character CP932 cannot hold becomes "?"; invalid
// UTF-8 bytes become "?" as well. Characters that non-Windows text uses for
// the CP932 wave dash, minus, double bar, dash and currency signs are mapped
// to their CP932 forms first.
std::string EncodeCp932(std::string_view utf8);

// The characters of UTF-8 text that a file written in CP932 would not give
// back (DecodeCp932(EncodeCp932(c)) != c): those that become "?", those
// mapped to their CP932 forms, the yen sign read back as a backslash. Each
// one once, as a UTF-8 string, in order of first appearance, at most `limit`
// of them. A byte that starts no UTF-8 character is reported as U+FFFD.
std::vector<std::string> UnsavableCharacters(std::string_view utf8, std::size_t limit = 10);
std::vector<std::string> UnsavableCharacters(const std::vector<std::string>& lines,
                                             std::size_t limit = 10);

} // namespace skarvel::data
