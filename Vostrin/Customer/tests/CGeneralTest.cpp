// The configurable layout: records cut by separators and by widths, field names, customers
// grouped by identifying fields, positions after each call, and failures.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>
#include <vector>

#include "CustomerLayoutTestSupport.h"
#include "CustomerTestSupport.h"

using customertest::DataPath;
using customertest::Failed;
using customertest::Gbk;
using customertest::Outline;
using customertest::ReadPortion;
using customertest::Rows;

namespace {

std::string RecordRows(const customertest::Portion& p, int index = 1) {
    std::unique_ptr<TXml> record(p.tree->ChildAt(index));
    std::string text;
    for (const std::string& row : Rows(record.get())) text += "[" + row + "]";
    return text;
}

// Reads the customers of data one call after another from the start: each call succeeds with
// the rows given and ends at the position given, and then no customer is left.
void ExpectCustomers(const std::string& data, const std::string& ini,
                     const std::vector<std::pair<std::string, int>>& customers) {
    int position = 0;
    for (const auto& [rows, end] : customers) {
        SCOPED_TRACE(rows);
        auto p = ReadPortion(data, ini, position);
        ASSERT_EQ(p.status, 0);
        EXPECT_EQ(RecordRows(p), rows);
        EXPECT_EQ(p.position, end);
        position = p.position;
    }
    EXPECT_EQ(ReadPortion(data, ini, position).status, VOSTRIN_NO_CUSTOMER_LEFT);
}

}  // namespace

TEST(GeneralLayout, DefaultSettingsReadOneCommaSeparatedLinePerCall) {
    customertest::TempFiles files;
    const std::string data = files.Write("d.txt", "a0,a1,a2,a3,a4,a5,a6,a7,a8,a9,a10\r\nb,c\r\n");
    const std::string ini = DataPath("no_format_section.ini");

    auto first = ReadPortion(data, ini, 0, 12);
    ASSERT_EQ(first.status, 0);
    // Field names in byte order: field10 comes before field2.
    EXPECT_EQ(Outline(first.tree.get()),
              "root(customerid=12 record(tr(field0=a0 field1=a1 field10=a10 field2=a2 field3=a3 "
              "field4=a4 field5=a5 field6=a6 field7=a7 field8=a8 field9=a9)))");
    EXPECT_EQ(first.position, 35);

    auto second = ReadPortion(data, ini, first.position, 13);
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(Outline(second.tree.get()), "root(customerid=13 record(tr(field0=b field1=c)))");
    EXPECT_EQ(second.position, 40);

    auto third = ReadPortion(data, ini, second.position);
    EXPECT_TRUE(Failed(third, VOSTRIN_NO_CUSTOMER_LEFT, 40));
}

TEST(GeneralLayout, IdentifyingFieldsGroupRecordsIntoOneCustomer) {
    const std::string data = DataPath("general_identify.txt");
    const std::string ini = DataPath("general_identify.ini");

    auto first = ReadPortion(data, ini, 0);
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(RecordRows(first), "[amount=10 id=1 name=Ann][amount=20 id=1 name=Ann]");
    EXPECT_EQ(first.position, 20);  // the third record is left for the next call

    auto second = ReadPortion(data, ini, first.position);
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(RecordRows(second), "[amount=30 id=2 name=Bob]");
    EXPECT_EQ(second.position, 30);  // the last customer ends with the data

    auto third = ReadPortion(data, ini, second.position);
    EXPECT_EQ(third.status, VOSTRIN_NO_CUSTOMER_LEFT);
    EXPECT_EQ(third.position, 30);
}

TEST(GeneralLayout, IdentifyingFieldsCompareExactlyAndMissingFieldsReadEmpty) {
    customertest::TempFiles files;
    const std::string ini =
        files.Write("i.ini", "[TextFileFormat]\nFieldName=k,v\nIdentifyFields=k,absent\n");
    const std::string data = files.Write("d.txt", "A,1\r\nA,2\r\na,3\r\nA ,4\r\n");
    auto first = ReadPortion(data, ini, 0);
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(RecordRows(first), "[k=A v=1][k=A v=2]");
    auto second = ReadPortion(data, ini, first.position);
    EXPECT_EQ(RecordRows(second), "[k=a v=3]");
    auto third = ReadPortion(data, ini, second.position);
    EXPECT_EQ(RecordRows(third), "[k=A  v=4]");  // fields are not trimmed
}

