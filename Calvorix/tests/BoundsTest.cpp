// Results never run past the caller's 2048-byte buffer, long and deeply nested expressions are
// evaluated without exhausting the stack, and numbers ignore the process locale.
#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "Calvorix.h"
#include "CalvorixLibraryTestSupport.h"

namespace {

using calvorix_test::CalvorixLibrary;

constexpr size_t kSize = CALVORIX_RESULT_SIZE;
constexpr size_t kCanary = 256;
constexpr unsigned char kCanaryByte = 0xA5;

// A result buffer with canary bytes behind its 2048 bytes.
struct GuardedBuffer {
    GuardedBuffer() { std::memset(bytes, kCanaryByte, sizeof bytes); }
    bool CanaryIntact() const {
        for (size_t i = kSize; i < sizeof bytes; ++i) {
            if (static_cast<unsigned char>(bytes[i]) != kCanaryByte) return false;
        }
        return true;
    }
    char bytes[kSize + kCanary];
};

class BoundsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(library_.Loaded()); }
    CalvorixLibrary library_;
};

TEST_F(BoundsTest, LongResultGivesFailureAndKeepsCanary) {
    const std::string value(1500, 'x');
    GuardedBuffer buffer;
    MyParser("[a]&[a]", value.c_str(), buffer.bytes);
    EXPECT_STREQ(buffer.bytes, "###");
    EXPECT_TRUE(buffer.CanaryIntact());

    const std::string literal = "\"" + std::string(5000, 'y') + "\"";
    GuardedBuffer second;
    MyParser(literal.c_str(), nullptr, second.bytes);
    EXPECT_STREQ(second.bytes, "###");
    EXPECT_TRUE(second.CanaryIntact());
}

TEST_F(BoundsTest, ResultUpToBufferSizeFits) {
    // 2047 bytes and the zero byte fill the buffer exactly; one more byte does not fit.
    const std::string fits(kSize - 1, 'z');
    auto exact = std::make_unique<char[]>(kSize);  // no slack: a sanitizer sees any overrun
    MyParser("[a]", fits.c_str(), exact.get());
    EXPECT_EQ(std::string(exact.get()), fits);

    const std::string tooLong(kSize, 'z');
    MyParser("[a]", tooLong.c_str(), exact.get());
    EXPECT_STREQ(exact.get(), "###");
    MyParser("[a]&\"z\"", fits.c_str(), exact.get());
    EXPECT_STREQ(exact.get(), "###");
}

TEST_F(BoundsTest, LongVariableListGivesEmptyListAndFailure) {
    std::string expression;
    std::string values;
    for (int i = 0; i < 400; ++i) {
        expression += (i ? "&[v" : "[v") + std::to_string(1000 + i) + "]";
        values += (i ? "\x05" : "") + std::string("x");
    }
    GuardedBuffer list;
    MyGetVariantTable(expression.c_str(), list.bytes);
    EXPECT_STREQ(list.bytes, "");  // 400 names of 5 bytes and their commas pass 2048 bytes
    EXPECT_TRUE(list.CanaryIntact());
    GuardedBuffer result;
    MyParser(expression.c_str(), values.c_str(), result.bytes);
    EXPECT_STREQ(result.bytes, "###");
    EXPECT_TRUE(result.CanaryIntact());

    // 200 names still fit: the list and the value come back.
    std::string shorter;
    for (int i = 0; i < 200; ++i) shorter += (i ? "&[v" : "[v") + std::to_string(1000 + i) + "]";
    const std::string listed = library_.Variables(shorter.c_str());
    EXPECT_EQ(listed.size(), 200u * 6 - 1);
    EXPECT_EQ(library_.Parse(shorter.c_str(), std::string(399, '|').c_str()), "");
}

