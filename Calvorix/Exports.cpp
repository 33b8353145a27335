// The library's C interface. Each call parses the expression afresh and keeps nothing; no
// exception leaves a call, and nothing is written past the caller's result buffer.
#include <cstring>
#include <string>
#include <vector>

#include "Calvorix.h"
#include "ExpressionEvaluator.h"
#include "Functions.h"

namespace calvorix {
namespace {

constexpr char kValueSeparator = '\x05';

// Splits the value list at each 0x05 byte; a null or empty list is one empty value.
std::vector<std::string> SplitValues(const char* values) {
    std::vector<std::string> out;
    if (values == nullptr || *values == '\0') {
        out.emplace_back();
        return out;
    }
    const char* start = values;
    for (;;) {
        const char* separator = std::strchr(start, kValueSeparator);
        if (separator == nullptr) {
            out.emplace_back(start);
            return out;
        }
        out.emplace_back(start, separator);
        start = separator + 1;
    }
}

std::string VariableList(const ExpressionEvaluator& evaluator) {
    std::string list;
    const std::vector<OperandToken>& variables = evaluator.Variables();
    for (size_t i = 0; i < variables.size(); ++i) {
        if (i > 0) list += ',';
        list += variables[i].text;
    }
    return list;
}

// The length of the variable list without building it.
size_t VariableListLength(const ExpressionEvaluator& evaluator) {
    const std::vector<OperandToken>& variables = evaluator.Variables();
    size_t length = variables.empty() ? 0 : variables.size() - 1;
    for (const OperandToken& variable : variables) length += variable.text.size();
    return length;
}

// Copies the text with its zero byte when both fit the buffer; otherwise writes `tooLong`.
void WriteResult(char* result, const std::string& text, const char* tooLong) {
    if (text.size() < CALVORIX_RESULT_SIZE) {
        std::memcpy(result, text.c_str(), text.size() + 1);
    } else {
        // tooLong is one of the short constant answers, far below the buffer size.
        std::strcpy(result, tooLong);  // NOLINT(clang-analyzer-security.insecureAPI.strcpy)
    }
}

}  // namespace
}  // namespace calvorix

extern "C" int MyGetVariantTable(const char* expression, char* result) {
    using namespace calvorix;
    if (result == nullptr) return 0;
    try {
        ExpressionEvaluator evaluator(expression);
        WriteResult(result, VariableList(evaluator), "");
    } catch (...) {
        result[0] = '\0';
    }
    return 0;
}

extern "C" int MyParser(const char* expression, const char* values, char* result) {
    using namespace calvorix;
    if (result == nullptr) return 0;
    try {
        if (expression == nullptr) {
            // NOLINTNEXTLINE(clang-analyzer-security.insecureAPI.strcpy): short constant
            std::strcpy(result, kFailure);
            return 0;
        }
        ExpressionEvaluator evaluator(expression);
        std::string value;
        if (VariableListLength(evaluator) >= CALVORIX_RESULT_SIZE) {
            // The caller cannot have listed these variables, so it cannot have their values.
            value = kFailure;
        } else if (evaluator.Variables().empty()) {
            value = evaluator.Evaluate({});
        } else {
            value = evaluator.Evaluate(SplitValues(values));
        }
        WriteResult(result, value, kFailure);
    } catch (...) {
        // NOLINTNEXTLINE(clang-analyzer-security.insecureAPI.strcpy): short constant
        std::strcpy(result, kFailure);
    }
    return 0;
}
