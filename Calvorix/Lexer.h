// The two scans that turn an expression into operator and operand tokens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Tokens.h"

namespace calvorix {

// Finds operators, functions, commas and parentheses in text order and overwrites them in the
// marked copy: '(' with '#', everything else it consumes (also blanks outside string literals)
// with '@'. Function names are found anywhere outside string literals, also inside names.
void ScanOperators(std::string& marked, std::vector<OperatorToken>& operators);

// Reads the operands out of a marked copy, in text order. False when a number is malformed
// (a second '.', or a byte other than a digit or '.').
bool ScanOperands(std::string_view marked, std::vector<OperandToken>& operands);

}  // namespace calvorix
