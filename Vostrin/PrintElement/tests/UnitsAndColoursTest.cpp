// Integers, dots and colours of the printable page format.
#include <gtest/gtest.h>

#include <climits>

#include "PrintElement/PrintColor.h"
#include "PrintElement/PrintUnits.h"

using namespace TVostrin;

TEST(PrintUnits, WholeNumbersOnly) {
    EXPECT_EQ(StrToIntDef("354", 0), 354);
    EXPECT_EQ(StrToIntDef(" -12 ", 0), -12);
    EXPECT_EQ(StrToIntDef("+7", 0), 7);
    EXPECT_EQ(StrToIntDef("true", 0), 0);
    EXPECT_EQ(StrToIntDef("big", 10), 10);
    EXPECT_EQ(StrToIntDef("1.5", 9), 9);
    EXPECT_EQ(StrToIntDef("", 3), 3);
    EXPECT_EQ(StrToIntDef("-", 3), 3);
    EXPECT_EQ(StrToIntDef("2147483647", 0), INT_MAX);
    EXPECT_EQ(StrToIntDef("-2147483648", 0), INT_MIN);
    EXPECT_EQ(StrToIntDef("2147483648", 5), 5);
    EXPECT_EQ(StrToIntDef("99999999999999999999", 5), 5);
}

TEST(PrintUnits, DotsTakeTheProductFirstAndTruncate) {
    EXPECT_EQ(PosToDots(354, 100, 600), 600);  // 254 * 600 / 254
    EXPECT_EQ(PosToDots(100, 0, 300), 118);    // 118.11 truncated
    EXPECT_EQ(PosToDots(0, 100, 300), -118);   // toward zero, not down
    EXPECT_EQ(SizeToDots(2100, 600), 4960);
    EXPECT_EQ(SizeToDots(1, 100), 0);  // the product first: 100/254 would be 0 anyway
    EXPECT_EQ(SizeToDots(127, 2), 1);
    // Values whose product leaves 32 bits do not wrap round; they stay where a drawing call
    // can still add a size and a text width to them.
    EXPECT_EQ(PosToDots(INT_MAX, -1000, 2400), TVostrin::kMaxDots);
    EXPECT_EQ(PosToDots(INT_MIN, 1000, 2400), -TVostrin::kMaxDots);
    EXPECT_EQ(SizeToDots(INT_MAX, 254), TVostrin::kMaxDots);
    EXPECT_EQ(PosToDots(10000000, 0, 600), 23622047);
}

TEST(PrintUnits, DotsBackToTenthsOfAMillimetre) {
    EXPECT_EQ(DotsToPos(600, 600, 100), 354);
    EXPECT_EQ(DotsToPos(1, 300, 0), 0);
    EXPECT_EQ(DotsToPos(50, 0, 7), 7);
}

TEST(PrintColours, ThreePartsWithDefaults) {
    EXPECT_EQ(ParseColor("255,0,0", 0), 255);
    EXPECT_EQ(ParseColor("0,0,255", 0), 255 * 65536);
    EXPECT_EQ(ParseColor("1,2,3", 0), 1 + 2 * 256 + 3 * 65536);
    EXPECT_EQ(ParseColor("255", 0), 255);             // pure red
    EXPECT_EQ(ParseColor("255,255", 255), 0xFFFFFF);  // white
    EXPECT_EQ(ParseColor("x,128,", 255), 255 + 128 * 256 + 255 * 65536);
    EXPECT_EQ(ParseColor("256,-1,511", 0), 0 + 255 * 256 + 255 * 65536);  // low 8 bits
    EXPECT_EQ(ParseColor(" 10 , 20 , 30 ", 0), 10 + 20 * 256 + 30 * 65536);
    EXPECT_EQ(ParseColor("1,2,3,4", 0), 1 + 2 * 256);  // b "3,4" is not a number
    const QColor c = ToQColor(ParseColor("10,20,30", 0));
    EXPECT_EQ(c, QColor(10, 20, 30));
}
