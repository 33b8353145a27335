// String buffer growth, editing, splitting and the free text functions.
#include <gtest/gtest.h>

#include <string>

#include "ExtPtrArray.h"
#include "StringBuffer.h"

using velmarq::ExtPtrArray;
using velmarq::StringBuffer;

namespace {

std::string Text(const StringBuffer& b) {
    return std::string(b.Data(), b.Length());
}

std::vector<std::string> Pieces(ExtPtrArray& a) {
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(a.Count()));
    for (int i = 0; i < a.Count(); ++i) out.push_back(Text(*static_cast<StringBuffer*>(a.Get(i))));
    a.DeleteAll();
    return out;
}

}  // namespace

TEST(StringBufferGrowth, ConstructorsSetCapacityAndStep) {
    StringBuffer d;
    EXPECT_EQ(d.Capacity(), 200);
    EXPECT_EQ(d.GrowthStep(), 200);
    StringBuffer s("abc");
    EXPECT_EQ(s.Capacity(), 4);
    StringBuffer n(static_cast<const char*>(nullptr));
    EXPECT_EQ(n.Capacity(), 4);
    EXPECT_EQ(n.Length(), 0);
    StringBuffer b("a\0b", 3, 0);
    EXPECT_EQ(b.Length(), 3);
    EXPECT_EQ(b.Capacity(), 4);
    EXPECT_EQ(b.GrowthStep(), 200);
    StringBuffer g(64);
    EXPECT_EQ(g.Capacity(), 64);
    EXPECT_EQ(g.GrowthStep(), 64);
}

TEST(StringBufferGrowth, StepAdaptsAndIsCapped) {
    StringBuffer b;
    b.Append(std::string(300, 'x').c_str());
    EXPECT_EQ(b.Capacity(), 501);
    EXPECT_EQ(b.GrowthStep(), 250);
    StringBuffer big;
    big.Append(std::string(2000000, 'y').c_str());
    EXPECT_EQ(big.GrowthStep(), 500000);
    big.Append(std::string(600000, 'z').c_str());
    EXPECT_EQ(big.GrowthStep(), 500000);
    EXPECT_EQ(big.Length(), 2600000);
    EXPECT_EQ(big.Data()[big.Length()], 0);
}

TEST(StringBufferGrowth, ReserveAndPrependKeepTheStep) {
    StringBuffer b;
    b.Reserve(300);
    EXPECT_EQ(b.Capacity(), 501);
    EXPECT_EQ(b.GrowthStep(), 200);
    StringBuffer p("tail");
    p.Prepend("head-");
    EXPECT_EQ(Text(p), "head-tail");
    EXPECT_EQ(p.GrowthStep(), 200);
}

TEST(StringBufferGrowth, AppendingOwnBytesWhileGrowingIsSafe) {
    StringBuffer b("abcdef");
    b.AppendBytes(b.Data() + 1, 3);
    EXPECT_EQ(Text(b), "abcdefbcd");
    b.AppendBuffer(b);
    EXPECT_EQ(Text(b), "abcdefbcdabcdefbcd");
}

TEST(StringBufferEdit, TrimFamily) {
    StringBuffer blanks("   ");
    blanks.Trim();
    EXPECT_EQ(Text(blanks), "");
    StringBuffer empty;
    empty.Trim();
    EXPECT_EQ(empty.Length(), 0);
    StringBuffer r(" a \r\n");
    r.TrimRight();
    EXPECT_EQ(Text(r), " a");
    StringBuffer t("\t x y \n");
    t.Trim();
    EXPECT_EQ(Text(t), "x y");
}

TEST(StringBufferEdit, StripControlCharsKeepsHighBytes) {
    const char in[] = {0x41, 0x00, 0x09, 0x1F, 0x7F, static_cast<char>(0xC8)};
    StringBuffer b(in, 6, 0);
    b.StripControlChars();
    EXPECT_EQ(Text(b), std::string("\x41\x09\x7F\xC8"));
}

