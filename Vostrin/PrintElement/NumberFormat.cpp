#include "PrintElement/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace TVostrin {

namespace {

// Limits of the exponent that a number may have (extended floating point reaches about
// 1.2e4932 and 3.6e-4951); beyond the lower one a number reads as zero.
constexpr int kMaxExponent = 4933;
constexpr int kMinExponent = -4951;
constexpr int kGeneralDigits = 15;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void Normalize(TDecimal& d) {
    size_t lead = 0;
    while (lead < d.digits.size() && d.digits[lead] == '0') ++lead;
    d.digits.erase(0, lead);
    d.exponent -= static_cast<int>(lead);
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.exponent = 0;
}

// Keeps the first `keep` digits, rounding half away from zero on the next one.
void RoundToDigits(TDecimal& d, long long keep) {
    if (d.IsZero()) return;
    if (keep < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    if (keep >= static_cast<long long>(d.digits.size())) return;
    const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        long long i = keep - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
            d.digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    Normalize(d);
}

// Rounds to a number of decimals after the point.
void RoundToDecimals(TDecimal& d, int decimals) {
    RoundToDigits(d, static_cast<long long>(d.exponent) + decimals);
}

// Digit i of the number counted from the first digit after "0." (i may be beyond the digits).
char DigitAt(const TDecimal& d, long long i) {
    return i >= 0 && i < static_cast<long long>(d.digits.size()) ? d.digits[static_cast<size_t>(i)]
                                                                 : '0';
}

std::vector<std::string> SplitSections(const std::string& pattern) {
    std::vector<std::string> out(1);
    char quote = 0;
    for (char c : pattern) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            out.emplace_back();
            continue;
        }
        out.back().push_back(c);
    }
    return out;
}

// What a section asks for, found by one scan over it (quoted text left out).
struct TSectionInfo {
    int intPlaceholders = 0;
    int minInt = 0;  // placeholders from the first "0" of the integer part to the point
    int fracPlaceholders = 0;
    int minFrac = 0;  // up to and including the last "0" after the point
    bool thousands = false;
    bool scientific = false;
    size_t expPos = std::string::npos;  // index of the "E" of the exponent
    int expDigits = 0;
};

// An "E+0", "E-0", "e+0" or "e-0" at index i.
bool IsExponentAt(const std::string& s, size_t i) {
    return (s[i] == 'E' || s[i] == 'e') && i + 2 < s.size() &&
           (s[i + 1] == '+' || s[i + 1] == '-') && s[i + 2] == '0';
}

TSectionInfo Analyse(const std::string& s) {
    TSectionInfo info;
    bool point = false;
    int firstZero = -1;
    char quote = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '0' || c == '#') {
            if (point) {
                ++info.fracPlaceholders;
                if (c == '0') info.minFrac = info.fracPlaceholders;
            } else {
                if (c == '0' && firstZero < 0) firstZero = info.intPlaceholders;
                ++info.intPlaceholders;
            }
        } else if (c == '.') {
            point = true;
        } else if (c == ',') {
            info.thousands = true;
        } else if (IsExponentAt(s, i)) {
            info.scientific = true;
            info.expPos = i;
            size_t j = i + 2;
            while (j < s.size() && s[j] == '0' && info.expDigits < 4) {
                ++info.expDigits;
                ++j;
            }
            break;  // the rest of the section is text
        }
    }
    if (firstZero >= 0) info.minInt = info.intPlaceholders - firstZero;
    return info;
}

// Literal text in quotes: takes c when it opens or closes a quoted run (quote holds the open
// quote character, 0 outside) or is written as it stands inside one. False for any other c.
bool TakeQuoted(char c, char& quote, std::string& out) {
    if (quote) {
        if (c == quote)
            quote = 0;
        else
            out.push_back(c);
        return true;
    }
    if (c == '"' || c == '\'') {
        quote = c;
        return true;
    }
    return false;
}

