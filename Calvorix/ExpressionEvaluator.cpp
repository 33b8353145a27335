#include "ExpressionEvaluator.h"

#include "Functions.h"
#include "Lexer.h"

namespace calvorix {

ExpressionEvaluator::ExpressionEvaluator(const char* expression) {
    SetExpression(expression);
}

void ExpressionEvaluator::SetExpression(const char* expression) {
    if (expression == nullptr) return;
    expression_ = expression;
    operators_.clear();
    operands_.clear();
    variables_.clear();
    Parse();
}

bool ExpressionEvaluator::Parse() {
    std::string marked = expression_;
    ScanOperators(marked, operators_);
    if (!ScanOperands(marked, operands_)) {
        operators_.clear();
        operands_.clear();
        return false;
    }
    for (const OperandToken& operand : operands_) {
        if (operand.kind != OperandKind::Variable) continue;
        bool known = false;
        for (const OperandToken& variable : variables_) {
            if (SameOperand(variable, operand)) {
                known = true;
                break;
            }
        }
        if (!known) variables_.push_back(operand);
    }
    return true;
}

std::string ExpressionEvaluator::Evaluate(const std::vector<std::string>& values) {
    if (values.size() < variables_.size()) return kFailure;
    // Both stacks have the leftmost token on top (at the back).
    std::vector<std::uint32_t> operatorStack;
    operatorStack.reserve(operators_.size());
    for (size_t i = operators_.size(); i-- > 0;)
        operatorStack.push_back(static_cast<std::uint32_t>(i));
    std::vector<std::string> operandStack;
    operandStack.reserve(operands_.size());
    for (size_t i = operands_.size(); i-- > 0;) {
        const OperandToken& operand = operands_[i];
        size_t v = 0;
        if (operand.kind == OperandKind::Variable) {
            while (v < variables_.size() && !SameOperand(variables_[v], operand)) ++v;
        } else {
            v = variables_.size();
        }
        operandStack.push_back(v < variables_.size() ? values[v] : operand.text);
    }
    pendingPriorities_.clear();
    pendingOperands_.clear();
    return Reduce(operatorStack, operandStack);
}

// Each step takes the leftmost operator whose right neighbour does not rank above it, applies it,
// and starts again from the left. Operators passed over wait on the holding stacks (an operator
// taking two operands waits with its left one). Walking again from the left would pass over the
// same waiting operators in the same way, so the next step resumes at the last waiting one instead;
// only when a waiting two-operand operator found no operand to take along does the next step start
// afresh, since an operand pushed meanwhile would now be taken.
std::string ExpressionEvaluator::Reduce(std::vector<std::uint32_t>& operatorStack,
                                        std::vector<std::string>& operandStack) {
    struct Waiting {
        std::uint32_t index;
        bool tookOperand;
    };
    std::vector<Waiting> holding;
    std::vector<std::string> holdingOperands;
    size_t waitingWithoutOperand = 0;

    for (;;) {
        if (holding.empty() && operatorStack.empty()) {
            return operandStack.size() == 1 ? std::move(operandStack.back()) : kFailure;
        }
        std::uint32_t current;
        if (!holding.empty()) {
            const Waiting last = holding.back();
            holding.pop_back();
            current = last.index;
            if (last.tookOperand) {
                operandStack.push_back(std::move(holdingOperands.back()));
                holdingOperands.pop_back();
            }
        } else {
            current = operatorStack.back();
            operatorStack.pop_back();
        }
        while (!operatorStack.empty() &&
               operators_[operatorStack.back()].priority > operators_[current].priority) {
            bool took = false;
            if (operators_[current].arity == 2) {
                if (!operandStack.empty()) {
                    holdingOperands.push_back(std::move(operandStack.back()));
                    operandStack.pop_back();
                    took = true;
                } else {
                    ++waitingWithoutOperand;
                }
            }
            holding.push_back({current, took});
            current = operatorStack.back();
            operatorStack.pop_back();
            if (operators_[current].op == Op::Comma) break;
        }

        const OperatorToken& token = operators_[current];
        if (token.op == Op::Comma) {
            if (!operandStack.empty()) {
                pendingOperands_.push_back(std::move(operandStack.back()));
                operandStack.pop_back();
                pendingPriorities_.push_back(token.priority);
            }
        } else {
            // A function gets back the arguments its commas set aside, in their order.
            while (!pendingOperands_.empty() && pendingPriorities_.back() > token.priority) {
                operandStack.push_back(std::move(pendingOperands_.back()));
                pendingOperands_.pop_back();
                pendingPriorities_.pop_back();
            }
            switch (token.arity) {
                case 0:
                    operandStack.push_back(EvalNullary(token.op));
                    break;
                case 1:
                    if (operandStack.empty()) return kFailure;
                    operandStack.back() = EvalUnary(token.op, std::move(operandStack.back()));
                    break;
                case 2: {
                    if (operandStack.size() < 2) return kFailure;
                    std::string left = std::move(operandStack.back());
                    operandStack.pop_back();
                    operandStack.back() = EvalBinary(token.op, left, operandStack.back());
                    break;
                }
                default: {
                    if (operandStack.size() < 3) return kFailure;
                    std::string a = std::move(operandStack.back());
                    operandStack.pop_back();
                    std::string b = std::move(operandStack.back());
                    operandStack.pop_back();
                    operandStack.back() = EvalTernary(token.op, a, b, operandStack.back());
                    break;
                }
            }
        }

        if (waitingWithoutOperand > 0) {
            // Put everything back and walk again from the left.
            while (!holding.empty()) {
                operatorStack.push_back(holding.back().index);
                holding.pop_back();
            }
            while (!holdingOperands.empty()) {
                operandStack.push_back(std::move(holdingOperands.back()));
                holdingOperands.pop_back();
            }
            waitingWithoutOperand = 0;
        }
    }
}

}  // namespace calvorix
