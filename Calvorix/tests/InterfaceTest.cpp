// The two exports: the variable list, how values are matched to variables, null arguments and
// calls from several threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Calvorix.h"
#include "CalvorixLibraryTestSupport.h"

namespace {

using calvorix_test::CalvorixLibrary;

class InterfaceTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(library_.Loaded()); }
    CalvorixLibrary library_;
};

TEST_F(InterfaceTest, ListsEachVariableOnceInOrderOfAppearance) {
    EXPECT_EQ(library_.Variables("[a]+[b]*[a]"), "a,b");
    EXPECT_EQ(library_.Variables("price*qty"), "price,qty");
    EXPECT_EQ(library_.Variables("[b]&[a]&[b]&[c]"), "b,a,c");
    EXPECT_EQ(library_.Variables("\"x\"&1"), "");
    EXPECT_EQ(library_.Variables("[a]&\"a\""), "a");
    EXPECT_EQ(library_.Variables(""), "");
    EXPECT_EQ(library_.Variables(nullptr), "");
    EXPECT_EQ(library_.Variables("12abc+[x]"), "");
    EXPECT_EQ(library_.Variables("sum(1)"), "sum");
    EXPECT_EQ(library_.Variables(".5+1"), ".5");
    EXPECT_EQ(library_.Variables("[]+[x]"), ",x");
    EXPECT_EQ(library_.Variables("iif([score]>=60,[pass],[fail])"), "score,pass,fail");
}

TEST_F(InterfaceTest, FindsFunctionNamesInsideNames) {
    EXPECT_EQ(library_.Variables("cost*2"), "t");
    EXPECT_EQ(library_.Variables("[logo]"), "@@@o");
    EXPECT_EQ(library_.Variables("[a-b]"), "a@b");
    EXPECT_EQ(library_.Variables("[my name]"), "my@name");
    EXPECT_EQ(library_.Variables("[a,b]"), "a@b");
    EXPECT_EQ(library_.Variables("\"[a]\"&[b]"), "b");
}

TEST_F(InterfaceTest, ScansTwoByteCharactersByteByByte) {
    // A second byte equal to '^' is taken as that operator, one equal to ']' ends a bracketed
    // name, one equal to '@' ends a bare name.
    EXPECT_EQ(library_.Variables("[\xb1\x5e]"), "\xb1@");
    EXPECT_EQ(library_.Variables("[\xb1\x5dx]"), "\xb1,x");
    EXPECT_EQ(library_.Variables("\xb1\x40x"), "\xb1,x");
    EXPECT_EQ(library_.Variables("[\xd5\xc5\xc8\xfd]"), "\xd5\xc5\xc8\xfd");
}

TEST_F(InterfaceTest, MatchesValuesToVariablesInListOrder) {
    EXPECT_EQ(library_.Parse("[a]&\"-\"&[b]", "x|y"), "x-y");
    EXPECT_EQ(library_.Parse("[b]&\"-\"&[a]", "x|y"), "x-y");
    EXPECT_EQ(library_.Parse("[a]&[b]&[a]", "1|2"), "121");
    // k separators give k + 1 values; empty values in between and at the end count.
    EXPECT_EQ(library_.Parse("[a]&\"/\"&[b]&\"/\"&[c]", "a||b"), "a//b");
    EXPECT_EQ(library_.Parse("[a]&\"/\"&[b]", "a|"), "a/");
    EXPECT_EQ(library_.Parse("[a]&[b]&[c]", "a|b"), "###");
    // A value that equals another variable's name is not looked up again.
    EXPECT_EQ(library_.Parse("[a]&[b]", "b|a"), "ba");
    // A string literal equal to a variable name stays a constant.
    EXPECT_EQ(library_.Parse("[a]&\"a\"", "v"), "va");
}

TEST_F(InterfaceTest, NullAndEmptyArguments) {
    char result[CALVORIX_RESULT_SIZE] = "unchanged";
    EXPECT_EQ(MyParser(nullptr, nullptr, result), 0);
    EXPECT_STREQ(result, "###");
    EXPECT_EQ(MyParser("", "", result), 0);
    EXPECT_STREQ(result, "###");
    EXPECT_EQ(MyParser("1+1", nullptr, result), 0);
    EXPECT_STREQ(result, "2");
    // A null or empty list is one empty value.
    EXPECT_EQ(MyParser("[a]", nullptr, result), 0);
    EXPECT_STREQ(result, "");
    EXPECT_EQ(MyParser("[a]", "", result), 0);
    EXPECT_STREQ(result, "");
    EXPECT_EQ(MyParser("[a]+[b]", "", result), 0);
    EXPECT_STREQ(result, "###");
    EXPECT_EQ(MyGetVariantTable(nullptr, result), 0);
    EXPECT_STREQ(result, "");
    // No buffer: nothing to write and nothing crashes.
    EXPECT_EQ(MyParser("1+1", nullptr, nullptr), 0);
    EXPECT_EQ(MyGetVariantTable("[a]", nullptr), 0);
}

TEST_F(InterfaceTest, CallsAreIndependent) {
    EXPECT_EQ(library_.Parse("mid(\"abc\",2,1)"), "b");
    EXPECT_EQ(library_.Parse("(1,2)"), "2");  // leaves an operand set aside
    EXPECT_EQ(library_.Parse("mid(\"abc\",2,1)"), "b");

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[a]*[b]", "6"}, {"iif([a]>[b],[a],[b])", "3"}, {"mid(\"abcdef\",[a],[b])", "bcd"}};
    std::vector<std::thread> threads;
    threads.reserve(4);
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            char result[CALVORIX_RESULT_SIZE];
            for (int i = 0; i < 2000; ++i) {
                const auto& c = cases[(i + t) % cases.size()];
                MyParser(c.first.c_str(),
                         "2\x05"
                         "3",
                         result);
                if (c.second != result) ++failures[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
