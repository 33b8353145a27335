// Reading customer text files: line ends, positions, long lines, every byte value, and
// cutting lines into fields.
#include <gtest/gtest.h>

#include <random>

#include "Customer/CustomerTextFile.h"
#include "CustomerTestSupport.h"

using namespace TVostrin;

namespace {

// A customer file of the given bytes (Open answers whether it opened), and the line its reads
// go to.
class CustomerFileTest : public ::testing::Test {
  protected:
    bool Open(const std::string& bytes) { return file.Open(files.Write("a.txt", bytes)); }

    customertest::TempFiles files;
    CustomerTextFile file;
    std::string line;
};

}  // namespace

TEST_F(CustomerFileTest, LinesLoseTheirLineEndsAndPositionsAreByteOffsets) {
    ASSERT_TRUE(Open("one\r\ntwo\nthree"));
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "one");
    EXPECT_EQ(file.Tell(), 5);
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "two");
    EXPECT_EQ(file.Tell(), 9);
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "three");
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_EQ(line, "");

    ASSERT_TRUE(file.Seek(5));
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "two");
}

TEST_F(CustomerFileTest, EmptyLinesAndLoneCarriageReturns) {
    ASSERT_TRUE(Open("\n\r\na\rb\r"));
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "a\rb\r");
    EXPECT_FALSE(file.ReadLine(line));
}

TEST_F(CustomerFileTest, LongLinesAreReadWhole) {
    const std::string longLine(100000, 'x');
    ASSERT_TRUE(Open(longLine + "\nnext\n"));
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, longLine);
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "next");
}

TEST_F(CustomerFileTest, ByteFFIsDataNotTheEnd) {
    ASSERT_TRUE(
        Open("\xC4\xFF\xFF"
             "a\n\xFF\n"));
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line,
              "\xC4\xFF\xFF"
              "a");
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "\xFF");
    EXPECT_FALSE(file.ReadLine(line));

    ASSERT_TRUE(file.Seek(0));
    char c = 0;
    ASSERT_TRUE(file.ReadChar(c));
    ASSERT_TRUE(file.ReadChar(c));
    EXPECT_EQ(static_cast<unsigned char>(c), 0xFF);
}

TEST_F(CustomerFileTest, FixedReadsCountALineEndAsOneCharacter) {
    ASSERT_TRUE(Open("ab\r\ncd"));
    EXPECT_EQ(file.Read(3), "ab\n");
    EXPECT_EQ(file.Tell(), 4);
    EXPECT_EQ(file.Read(10), "cd");
    EXPECT_EQ(file.Read(10), "");
}

TEST_F(CustomerFileTest, OpenAndSeekFailures) {
    EXPECT_FALSE(file.Open(files.Path("missing.txt")));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Seek(0));
    EXPECT_FALSE(file.ReadLine(line));

    ASSERT_TRUE(file.Open(files.Write("s.txt", "abc\n")));
    EXPECT_FALSE(file.Seek(-1));
    // A position past the end is reached; there is just nothing left there.
    EXPECT_TRUE(file.Seek(100));
    EXPECT_FALSE(file.ReadLine(line));
}

TEST(SplitFields, CutsAtEverySeparatorWithoutATrailingEmptyPiece) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitFields("a,b,c", ","), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitFields("a,,c,", ","), (V{"a", "", "c"}));
    EXPECT_EQ(SplitFields(",a", ","), (V{"", "a"}));
    EXPECT_EQ(SplitFields("x||y||", "||"), (V{"x", "y"}));
    EXPECT_EQ(SplitFields("a b", ","), (V{"a b"}));
    EXPECT_TRUE(SplitFields("", ",").empty());
}

TEST(SplitFields, AnEmptySeparatorGivesTheWholeLine) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitFields("a,b|c", ""), (V{"a,b|c"}));
    EXPECT_TRUE(SplitFields("", "").empty());
}

TEST(SplitFields, SeparatorsMatchOnlyWhereACharacterStarts) {
    // Double-byte characters whose second byte is a separator byte or the first byte of one:
    // AB 7C and FE 7C end in "|", 81 40 in "@"; AC A3 twice in a row holds A3 AC, the
    // full-width comma.
    const std::vector<std::string> characters = {"a",        "7",        " ",        "\xAB\x7C",
                                                 "\xFE\x7C", "\x81\x40", "\xAC\xA3", "\xB1\xED"};
    const std::vector<std::string> separators = {"|", "||", "@", "\xA3\xAC", ","};
    std::mt19937 random(24);
    auto pick = [&random](size_t n) { return static_cast<size_t>(random() % n); };
    for (int round = 0; round < 2000; ++round) {
        const std::string& separator = separators[pick(separators.size())];
        std::vector<std::string> fields(1 + pick(6));
        std::string text;
        for (size_t f = 0; f < fields.size(); ++f) {
            for (size_t c = pick(5); c > 0; --c) fields[f] += characters[pick(characters.size())];
            text += (f ? separator : "") + fields[f];
        }
        // A separator at the very end gives no empty field after it.
        if (fields.back().empty()) fields.pop_back();
        ASSERT_EQ(SplitFields(text, separator), fields) << text << " at " << separator;
    }
}
