// Number formatting of text elements, independent of the user's locale: a number text is read
// with "." as the decimal point and written with a float-format pattern.
//
// Pattern language: "0" a digit or 0, "#" a digit or nothing, the first "." the decimal
// point, "," anywhere: thousands separators, "E+0", "E-0" (or "e") scientific notation with
// that many exponent digits (at most 4), text in single or double quotes as it stands, any
// other character as it stands, ";" between the sections for positive, negative and zero
// values. An empty positive section gives the general format (15 significant digits).
#pragma once

#include <string>

namespace TVostrin {

// A decimal number as it was written: value = 0.<digits> * 10^exponent, digits without
// leading or trailing zeros (empty for zero).
struct TDecimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
    bool IsZero() const { return digits.empty(); }
};

// Reads a number: blanks around it, an optional sign, digits with an optional "." and an
// optional exponent ("e" or "E", optional sign, digits). False for anything else, and for
// numbers beyond the range of extended floating point (about 1e4932).
bool ParseDecimal(const std::string& text, TDecimal& out);

// A plain number of type T ("." as the decimal point, blanks around it and a leading "+"
// allowed); fallback for any other text and for a value beyond the range of T. Defined for
// float and double.
template <typename T>
T ParsePlainNumber(std::string text, T fallback);

// Formats the number with the pattern; halves round away from zero.
std::string FormatDecimal(const std::string& pattern, const TDecimal& value);

// The number text reformatted with the pattern; the text unchanged when it is not a number.
std::string FormatNumberText(const std::string& text, const std::string& pattern);

}  // namespace TVostrin
