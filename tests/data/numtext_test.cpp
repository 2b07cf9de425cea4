#include "data/numtext.h"
#include "data/table.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <utility>

using namespace skarvel::data;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool Accepts(std::string_view text) {
    double value = 0;
    return TryParseRealStrict(text, value);
}

// The double a decimal text stands for, independent of the code under test.
double Exact(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

// ---- FormatSignificant ----

TEST(FormatSignificant, FourDigitsPadded) {
    EXPECT_EQ(FormatSignificant(4, false, 4.5), "4.500");
    EXPECT_EQ(FormatSignificant(4, false, 150), "150.0");
    EXPECT_EQ(FormatSignificant(4, false, 1500), "1500");
    EXPECT_EQ(FormatSignificant(4, false, 123.456), "123.5");
    EXPECT_EQ(FormatSignificant(4, false, 12345.6), "12350");
    EXPECT_EQ(FormatSignificant(4, false, 0.0123456), "0.01235");
    EXPECT_EQ(FormatSignificant(4, false, -0.5), "-0.5000");
    EXPECT_EQ(FormatSignificant(4, false, 0), "0.000");
}

TEST(FormatSignificant, NoPad) {
    EXPECT_EQ(FormatSignificant(5, true, 0.25), "0.25");
    EXPECT_EQ(FormatSignificant(5, true, 6), "6");
    EXPECT_EQ(FormatSignificant(5, true, 0), "0");
    EXPECT_EQ(FormatSignificant(5, true, 1500), "1500");
    EXPECT_EQ(FormatSignificant(5, true, -120.5), "-120.5");
}

TEST(FormatSignificant, SmallValuesAndCarry) {
    EXPECT_EQ(FormatSignificant(4, false, 0.00001), "0.00001000");
    EXPECT_EQ(FormatSignificant(4, false, -0.00001), "-0.00001000");
    EXPECT_EQ(FormatSignificant(4, false, 99999), "100000");
    EXPECT_EQ(FormatSignificant(4, false, 9.9996), "10.00");
    EXPECT_EQ(FormatSignificant(3, true, 0.0999999), "0.1");
}

TEST(FormatSignificant, TiesRoundAwayFromZero) {
    // printf would give 0.12, 2, -2 and 0.007812 (ties to even).
    EXPECT_EQ(FormatSignificant(2, false, 0.125), "0.13");
    EXPECT_EQ(FormatSignificant(1, false, 2.5), "3");
    EXPECT_EQ(FormatSignificant(1, false, -2.5), "-3");
    EXPECT_EQ(FormatSignificant(4, false, 0.0078125), "0.007813");
    // 2^-20 = 9.5367431640625e-7: a tie thirteen digits down.
    EXPECT_EQ(FormatSignificant(13, false, std::ldexp(1.0, -20)), "0.0000009536743164063");
}

TEST(FormatSignificant, RoundsTheBinaryValueNotItsShortestText) {
    // The double nearest 1.005 lies just below it.
    EXPECT_EQ(FormatSignificant(3, false, 1.005), "1.00");
    // 0.1 is 0.1000000000000000055511...
    EXPECT_EQ(FormatSignificant(18, false, 0.1), "0.100000000000000006");
    EXPECT_EQ(FormatSignificant(17, false, 0.1), "0.10000000000000001");
}

TEST(FormatSignificant, NeverExponentNotation) {
    std::string big = FormatSignificant(4, false, 1e300);
    EXPECT_EQ(big, "1" + std::string(300, '0'));
    std::string tiny = FormatSignificant(4, false, std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(tiny, "0." + std::string(323, '0') + "4941");
}

TEST(FormatSignificant, ZeroNonFiniteAndBadDigitCounts) {
    EXPECT_EQ(FormatSignificant(4, false, -0.0), "0.000");
    EXPECT_EQ(FormatSignificant(4, false, kNaN), "0.000");
    EXPECT_EQ(FormatSignificant(4, true, kInf), "0");
    EXPECT_EQ(FormatSignificant(4, false, -kInf), "0.000");
    EXPECT_EQ(FormatSignificant(0, false, 1.5), "0");
    EXPECT_EQ(FormatSignificant(19, false, 1.5), "0");
    EXPECT_EQ(FormatSignificant(18, true, 1.5), "1.5");
}

// ---- ParseInteger ----

TEST(ParseInteger, AcceptedForms) {
    const std::pair<const char*, int> cases[] = {{"812", 812},
                                                 {"-5", -5},
                                                 {"+7", 7},
                                                 {"  -5 ", -5},
                                                 {"\t12\t", 12},
                                                 {"007", 7},
                                                 {"-0", 0},
                                                 {"2147483647", 2147483647},
                                                 {"-2147483648", -2147483647 - 1}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ParseInteger(text), std::optional<int>(value)) << '"' << text << '"';
    }
}

TEST(ParseInteger, RefusedForms) {
    for (const char* text :
         {"",     " ",    "+",   "-",   "+-5", "-+5",        "--5",         "++5",
          "+ 5",  "- 5",  "5 5", "4.5", "5.",  "1e3",        "2,5",         "abc",
          "12mm", "0x10", "\n5", "5\n", "１",  "2147483648", "-2147483649", "99999999999"}) {
        EXPECT_EQ(ParseInteger(text), std::nullopt) << '"' << text << '"';
    }
}

// ---- ParseRealStrict ----

TEST(ParseRealStrict, AcceptedForms) {
    EXPECT_EQ(ParseRealStrict("3.5"), 3.5);
    EXPECT_EQ(ParseRealStrict("  3.5  "), 3.5);
    EXPECT_EQ(ParseRealStrict("-3.5"), -3.5);
    EXPECT_EQ(ParseRealStrict("+3.5"), 3.5);
    EXPECT_EQ(ParseRealStrict("5."), 5.0);
    EXPECT_EQ(ParseRealStrict(".5"), 0.5);
    EXPECT_EQ(ParseRealStrict("-5e2"), -500.0);
    EXPECT_EQ(ParseRealStrict("1E+3"), 1000.0);
    EXPECT_EQ(ParseRealStrict("25e-1"), 2.5);
    EXPECT_EQ(ParseRealStrict("007"), 7.0);
    EXPECT_EQ(ParseRealStrict("0.1"), 0.1);
    EXPECT_EQ(ParseRealStrict("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

TEST(ParseRealStrict, RefusedFormsReadAsZero) {
    for (const char* text :
         {"",         " ",     "3.5 mm", "3.5mm", ".",   "-",   "+",     "e5",   "1e",
          "1e+",      "1.2.3", "--1",    "+-1",   "1 2", "1,5", "nan",   "inf",  "-inf",
          "infinity", "0x10",  "\t3",    "3\t",   "3\n", "１",  "1e5.0", "1 e5", "- 1"}) {
        double value = 99;
        EXPECT_FALSE(TryParseRealStrict(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 0.0) << '"' << text << '"';
        EXPECT_EQ(ParseRealStrict(text), 0.0) << '"' << text << '"';
    }
}

TEST(ParseRealStrict, RangeLimits) {
    EXPECT_FALSE(Accepts("1e999"));
    EXPECT_FALSE(Accepts("-1e999"));
    EXPECT_FALSE(Accepts("1.8e308"));
    EXPECT_FALSE(Accepts("0.00001e99999999999999999999"));
    EXPECT_EQ(ParseRealStrict("1e999"), 0.0);
    // Underflow is a number, just zero (or the smallest subnormals).
    EXPECT_TRUE(Accepts("1e-999"));
    EXPECT_EQ(ParseRealStrict("1e-999"), 0.0);
    EXPECT_TRUE(Accepts("123456e-99999999999999999999"));
    EXPECT_EQ(ParseRealStrict("5e-324"), std::numeric_limits<double>::denorm_min());
    EXPECT_TRUE(Accepts("0e999999"));
    EXPECT_TRUE(Accepts("0.000000000000000000000000000000000000000000001e300"));
    EXPECT_EQ(ParseRealStrict("0.000000000000000000000000000000000000000000001e300"), 1e255);
}

TEST(ParseRealStrict, CellNumberReadsOnlyValueCells) {
    Table table(3, 4);
    table.setCell(1, 1, "2.5");
    table.setCell(0, 1, "7");
    table.setCell(1, 0, "7");
    table.setCell(2, 2, "abc");
    table.setCell(2, 3, " -4 ");
    EXPECT_EQ(CellNumber(table, 1, 1), 2.5);
    EXPECT_EQ(CellNumber(table, 0, 1), 0.0);
    EXPECT_EQ(CellNumber(table, 1, 0), 0.0);
    EXPECT_EQ(CellNumber(table, 2, 2), 0.0);
    EXPECT_EQ(CellNumber(table, 2, 3), -4.0);
    EXPECT_EQ(CellNumber(table, 1, 2), 0.0);
    EXPECT_EQ(CellNumber(table, 3, 1), 0.0);
    EXPECT_EQ(CellNumber(table, 1, 4), 0.0);
    EXPECT_EQ(CellNumber(table, -1, 1), 0.0);
}

// ---- ParseReal and the SI-prefixed reader ----

TEST(ParseReal, StrictFirstThenLeadingRun) {
    EXPECT_EQ(ParseReal(" 3.5 "), 3.5);
    EXPECT_EQ(ParseReal("3.5 mm"), 3.5);
    EXPECT_EQ(ParseReal("12.5mm"), 12.5);
    EXPECT_EQ(ParseReal("1e3x"), 1000.0);
    EXPECT_EQ(ParseReal("+5mm"), 0.0);
    EXPECT_EQ(ParseReal("+5"), 5.0);
    EXPECT_EQ(ParseReal("-"), 0.0);
    EXPECT_EQ(ParseReal(""), 0.0);
    EXPECT_EQ(ParseReal("1.2.3"), 0.0);
    EXPECT_EQ(ParseReal("1.2.3mm"), 0.0);
    EXPECT_EQ(ParseReal("-2ｍｍ"), -2.0);
    EXPECT_EQ(ParseReal("ﾋﾉｷ2mm"), 0.0);
    EXPECT_EQ(ParseReal("1e999mm"), 0.0);
}

TEST(ParseReal, SplitNumberAndSuffix) {
    NumberAndSuffix s = SplitNumberAndSuffix("12.5 mm\t");
    EXPECT_EQ(s.number, "12.5");
    EXPECT_EQ(s.suffix, "mm");
    s = SplitNumberAndSuffix("5 m/s");
    EXPECT_EQ(s.number, "5");
    EXPECT_EQ(s.suffix, "m/s");
    s = SplitNumberAndSuffix("-1e3");
    EXPECT_EQ(s.number, "-1e3");
    EXPECT_EQ(s.suffix, "");
    s = SplitNumberAndSuffix("abc");
    EXPECT_EQ(s.number, "");
    EXPECT_EQ(s.suffix, "abc");
    s = SplitNumberAndSuffix("3\x01 k g \x7f\r\n");
    EXPECT_EQ(s.number, "3");
    EXPECT_EQ(s.suffix, "k g");
    s = SplitNumberAndSuffix("");
    EXPECT_EQ(s.number, "");
    EXPECT_EQ(s.suffix, "");
}

TEST(ParseReal, SiPrefixFactorLooksAtTheFirstCharacter) {
    const struct {
        const char* suffix;
        double factor;
    } cases[] = {
        {"f", 1e-15}, {"F", 1e-15}, {"p", 1e-12}, {"P", 1e-12}, {"n", 1e-9},    {"N", 1e-9},
        {"u", 1e-6},  {"U", 1e-6},  {"m", 1e-3},  {"M", 1e6},   {"k", 1e3},     {"K", 1e3},
        {"g", 1e9},   {"G", 1e9},   {"t", 1e12},  {"T", 1e12},  {"mm/s", 1e-3}, {"Mx", 1e6},
        {"", 1},      {"x", 1},     {"µ", 1},     {"ｋ", 1},    {" k", 1},      {"%", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SiPrefixFactor(c.suffix), c.factor) << '"' << c.suffix << '"';
}

TEST(ParseReal, ParseWithSiPrefix) {
    EXPECT_EQ(ParseWithSiPrefix("10k"), 10000.0);
    EXPECT_DOUBLE_EQ(ParseWithSiPrefix("4.7u"), 4.7e-6);
    EXPECT_EQ(ParseWithSiPrefix("3M"), 3e6);
    EXPECT_DOUBLE_EQ(ParseWithSiPrefix("3m"), 0.003);
    EXPECT_DOUBLE_EQ(ParseWithSiPrefix("5 m/s"), 0.005);
    EXPECT_EQ(ParseWithSiPrefix("abc"), 0.0);
    EXPECT_EQ(ParseWithSiPrefix("直線"), 0.0);
    EXPECT_EQ(ParseWithSiPrefix("Error"), 0.0);
    EXPECT_EQ(ParseWithSiPrefix(""), 0.0);
    EXPECT_EQ(ParseWithSiPrefix("150"), 150.0);
    EXPECT_EQ(ParseWithSiPrefix("-2.5"), -2.5);
    EXPECT_GT(ParseWithSiPrefix("2k"), ParseWithSiPrefix("1500"));
}

// ---- FormatFixed ----

TEST(FormatFixed, EightSignificantDigitsThenDecimals) {
    EXPECT_EQ(FormatFixed(0.01, 3), "0.010");
    EXPECT_EQ(FormatFixed(12.3456789012, 10), "12.3456790000");
    EXPECT_EQ(FormatFixed(0, 10), "0.0000000000");
    // 0.0125 is stored a hair below; its 8-digit text 0.012500000 rounds up.
    EXPECT_EQ(FormatFixed(0.0125, 3), "0.013");
    EXPECT_EQ(FormatFixed(-1.25, 1), "-1.3");
    EXPECT_EQ(FormatFixed(5.5, 0), "6");
    EXPECT_EQ(FormatFixed(0.9996, 3), "1.000");
    EXPECT_EQ(FormatFixed(0.999999996, 3), "1.000");
    EXPECT_EQ(FormatFixed(12345678, 2), "12345678.00");
    EXPECT_EQ(FormatFixed(-3, 2), "-3.00");
    EXPECT_EQ(FormatFixed(1e-9, 12), "0.000000001000");
}

TEST(FormatFixed, NoNegativeZero) {
    EXPECT_EQ(FormatFixed(-0.0004, 3), "0.000");
    EXPECT_EQ(FormatFixed(-0.0, 2), "0.00");
    EXPECT_EQ(FormatFixed(-0.0005, 3), "-0.001");
    EXPECT_EQ(FormatFixed(-0.4, 0), "0");
}

TEST(FormatFixed, WideValuesUseScientificNotation) {
    EXPECT_EQ(FormatFixed(123456789, 2), "1.2345679E+08");
    EXPECT_EQ(FormatFixed(99999999.6, 1), "1.0000000E+08");
    EXPECT_EQ(FormatFixed(-123456789012.0, 3), "-1.2345679E+11");
    EXPECT_EQ(FormatFixed(1e300, 3), "1.0000000E+300");
}

TEST(FormatFixed, NonFiniteReadsAsZero) {
    EXPECT_EQ(FormatFixed(kNaN, 2), "0.00");
    EXPECT_EQ(FormatFixed(kInf, 0), "0");
    EXPECT_EQ(FormatFixed(-kInf, 1), "0.0");
}

// ---- Random input ----

TEST(NumberTextFuzz, ReadersNeverFailOnRandomText) {
    std::mt19937 random(20240611);
    const std::string alphabet = " +-.eE0123456789kKmMux\t\x01\xE3\x81\x82";
    for (int i = 0; i < 5000; ++i) {
        std::string text;
        int length = static_cast<int>(random() % 24);
        for (int k = 0; k < length; ++k) {
            if (i % 3 == 0)
                text += static_cast<char>(random() & 0xFF);
            else
                text += alphabet[random() % alphabet.size()];
        }
        EXPECT_TRUE(std::isfinite(ParseRealStrict(text))) << text;
        EXPECT_TRUE(std::isfinite(ParseReal(text))) << text;
        EXPECT_TRUE(std::isfinite(ParseWithSiPrefix(text))) << text;
        double value = 0;
        if (!TryParseRealStrict(text, value)) {
            EXPECT_EQ(value, 0.0);
        }
    }
}

TEST(NumberTextFuzz, FormattedTextsReadBackAsPrintfRoundsThem) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 4000; ++i) {
        double value;
        std::uint64_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            continue;
        int digits = 1 + static_cast<int>(random() % 18);
        bool noPad = random() % 2 == 0;
        std::string text = FormatSignificant(digits, noPad, value);
        ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        double back = 0;
        ASSERT_TRUE(TryParseRealStrict(text, back)) << text;
        // Random doubles are practically never exact decimal ties, so
        // printf's rounding must give the same number.
        char reference[64];
        std::snprintf(reference, sizeof reference, "%.*e", digits - 1, value);
        EXPECT_EQ(back, Exact(reference)) << text << " vs " << reference;

        std::string fixed = FormatFixed(value, static_cast<int>(random() % 12));
        double fixedBack = 0;
        EXPECT_TRUE(TryParseRealStrict(fixed, fixedBack)) << fixed;
    }
}
