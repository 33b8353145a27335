// The operations of the expression language on texts: arithmetic, comparison, joining, the text
// and money functions and the date functions. Every operand and result is a text; an operation
// that cannot be carried out gives "###".
#pragma once

#include <string>

#include "Tokens.h"

namespace calvorix {

extern const char kFailure[];  // "###"

std::string EvalNullary(Op op);
std::string EvalUnary(Op op, std::string x);
std::string EvalBinary(Op op, const std::string& left, const std::string& right);
std::string EvalTernary(Op op, const std::string& a, const std::string& b, const std::string& c);

}  // namespace calvorix