TEST(StringBufferEdit, ReplaceAllScansWithoutOverlap) {
    StringBuffer b("aaa");
    EXPECT_EQ(b.ReplaceAll("aa", "b"), 1);
    EXPECT_EQ(Text(b), "ba");
    EXPECT_EQ(b.ReplaceAll("", "x"), 0);
    EXPECT_EQ(b.ReplaceAll(nullptr, "x"), 0);
    StringBuffer d("a-b-c");
    EXPECT_EQ(d.ReplaceAll("-", nullptr), 2);
    EXPECT_EQ(Text(d), "abc");
    StringBuffer grow("xx");
    EXPECT_EQ(grow.ReplaceAll("x", "xyx"), 2);
    EXPECT_EQ(Text(grow), "xyxxyx");
}

TEST(StringBufferEdit, ReplaceFirstAndEscape) {
    StringBuffer b("one two two");
    EXPECT_TRUE(b.ReplaceFirst("two", "2"));
    EXPECT_EQ(Text(b), "one 2 two");
    EXPECT_TRUE(b.ReplaceFirst("one", nullptr));
    EXPECT_EQ(Text(b), "one 2 two");
    EXPECT_FALSE(b.ReplaceFirst("zzz", "y"));
    EXPECT_FALSE(b.ReplaceFirst("", "y"));
    StringBuffer x("a<b>&\"c\"");
    x.EscapeXml();
    EXPECT_EQ(Text(x), "a&lt;b&gt;&amp;\"c\"");
}

TEST(StringBufferEdit, RemoveAndShorten) {
    StringBuffer b("a,b,c,d");
    b.RemoveByteFrom(',', 3);
    EXPECT_EQ(Text(b), "a,bcd");
    b.RemoveByteFrom(',', 99);
    EXPECT_EQ(Text(b), "a,bcd");
    b.RemoveByte(',');
    EXPECT_EQ(Text(b), "abcd");
    b.RemoveRange(1, 2);
    EXPECT_EQ(Text(b), "ad");
    b.RemoveRange(1, 5);  // past the end: nothing
    EXPECT_EQ(Text(b), "ad");
    b.ShortenBy(10);
    EXPECT_EQ(Text(b), "");
    StringBuffer r("a.b.c");
    EXPECT_EQ(r.ReplaceByte('.', '/'), 5);
    EXPECT_EQ(Text(r), "a/b/c");
}

TEST(StringBufferEdit, ToLowerFoldsAsciiOnlyAndKeepsGbk) {
    // 0xC4 0xE3 is a GBK character; a locale mapping could change its bytes.
    StringBuffer b("AbZ\xC4\xE3\xC8\xCB");
    b.ToLower();
    EXPECT_EQ(Text(b), "abz\xC4\xE3\xC8\xCB");
    EXPECT_TRUE(StringBuffer("\xC4\xE3"
                             "Ab")
                    .EqualsNoCase("\xC4\xE3"
                                  "aB"));
    EXPECT_FALSE(StringBuffer("\xC4\xE3").EqualsNoCase("\xE4\xE3"));
}

TEST(StringBufferRead, ComparisonsAndAccess) {
    StringBuffer b("Hello");
    EXPECT_EQ(b.CharAt(1), 'e');
    EXPECT_EQ(b.CharAt(-1), 0);
    EXPECT_EQ(b.CharAt(5), 0);
    EXPECT_TRUE(b.Contains(""));
    EXPECT_FALSE(b.Contains(nullptr));
    EXPECT_TRUE(b.Contains("ell"));
    EXPECT_TRUE(b.EqualsExact("Hello"));
    EXPECT_FALSE(b.EqualsExact("hello"));
    EXPECT_TRUE(b.EqualsNoCase("hELLO"));
    EXPECT_FALSE(b.EqualsNoCase("Hell"));
    EXPECT_TRUE(StringBuffer().EqualsExact(nullptr));
    EXPECT_FALSE(b.EqualsNoCase(nullptr));
}

