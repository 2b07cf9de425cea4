// The CP932 codec on any bytes. Decoding gives valid UTF-8; encoding any
// bytes gives no more bytes than it got (no character grows in CP932); text
// with no unsavable character comes back whole from a save and a read, and
// every character not reported as unsavable comes back on its own.

#include "fuzz_common.h"

#include "data/codec.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

using namespace skarvel;

namespace {

// Splits valid UTF-8 into its characters; empty when the text is not valid
// UTF-8 (overlong forms, surrogates and code points above U+10FFFF included).
bool SplitUtf8(std::string_view text, std::vector<std::string>* characters) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) ||
            (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            return false;
        }
        if (characters != nullptr) {
            characters->emplace_back(text.substr(i, length));
        }
        i += length;
    }
    return true;
}

std::string Hex(std::string_view bytes) {
    std::string out;
    for (unsigned char ch : bytes) {
        char two[4];
        std::snprintf(two, sizeof two, "%02X", ch);
        out += two;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(bytes), size);

    // Any bytes read from a file.
    const std::string decoded = data::DecodeCp932(raw);
    std::vector<std::string> characters;
    FUZZ_REQUIRE(SplitUtf8(decoded, &characters), "decoded " + Hex(raw) + " -> " + Hex(decoded));
    FUZZ_REQUIRE(characters.size() <= raw.size(), Hex(raw));

    // What was read is written back and read again.
    const std::vector<std::string> unsavable = data::UnsavableCharacters(decoded);
    FUZZ_REQUIRE(unsavable.size() <= 10, Hex(raw));
    const std::string encoded = data::EncodeCp932(decoded);
    if (unsavable.empty()) {
        FUZZ_REQUIRE(data::DecodeCp932(encoded) == decoded, Hex(raw) + " -> " + Hex(encoded));
    }
    const std::vector<std::string> allUnsavable =
        data::UnsavableCharacters(decoded, characters.size() + 1);
    for (const std::string& c : characters) {
        const bool reported =
            std::find(allUnsavable.begin(), allUnsavable.end(), c) != allUnsavable.end();
        if (!reported) {
            FUZZ_REQUIRE(data::DecodeCp932(data::EncodeCp932(c)) == c, Hex(c));
        }
    }

    // Any bytes as text typed inside the program (UTF-8 or not).
    const std::string written = data::EncodeCp932(raw);
    FUZZ_REQUIRE(written.size() <= raw.size(), Hex(raw) + " -> " + Hex(written));
    const std::string readBack = data::DecodeCp932(written);
    FUZZ_REQUIRE(SplitUtf8(readBack, nullptr), Hex(written));
    std::vector<std::string> typed;
    if (SplitUtf8(raw, &typed)) {
        const std::vector<std::string> lost = data::UnsavableCharacters(raw, typed.size() + 1);
        if (lost.empty()) {
            FUZZ_REQUIRE(readBack == raw, Hex(raw) + " -> " + Hex(written));
        }
        // The lines form reports what the text form reports.
        const std::vector<std::string> lines{std::string(raw)};
        FUZZ_REQUIRE(data::UnsavableCharacters(lines, typed.size() + 1) == lost, Hex(raw));
    }
    return 0;
}
