#include "Functions.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "NumberText.h"

namespace calvorix {

const char kFailure[] = "###";

namespace {

const char kTrue[] = "true";
const char kFalse[] = "false";

// A divisor of this magnitude or less gives 9999999 instead of a division.
constexpr double kSmallestDivisor = 0.0000001;
constexpr double kDivisionByZero = 9999999;

std::string Bool(bool value) {
    return value ? kTrue : kFalse;
}

void RemoveCommas(std::string& text) {
    std::erase(text, ',');
}

// The integer part of a numeric text as atoi reads it; false when it does not fit an int.
bool ReadInt(std::string_view text, int& out) {
    text = TrimLeft(text);
    bool negative = false;
    size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

bool Like(const std::string& text, const std::string& pattern) {
    const std::string_view t(text);
    std::string_view p(pattern);
    const bool front = !p.empty() && p.front() == '*';
    const bool back = !p.empty() && p.back() == '*';
    if (front && back) {
        p.remove_prefix(1);
        if (!p.empty()) p.remove_suffix(1);
        return t.find(p) != std::string_view::npos;
    }
    if (front) return t.ends_with(p.substr(1));
    if (back) return t.starts_with(p.substr(0, p.size() - 1));
    return t == p;
}

std::string Mid(const std::string& text, const std::string& startText,
                const std::string& countText) {
    if (!IsNumeric(startText) || !IsNumeric(countText)) return kFailure;
    int start = 0;
    int count = 0;
    if (!ReadInt(startText, start) || !ReadInt(countText, count)) return kFailure;
    const long long size = static_cast<long long>(text.size());
    if (size < start) return std::string();
    long long from = static_cast<long long>(start) - 1;
    if (from < 0) from = 0;
    long long length = count < 0 ? 0 : count;
    if (from > size) from = size;
    if (length > size - from) length = size - from;
    return text.substr(static_cast<size_t>(from), static_cast<size_t>(length));
}

std::string TwoDigits(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", value);
    return buf;
}

}  // namespace

std::string EvalNullary(Op op) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int year = local.tm_year + 1900;
    const int month = local.tm_mon + 1;
    const int day = local.tm_mday;
    switch (op) {
        case Op::SysYear:
            return FormatInteger(year);
        case Op::SysMonth:
            return TwoDigits(month);
        case Op::SysDay:
            return TwoDigits(day);
        case Op::SysDate:
            return FormatInteger(year) + "-" + TwoDigits(month) + "-" + TwoDigits(day);
        default:
            return kFailure;
    }
}

std::string EvalUnary(Op op, std::string x) {
    switch (op) {
        case Op::Minus:
            return IsNumeric(x) ? FormatNumber(-ReadNumber(x)) : kFailure;
        case Op::Plus:
            return x;
        case Op::Log: {
            if (!IsNumeric(x)) return kFailure;
            const double v = ReadNumber(x);
            return v > 0 ? FormatNumber(std::log(v)) : kFailure;
        }
        case Op::Sqrt: {
            if (!IsNumeric(x)) return kFailure;
            const double v = ReadNumber(x);
            return v >= 0 ? FormatNumber(std::sqrt(v)) : kFailure;
        }
        case Op::Sin:
            return IsNumeric(x) ? FormatNumber(std::sin(ReadNumber(x))) : kFailure;
        case Op::Cos:
            return IsNumeric(x) ? FormatNumber(std::cos(ReadNumber(x))) : kFailure;
        case Op::Tan:
            return IsNumeric(x) ? FormatNumber(std::tan(ReadNumber(x))) : kFailure;
        case Op::Capital:
            RemoveCommas(x);
            return IsNumeric(x) ? FormatCapitalAmount(ReadNumber(x)) : kFailure;
        case Op::AddZero:
            AddLeadingZero(x);
            return x;
        case Op::AddComma:
            RemoveCommas(x);
            if (!IsNumeric(x)) return kFailure;
            AddLeadingZero(x);
            AddThousandsSeparators(x);
            return x;
        case Op::Trim:
            return std::string(Trim(x));
        case Op::LTrim:
            return std::string(TrimLeft(x));
        case Op::RTrim:
            return std::string(TrimRight(x));
        case Op::Len:
            return FormatInteger(static_cast<long long>(x.size()));
        case Op::Cot:
        case Op::Asin:
        case Op::Acos:
        case Op::Atan:
            // Recognised names without a computation of their own: the argument passes through.
            return x;
        default:
            return kFailure;
    }
}

std::string EvalBinary(Op op, const std::string& left, const std::string& right) {
    switch (op) {
        case Op::Plus:
        case Op::Minus:
        case Op::Multiply:
        case Op::Power:
        case Op::Divide: {
            if (!IsNumeric(left) || !IsNumeric(right)) return kFailure;
            const double l = ReadNumber(left);
            const double r = ReadNumber(right);
            switch (op) {
                case Op::Plus:
                    return FormatNumber(l + r);
                case Op::Minus:
                    return FormatNumber(l - r);
                case Op::Multiply:
                    return FormatNumber(l * r);
                case Op::Power:
                    return FormatNumber(std::pow(l, r));
                default:
                    return FormatNumber(std::fabs(r) > kSmallestDivisor ? l / r : kDivisionByZero);
            }
        }
        case Op::Concat:
            return left + right;
        case Op::Equal:
        case Op::EqualEqual:
            return Bool(left == right);
        case Op::NotEqual:
            return Bool(left != right);
        case Op::Greater:
            return Bool(left > right);
        case Op::Less:
            return Bool(left < right);
        case Op::GreaterEqual:
            return Bool(left >= right);
        case Op::LessEqual:
            return Bool(left <= right);
        case Op::Like:
            return Bool(Like(left, right));
        default:
            return kFailure;
    }
}

std::string EvalTernary(Op op, const std::string& a, const std::string& b, const std::string& c) {
    switch (op) {
        case Op::Mid:
            return Mid(a, b, c);
        case Op::Iif:
            return a == kTrue ? b : c;
        default:
            return kFailure;
    }
}

}  // namespace calvorix
