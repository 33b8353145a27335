#include "PrintElement/PrintUnits.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace TVostrin {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

int ClampDots(long long dots) {
    return static_cast<int>(std::clamp<long long>(dots, -kMaxDots, kMaxDots));
}

int StrToIntDef(const std::string& text, int def) {
    size_t i = 0, n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    while (n > i && IsBlank(text[n - 1])) --n;
    if (i == n) return def;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    if (i == n) return def;
    long long v = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return def;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL) return def;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max()) return def;
    return static_cast<int>(v);
}

int PosToDots(int value, int offset, int dpi) {
    const long long product = (static_cast<long long>(value) - offset) * dpi;
    return ClampDots(product / 254);  // integer division truncates toward zero
}

int SizeToDots(int value, int dpi) {
    return PosToDots(value, 0, dpi);
}

long long DotsToPos(int dots, int dpi, int offset) {
    if (dpi <= 0) return offset;
    return static_cast<long long>(std::trunc(static_cast<double>(dots) / dpi * 254.0)) + offset;
}

}  // namespace TVostrin
