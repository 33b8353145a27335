// The tokens of a parsed expression: operators (with functions and commas) and operands.
#pragma once

#include <cstdint>
#include <string>

namespace calvorix {

// Every operator, function and separator of the language. The order is that in which the lexer
// tries the named ones (after the single-byte arithmetic operators).
enum class Op : std::uint8_t {
    None,
    Plus,
    Minus,
    Concat,
    Multiply,
    Divide,
    Power,
    Sqrt,
    Log,
    Sin,
    Cos,
    Tan,
    Cot,
    Asin,
    Acos,
    Atan,
    Mid,
    Capital,
    AddZero,
    AddComma,
    Iif,
    EqualEqual,
    GreaterEqual,
    LessEqual,
    NotEqual,
    Equal,
    Greater,
    Less,
    Like,
    SysYear,
    SysMonth,
    SysDay,
    SysDate,
    Comma,
    Trim,
    LTrim,
    RTrim,
    Len,
};

struct OperatorToken {
    Op op = Op::None;
    // 6 x parenthesis depth + base priority, kept in 16 bits and compared without sign.
    std::uint16_t priority = 0;
    // Number of operands taken: 0 to 3.
    std::int16_t arity = 2;
    // Byte index of the token's first byte in the expression.
    std::uint16_t position = 0;
};

enum class OperandKind : std::int32_t { Variable = 0, Constant = 1 };

struct OperandToken {
    // The operand's text; a variable's name, replaced by its value for evaluation.
    std::string text;
    OperandKind kind = OperandKind::Variable;
    std::uint16_t position = 0;
};

inline bool SameOperand(const OperandToken& a, const OperandToken& b) {
    return a.kind == b.kind && a.text == b.text;
}

}  // namespace calvorix
