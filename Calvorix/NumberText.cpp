#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace calvorix {

namespace {

// GBK bytes of the numerals and units of a money amount; every character takes two bytes.
constexpr char kDigits[] =
    "\xd2\xbc\xb7\xa1\xc8\xfe\xcb\xc1\xce\xe9\xc2\xbd\xc6\xe2\xb0\xc6\xbe\xc1";  // one to nine
constexpr char kGroupUnits[] = "\xd4\xaa\xcd\xf2\xd2\xda\xcd\xf2";  // yuan, 10^4, 10^8, 10^4
constexpr char kTen[] = "\xca\xb0";
constexpr char kHundred[] = "\xb0\xdb";
constexpr char kThousand[] = "\xc7\xaa";
constexpr char kFen[] = "\xb7\xd6";   // hundredths
constexpr char kJiao[] = "\xbd\xc7";  // tenths
constexpr char kZero[] = "\xc1\xe3";
constexpr char kExact[] = "\xd5\xfb";  // closes an amount without hundredths

// Money amounts from here on run past the unit table.
constexpr double kCapitalLimit = 1e16;

void AppendUnit(std::string& out, int place) {
    if (place % 4 == 0) {
        out.append(kGroupUnits + (place / 4 - 1) * 2, 2);
    } else if (place == 1) {
        out += kFen;
    } else if (place == 2) {
        out += kJiao;
    } else if (place % 4 == 1) {
        out += kTen;
    } else if (place % 4 == 2) {
        out += kHundred;
    } else {
        out += kThousand;
    }
}

}  // namespace

std::string_view TrimLeft(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

std::string_view TrimRight(std::string_view text) {
    size_t n = text.size();
    while (n > 0 && IsBlank(text[n - 1])) --n;
    return text.substr(0, n);
}

bool IsNumeric(std::string_view text) {
    text = Trim(text);
    bool dot = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') continue;
        if (c == '-' && i == 0) continue;
        if (c == '.' && !dot && i + 1 < text.size()) {
            dot = true;
            continue;
        }
        return false;
    }
    return true;
}

double ReadNumber(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty()) return 0.0;
    double value = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large for a double gives an infinity, too small a zero, as strtod answers.
        size_t dot = text.find('.');
        std::string_view whole = text.substr(0, dot);
        bool large = whole.find_first_not_of('0') != std::string_view::npos;
        value = large ? HUGE_VAL : 0.0;
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string FormatNumber(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    if (ec != std::errc()) return "###";
    std::string out(buf, end);
    size_t e = out.find('e');
    if (e != std::string::npos && e + 2 <= out.size()) {
        // The exponent keeps its sign and at least three digits.
        size_t digits = out.size() - (e + 2);
        if (digits < 3) out.insert(e + 2, 3 - digits, '0');
    }
    return out;
}

std::string FormatInteger(long long value) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, end);
}

std::string FormatCapitalAmount(double amount) {
    if (!(amount > 0)) return kZero;
    if (!std::isfinite(amount) || amount >= kCapitalLimit) return "###";
    // An amount below one yuan is read in fen. How many digits are read comes from the rounded
    // text, not from the amount: 0.099999 rounds to 10.00 fen (one jiao), and an amount that
    // rounds to 100 fen is read as yuan.
    bool whole = amount >= 1;
    char buf[64];
    std::to_chars_result written = std::to_chars(
        buf, buf + sizeof buf, whole ? amount : amount * 100, std::chars_format::fixed, 2);
    if (written.ec == std::errc() && !whole &&
        std::string_view(buf, written.ptr - buf).find('.') > 2) {
        whole = true;
        written = std::to_chars(buf, buf + sizeof buf, amount, std::chars_format::fixed, 2);
    }
    if (written.ec != std::errc()) return "###";
    const std::string_view z(buf, written.ptr - buf);
    // Yuan: every byte of the text; fen: the digits before the point (two, or one below ten).
    const int n = static_cast<int>(whole ? z.size() : z.find('.'));

    std::string result;
    std::string_view pendingZero;
    const int count = n;
    for (int place = n; place >= 1;) {
        char c = z[count - place];
        int w = (c >= '0' && c <= '9') ? c - '0' : 0;
        if (w >= 1) {
            result += pendingZero;
            result.append(kDigits + (w - 1) * 2, 2);
            AppendUnit(result, place);
            pendingZero = {};
        } else {
            if (place == 1) {
                result += kExact;
            } else if (place % 4 == 0) {
                AppendUnit(result, place);
            }
            pendingZero = kZero;
        }
        // The decimal point (place 3) is never read.
        place = place == 4 ? 2 : place - 1;
    }
    return result;
}

void AddLeadingZero(std::string& text) {
    if (!IsNumeric(text)) return;
    size_t dot = text.find('.');
    if (dot == 0) {
        text.insert(0, 1, '0');
    } else if (dot == 1 && text[0] == '-') {
        text.insert(1, 1, '0');
    }
}

void AddThousandsSeparators(std::string& text) {
    // White space around the number stays around it: only the number's own digits are grouped.
    const std::string_view all(text);
    const std::string_view padding = all.substr(0, all.size() - TrimLeft(all).size());
    std::string_view rest = Trim(all);
    const std::string_view trailing = all.substr(padding.size() + rest.size());
    std::string out(padding);
    out.reserve(text.size() + text.size() / 3 + 1);
    if (!rest.empty() && rest.front() == '-') {
        out += '-';
        rest.remove_prefix(1);
    }
    size_t dot = rest.find('.');
    std::string_view digits = rest.substr(0, dot);
    std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : rest.substr(dot);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    out += fraction;
    out += trailing;
    text = std::move(out);
}

}  // namespace calvorix