TEST(GeneralLayout, NamedFieldsTakeFieldsInOrderAndSortByBytes) {
    customertest::TempFiles files;
    const std::string ini = files.Write("n.ini", "[TextFileFormat]\nFieldName=zeta,,Alpha,beta\n");
    const std::string data = files.Write("d.txt", "1,2\r\n1,2,3,4\r\n,,\r\n");
    auto first = ReadPortion(data, ini, 0);
    EXPECT_EQ(RecordRows(first), "[Alpha=2 beta= zeta=1]");
    auto second = ReadPortion(data, ini, first.position);
    EXPECT_EQ(RecordRows(second), "[Alpha=2 beta=3 zeta=1]");  // the fourth field is dropped
    auto third = ReadPortion(data, ini, second.position);
    EXPECT_EQ(RecordRows(third), "[Alpha= beta= zeta=]");  // only the trailing piece is dropped
}

TEST(GeneralLayout, EmptyRecordsAreSkipped) {
    customertest::TempFiles files;
    const std::string data = files.Write("d.txt", "\r\n\r\nx,y\r\n\n\r\n");
    ExpectCustomers(data, DataPath("no_format_section.ini"), {{"[field0=x field1=y]", 9}});
}

TEST(GeneralLayout, RecordSeparatorOfTwoBars) {
    customertest::TempFiles files;
    const std::string data = files.Write("d.txt", "x||y,z||");
    ExpectCustomers(data, DataPath("general_bars.ini"),
                    {{"[field0=x]", 3}, {"[field0=y field1=z]", 8}});
}

TEST(GeneralLayout, SeparatorsMatchOnlyWhereACharacterStarts) {
    // The second byte of 珅 (AB 7C) is the record separator byte "|".
    customertest::TempFiles files;
    const std::string ini =
        files.Write("g.ini", "[TextFileFormat]\nRecordSeparator=7C\nFieldSeparator=2C\n");
    const std::string first = Gbk("张珅,先生|");
    const std::string data = files.Write("d.txt", first + Gbk("李珅|"));
    auto p = ReadPortion(data, ini, 0);
    ASSERT_EQ(p.status, 0);
    EXPECT_EQ(RecordRows(p), "[field0=" + Gbk("张珅") + " field1=" + Gbk("先生") + "]");
    EXPECT_EQ(p.position, static_cast<int>(first.size()));
    auto second = ReadPortion(data, ini, p.position);
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(RecordRows(second), "[field0=" + Gbk("李珅") + "]");
}

TEST(GeneralLayout, ALeadByteWithoutASecondByteHidesNoSeparator) {
    // Random records of ASCII, double-byte characters (second bytes such as "|" and "@"
    // included) and lead bytes left alone, as where a fixed-width export cut a name in half:
    // a comma or line feed after such a byte still ends its field or record.
    std::mt19937 random(24);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    auto secondByte = [&]() {  // 0x40-0x7E or 0x80-0xFE
        const int b = pick(0x40, 0xFD);
        return static_cast<char>(b <= 0x7E ? b : b + 1);
    };
    const std::string ascii = "019 -.;:?!abcXYZ";  // the first ten are no second bytes
    auto field = [&]() {
        std::string text;
        for (int n = pick(0, 6); n > 0; --n) {
            switch (pick(0, 2)) {
                case 0:
                    text += ascii[static_cast<size_t>(pick(0, int(ascii.size()) - 1))];
                    break;
                case 1:
                    text += {static_cast<char>(pick(0x81, 0xFE)), secondByte()};
                    break;
                default:  // a lead byte alone, then ASCII or the end of the field
                    text += static_cast<char>(pick(0x81, 0xFE));
                    if (pick(0, 1)) text += ascii[static_cast<size_t>(pick(0, 9))];
            }
        }
        return text;
    };
    customertest::TempFiles files;
    const std::string ini =
        files.Write("g.ini", "[TextFileFormat]\nRecordSeparator=0A\nFieldSeparator=2C\n");
    std::vector<std::map<std::string, std::string>> records;
    std::string text;
    for (int r = 0; r < 300; ++r) {
        std::map<std::string, std::string> fields;
        std::string line;
        const int count = pick(1, 5);
        for (int f = 0; f < count; ++f) {
            std::string piece = field();
            if (f == count - 1 && piece.empty()) piece = "z";  // no trailing empty piece
            fields["field" + std::to_string(f)] = piece;
            line += (f ? "," : "") + piece;
        }
        records.push_back(fields);
        text += line + "\n";
    }
    const std::string data = files.Write("d.txt", text);
    int position = 0;
    for (size_t r = 0; r < records.size(); ++r) {
        SCOPED_TRACE(r);
        auto p = ReadPortion(data, ini, position);
        ASSERT_EQ(p.status, 0);
        std::string expected = "[";
        for (const auto& [name, value] : records[r]) {
            if (expected.size() > 1) expected += ' ';
            expected.append(name).append("=").append(value);
        }
        ASSERT_EQ(RecordRows(p), expected + "]");
        position = p.position;
    }
    EXPECT_EQ(position, static_cast<int>(text.size()));
    EXPECT_EQ(ReadPortion(data, ini, position).status, VOSTRIN_NO_CUSTOMER_LEFT);
}

