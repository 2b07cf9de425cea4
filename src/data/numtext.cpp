#include "data/numtext.h"

#include "data/table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <system_error>

namespace skarvel::data {
namespace {

// |value| rounded to n significant digits: magnitude = 0.digits x 10^exponent.
// `digits` has exactly n characters, or none for 0 and non-finite values.
struct Rounded {
    std::string digits;
    int exponent = 0;
    bool negative = false;
};

// Decimal digits and exponent of a "%.Ne" text of a non-negative value.
void SplitScientific(const char* text, std::string& digits, int& exponent) {
    digits.clear();
    const char* p = text;
    for (; *p != 'e' && *p != '\0'; ++p) {
        if (*p != '.')
            digits += *p;
    }
    exponent = *p == 'e' ? std::atoi(p + 1) : 0;
}

// printf rounds the exact binary value correctly, but ties go to even; our
// texts round ties away from zero. So round the digits ourselves, and when the
// 41-digit expansion could hide or fake a tie, fetch the exact expansion (no
// double needs more than 767 significant digits).
Rounded RoundSignificant(double value, int n) {
    Rounded r;
    if (!std::isfinite(value) || value == 0)
        return r;
    r.negative = std::signbit(value);
    double magnitude = std::fabs(value);

    char shortText[64];
    std::snprintf(shortText, sizeof shortText, "%.40e", magnitude);
    std::string all;
    int exponent10 = 0;
    SplitScientific(shortText, all, exponent10);

    bool nearTie = all[n] == '5';
    for (std::size_t i = n + 1; nearTie && i < all.size(); ++i)
        nearTie = all[i] == '0';
    if (nearTie) {
        std::string exact(840, '\0');
        std::snprintf(exact.data(), exact.size(), "%.800e", magnitude);
        SplitScientific(exact.c_str(), all, exponent10);
    }

    bool up = all[n] >= '5';
    r.digits = all.substr(0, n);
    if (up) {
        int i = n - 1;
        for (; i >= 0 && r.digits[i] == '9'; --i)
            r.digits[i] = '0';
        if (i >= 0) {
            ++r.digits[i];
        } else {
            r.digits[0] = '1';
            ++exponent10;
        }
    }
    r.exponent = exponent10 + 1;
    return r;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsFallbackChar(char c) {
    return IsDigit(c) || c == '-' || c == '.' || c == 'e' || c == 'E';
}

std::string_view LeadingNumberRun(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsFallbackChar(text[i]))
        ++i;
    return text.substr(0, i);
}

// Decimal exponent of the first non-zero digit of a syntactically valid
// unsigned number, with its exponent clamped far from int overflow. Tells an
// overflow from an underflow when the conversion is out of range.
long LeadingDecimalExponent(std::string_view body) {
    constexpr long kNone = -100000000;
    std::size_t i = 0;
    while (i < body.size() && IsDigit(body[i]))
        ++i;
    const long intDigits = static_cast<long>(i);
    long lead = kNone;
    for (long k = 0; k < intDigits && lead == kNone; ++k) {
        if (body[static_cast<std::size_t>(k)] != '0')
            lead = intDigits - 1 - k;
    }
    if (i < body.size() && body[i] == '.') {
        ++i;
        for (long power = -1; i < body.size() && IsDigit(body[i]); ++i, --power) {
            if (lead == kNone && body[i] != '0')
                lead = power;
        }
    }
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < body.size() && (body[i] == '+' || body[i] == '-'))
            negative = body[i++] == '-';
        long e = 0;
        for (; i < body.size() && IsDigit(body[i]); ++i)
            e = std::min(e * 10 + (body[i] - '0'), 10000000L);
        lead += negative ? -e : e;
    }
    return lead;
}

} // namespace

std::string FormatSignificant(int digits, bool noPad, double value) {
    if (digits < 1 || digits > 18)
        return "0";
    try {
        Rounded r = RoundSignificant(value, digits);
        std::string d = r.digits;
        while (!d.empty() && d.back() == '0')
            d.pop_back();
        if (d.empty())
            return noPad ? "0" : "0." + std::string(static_cast<std::size_t>(digits - 1), '0');
        if (!noPad)
            d.resize(static_cast<std::size_t>(digits), '0');
        const long length = static_cast<long>(d.size());
        const long e = r.exponent;
        std::string text;
        if (e <= 0)
            text = "0." + std::string(static_cast<std::size_t>(-e), '0') + d;
        else if (e < length)
            text = d.substr(0, static_cast<std::size_t>(e)) + "." +
                   d.substr(static_cast<std::size_t>(e));
        else
            text = d + std::string(static_cast<std::size_t>(e - length), '0');
        return r.negative ? "-" + text : text;
    } catch (const std::exception&) {
        return "0";
    }
}

