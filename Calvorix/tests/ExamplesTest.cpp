// The documented behaviour of the expression language, one row per example, through the
// library loaded by name.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "CalvorixLibraryTestSupport.h"
#include "ExpressionEvaluator.h"
#include "Functions.h"
#include "GbkTestSupport.h"

namespace {

using calvorix_test::CalvorixLibrary;
using calvorix_test::Gbk;

// Texts are written in UTF-8 and passed to the library in GBK.
struct Example {
    const char* expression;
    const char* values;  // '|' separates values; nullptr passes a null list
    const char* expected;
};

void PrintTo(const Example& e, std::ostream* os) {
    *os << e.expression << " with " << (e.values ? e.values : "(null)");
}

class ExpressionExamplesTest : public ::testing::TestWithParam<Example> {
  protected:
    static void SetUpTestSuite() { library_ = new CalvorixLibrary(); }
    static void TearDownTestSuite() {
        delete library_;
        library_ = nullptr;
    }
    static CalvorixLibrary* library_;
};

CalvorixLibrary* ExpressionExamplesTest::library_ = nullptr;

TEST_P(ExpressionExamplesTest, GivesDocumentedResult) {
    ASSERT_TRUE(library_->Loaded());
    const Example& e = GetParam();
    const std::string values = e.values != nullptr ? Gbk(e.values) : std::string();
    EXPECT_EQ(
        library_->Parse(Gbk(e.expression).c_str(), e.values != nullptr ? values.c_str() : nullptr),
        Gbk(e.expected));
}

const Example kOperators[] = {
    {"10-3-2", nullptr, "5"},
    {"2^3^2", nullptr, "64"},
    {"8/2/2", nullptr, "2"},
    {"1+2*3", nullptr, "7"},
    {"(1+2)*3", nullptr, "9"},
    {"2*(3+4)*5", nullptr, "70"},
    {"-2^2", nullptr, "-4"},
    {"-(2+3)", nullptr, "-5"},
    {"+[a]", "05", "05"},
    {"2*-3", nullptr, "###"},
    {"2+-3", nullptr, "###"},
    {"--3", nullptr, "###"},
    {"( -3)", nullptr, "###"},
    {"[a]+[b]*[a]", "2|3", "8"},
    {"1/0", nullptr, "1e+007"},
    {"1/3", nullptr, "0.333333"},
    {"1000*1000", nullptr, "1e+006"},
    {"1234567+0", nullptr, "1.23457e+006"},
    {"0.000012345*1", nullptr, "1.2345e-005"},
    {"sqrt(2)*sqrt(2)", nullptr, "1.99999"},
    {"1/3*3", nullptr, "0.999999"},
    {"[a]*[b]", "|", "0"},
    {"[a]&[b]", "|", ""},
    {"-[a]", "", "-0"},
    {"sqrt(-1)", nullptr, "###"},
    {"log(0)", nullptr, "###"},
    {"sqrt(16)", nullptr, "4"},
    {"2^10", nullptr, "1024"},
    {"10^(-1)", nullptr, "0.1"},
    {"10^-1", nullptr, "###"},
    {"(1,2)", nullptr, "2"},
    {"((1+2)", nullptr, "3"},
    {"1)+2*3", nullptr, "7"},
    {"\"a\"&1+1", nullptr, "###"},
    {"\"a\"&(1+1)", nullptr, "a2"},
    {"atan(1)", nullptr, "1"},
    {"[x]+1", "abc", "###"},
    {"([x]+1)&\"!\"", "abc", "###!"},
    {"iif(1==1,\"y\",[x]+1)", "abc", "y"},
};
INSTANTIATE_TEST_SUITE_P(Operators, ExpressionExamplesTest, ::testing::ValuesIn(kOperators));

const Example kComparisons[] = {
    {"1+1==2", nullptr, "true"},
    {"2==1+1", nullptr, "###"},
    {"2==(1+1)", nullptr, "true"},
    {"10>9", nullptr, "false"},
    {"2!=3", nullptr, "true"},
    {"\"ab\"<\"abc\"", nullptr, "true"},
    {"\"b\"<=\"b\"", nullptr, "true"},
    {"\"张\">\"z\"", nullptr, "true"},
    {"iif([a]>=60,[b],[c])", "100|pass|fail", "fail"},
    {"iif([a]>=60,[b],[c])", "70|pass|fail", "pass"},
    {"[a]>[b]", "b|a", "true"},
    {"[a]=[b]", "x|x", "true"},
    {"[a] like \"张*\"", "张三", "true"},
    {"[a] like \"*三\"", "张三", "true"},
    {"[a] like \"*张三*\"", "张三", "true"},
    {"[a] like \"*\"", "张三", "true"},
    {"[a] like \"张三\"", "张三", "true"},
    {"[a] like \"三*\"", "张三", "false"},
    {"[a] like \"a*c\"", "abc", "false"},
    {"[a] like \"a*c\"", "a*c", "true"},
};
INSTANTIATE_TEST_SUITE_P(Comparisons, ExpressionExamplesTest, ::testing::ValuesIn(kComparisons));

const Example kTextFunctions[] = {
    {"mid([a],2,3)", "abcdef", "bcd"},
    {"mid([a],0,2)", "abcdef", "ab"},
    {"mid([a],[s],[c])", "abcdef|-2|3", "abc"},
    {"mid([a],6,5)", "abcdef", "f"},
    {"mid([a],7,2)", "abcdef", ""},
    {"mid([a],[s],[c])", "abcdef|2|-1", ""},
    {"mid([a],[s],[c])", "abcdef|99999999999|1", "###"},
    {"mid([a],[s],[c])", "abcdef|-99999999999|1", "###"},
    {"mid([a],[s],[c])", "abcdef|1|2147483648", "###"},
    {"mid([a],[s],[c])", "abcdef|1|2147483647", "abcdef"},
    {"mid([a],[s],[c])", "abcdef|-2147483648|2", "ab"},
    {"mid([a],2.9,2.9)", "abcdef", "bc"},
    {"mid([a],1+1,len([a])-3)", "abcdef", "bcd"},
    {"mid([a],\"x\",1)", "abcdef", "###"},
    {"len([a])", "张三", "4"},
    {"len([a])", "", "0"},
    {"trim([a])&\"|\"", " \tab \r\n", "ab|"},
    {"ltrim([a])&\"|\"", "  ab  ", "ab  |"},
    {"rtrim([a])&\"|\"", "  ab  ", "  ab|"},
    {"[a]&[b]", "x|y|z", "xy"},
    {"[a]", "", ""},
    {"\"say \"\"hi\"\"\"", nullptr, "say \"hi\""},
    {"\"open", nullptr, "open"},
    {"\"a(b)+c\"", nullptr, "a(b)+c"},
};
INSTANTIATE_TEST_SUITE_P(TextFunctions, ExpressionExamplesTest,
                         ::testing::ValuesIn(kTextFunctions));

// Numbers as texts: what counts as a number, the money amount in capitals, leading zeros and
// thousands separators.
const Example kNumberTexts[] = {
    {"[a]+0", " 12 ", "12"},
    {"[a]+0", "-", "0"},
    {"[a]+0", "", "0"},
    {"[a]+0", ".5", "0.5"},
    {"[a]+0", "-.5", "-0.5"},
    {"[a]+0", "007", "7"},
    {"[a]+0", "5.", "###"},
    {"[a]+0", "1.2.3", "###"},
    {"[a]+0", "+5", "###"},
    {"[a]+0", "1e5", "###"},
    {"[a]+0", "1,234", "###"},
    {"[a]+0", "abc", "###"},
    {"capital(1234.56)", nullptr, "壹仟贰佰叁拾肆元伍角陆分"},
    {"capital(1000)", nullptr, "壹仟元整"},
    {"capital(1)", nullptr, "壹元整"},
    {"capital(1001.5)", nullptr, "壹仟零壹元伍角整"},
    {"capital(10.05)", nullptr, "壹拾元零伍分"},
    {"capital(20.5)", nullptr, "贰拾元零伍角整"},
    {"capital(100000)", nullptr, "壹拾万元整"},
    {"capital(2000000.07)", nullptr, "贰佰万元零柒分"},
    {"capital(123456789012.34)", nullptr, "壹仟贰佰叁拾肆亿伍仟陆佰柒拾捌万玖仟零壹拾贰元叁角肆分"},
    {"capital(100000000)", nullptr, "壹亿万元整"},
    {"capital(0.56)", nullptr, "伍角陆分"},
    {"capital(0.5)", nullptr, "伍角整"},
    {"capital(0.1)", nullptr, "壹角整"},
    {"capital(0.05)", nullptr, "伍分"},
    {"capital(0.995)", nullptr, "玖角玖分"},
    {"capital(0.005)", nullptr, "整"},
    {"capital(0)", nullptr, "零"},
    {"capital(-5)", nullptr, "零"},
    {"capital(1/3*3)", nullptr, "壹元整"},
    {"capital(0.999999)", nullptr, "壹元整"},
    {"capital(0.099999)", nullptr, "壹角整"},
    {"capital([a])", "1,234", "壹仟贰佰叁拾肆元整"},
    {"capital([a])", "12x", "###"},
    {"capital(1234567890123456)", nullptr,
     "壹仟贰佰叁拾肆万伍仟陆佰柒拾捌亿玖仟零壹拾贰万叁仟肆佰伍拾陆元整"},
    {"capital(10000000000000000)", nullptr, "###"},
    {"capital(99999999999999999999)", nullptr, "###"},
    {"capital([a])",
     "999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
     "999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
     "999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
     "9999999999999999999999999999999999",
     "###"},
    {"capital([a])",
     "-99999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
     "999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
     "999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
     "99999999999999999999999999999999999",
     "零"},
    {"addzero([a])", ".5", "0.5"},
    {"addzero([a])", "-.5", "-0.5"},
    {"addzero([a])", "12.5", "12.5"},
    {"addzero([a])", "-1.5", "-1.5"},
    {"addzero([a])", "5", "5"},
    {"addzero([a])", "", ""},
    {"addzero([a])", ".x", ".x"},
    {"addzero([a])", " .5", " .5"},
    {"addcomma([a])", "1234567.891", "1,234,567.891"},
    {"addcomma([a])", "-1234.5", "-1,234.5"},
    {"addcomma([a])", "123", "123"},
    {"addcomma([a])", "1000000", "1,000,000"},
    {"addcomma([a])", "", ""},
    {"addcomma([a])", "1,234", "1,234"},
    {"addcomma([a])", ".5", "0.5"},
    {"addcomma([a])", "abc", "###"},
    {"addcomma([a])", "1234 ", "1,234 "},
    {"addcomma([a])", "   1234.5", "   1,234.5"},
    {"addcomma([a])", "\t-1234567\r\n", "\t-1,234,567\r\n"},
    {"addcomma([a])", " .5", " .5"},
    {"addcomma(1000*1000)", nullptr, "###"},
};
INSTANTIATE_TEST_SUITE_P(NumberTexts, ExpressionExamplesTest, ::testing::ValuesIn(kNumberTexts));

// The quirks of the scanner: function names inside names, marked bytes inside brackets, and
// two-byte characters whose second byte is an operator.
const Example kScanner[] = {
    {"cost*2", "0", "2"},    {"[a-b]", "7", "###"},     {"[a b]", "7", "7"},
    {".5+1", "2", "3"},      {"12abc", nullptr, "###"}, {"1.2.3", nullptr, "###"},
    {"1e5", nullptr, "###"}, {"2[a]", "1", "###"},      {"sum(1)", "9", "###"},
    {"", nullptr, "###"},    {"1+1", nullptr, "2"},     {"1 + 1", nullptr, "2"},
    {"[a]+[b]", "1|2", "3"}, {"[a]+[b]", "1", "###"},   {"[a]+[b]", nullptr, "###"},
};
INSTANTIATE_TEST_SUITE_P(Scanner, ExpressionExamplesTest, ::testing::ValuesIn(kScanner));

// A cut by bytes may split a two-byte character.
TEST(TextFunctions, MidCutsByBytes) {
    CalvorixLibrary library;
    ASSERT_TRUE(library.Loaded());
    EXPECT_EQ(library.Parse("mid([a],1,1)", Gbk("张三").c_str()), Gbk("张三").substr(0, 1));
    EXPECT_EQ(library.Parse("mid([a],2,2)", Gbk("张三").c_str()), Gbk("张三").substr(1, 2));
}

// The date functions read the local clock at each call.
TEST(DateFunctions, FollowTheLocalDate) {
    CalvorixLibrary library;
    ASSERT_TRUE(library.Loaded());
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char date[32];
        std::strftime(date, sizeof date, "%Y-%m-%d", &local);
        char monthDay[8];
        std::strftime(monthDay, sizeof monthDay, "%m%d", &local);
        const std::string sysdate = library.Parse("sysdate");
        const std::string md = library.Parse("sysmonth&sysday");
        const std::string year = library.Parse("sysyear");
        if (sysdate != date) continue;  // the day changed during the test
        EXPECT_EQ(md, monthDay);
        EXPECT_EQ(year, std::to_string(local.tm_year + 1900));
        EXPECT_EQ(library.Parse("sysyear+1"), std::to_string(local.tm_year + 1901));
        return;
    }
    FAIL() << "sysdate never matched the local date";
}

