// ns per call of MyParser on the expressions a layout typically holds, and of muparser parsing
// and evaluating the same arithmetic from scratch each time (as MyParser does), in two ways: a
// parser made anew for every call (muparser's construction, which sets up its operator and
// function tables, counted in), and one parser given the expression anew for every call (the
// parse and the evaluation only). The second is the like-for-like peer of MyParser, which has no
// tables to build; compare with it.
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <string>

#include "Calvorix.h"

namespace {

void RunMyParser(benchmark::State& state, const char* expression, const char* values) {
    char result[CALVORIX_RESULT_SIZE];
    for (auto _ : state) {
        MyParser(expression, values, result);
        benchmark::DoNotOptimize(result);
    }
}

void RunVariantTable(benchmark::State& state, const char* expression) {
    char result[CALVORIX_RESULT_SIZE];
    for (auto _ : state) {
        MyGetVariantTable(expression, result);
        benchmark::DoNotOptimize(result);
    }
}

// A fresh parser per call: define the variables, set the expression, evaluate.
void RunMuparser(benchmark::State& state, const char* expression) {
    double a = 12.5, b = 3, c = 70;
    for (auto _ : state) {
        mu::Parser parser;
        parser.DefineVar("a", &a);
        parser.DefineVar("b", &b);
        parser.DefineVar("c", &c);
        parser.SetExpr(expression);
        double value = parser.Eval();
        benchmark::DoNotOptimize(value);
    }
}

// One parser for all calls, given the expression anew each time: parse and evaluate only.
void RunMuparserReused(benchmark::State& state, const char* expression) {
    double a = 12.5, b = 3, c = 70;
    mu::Parser parser;
    parser.DefineVar("a", &a);
    parser.DefineVar("b", &b);
    parser.DefineVar("c", &c);
    for (auto _ : state) {
        parser.SetExpr(expression);
        double value = parser.Eval();
        benchmark::DoNotOptimize(value);
    }
}

// The layout expressions (values separated by 0x05).
BENCHMARK_CAPTURE(RunMyParser, field, "[name]", "Zhang San");
BENCHMARK_CAPTURE(RunMyParser, concatenation, "[class]&\" \"&[teacher]&\" (\"&[room]&\")\"",
                  "Class 1\x05Li Ming\x05"
                  "203");
BENCHMARK_CAPTURE(RunMyParser, iif, "iif([c]>=60,\"pass\",\"fail\")", "70");
BENCHMARK_CAPTURE(RunMyParser, money, "capital([a]*[b])",
                  "1234.56\x05"
                  "3");
BENCHMARK_CAPTURE(RunMyParser, thousands, "addcomma([a])", "1234567.89");
BENCHMARK_CAPTURE(RunMyParser, arithmetic, "[a]*[b]+[c]/2",
                  "12.5\x05"
                  "3\x05"
                  "70");
BENCHMARK_CAPTURE(RunMyParser, comparison_arithmetic, "([a]+[b])*2>=[c]",
                  "12.5\x05"
                  "3\x05"
                  "70");
BENCHMARK_CAPTURE(RunVariantTable, variables, "[class]&\" \"&[teacher]&\" (\"&[room]&\")\"");

// The same arithmetic in muparser, a new parser per call and one parser reused.
BENCHMARK_CAPTURE(RunMuparser, field, "a");
BENCHMARK_CAPTURE(RunMuparser, iif, "c>=60 ? 1 : 0");
BENCHMARK_CAPTURE(RunMuparser, money, "a*b");
BENCHMARK_CAPTURE(RunMuparser, arithmetic, "a*b+c/2");
BENCHMARK_CAPTURE(RunMuparser, comparison_arithmetic, "(a+b)*2>=c");
BENCHMARK_CAPTURE(RunMuparserReused, field, "a");
BENCHMARK_CAPTURE(RunMuparserReused, iif, "c>=60 ? 1 : 0");
BENCHMARK_CAPTURE(RunMuparserReused, money, "a*b");
BENCHMARK_CAPTURE(RunMuparserReused, arithmetic, "a*b+c/2");
BENCHMARK_CAPTURE(RunMuparserReused, comparison_arithmetic, "(a+b)*2>=c");

}  // namespace

BENCHMARK_MAIN();