TEST(StringBufferBuild, HexAndDecimal) {
    StringBuffer h;
    const unsigned char three[] = {1, 2, 3};
    h.AppendHex(three, 3);
    EXPECT_EQ(Text(h), "0102 03");
    unsigned char sixteen[17];
    for (int i = 0; i < 17; ++i) sixteen[i] = static_cast<unsigned char>(0xA0 + i);
    StringBuffer l;
    l.AppendHex(sixteen, 17);
    EXPECT_EQ(Text(l), "A0A1 A2A3 A4A5 A6A7 A8A9 AAAB ACAD AEAF \nB0");
    StringBuffer d;
    d.AppendDecimal(-42);
    EXPECT_EQ(Text(d), "-42");
    EXPECT_STREQ(velmarq::IntToText(123), "123");
}

TEST(StringBufferSplit, PiecesQuotesAndBackslashes) {
    ExtPtrArray out;
    StringBuffer("a,,b").Split(out, ",", false, false);
    EXPECT_EQ(Pieces(out), (std::vector<std::string>{"a", "", "b"}));
    StringBuffer("x\r\ny").Split(out, "\r\n", false, false);
    EXPECT_EQ(Pieces(out), (std::vector<std::string>{"x", "", "y"}));
    StringBuffer("a,\"b,c\",d").Split(out, ",", true, false);
    EXPECT_EQ(Pieces(out), (std::vector<std::string>{"a", "\"b,c\"", "d"}));
    StringBuffer("a\\,b,c").Split(out, ",", false, true);
    EXPECT_EQ(Pieces(out), (std::vector<std::string>{"a\\,b", "c"}));
    StringBuffer("a,").Split(out, ",", false, false);
    EXPECT_EQ(Pieces(out), (std::vector<std::string>{"a", ""}));
    StringBuffer().Split(out, ",", false, false);
    EXPECT_EQ(out.Count(), 0);
}

TEST(WildcardMatch, RulesFromEmptyToSuffix) {
    using velmarq::WildcardMatch;
    EXPECT_TRUE(WildcardMatch("", "**", true));
    EXPECT_TRUE(WildcardMatch(nullptr, nullptr, true));
    EXPECT_TRUE(WildcardMatch("", "", true));
    EXPECT_FALSE(WildcardMatch("", "a*", true));
    EXPECT_FALSE(WildcardMatch("abc", "", true));
    EXPECT_FALSE(WildcardMatch("abc", nullptr, true));
    EXPECT_TRUE(WildcardMatch("ABC", "a*c", false));
    EXPECT_FALSE(WildcardMatch("ABC", "a*c", true));
    EXPECT_TRUE(WildcardMatch("abcbc", "a*bc", true));
    EXPECT_FALSE(WildcardMatch("ab", "a*bc", true));
    EXPECT_TRUE(WildcardMatch("abc", "abc", true));
    EXPECT_FALSE(WildcardMatch("abc", "ab", true));
    EXPECT_TRUE(WildcardMatch("abc", "*", true));
    EXPECT_TRUE(WildcardMatch("a-x-b-y", "a*x*y", true));
    // A middle segment takes its leftmost occurrence; the last one must be a suffix.
    EXPECT_TRUE(WildcardMatch("abXbcd", "a*b*cd", true));
    EXPECT_FALSE(WildcardMatch("abXcbd", "a*b*cd", true));
    EXPECT_FALSE(WildcardMatch("aXbYc", "a*c*b", true));
}

TEST(FindNoCase, FoldsAsciiLetters) {
    EXPECT_EQ(velmarq::FindNoCase("Hello", "LL"), 2);
    EXPECT_EQ(velmarq::FindNoCase("Hello", ""), -1);
    EXPECT_EQ(velmarq::FindNoCase(nullptr, "a"), -1);
    EXPECT_EQ(velmarq::FindNoCase("abc", "abcd"), -1);
    EXPECT_EQ(velmarq::FindNoCase("xAbC", "abc"), 1);
}

TEST(StringBufferBuild, OwnTextAsArgument) {
    StringBuffer p("abc");
    p.Prepend(p.Data() + 1);
    EXPECT_EQ(Text(p), "bcabc");
    StringBuffer a("hello world");
    a.Assign(a.Data() + 6);
    EXPECT_EQ(Text(a), "world");
}