// The reduction written out as documented, step by step: take the leftmost operator; while the
// next one ranks above it, set it aside (with its left operand when it takes two) and take the
// next, stopping at a comma; a comma sets its operand aside for a function, any other operator
// takes back what commas of higher priority set aside and is applied; then everything set aside
// goes back and the walk starts again from the left.
std::string ReduceAsDocumented(const calvorix::ExpressionEvaluator& parsed,
                               const std::vector<std::string>& values) {
    using calvorix::OperatorToken;
    if (values.size() < parsed.Variables().size()) return calvorix::kFailure;
    // Stacks with the leftmost token on top (at the back).
    std::vector<OperatorToken> operators(parsed.Operators().rbegin(), parsed.Operators().rend());
    std::vector<std::string> operands;
    for (auto it = parsed.Operands().rbegin(); it != parsed.Operands().rend(); ++it) {
        std::string text = it->text;
        for (size_t v = 0; v < parsed.Variables().size(); ++v) {
            if (calvorix::SameOperand(parsed.Variables()[v], *it)) {
                text = values[v];
                break;
            }
        }
        operands.push_back(text);
    }
    std::vector<std::string> pendingOperands;
    std::vector<std::uint16_t> pendingPriorities;
    auto pop = [](auto& stack) {
        auto top = stack.back();
        stack.pop_back();
        return top;
    };
    for (;;) {
        if (operators.empty()) return operands.size() == 1 ? operands.back() : calvorix::kFailure;
        std::vector<OperatorToken> heldOperators;
        std::vector<std::string> heldOperands;
        OperatorToken current = pop(operators);
        while (!operators.empty() && operators.back().priority > current.priority) {
            heldOperators.push_back(current);
            if (current.arity == 2 && !operands.empty()) heldOperands.push_back(pop(operands));
            current = pop(operators);
            if (current.op == calvorix::Op::Comma) break;
        }
        if (current.op == calvorix::Op::Comma) {
            if (!operands.empty()) {
                pendingOperands.push_back(pop(operands));
                pendingPriorities.push_back(current.priority);
            }
        } else {
            while (!pendingOperands.empty() && pendingPriorities.back() > current.priority) {
                operands.push_back(pop(pendingOperands));
                pendingPriorities.pop_back();
            }
            if (operands.size() < static_cast<size_t>(current.arity)) return calvorix::kFailure;
            if (current.arity == 0) {
                operands.push_back(calvorix::EvalNullary(current.op));
            } else if (current.arity == 1) {
                operands.back() = calvorix::EvalUnary(current.op, operands.back());
            } else if (current.arity == 2) {
                const std::string left = pop(operands);
                operands.back() = calvorix::EvalBinary(current.op, left, operands.back());
            } else {
                const std::string a = pop(operands);
                const std::string b = pop(operands);
                operands.back() = calvorix::EvalTernary(current.op, a, b, operands.back());
            }
        }
        while (!heldOperators.empty()) operators.push_back(pop(heldOperators));
        while (!heldOperands.empty()) operands.push_back(pop(heldOperands));
    }
}

