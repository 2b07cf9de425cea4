#include "data/codec.h"

#include <cerrno>
#include <cstddef>
#include <iconv.h>
#include <set>

namespace skarvel::data {
namespace {

// One conversion descriptor per call: iconv state is not shareable between
// threads, and opening it costs little next to the text it converts.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of `in` as possible and appends it to `out`. Returns
    // the number of bytes consumed; stops at the first byte sequence the
    // converter refuses (EILSEQ or an incomplete sequence at the end).
    std::size_t convert(std::string_view in, std::string& out) {
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
                break;
        }
        // Reset the shift state so the next call starts clean.
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return in.size() - inLeft;
    }

  private:
    iconv_t cd_;
};

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Length of the valid UTF-8 sequence at the start of `s` and its code point,
// or 0 when the first byte does not start one (overlong forms, surrogates
// and values above U+10FFFF are invalid).
std::size_t Utf8Sequence(std::string_view s, char32_t& cp) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b0 = byte(0);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() < len)
        return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// Text from non-Windows sources uses these code points where CP932 has
// only the full-width forms.
char32_t ToCp932Form(char32_t cp) {
    switch (cp) {
    case 0x301C:
        return 0xFF5E; // wave dash
    case 0x2212:
        return 0xFF0D; // minus
    case 0x2016:
        return 0x2225; // double vertical bar
    case 0x2014:
        return 0x2015; // em dash
    case 0x00A2:
        return 0xFFE0; // cent
    case 0x00A3:
        return 0xFFE1; // pound
    case 0x00AC:
        return 0xFFE2; // not
    default:
        return cp;
    }
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// CP932 bytes to UTF-8 through an open converter (see DecodeCp932).
std::string Decode(Converter& conv, std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    if (!conv.valid()) {
        // No converter: keep the ASCII bytes rather than lose the whole text.
        for (char c : bytes)
            out += static_cast<unsigned char>(c) < 0x80 ? std::string_view(&c, 1) : kReplacement;
        return out;
    }
    while (!bytes.empty()) {
        std::size_t used = conv.convert(bytes, out);
        bytes.remove_prefix(used);
        if (!bytes.empty()) {
            // Only the offending byte is dropped: a bad trail byte may still
            // be a character of its own.
            out += kReplacement;
            bytes.remove_prefix(1);
        }
    }
    return out;
}

// UTF-8 to CP932 bytes through an open converter (see EncodeCp932).
std::string Encode(Converter& conv, std::string_view utf8) {
    // Clean the text first so iconv only ever refuses whole, valid
    // characters that CP932 has no code for.
    std::string clean;
    clean.reserve(utf8.size());
    while (!utf8.empty()) {
        char32_t cp = 0;
        std::size_t len = Utf8Sequence(utf8, cp);
        if (len == 0) {
            clean += '?';
            utf8.remove_prefix(1);
            continue;
        }
        char32_t mapped = ToCp932Form(cp);
        if (mapped == cp)
            clean.append(utf8.substr(0, len));
        else
            AppendUtf8(clean, mapped);
        utf8.remove_prefix(len);
    }

    std::string out;
    out.reserve(clean.size());
    std::string_view rest = clean;
    while (!rest.empty()) {
        std::size_t used = conv.valid() ? conv.convert(rest, out) : 0;
        rest.remove_prefix(used);
        if (!rest.empty()) {
            char32_t cp = 0;
            std::size_t len = Utf8Sequence(rest, cp);
            // Without a converter ASCII still goes through unchanged.
            out += !conv.valid() && len == 1 ? rest[0] : '?';
            rest.remove_prefix(len == 0 ? 1 : len);
        }
    }
    return out;
}

// Collects the characters a CP932 round trip changes, each once.
class RoundTripCheck {
  public:
    explicit RoundTripCheck(std::size_t limit)
        : limit_(limit), encoder_("CP932", "UTF-8"), decoder_("UTF-8", "CP932") {}

    bool full() const { return found_.size() >= limit_; }

    void scan(std::string_view utf8) {
        while (!utf8.empty() && !full()) {
            char32_t cp = 0;
            std::size_t len = Utf8Sequence(utf8, cp);
            // A byte that starts no character is saved as "?"; it is shown
            // as the replacement character.
            std::string_view character = len == 0 ? kReplacement : utf8.substr(0, len);
            utf8.remove_prefix(len == 0 ? 1 : len);
            if (!seen_.insert(std::string(character)).second)
                continue;
            if (len == 0 || Decode(decoder_, Encode(encoder_, character)) != character)
                found_.emplace_back(character);
        }
    }

    std::vector<std::string> take() { return std::move(found_); }

  private:
    std::size_t limit_;
    Converter encoder_;
    Converter decoder_;
    std::set<std::string> seen_;
    std::vector<std::string> found_;
};

} // namespace

std::string DecodeCp932(std::string_view bytes) {
    Converter conv("UTF-8", "CP932");
    return Decode(conv, bytes);
}

std::string EncodeCp932(std::string_view utf8) {
    Converter conv("CP932", "UTF-8");
    return Encode(conv, utf8);
}

std::vector<std::string> UnsavableCharacters(std::string_view utf8, std::size_t limit) {
    RoundTripCheck check(limit);
    check.scan(utf8);
    return check.take();
}

std::vector<std::string> UnsavableCharacters(const std::vector<std::string>& lines,
                                             std::size_t limit) {
    RoundTripCheck check(limit);
    for (const std::string& line : lines) {
        if (check.full())
            break;
        check.scan(line);
    }
    return check.take();
}

} // namespace skarvel::data
