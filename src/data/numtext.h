#pragma once
// Conversions between numbers and the texts that table cells and list items
// hold. None of them fails: bad text reads as 0, a failed formatting gives "0".

#include <optional>
#include <string>
#include <string_view>

namespace skarvel::data {

class Table;

// value with `digits` significant digits (1 to 18) in plain positional
// notation, never with an exponent. Rounds the exact binary value, halves away
// from zero. Without noPad, trailing zeros are kept up to `digits` digits.
std::string FormatSignificant(int digits, bool noPad, double value);

// The whole text as one real number: optional spaces, optional sign, digits
// with an optional decimal point, an optional exponent (E or e, optional sign,
// digits), optional spaces. Anything else, a number beyond the range of a
// double and the empty text give 0.
double ParseRealStrict(std::string_view text);

// True when ParseRealStrict accepts the text; `value` receives the number.
bool TryParseRealStrict(std::string_view text, double& value);

// The whole text as an int: optional blanks (spaces, tabs) around an optional
// sign and decimal digits. Nothing for any other text (a fraction, an exponent,
// "+-5", the empty text) and for a number beyond the range of int.
std::optional<int> ParseInteger(std::string_view text);

// ParseRealStrict of a cell; 0 for column 0, row 0 and cells outside the table.
double CellNumber(const Table& table, int column, int row);

// Tolerant reader for design cells: the strict reading, else the strict reading
// of the leading run of characters from "0123456789-.eE", else 0.
double ParseReal(std::string_view text);

struct NumberAndSuffix {
    std::string number;
    std::string suffix;
};

// Splits a text into its leading run of number characters (as ParseReal's
// fallback takes them) and the rest, trimmed of blanks and control characters.
NumberAndSuffix SplitNumberAndSuffix(std::string_view text);

// Scale factor of an SI prefix, judged by the first character of the suffix.
double SiPrefixFactor(std::string_view suffix);

// Number with an optional SI-prefixed unit: "10k" -> 10000, "5 m/s" -> 0.005;
// 0 when the prefix takes it beyond the range of a double.
double ParseWithSiPrefix(std::string_view text);

// Fixed-point text for the flight export: the value rounded to 8 significant
// digits, then to `decimals` decimals (halves away from zero), zero-padded.
// More than 8 digits before the point switch to scientific notation.
std::string FormatFixed(double value, int decimals);

// The shortest text that reads back as the same double ("0.1", "1e-07").
std::string FormatShortest(double value);

} // namespace skarvel::data