// Random expressions of numbers, texts, variables, operators, functions, commas and parentheses,
// balanced or not, evaluated by the library's reducer and by the documented walk. (The date
// functions give the same text to both, short of a midnight in between.)
TEST(Evaluation, ReducerAgreesWithTheDocumentedWalk) {
    const std::vector<std::string> pieces = {
        "1",     "2",        "3",         "0.5",      "10",    "\"ab\"", "\"\"",    "[a]",
        "[b]",   "[c]",      "+",         "-",        "*",     "/",      "^",       "&",
        "==",    ">",        "<",         ">=",       "<=",    "!=",     "=",       "like",
        "(",     ")",        ",",         "sqrt(",    "log(",  "len(",   "mid(",    "iif(",
        "trim(", "capital(", "addcomma(", "addzero(", "atan(", "sin(",   "sysyear", "sysday"};
    const std::vector<std::string> values = {"1", "-2", "0.5", "abc", "", "3", "1,234", "*b*"};
    std::mt19937 random(20240611);
    for (int round = 0; round < 20000; ++round) {
        std::string expression;
        const int length = 1 + static_cast<int>(random() % 14);
        for (int i = 0; i < length; ++i) expression += pieces[random() % pieces.size()];
        calvorix::ExpressionEvaluator parsed(expression.c_str());
        std::vector<std::string> given;
        for (size_t v = 0; v < parsed.Variables().size(); ++v)
            given.push_back(values[random() % values.size()]);
        const std::string expected = ReduceAsDocumented(parsed, given);
        ASSERT_EQ(parsed.Evaluate(given), expected) << expression;
    }
}

}  // namespace