bool TryParseRealStrict(std::string_view text, double& value) {
    value = 0;
    // Only ASCII spaces count as blanks around the number.
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    std::string_view body = text.substr(begin, end - begin);

    // Check the syntax here: from_chars would also take "inf", "nan" and
    // hexadecimal forms, and strtod depends on the locale the GUI sets.
    std::size_t p = 0;
    bool negative = false;
    if (p < body.size() && (body[p] == '+' || body[p] == '-'))
        negative = body[p++] == '-';
    const std::size_t mantissa = p;
    std::size_t mantissaDigits = 0;
    while (p < body.size() && IsDigit(body[p]))
        ++p, ++mantissaDigits;
    if (p < body.size() && body[p] == '.') {
        ++p;
        while (p < body.size() && IsDigit(body[p]))
            ++p, ++mantissaDigits;
    }
    if (mantissaDigits == 0)
        return false;
    if (p < body.size() && (body[p] == 'e' || body[p] == 'E')) {
        ++p;
        if (p < body.size() && (body[p] == '+' || body[p] == '-'))
            ++p;
        std::size_t exponentDigits = 0;
        while (p < body.size() && IsDigit(body[p]))
            ++p, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    if (p != body.size())
        return false;

    std::string_view unsignedPart = body.substr(mantissa);
    double magnitude = 0;
    auto [ptr, ec] = std::from_chars(unsignedPart.data(), unsignedPart.data() + unsignedPart.size(),
                                     magnitude, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small to hold reads as zero; too large is no number.
        if (LeadingDecimalExponent(unsignedPart) >= 0)
            return false;
        magnitude = 0;
    } else if (ec != std::errc() || ptr != unsignedPart.data() + unsignedPart.size() ||
               !std::isfinite(magnitude)) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

double ParseRealStrict(std::string_view text) {
    double value = 0;
    return TryParseRealStrict(text, value) ? value : 0.0;
}

std::optional<int> ParseInteger(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    // from_chars takes a minus sign but no plus sign; a plus may not lead a minus.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

double CellNumber(const Table& table, int column, int row) {
    if (column == 0 || row == 0)
        return 0;
    return ParseRealStrict(table.cell(column, row));
}

double ParseReal(std::string_view text) {
    double value = 0;
    if (TryParseRealStrict(text, value))
        return value;
    if (TryParseRealStrict(LeadingNumberRun(text), value))
        return value;
    return 0;
}

NumberAndSuffix SplitNumberAndSuffix(std::string_view text) {
    std::string_view number = LeadingNumberRun(text);
    std::string_view suffix = text.substr(number.size());
    auto trimmed = [](char c) {
        auto u = static_cast<unsigned char>(c);
        return u == ' ' || u == '\t' || u < 0x20 || u == 0x7F;
    };
    while (!suffix.empty() && trimmed(suffix.front()))
        suffix.remove_prefix(1);
    while (!suffix.empty() && trimmed(suffix.back()))
        suffix.remove_suffix(1);
    return {std::string(number), std::string(suffix)};
}

double SiPrefixFactor(std::string_view suffix) {
    if (suffix.empty())
        return 1;
    switch (suffix.front()) {
    case 'f':
    case 'F':
        return 1e-15;
    case 'p':
    case 'P':
        return 1e-12;
    case 'n':
    case 'N':
        return 1e-9;
    case 'u':
    case 'U':
        return 1e-6;
    case 'm':
        return 1e-3;
    case 'k':
    case 'K':
        return 1e3;
    case 'M':
        return 1e6;
    case 'g':
    case 'G':
        return 1e9;
    case 't':
    case 'T':
        return 1e12;
    default:
        return 1;
    }
}

double ParseWithSiPrefix(std::string_view text) {
    NumberAndSuffix split = SplitNumberAndSuffix(text);
    std::string_view number = split.number.empty() ? std::string_view("0") : split.number;
    // A prefix can carry a number past the range of a double ("1e308k"): it
    // reads as 0 then, as a number beyond the range does.
    const double value = ParseReal(number) * SiPrefixFactor(split.suffix);
    return std::isfinite(value) ? value : 0.0;
}

std::string FormatFixed(double value, int decimals) {
    constexpr int kSignificant = 8;
    const std::size_t places = decimals > 0 ? static_cast<std::size_t>(decimals) : 0;
    try {
        Rounded r = RoundSignificant(value, kSignificant);
        if (r.digits.empty())
            return places > 0 ? "0." + std::string(places, '0') : "0";
        const std::string sign = r.negative ? "-" : "";

        if (r.exponent > kSignificant) {
            // Too wide for the columns of the export: d.dddddddE+NN.
            int e = r.exponent - 1;
            char exponentText[16];
            std::snprintf(exponentText, sizeof exponentText, "E%c%02d", e < 0 ? '-' : '+',
                          e < 0 ? -e : e);
            return sign + r.digits.substr(0, 1) + "." + r.digits.substr(1) + exponentText;
        }

        std::string whole;
        std::string fraction;
        if (r.exponent <= 0) {
            whole = "0";
            fraction = std::string(static_cast<std::size_t>(-r.exponent), '0') + r.digits;
        } else {
            whole = r.digits.substr(0, static_cast<std::size_t>(r.exponent));
            fraction = r.digits.substr(static_cast<std::size_t>(r.exponent));
        }

        // Second rounding on the decimal text, so that a value printed as
        // 0.012500000 becomes 0.013 and not the binary neighbour's 0.012.
        bool up = fraction.size() > places && fraction[places] >= '5';
        fraction.resize(places, '0');
        std::string all = whole + fraction;
        if (up) {
            std::size_t i = all.size();
            while (i > 0 && all[i - 1] == '9')
                all[--i] = '0';
            if (i > 0)
                ++all[i - 1];
            else
                all.insert(all.begin(), '1');
        }
        const std::size_t wholeLength = all.size() - places;
        bool allZero = all.find_first_not_of('0') == std::string::npos;
        std::string text = allZero ? "" : sign;
        text += all.substr(0, wholeLength);
        if (places > 0) {
            text += '.';
            text.append(all, wholeLength);
        }
        return text;
    } catch (const std::exception&) {
        return "0";
    }
}

std::string FormatShortest(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace skarvel::data