TEST_F(BoundsTest, LongAndDeepExpressionsDoNotExhaustTheStack) {
    const auto start = std::chrono::steady_clock::now();

    std::string sum = "1";
    for (int i = 1; i < 200000; ++i) sum += "+1";
    EXPECT_EQ(library_.Parse(sum.c_str()), "200000");

    const int depth = 100000;
    const std::string nested = std::string(depth, '(') + "7" + std::string(depth, ')');
    EXPECT_EQ(library_.Parse(nested.c_str()), "7");

    // Each operator ranks above the one before it, up to the 16-bit limit of the priorities.
    std::string chain;
    for (int i = 0; i < 10000; ++i) chain += "1+(";
    chain += "1" + std::string(10000, ')');
    EXPECT_EQ(library_.Parse(chain.c_str()), "10001");

    std::string negations;
    for (int i = 0; i < 50001; ++i) negations += "-(";
    negations += "2" + std::string(50001, ')');
    EXPECT_EQ(library_.Parse(negations.c_str()), "-2");

    std::string arguments;
    for (int i = 0; i < 5000; ++i) arguments += "mid(";
    arguments += "\"abcdef\"";
    for (int i = 0; i < 5000; ++i) arguments += ",1,3)";
    EXPECT_EQ(library_.Parse(arguments.c_str()), "abc");

    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(seconds.count(), 20.0);
}

// Arbitrary input, from operator soup to random bytes, always ends in a zero-terminated text
// inside the buffer.
TEST_F(BoundsTest, ArbitraryInputStaysInsideTheBuffer) {
    const char* fragments[] = {"1",        "2.5",   "[a]",
                               "[b]",      "\"x\"", "\"",
                               "(",        ")",     ",",
                               "-",        "+",     "*",
                               "/",        "^",     "&",
                               "==",       ">=",    "like",
                               "mid(",     "iif(",  "capital(",
                               "len(",     "sqrt",  "log(",
                               "sysday",   "cos",   "addcomma(",
                               "\xd5\xc5", " ",     "[",
                               "]",        "\x05",  "9999999999999999999999"};
    std::mt19937 random(20261208);
    for (int round = 0; round < 20000; ++round) {
        std::string expression;
        const int count = static_cast<int>(random() % 24);
        for (int i = 0; i < count; ++i) {
            if (random() % 8 == 0) {
                expression += static_cast<char>(1 + random() % 255);
            } else {
                expression += fragments[random() % (sizeof fragments / sizeof fragments[0])];
            }
        }
        GuardedBuffer list;
        ASSERT_EQ(MyGetVariantTable(expression.c_str(), list.bytes), 0);
        ASSERT_LT(std::strlen(list.bytes), kSize) << expression;
        GuardedBuffer result;
        ASSERT_EQ(MyParser(expression.c_str(), "3\x05-1\x05x", result.bytes), 0);
        ASSERT_LT(std::strlen(result.bytes), kSize) << expression;
        ASSERT_TRUE(list.CanaryIntact() && result.CanaryIntact()) << expression;
    }
}

// Sets a locale whose decimal mark is a comma, compiling one into a private folder when none is
// installed. False when neither works.
bool SetDecimalCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) return true;
    }
    const std::string folder = testing::TempDir() + "calvorix-locales";
    const std::string command = "mkdir -p '" + folder + "' && localedef -i de_DE -f UTF-8 '" +
                                folder + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

TEST_F(BoundsTest, NumbersIgnoreTheProcessLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!SetDecimalCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma available";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 0.5);
    EXPECT_STREQ(probe, "0,5");  // the process now writes numbers with a comma
    EXPECT_EQ(library_.Parse("1/4"), "0.25");
    EXPECT_EQ(library_.Parse("[a]*2", "1.25"), "2.5");
    EXPECT_EQ(library_.Parse("[a]*1", "1,5"), "###");
    EXPECT_EQ(library_.Parse("addcomma(1234.5)"), "1,234.5");
    EXPECT_EQ(library_.Parse("capital(1.5)"),
              "\xd2\xbc\xd4\xaa\xce\xe9\xbd\xc7\xd5\xfb");  // 1.5 yuan
    EXPECT_EQ(library_.Parse("1234567*1"), "1.23457e+006");
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
