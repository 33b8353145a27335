#include <gtest/gtest.h>

#include "text/Gbk.h"

using namespace tw::text;

TEST(Gbk, RoundTripsChineseAndAscii) {
    const QString s = QString::fromUtf8("排课软件系统 kb.mdb");
    const std::string g = ToGbk(s);
    // 6 Chinese characters of two bytes each plus 7 ASCII bytes.
    EXPECT_EQ(g.size(), 19u);
    EXPECT_EQ(static_cast<unsigned char>(g[0]), 0xC5u);  // 排 = C5 C5
    EXPECT_EQ(static_cast<unsigned char>(g[1]), 0xC5u);
    EXPECT_EQ(FromGbk(g), s);
}

TEST(Gbk, MissingCharactersAndBadBytesAreReplaced) {
    // An emoji has no GBK code; a surrogate pair becomes exactly one '?'.
    EXPECT_EQ(ToGbk(QString::fromUtf8("a\xF0\x9F\x98\x80z")), "a?z");
    // A lone lead byte at the end and an invalid pair.
    EXPECT_EQ(FromGbk(std::string("ab\xC5")), QString::fromUtf8("ab\xEF\xBF\xBD"));
    EXPECT_EQ(FromGbk(std::string("\xFF"
                                  "a")),
              QString::fromUtf8("\xEF\xBF\xBD"
                                "a"));
    EXPECT_EQ(FromGbk(static_cast<const char*>(nullptr)), QString());
    EXPECT_TRUE(ToGbk(QString()).empty());
}

TEST(Gbk, CutLengthNeverSplitsACharacter) {
    const std::string g = ToGbk(QString::fromUtf8("a排课"));  // 1 + 2 + 2 bytes
    EXPECT_EQ(GbkCutLength(g, 5), 5u);
    EXPECT_EQ(GbkCutLength(g, 4), 3u);
    EXPECT_EQ(GbkCutLength(g, 3), 3u);
    EXPECT_EQ(GbkCutLength(g, 2), 1u);
    EXPECT_EQ(GbkCutLength(g, 0), 0u);
    EXPECT_EQ(GbkCutLength(g, 100), 5u);
    EXPECT_EQ(GbkCutLength("abc", 2), 2u);
    // A lead byte before a byte that cannot follow it is a character of its own.
    EXPECT_EQ(GbkCutLength("ab\xC5"
                           "1c",
                           3),
              3u);
}

TEST(Gbk, Gb18030KeepsGbkBytesAndCarriesEveryOtherCharacter) {
    // Every character GBK has keeps its GBK bytes; the others, from the BMP (䶮 U+4DAE, €) and
    // above it (𠮷 U+20BB7, an emoji), come back whole, and the text after them too.
    const QString gbk = QString::fromUtf8("排课 kb（1）乗");
    EXPECT_EQ(ToGb18030(gbk), ToGbk(gbk));
    const QString rare = QString::fromUtf8("刘䶮 𠮷a€\xF0\x9F\x98\x80z");
    const std::string bytes = ToGb18030(rare);
    EXPECT_EQ(bytes.find('?'), std::string::npos);
    EXPECT_EQ(bytes.substr(0, 4), "\xC1\xF5\xFE\x9F");  // 刘 䶮
    EXPECT_EQ(FromGbk(bytes), rare);
    // Only an unpaired surrogate, no character, has no bytes.
    EXPECT_EQ(ToGb18030(QString(QChar(0xD800)) + "a"), "?a");

    // A four-byte character is one character: never cut, and nothing is found inside it.
    const std::string name = ToGb18030(QString::fromUtf8("a𠮷b"));
    ASSERT_EQ(name.size(), 6u);
    EXPECT_EQ(GbkCharLength(name, 1), 4u);
    EXPECT_EQ(GbkCutLength(name, 4), 1u);
    EXPECT_EQ(GbkCutLength(name, 5), 5u);
    // A lead byte and a digit that start no four-byte character stay bytes of their own.
    EXPECT_EQ(FromGbk(std::string("\x82"
                                  "5a")),
              QString::fromUtf8("\xEF\xBF\xBD"
                                "5a"));
}
