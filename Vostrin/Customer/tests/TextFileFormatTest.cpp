// Settings of customer text files: hex separators, lists and the INI section.
#include <gtest/gtest.h>

#include "Customer/TextFileFormat.h"
#include "CustomerTestSupport.h"

using namespace TVostrin;

TEST(HexSeparator, PairsOfEitherCaseGiveOneByteEach) {
    EXPECT_EQ(HexToBytes("2C"), ",");
    EXPECT_EQ(HexToBytes("2c"), ",");
    EXPECT_EQ(HexToBytes("0D0A"), "\r\n");
    EXPECT_EQ(HexToBytes("09"), "\t");
    EXPECT_EQ(HexToBytes("7C7C"), "||");
    EXPECT_EQ(HexToBytes(""), "");
}

TEST(HexSeparator, OddAndForeignDigits) {
    EXPECT_EQ(HexToBytes("7"), "\x70");
    EXPECT_EQ(HexToBytes("2C3"), ",\x30");
    EXPECT_EQ(HexToBytes("2G"), "\x20");
    EXPECT_EQ(HexToBytes("zz"), std::string(1, '\0'));
}

TEST(HexSeparator, VeryLongTextIsCutAtTheDigitLimit) {
    const std::string hex(10000, 'A');
    const std::string bytes = HexToBytes(hex);
    EXPECT_EQ(bytes.size(), kMaxHexDigits / 2);
    EXPECT_EQ(bytes, std::string(kMaxHexDigits / 2, '\xAA'));
}

TEST(FormatList, SplitsAtCommasAndDropsEmptyItems) {
    EXPECT_EQ(SplitList("a,b,c"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitList("a,,b,"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitList(",x"), (std::vector<std::string>{"x"}));
    EXPECT_TRUE(SplitList("").empty());
    EXPECT_TRUE(SplitList(",,,").empty());
    EXPECT_EQ(SplitList(" a , b"), (std::vector<std::string>{" a ", " b"}));
}

TEST(FormatSection, MissingKeysGiveTheirDefaults) {
    customertest::TempFiles files;
    const std::string ini = files.Write("none.ini", "[Other]\nSepType=3\n");
    EXPECT_EQ(ReadFormatInt(ini, kKeyCustomerSepType, 9999), 9999);
    EXPECT_EQ(ReadFormatSeparator(ini, kKeyFieldSeparator, "2C"), ",");
    EXPECT_EQ(ReadFormatSeparator(ini, kKeyRecordSeparator, "0D0A"), "\r\n");
    EXPECT_TRUE(ReadFormatList(ini, kKeyFieldName).empty());
    EXPECT_EQ(ReadFormatInt(files.Path("absent.ini"), kKeyRecordLen, 0), 0);
}

TEST(FormatSection, KeysAreReadWithoutRegardToCase) {
    customertest::TempFiles files;
    const std::string ini = files.Write("f.ini",
                                        "[textfileformat]\r\n"
                                        "customerseptype=3\r\n"
                                        "FIELDSEPARATOR=7c\r\n"
                                        "FieldName=id,,name,\r\n"
                                        "RecordLen=12abc\r\n");
    EXPECT_EQ(ReadFormatInt(ini, kKeyCustomerSepType, 9999), 3);
    EXPECT_EQ(ReadFormatSeparator(ini, kKeyFieldSeparator, ""), "|");
    EXPECT_EQ(ReadFormatList(ini, kKeyFieldName), (std::vector<std::string>{"id", "name"}));
    EXPECT_EQ(ReadFormatInt(ini, kKeyRecordLen, 0), 12);
}

TEST(FormatSection, AnEmptyValueIsAnEmptySeparator) {
    customertest::TempFiles files;
    const std::string ini = files.Write("f.ini", "[TextFileFormat]\nFieldSeparator=\n");
    EXPECT_EQ(ReadFormatSeparator(ini, kKeyFieldSeparator, "2C"), "");
}
