#pragma once
// Shift-JIS (code page 932) text at the file edge; UTF-8 everywhere inside.

#include <string>
#include <string_view>

namespace skarvel::data {

// CP932 bytes to UTF-8. Bytes that form no CP932 character become U+FFFD and
// decoding goes on with the next byte.
std::string DecodeCp932(std::string_view bytes);

// UTF-8 to CP932 bytes. A character CP932 cannot hold becomes "?"; invalid
// UTF-8 bytes become "?" as well. Characters that non-Windows text uses for
// the CP932 wave dash, minus, double bar, dash and currency signs are mapped
// to their CP932 forms first.
std::string EncodeCp932(std::string_view utf8);

} // namespace skarvel::data
