// Code 39 barcodes sent as printer commands: the exact bytes handed to a printer context that
// takes raw commands, the characters that make the data unusable, and printers that take no
// raw commands.
#include <clocale>

#include "ElementPageTestSupport.h"
#include "PrintElement/Print.h"
#include "PrintElement/TessorBar.h"

using namespace printtest;

namespace {

const std::string kEsc = "\033";

// The commands sent for the element's XML text, drawn at dpi with the offsets.
std::vector<std::string> Sent(const std::string& xml, int dpi = 300, int offsetX = 0,
                              int offsetY = 0) {
    auto tree = LoadTree(xml);
    EXPECT_TRUE(tree);
    TVostrin::TTessorBar bar(tree.get());
    RawContext device;
    bar.DpiX = bar.DpiY = dpi;
    bar.OffsetX = offsetX;
    bar.OffsetY = offsetY;
    bar.PrinterHandle = &device;
    EXPECT_TRUE(bar.Print(nullptr));
    return device.sent;
}

std::string Commands(const std::string& x, const std::string& y, const std::string& size,
                     const std::string& data) {
    return kEsc + "*p" + x + "X" + kEsc + "*p" + y + "Y" + kEsc + "&t0P" + kEsc + "(0V" + kEsc +
           "(s1p" + size + "v0s0b20408T" + data;
}

}  // namespace

TEST(TessorBar, CommandBytesAreExact) {
    EXPECT_EQ(Sent(R"(<tessorbar x="254" y="0" value="AB-12"/>)"),
              std::vector<std::string>{Commands("300.00", "0.00", "10", "*AB-12*")});
    // Position less the page offsets, in dots with two decimals; the data from the content.
    EXPECT_EQ(
        Sent(R"(<tessorbar x="101" y="27" size="24" type="SS39M">9.Z</tessorbar>)", 600, 100, 30),
        std::vector<std::string>{Commands("2.36", "-7.09", "24", "*9.Z*")});
    // A size that is not a whole number is 10.
    EXPECT_EQ(Sent(R"(<tessorbar value="1" size="12pt"/>)"),
              std::vector<std::string>{Commands("0.00", "0.00", "10", "*1*")});
}

TEST(TessorBar, SpecialCharactersBecomeTheFontsBytes) {
    EXPECT_EQ(Sent(R"(<tessorbar value="A B"/>)"),
              std::vector<std::string>{Commands("0.00", "0.00", "10",
                                                "*A\x5F"
                                                "B*")});
    std::string out;
    ASSERT_TRUE(TVostrin::ConvertCode39("$%+/ -.", out));
    EXPECT_EQ(out, std::string("*\xB2\xB3\xB0\xB1\x5F-.*"));
    // The data is cut to 98 characters before the frame is added.
    ASSERT_TRUE(TVostrin::ConvertCode39(std::string(120, '7'), out));
    EXPECT_EQ(out, "*" + std::string(98, '7') + "*");
    ASSERT_TRUE(TVostrin::ConvertCode39(std::string(98, '7') + "a", out));
    EXPECT_EQ(out.size(), 100u);
}

TEST(TessorBar, NothingIsSentForUnusableData) {
    EXPECT_TRUE(Sent(R"(<tessorbar value="ab"/>)").empty());
    EXPECT_TRUE(Sent(R"(<tessorbar value="A*B"/>)").empty());
    EXPECT_TRUE(Sent(R"(<tessorbar value="A_B"/>)").empty());
    EXPECT_TRUE(Sent(R"(<tessorbar value="AB" type="SS39"/>)").empty());
    EXPECT_TRUE(Sent(R"(<tessorbar value="AB" type="ss39m"/>)").empty());
    EXPECT_TRUE(Sent(R"(<tessorbar x="1"/>)").empty());
    std::string out = "kept";
    EXPECT_FALSE(TVostrin::ConvertCode39("\xB2", out));
    EXPECT_EQ(out, "kept");
}

TEST(TessorBar, NumbersKeepTheirPointInAnyLocale) {
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma";
    const auto sent = Sent(R"(<tessorbar x="1" value="A"/>)");
    std::setlocale(LC_NUMERIC, old.c_str());
    EXPECT_EQ(sent, std::vector<std::string>{Commands("1.18", "0.00", "10", "*A*")});
}

class TessorBarPageTest : public ElementPage {};

TEST_F(TessorBarPageTest, PrinterWithoutRawCommandsPrintsNothingAndEndsThePage) {
    auto tree =
        LoadTree("<doc>" + Page("", R"(<tessorbar x="10" y="10" value="AB-12"/>)") + "</doc>");
    ASSERT_TRUE(tree);
    EXPECT_EQ(TVostrin::TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 1u);
    EXPECT_TRUE(InkBounds(Pages()[0].image).isNull());
}
