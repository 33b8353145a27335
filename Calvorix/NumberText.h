// Number texts: the numeric test, reading and writing numbers as text, and the money, leading-zero
// and thousands-separator formats. Every text is a byte string (GBK); nothing depends on the
// process locale.
#pragma once

#include <string>
#include <string_view>

namespace calvorix {

// True when the text, stripped of white space at both ends, is made of digits only, except that
// the first byte may be '-' and one '.' may stand anywhere but in the last place. The empty text
// and "-" are numeric (they read as 0).
bool IsNumeric(std::string_view text);

// Reads a numeric text (leading and trailing white space allowed) the way the C runtime's atof
// reads it in the C locale: "" and "-" give 0, too many digits give an infinity.
double ReadNumber(std::string_view text);

// Writes a number the way printf "%g" of the C runtime did: six significant digits, no trailing
// zeros, and an exponent of at least three digits ("1e+007", "1.2345e-005").
std::string FormatNumber(double value);

// Writes an integer in decimal digits.
std::string FormatInteger(long long value);

// The amount written in upper-case Chinese numerals as on a receipt (1234.56 gives
// 壹仟贰佰叁拾肆元伍角陆分, in GBK). Zero and negative amounts give 零; amounts that are not finite
// or of 10^16 and above, past the unit table, give "###".
std::string FormatCapitalAmount(double amount);

// Puts "0" before a leading decimal point of a numeric text (".5" -> "0.5", "-.5" -> "-0.5").
void AddLeadingZero(std::string& text);

// Groups the integer digits of a numeric text in threes with "," ("-1234.5" -> "-1,234.5"); white
// space before and after the number stays where it is (" 1234 " -> " 1,234 ").
void AddThousandsSeparators(std::string& text);

// White space as the C locale knows it: space, tab, line feed, vertical tab, form feed, return.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);
inline std::string_view Trim(std::string_view text) {
    return TrimRight(TrimLeft(text));
}

}  // namespace calvorix