TEST(GeneralLayout, SeparatorsHoldingALineEndMatchTheFileLineEnds) {
    customertest::TempFiles files;
    // A record separator with CR LF after its first byte, in a file of 600 customers.
    const std::string ini =
        files.Write("g.ini", "[TextFileFormat]\nRecordSeparator=7C0D0A\nFieldSeparator=2C\n");
    std::string text;
    for (int i = 0; i < 600; ++i) text += "n" + std::to_string(i) + ",x|\r\n";
    const std::string data = files.Write("d.txt", text);
    int position = 0;
    int customers = 0;
    for (;;) {
        auto p = ReadPortion(data, ini, position);
        if (p.status != 0) {
            EXPECT_EQ(p.status, VOSTRIN_NO_CUSTOMER_LEFT);
            break;
        }
        ASSERT_EQ(RecordRows(p), "[field0=n" + std::to_string(customers) + " field1=x]");
        ++customers;
        position = p.position;
    }
    EXPECT_EQ(customers, 600);
    EXPECT_EQ(position, static_cast<int>(text.size()));

    // A field separator of CR LF inside records cut by two bars.
    const std::string fields =
        files.Write("f.ini", "[TextFileFormat]\nRecordSeparator=7C7C\nFieldSeparator=0D0A\n");
    auto p = ReadPortion(files.Write("f.txt", "a\r\nb||"), fields, 0);
    ASSERT_EQ(p.status, 0);
    EXPECT_EQ(RecordRows(p), "[field0=a field1=b]");
}

TEST(GeneralLayout, EndOfFileEndsTheLastRecordAndByte0xFFIsData) {
    customertest::TempFiles files;
    const std::string data = files.Write("d.txt",
                                         "a\xff"
                                         "b||c\xff");
    const std::string ini = DataPath("general_bars.ini");
    auto first = ReadPortion(data, ini, 0);
    EXPECT_EQ(RecordRows(first),
              "[field0=a\xff"
              "b]");
    auto second = ReadPortion(data, ini, first.position);
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(RecordRows(second), "[field0=c\xff]");
    EXPECT_EQ(second.position, 7);
}

TEST(GeneralLayout, OverlongRecordsAreCutAndTheNextRecordStaysWhole) {
    customertest::TempFiles files;
    const std::string bars = DataPath("general_bars.ini");
    const std::string data = files.Write("bars.txt", std::string(5000, 'x') + "||next||");
    auto first = ReadPortion(data, bars, 0);
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(RecordRows(first), "[field0=" + std::string(4096, 'x') + "]");
    EXPECT_EQ(first.position, 5002);
    EXPECT_EQ(RecordRows(ReadPortion(data, bars, first.position)), "[field0=next]");

    const std::string lines = files.Write("lines.txt", std::string(5000, 'y') + "\r\nnext\r\n");
    const std::string ini = DataPath("no_format_section.ini");
    auto line = ReadPortion(lines, ini, 0);
    ASSERT_EQ(line.status, 0);
    EXPECT_EQ(RecordRows(line), "[field0=" + std::string(4095, 'y') + "]");
    EXPECT_EQ(RecordRows(ReadPortion(lines, ini, line.position)), "[field0=next]");
}

