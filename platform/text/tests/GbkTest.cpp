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