// Writes the section with the integer and fraction digits already worked out.
std::string Emit(const std::string& s, const TSectionInfo& info, const std::string& intDigits,
                 const std::string& fracDigits, const std::string& exponentText) {
    std::string out;
    const long long len = static_cast<long long>(intDigits.size());
    long long nextDigit = 0;  // index of the next integer digit to write
    auto writeIntUpTo = [&](long long last) {
        for (; nextDigit <= last && nextDigit < len; ++nextDigit) {
            out.push_back(intDigits[static_cast<size_t>(nextDigit)]);
            const long long right = len - 1 - nextDigit;
            if (info.thousands && right > 0 && right % 3 == 0) out.push_back(',');
        }
    };
    int intSeen = 0, fracSeen = 0;
    bool point = false;
    char quote = 0;
    const size_t end = info.scientific ? info.expPos : s.size();
    for (size_t i = 0; i < end; ++i) {
        const char c = s[i];
        if (TakeQuoted(c, quote, out)) continue;
        if ((c == '0' || c == '#') && !point) {
            writeIntUpTo(len - info.intPlaceholders + intSeen);
            ++intSeen;
        } else if (c == '0' || c == '#') {
            if (fracSeen < static_cast<int>(fracDigits.size())) out.push_back(fracDigits[fracSeen]);
            ++fracSeen;
        } else if (c == '.') {
            if (!point) {
                writeIntUpTo(len - 1);  // digits the integer placeholders did not take
                if (!fracDigits.empty()) out.push_back('.');
                point = true;
            }
        } else if (c == ',') {
            // a thousands mark: the separators come with the digits
        } else {
            out.push_back(c);
        }
    }
    if (!point) writeIntUpTo(info.intPlaceholders > 0 || !fracDigits.empty() ? len - 1 : -1);
    if (!info.scientific) return out;
    out += exponentText;
    // The text after the exponent digits.
    size_t i = info.expPos + 2 + static_cast<size_t>(info.expDigits);
    quote = 0;
    for (; i < s.size(); ++i) {
        if (!TakeQuoted(s[i], quote, out)) out.push_back(s[i]);
    }
    return out;
}

std::string FormatFixed(const std::string& s, const TSectionInfo& info, TDecimal d) {
    RoundToDecimals(d, info.fracPlaceholders);
    std::string intDigits;
    for (long long i = 0; i < d.exponent; ++i) intDigits.push_back(DigitAt(d, i));
    if (static_cast<int>(intDigits.size()) < info.minInt)
        intDigits.insert(0, static_cast<size_t>(info.minInt) - intDigits.size(), '0');
    std::string fracDigits;
    for (int i = 0; i < info.fracPlaceholders; ++i)
        fracDigits.push_back(DigitAt(d, static_cast<long long>(d.exponent) + i));
    while (static_cast<int>(fracDigits.size()) > info.minFrac && fracDigits.back() == '0')
        fracDigits.pop_back();
    return Emit(s, info, intDigits, fracDigits, std::string());
}

std::string FormatScientific(const std::string& s, const TSectionInfo& info, TDecimal d) {
    const int significant = std::max(1, info.intPlaceholders + info.fracPlaceholders);
    RoundToDigits(d, significant);
    const long long exp10 =
        d.IsZero() ? 0 : static_cast<long long>(d.exponent) - info.intPlaceholders;
    std::string intDigits;
    for (int i = 0; i < info.intPlaceholders; ++i) intDigits.push_back(DigitAt(d, i));
    std::string fracDigits;
    for (int i = 0; i < info.fracPlaceholders; ++i)
        fracDigits.push_back(DigitAt(d, static_cast<long long>(info.intPlaceholders) + i));
    while (static_cast<int>(fracDigits.size()) > info.minFrac && fracDigits.back() == '0')
        fracDigits.pop_back();
    std::string expText(1, s[info.expPos]);
    if (exp10 < 0)
        expText.push_back('-');
    else if (s[info.expPos + 1] == '+')
        expText.push_back('+');
    std::string digits = std::to_string(exp10 < 0 ? -exp10 : exp10);
    if (static_cast<int>(digits.size()) < info.expDigits)
        digits.insert(0, static_cast<size_t>(info.expDigits) - digits.size(), '0');
    expText += digits;
    return Emit(s, info, intDigits, fracDigits, expText);
}

