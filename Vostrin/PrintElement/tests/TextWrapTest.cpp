// Cutting too-wide GBK text into pieces for the following lines.
#include <gtest/gtest.h>

#include "PrintElement/TextWrap.h"
#include "PrintTestSupport.h"

using namespace TVostrin;
using printtest::Gbk;

TEST(TextWrap, AsciiCutsAtTheLastBlankAndDropsIt) {
    std::string text = "one two three", rest;
    EXPECT_TRUE(CutLastPiece(text, rest));
    EXPECT_EQ(text, "one two");
    EXPECT_EQ(rest, "three");
    EXPECT_TRUE(CutLastPiece(text, rest));
    EXPECT_EQ(text, "one");
    EXPECT_EQ(rest, "two three");  // one blank between piece and rest
    EXPECT_FALSE(CutLastPiece(text, rest));
    EXPECT_EQ(text, "");
    EXPECT_EQ(rest, "one two three");
}

TEST(TextWrap, ChineseCutsBetweenCharactersWithoutBlank) {
    std::string text = Gbk("课程表"), rest = Gbk("甲");
    EXPECT_TRUE(CutLastPiece(text, rest));
    EXPECT_EQ(text, Gbk("课程"));
    EXPECT_EQ(rest, Gbk("表甲"));
    text = Gbk("abc 中文x");
    rest.clear();
    EXPECT_TRUE(CutLastPiece(text, rest));  // the Chinese character before "x" is met first
    EXPECT_EQ(text, Gbk("abc 中"));
    EXPECT_EQ(rest, Gbk("文x"));
}

TEST(TextWrap, TrailBytesThatLookLikeLeadBytesAreNotCharacterStarts) {
    // Each of these has a trail byte in the lead-byte range (0x81-0xFE): a backward scan would
    // take the trail byte for the start of a character and split a character in two.
    for (const char* s : {"表格", "课程", "数学"}) {
        const std::string whole = Gbk(s);
        ASSERT_EQ(whole.size(), 4u);
        std::string text = whole, rest;
        ASSERT_TRUE(CutLastPiece(text, rest));
        EXPECT_EQ(text, whole.substr(0, 2)) << s;
        EXPECT_EQ(rest, whole.substr(2)) << s;
        EXPECT_FALSE(tw::text::FromGbk(text).contains(QChar(0xFFFD))) << s;
    }
    // A trail byte of 0x20-free ASCII range after a lead byte is not a blank or a letter.
    const std::string mixed = std::string("\x81\x40", 2) + "a b";
    const auto starts = GbkCharStarts(mixed);
    EXPECT_EQ(starts, (std::vector<size_t>{0, 2, 3, 4}));
}

TEST(TextWrap, ALoneLeadByteAtTheEndIsOneCharacter) {
    const std::string text("ab\xB1", 3);
    EXPECT_EQ(GbkCharStarts(text), (std::vector<size_t>{0, 1, 2}));
    std::string t = text, rest;
    EXPECT_FALSE(CutLastPiece(t, rest));
    EXPECT_EQ(rest, text);
}

TEST(TextWrap, TrailingBlankGivesAnEmptyPiece) {
    std::string text = "ab ", rest = "cd";
    EXPECT_TRUE(CutLastPiece(text, rest));
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(rest, " cd");
}
