// One parsed expression and its evaluation. Parsing scans the text twice (operators, then the
// operands left between them); evaluation reduces the operators by the priorities the lexer gave
// them, in a loop over explicit stacks, so that long expressions need no deep call stack.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Tokens.h"

namespace calvorix {

class ExpressionEvaluator {
  public:
    ExpressionEvaluator() = default;
    explicit ExpressionEvaluator(const char* expression);

    // A null expression changes nothing; any other replaces the expression and parses it.
    void SetExpression(const char* expression);

    // The distinct variables in the order of their first appearance.
    const std::vector<OperandToken>& Variables() const { return variables_; }
    const std::vector<OperatorToken>& Operators() const { return operators_; }
    const std::vector<OperandToken>& Operands() const { return operands_; }

    // The value of the expression; values[i] belongs to Variables()[i]. "###" when there are fewer
    // values than variables or when the expression cannot be reduced to one operand.
    std::string Evaluate(const std::vector<std::string>& values);

  private:
    bool Parse();
    std::string Reduce(std::vector<std::uint32_t>& operatorStack,
                       std::vector<std::string>& operandStack);

    std::string expression_;
    std::vector<OperatorToken> operators_;
    std::vector<OperandToken> operands_;
    std::vector<OperandToken> variables_;
    // Operands that a comma set aside for a function, each with that comma's priority.
    std::vector<std::uint16_t> pendingPriorities_;
    std::vector<std::string> pendingOperands_;
};

}  // namespace calvorix