// The general format: 15 significant digits, plain between 1e-5 and 1e15, else scientific.
std::string FormatGeneral(TDecimal d) {
    RoundToDigits(d, kGeneralDigits);
    if (d.IsZero()) return "0";
    std::string out = d.negative ? "-" : "";
    const long long n = static_cast<long long>(d.digits.size());
    if (d.exponent >= -4 && d.exponent <= kGeneralDigits) {
        if (d.exponent <= 0) {
            out += "0.";
            out.append(static_cast<size_t>(-d.exponent), '0');
            out += d.digits;
        } else {
            for (long long i = 0; i < d.exponent; ++i) out.push_back(DigitAt(d, i));
            if (n > d.exponent) out += "." + d.digits.substr(static_cast<size_t>(d.exponent));
        }
        return out;
    }
    out.push_back(d.digits[0]);
    if (n > 1) out += "." + d.digits.substr(1);
    out += "E" + std::to_string(d.exponent - 1);
    return out;
}

// Rounds as the section would, to see whether the number comes out as zero.
bool RoundsToZero(const TSectionInfo& info, TDecimal d) {
    if (info.scientific) return d.IsZero();
    RoundToDecimals(d, info.fracPlaceholders);
    return d.IsZero();
}

}  // namespace

bool ParseDecimal(const std::string& text, TDecimal& out) {
    size_t i = 0, n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    while (n > i && IsBlank(text[n - 1])) --n;
    TDecimal d;
    if (i < n && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
    bool anyDigit = false, point = false;
    long long before = 0;  // digits before the point
    for (; i < n; ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            anyDigit = true;
            d.digits.push_back(c);
            if (!point) ++before;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return false;
    long long exp = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negExp = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) negExp = text[i++] == '-';
        if (i == n) return false;
        for (; i < n; ++i) {
            if (!IsDigit(text[i])) return false;
            if (exp < 1000000) exp = exp * 10 + (text[i] - '0');
        }
        if (negExp) exp = -exp;
    }
    if (i != n) return false;
    // Leading zeros move the exponent; work it out before it is narrowed.
    size_t lead = 0;
    while (lead < d.digits.size() && d.digits[lead] == '0') ++lead;
    const long long exponent = before + exp - static_cast<long long>(lead);
    d.digits.erase(0, lead);
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty() || exponent < kMinExponent) {
        d.digits.clear();
        d.exponent = 0;
    } else if (exponent > kMaxExponent) {
        return false;
    } else {
        d.exponent = static_cast<int>(exponent);
    }
    out = d;
    return true;
}

std::string FormatDecimal(const std::string& pattern, const TDecimal& value) {
    const std::vector<std::string> sections = SplitSections(pattern);
    auto present = [&](size_t k) { return k < sections.size() && !sections[k].empty(); };
    size_t chosen = 0;
    bool sign = false;
    if (value.IsZero()) {
        if (present(2)) chosen = 2;
    } else if (value.negative) {
        if (present(1))
            chosen = 1;
        else
            sign = true;
    }
    if (!present(chosen)) return FormatGeneral(value);
    TDecimal d = value;
    d.negative = false;
    TSectionInfo info = Analyse(sections[chosen]);
    if (chosen != 2 && !d.IsZero() && RoundsToZero(info, d)) {
        // A number that comes out as zero is written as zero, without a sign.
        sign = false;
        if (present(2)) {
            chosen = 2;
            info = Analyse(sections[2]);
            d = TDecimal();
        }
    }
    const std::string body = info.scientific ? FormatScientific(sections[chosen], info, d)
                                             : FormatFixed(sections[chosen], info, d);
    return sign ? "-" + body : body;
}

std::string FormatNumberText(const std::string& text, const std::string& pattern) {
    TDecimal d;
    if (!ParseDecimal(text, d)) return text;
    return FormatDecimal(pattern, d);
}

template <typename T>
T ParsePlainNumber(std::string text, T fallback) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return fallback;
    const size_t last = text.find_last_not_of(" \t\r\n");
    text = text.substr(first, last - first + 1);
    if (text[0] == '+') text.erase(0, 1);
    T v = fallback;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v))
        return fallback;
    return v;
}

template float ParsePlainNumber<float>(std::string text, float fallback);
template double ParsePlainNumber<double>(std::string text, double fallback);

}  // namespace TVostrin