TEST(GeneralLayout, EmptyRecordSeparatorMakesTheRestOfTheFileOneRecord) {
    customertest::TempFiles files;
    const std::string ini =
        files.Write("e.ini", "[TextFileFormat]\nRecordSeparator=\nFieldSeparator=0A\n");
    ExpectCustomers(files.Write("d.txt", "a\r\nb\r\n"), ini, {{"[field0=a field1=b]", 6}});
}

TEST(GeneralLayout, FixedLengthRecordsAreCutByWidthsAndTrimmed) {
    const std::string ini = DataPath("general_fixed.ini");
    const std::string data = DataPath("general_fixed.txt");
    auto first = ReadPortion(data, ini, 0);
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(Outline(first.tree.get()), "root(customerid=0 record(tr(field0=AB field1=123456)))");
    EXPECT_EQ(first.position, 10);
    auto second = ReadPortion(data, ini, first.position);
    EXPECT_EQ(RecordRows(second), "[field0=CD field1=654321]");
    EXPECT_EQ(second.position, 20);
    EXPECT_EQ(ReadPortion(data, ini, second.position).status, VOSTRIN_NO_CUSTOMER_LEFT);
}

TEST(GeneralLayout, FixedLengthRecordsCountLineEndsAndTakeAShortLastRecord) {
    customertest::TempFiles files;
    const std::string ini = files.Write(
        "f.ini", "[TextFileFormat]\nSepType=2\nRecordLen=7\nFieldLen=2,x,3,9\nFieldName=a,b,c,d\n");
    // The carriage return before a line feed is dropped by the reading, so a record of six
    // characters and a line end is seven characters and eight bytes.
    const std::string data = files.Write("d.txt", "ab cde\r\n" + std::string(7, '\0') + "fg h");
    // The record of zero bytes between them is skipped.
    ExpectCustomers(data, ini, {{"[a=ab b= c=cd d=e]", 8}, {"[a=fg b= c=h d=]", 19}});
}

TEST(GeneralLayout, FixedLengthFieldsBeyondTheNamesAreLeftOut) {
    customertest::TempFiles files;
    const std::string ini = files.Write(
        "f.ini", "[TextFileFormat]\nSepType=1\nRecordLen=6\nFieldLen=2,2,2\nFieldName=p,q\n");
    const std::string data = files.Write("d.txt", "112233");
    EXPECT_EQ(RecordRows(ReadPortion(data, ini, 0)), "[p=11 q=22]");
}

TEST(GeneralLayout, FixedLengthRecordsWithIdentifyingFields) {
    customertest::TempFiles files;
    const std::string ini = files.Write(
        "f.ini", "[TextFileFormat]\nSepType=1\nRecordLen=4\nFieldLen=1,3\nIdentifyFields=field0\n");
    const std::string data = files.Write("d.txt", "A001A002B003");
    auto first = ReadPortion(data, ini, 0);
    EXPECT_EQ(RecordRows(first), "[field0=A field1=001][field0=A field1=002]");
    EXPECT_EQ(first.position, 8);
}

TEST(GeneralLayout, ZeroRecordLengthReadsNothing) {
    customertest::TempFiles files;
    const std::string ini = files.Write("f.ini", "[TextFileFormat]\nSepType=1\nFieldLen=2\n");
    const std::string data = files.Write("d.txt", "abcdef");
    auto p = ReadPortion(data, ini, 0);
    EXPECT_EQ(p.status, VOSTRIN_NO_CUSTOMER_LEFT);
    EXPECT_EQ(p.position, 0);
}

TEST(GeneralLayout, FailuresLeaveNoTreeAndThePositionUnchanged) {
    customertest::TempFiles files;
    const std::string ini = DataPath("no_format_section.ini");
    auto missing = ReadPortion(files.Path("none.txt"), ini, 4);
    EXPECT_TRUE(Failed(missing, -2001, 4));

    const std::string data = files.Write("d.txt", "a,b\r\n");
    auto before = ReadPortion(data, ini, -1);
    EXPECT_EQ(before.status, VOSTRIN_NO_CUSTOMER_LEFT);
    EXPECT_EQ(before.position, -1);

    // A folder opens but cannot be read: a read failure, not the end of the data.
    auto unreadable = ReadPortion(files.Path(""), ini, 0);
    EXPECT_TRUE(Failed(unreadable, -2003, 0));
}
