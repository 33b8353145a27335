// Number patterns of text elements, whatever the user's locale.
#include <gtest/gtest.h>

#include <clocale>

#include "PrintElement/NumberFormat.h"

using TVostrin::FormatNumberText;
using TVostrin::ParseDecimal;
using TVostrin::TDecimal;

TEST(NumberFormat, FixedDecimalsAndPlaceholders) {
    EXPECT_EQ(FormatNumberText("12.5", "0.00"), "12.50");
    EXPECT_EQ(FormatNumberText("12.5", "0"), "13");
    EXPECT_EQ(FormatNumberText("12.4", "0"), "12");
    EXPECT_EQ(FormatNumberText("3", "000"), "003");
    EXPECT_EQ(FormatNumberText("1234", "0"), "1234");  // more digits than placeholders
    EXPECT_EQ(FormatNumberText("0.5", "#.##"), ".5");
    EXPECT_EQ(FormatNumberText("1", "0.##"), "1");
    EXPECT_EQ(FormatNumberText("1.2", "0.0#"), "1.2");
    EXPECT_EQ(FormatNumberText("1.256", "0.0#"), "1.26");
    EXPECT_EQ(FormatNumberText("0", "#"), "");
    EXPECT_EQ(FormatNumberText("12.5", ".00"), "12.50");
}

TEST(NumberFormat, HalvesRoundAwayFromZeroOnTheWrittenDigits) {
    EXPECT_EQ(FormatNumberText("0.125", "0.00"), "0.13");
    EXPECT_EQ(FormatNumberText("1.005", "0.00"), "1.01");
    EXPECT_EQ(FormatNumberText("2.675", "0.00"), "2.68");
    EXPECT_EQ(FormatNumberText("-0.125", "0.00"), "-0.13");
    EXPECT_EQ(FormatNumberText("9.995", "0.00"), "10.00");
    EXPECT_EQ(FormatNumberText("999.5", "#,##0"), "1,000");
}

TEST(NumberFormat, ThousandsSeparatorsAndLiterals) {
    EXPECT_EQ(FormatNumberText("1234567.891", "#,##0.00"), "1,234,567.89");
    EXPECT_EQ(FormatNumberText("123", "#,##0"), "123");
    EXPECT_EQ(FormatNumberText("1234", "00-00"), "12-34");
    EXPECT_EQ(FormatNumberText("5", "\"No. \"0' pcs'"), "No. 5 pcs");
    EXPECT_EQ(FormatNumberText("5", "0 kg"), "5 kg");
    EXPECT_EQ(FormatNumberText("-5", "$0.00"), "-$5.00");
}

TEST(NumberFormat, SectionsForNegativeAndZero) {
    EXPECT_EQ(FormatNumberText("-5", "0.0;(0.0)"), "(5.0)");
    EXPECT_EQ(FormatNumberText("0", "0.0;(0.0);\"zero\""), "zero");
    EXPECT_EQ(FormatNumberText("-5", "0.0;;\"zero\""), "-5.0");     // empty negative section
    EXPECT_EQ(FormatNumberText("0.001", "0.00;-0.00;nil"), "nil");  // rounds to zero
    EXPECT_EQ(FormatNumberText("-0.001", "0.00"), "0.00");          // no sign on zero
    EXPECT_EQ(FormatNumberText("2.5", ";x"), "2.5");                // empty section: general
}

TEST(NumberFormat, ScientificNotation) {
    EXPECT_EQ(FormatNumberText("1234.5", "0.00E+00"), "1.23E+03");
    EXPECT_EQ(FormatNumberText("0.00012", "0.0E-0"), "1.2E-4");
    EXPECT_EQ(FormatNumberText("12000", "0.0e-000"), "1.2e004");
    EXPECT_EQ(FormatNumberText("0", "0.0E+00"), "0.0E+00");
}

TEST(NumberFormat, TextsThatAreNotNumbersStayAsTheyAre) {
    EXPECT_EQ(FormatNumberText("abc", "0.00"), "abc");
    EXPECT_EQ(FormatNumberText("12,5", "0.00"), "12,5");
    EXPECT_EQ(FormatNumberText("1e", "0.00"), "1e");
    EXPECT_EQ(FormatNumberText("", "0.00"), "");
    EXPECT_EQ(FormatNumberText("1e99999", "0"), "1e99999");  // beyond any float
    EXPECT_EQ(FormatNumberText(" 7 ", "0.0"), "7.0");
    EXPECT_EQ(FormatNumberText("+.5", "0.0"), "0.5");
    EXPECT_EQ(FormatNumberText("1.5e2", "0"), "150");
}

TEST(NumberFormat, HugeExponentsStayBounded) {
    const std::string s = FormatNumberText("1e300", "0");
    EXPECT_EQ(s.size(), 301u);
    EXPECT_EQ(FormatNumberText("1e-99999", "0.00"), "0.00");
    TDecimal d;
    ASSERT_TRUE(ParseDecimal("0012.3400", d));
    EXPECT_EQ(d.digits, "1234");
    EXPECT_EQ(d.exponent, 2);
}

TEST(NumberFormat, UserLocaleDoesNotChangeTheResult) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(FormatNumberText("1234.5", "#,##0.00"), "1,234.50");
    EXPECT_EQ(FormatNumberText("1234,5", "0.00"), "1234,5");
    std::setlocale(LC_ALL, saved.c_str());
}
