#include "Lexer.h"

#include <cstring>

namespace calvorix {

namespace {

struct NamedOperator {
    std::string_view name;
    Op op;
    std::uint16_t basePriority;
    std::int16_t arity;
};

// Tried in this order at every byte outside string literals; the two-byte comparisons come before
// their one-byte prefixes.
constexpr NamedOperator kNamedOperators[] = {
    {"sqrt", Op::Sqrt, 3, 1},
    {"log", Op::Log, 3, 1},
    {"sin", Op::Sin, 3, 1},
    {"cos", Op::Cos, 3, 1},
    {"tan", Op::Tan, 3, 1},
    {"cot", Op::Cot, 3, 1},
    {"asin", Op::Asin, 3, 1},
    {"acos", Op::Acos, 3, 1},
    {"atan", Op::Atan, 3, 1},
    {"mid", Op::Mid, 3, 3},
    {"capital", Op::Capital, 3, 1},
    {"addzero", Op::AddZero, 3, 1},
    {"addcomma", Op::AddComma, 3, 1},
    {"iif", Op::Iif, 3, 3},
    {"==", Op::EqualEqual, 0, 2},
    {">=", Op::GreaterEqual, 0, 2},
    {"<=", Op::LessEqual, 0, 2},
    {"!=", Op::NotEqual, 0, 2},
    {"=", Op::Equal, 0, 2},
    {">", Op::Greater, 0, 2},
    {"<", Op::Less, 0, 2},
    {"like", Op::Like, 0, 2},
    {"sysyear", Op::SysYear, 3, 0},
    {"sysmonth", Op::SysMonth, 3, 0},
    {"sysday", Op::SysDay, 3, 0},
    {"sysdate", Op::SysDate, 3, 0},
    {",", Op::Comma, 0, 0},
    {"trim", Op::Trim, 3, 1},
    {"ltrim", Op::LTrim, 3, 1},
    {"rtrim", Op::RTrim, 3, 1},
    {"len", Op::Len, 3, 1},
};

constexpr size_t kNamedCount = sizeof(kNamedOperators) / sizeof(kNamedOperators[0]);
constexpr size_t kMaxPerByte = 8;

// For each byte, the indexes of the named operators that begin with it, in table order.
struct FirstByteIndex {
    unsigned char count[256] = {};
    unsigned char entries[256][kMaxPerByte] = {};
};

constexpr FirstByteIndex BuildFirstByteIndex() {
    FirstByteIndex index;
    for (size_t i = 0; i < kNamedCount; ++i) {
        const auto first = static_cast<unsigned char>(kNamedOperators[i].name.front());
        index.entries[first][index.count[first]++] = static_cast<unsigned char>(i);
    }
    return index;
}

constexpr FirstByteIndex kFirstByteIndex = BuildFirstByteIndex();

bool IsOperandEnd(char c) {
    return c == '#' || c == '@' || c == ',';
}

}  // namespace

void ScanOperators(std::string& marked, std::vector<OperatorToken>& operators) {
    const size_t size = marked.size();
    int depth = 0;
    bool inString = false;
    size_t i = 0;
    auto add = [&](Op op, int basePriority, int arity, size_t length) {
        OperatorToken token;
        token.op = op;
        token.priority = static_cast<std::uint16_t>(depth + basePriority);
        token.arity = static_cast<std::int16_t>(arity);
        token.position = static_cast<std::uint16_t>(i);
        operators.push_back(token);
        std::memset(&marked[i], '@', length);
        i += length;
    };
    while (i < size) {
        const char c = marked[i];
        if (inString) {
            if (c == '"') {
                if (i + 1 < size && marked[i + 1] == '"') {
                    i += 2;  // an escaped quote inside the literal
                    continue;
                }
                inString = false;  // the byte after the closing quote is examined next
            }
            ++i;
            continue;
        }
        switch (c) {
            case '"':
                inString = true;
                ++i;
                continue;
            case '(':
                depth += 6;
                marked[i++] = '#';
                continue;
            case ')':
                depth -= 6;
                marked[i++] = '@';
                continue;
            case '+':
            case '-': {
                const int arity = (i == 0 || marked[i - 1] == '#') ? 1 : 2;
                add(c == '+' ? Op::Plus : Op::Minus, 0, arity, 1);
                continue;
            }
            case '&':
                add(Op::Concat, 0, 2, 1);
                continue;
            case '*':
                add(Op::Multiply, 1, 2, 1);
                continue;
            case '/':
                add(Op::Divide, 1, 2, 1);
                continue;
            case '^':
                add(Op::Power, 2, 2, 1);
                continue;
            default:
                break;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (kFirstByteIndex.count[byte] > 0) {
            const std::string_view rest = std::string_view(marked).substr(i);
            bool found = false;
            for (size_t k = 0; k < kFirstByteIndex.count[byte]; ++k) {
                const NamedOperator& named = kNamedOperators[kFirstByteIndex.entries[byte][k]];
                if (rest.starts_with(named.name)) {
                    add(named.op, named.basePriority, named.arity, named.name.size());
                    found = true;
                    break;
                }
            }
            if (found) continue;
        }
        if (c == ' ' || c == '\t') marked[i] = '@';
        ++i;
    }
}

bool ScanOperands(std::string_view marked, std::vector<OperandToken>& operands) {
    const size_t size = marked.size();
    size_t i = 0;
    while (i < size) {
        const char c = marked[i];
        if (c == '#' || c == '@' || c == ',' || c == ']') {
            ++i;
            continue;
        }
        OperandToken token;
        if (c >= '0' && c <= '9') {
            const size_t start = i;
            bool dot = false;
            while (i < size && !IsOperandEnd(marked[i])) {
                const char d = marked[i];
                if (d == '.') {
                    if (dot) return false;
                    dot = true;
                } else if (d < '0' || d > '9') {
                    return false;
                }
                ++i;
            }
            token.text.assign(marked.substr(start, i - start));
            token.kind = OperandKind::Constant;
            token.position = static_cast<std::uint16_t>(start);
        } else if (c == '"') {
            ++i;
            token.position = static_cast<std::uint16_t>(i);
            token.kind = OperandKind::Constant;
            while (i < size) {
                if (marked[i] == '"') {
                    if (i + 1 < size && marked[i + 1] == '"') {
                        token.text += '"';
                        i += 2;
                        continue;
                    }
                    ++i;  // the closing quote
                    break;
                }
                token.text += marked[i++];
            }
        } else if (c == '[') {
            ++i;
            const size_t start = i;
            while (i < size && marked[i] != ']') ++i;
            token.text.assign(marked.substr(start, i - start));
            token.position = static_cast<std::uint16_t>(start);
            if (i < size) ++i;  // the closing bracket
        } else {
            const size_t start = i;
            while (i < size) {
                const char d = marked[i];
                if (d == '"' || d == '#' || d == ',' || d == '@' || d == ']') break;
                ++i;
            }
            token.text.assign(marked.substr(start, i - start));
            token.position = static_cast<std::uint16_t>(start);
        }
        operands.push_back(std::move(token));
    }
    return true;
}

}  // namespace calvorix
