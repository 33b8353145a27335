// The layouts of one customer per delimited line: the mailing pages, the envelope page and
// numbered fields; post codes, customers per call, positions and failures.
#include <gtest/gtest.h>

#include "CustomerLayoutTestSupport.h"
#include "CustomerTestSupport.h"

using customertest::Child;
using customertest::DataPath;
using customertest::Failed;
using customertest::Gbk;
using customertest::Outline;
using customertest::ReadPortion;
using customertest::Rows;

namespace {

std::string Ini(customertest::TempFiles& files, int type, int count, const std::string& sep) {
    return files.Write("l.ini", "[TextFileFormat]\nCustomerSepType=" + std::to_string(type) +
                                    "\nCustomerRecordCnt=" + std::to_string(count) +
                                    "\nFieldSeparator=" + sep + "\n");
}

// 25 lines "n||name<n>" of about ten bytes each, and the byte offset after each line.
std::string NumberedLines(std::vector<int>& ends) {
    std::string text;
    for (int i = 1; i <= 25; ++i) {
        text += std::to_string(i) + "||name" + std::to_string(i) + "\r\n";
        ends.push_back(static_cast<int>(text.size()));
    }
    return text;
}

size_t RecordSize(const customertest::Portion& p, int page, int record) {
    auto node = Child(p.tree.get(), {page, record});
    return node ? static_cast<size_t>(node->ChildCount()) : 0;
}

}  // namespace

TEST(MailingLayout, ThreePagesPerCallWithPaddedPostCodes) {
    auto p = ReadPortion(DataPath("mailing.txt"), DataPath("mailing.ini"), 0, 3);
    ASSERT_EQ(p.status, 0);
    EXPECT_EQ(Outline(p.tree.get()),
              "root("
              "page(customerid=3 record("
              "tr(postcd0=0 postcd1=0 postcd2=1 postcd3=0 postcd4=0 postcd5=8 "
              "address0=NorthTownStreet 5 address1=ShireRoad 1Flat 2 name=Ann) "
              "tr(address0= address1=XY name=Bob))) "
              "page(customerid=3 record(tr(name=AnnDear Ms\xA3\xBA) tr(name=Bob\xA3\xBA))) "
              "page(record(tr(name= ) tr(name= ))))");
    EXPECT_EQ(p.position, 65);
}

TEST(MailingLayout, LongPostCodesStayAndLongLinesStayOneCustomer) {
    customertest::TempFiles files;
    const std::string ini = Ini(files, 1, 5, "2C");
    const std::string data = files.Write("m.txt", ",,a,,,,,,123456\n,,b,,,,,,1234567,extra\n,,c" +
                                                      std::string(3000, 'x') + "\n,,d\n");
    auto p = ReadPortion(data, ini, 0);
    ASSERT_EQ(p.status, 0);
    auto record = Child(p.tree.get(), {0, 1});
    const auto rows = Rows(record.get());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0],
              "postcd0=1 postcd1=2 postcd2=3 postcd3=4 postcd4=5 postcd5=6 address0= address1= "
              "name=a");
    EXPECT_EQ(rows[1],
              "postcd0=1 postcd1=2 postcd2=3 postcd3=4 postcd4=5 postcd5=6 postcd6=7 address0= "
              "address1= name=b");
    EXPECT_EQ(rows[2], "address0= address1= name=c" + std::string(2044, 'x'));
    EXPECT_EQ(rows[3], "address0= address1= name=d");
}

TEST(MailingLayout, SecondBytesOfChineseCharactersAreNotSeparators) {
    // The second byte of 珅 (AB 7C) is the separator byte "|".
    customertest::TempFiles files;
    const std::string ini = Ini(files, 1, 1, "7C");
    const std::string data =
        files.Write("m.txt", Gbk("北京|海淀|张珅|先生|中关村|路1号|楼2|室3|100080\r\n"));
    auto p = ReadPortion(data, ini, 0);
    ASSERT_EQ(p.status, 0);
    EXPECT_EQ(Rows(Child(p.tree.get(), {0, 1}).get())[0],
              "postcd0=1 postcd1=0 postcd2=0 postcd3=0 postcd4=8 postcd5=0 address0=" +
                  Gbk("路1号楼2室3") + " address1=" + Gbk("北京海淀中关村") +
                  " name=" + Gbk("张珅"));
    EXPECT_EQ(Rows(Child(p.tree.get(), {1, 1}).get())[0], "name=" + Gbk("张珅先生："));
}

TEST(MailingLayout, CustomersPerCallAndTheEndOfTheFile) {
    customertest::TempFiles files;
    std::vector<int> ends;
    const std::string data = files.Write("m.txt", NumberedLines(ends));
    const std::string ini = Ini(files, 1, 10, "7C");
    int position = 0;
    for (size_t expected : {10u, 10u, 5u, 0u}) {
        auto p = ReadPortion(data, ini, position);
        ASSERT_EQ(p.status, 0);
        EXPECT_EQ(RecordSize(p, 0, 1), expected);
        EXPECT_EQ(RecordSize(p, 1, 1), expected);
        EXPECT_EQ(RecordSize(p, 2, 0), expected);
        position = p.position;
    }
    EXPECT_EQ(position, ends.back());

    auto second = ReadPortion(data, ini, ends[9]);
    auto greeting = Child(second.tree.get(), {1, 1, 0, 0});
    EXPECT_EQ(greeting->AttributeValue("value"), "name11\xA3\xBA");
    EXPECT_EQ(second.position, ends[19]);
}

TEST(EnvelopeLayout, OnlyFullSetsOfCustomersAreRead) {
    customertest::TempFiles files;
    std::vector<int> ends;
    const std::string data = files.Write("m.txt", NumberedLines(ends));
    const std::string ini = Ini(files, 2, 10, "7C");

    auto first = ReadPortion(data, ini, 0, 1);
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(customertest::ChildTags(first.tree.get()), std::vector<std::string>{"page"});
    EXPECT_EQ(RecordSize(first, 0, 1), 10u);
    EXPECT_EQ(Rows(Child(first.tree.get(), {0, 1}).get())[0], "address0= address1=1 name=name1");
    EXPECT_EQ(first.position, ends[9]);

    auto second = ReadPortion(data, ini, first.position);
    EXPECT_EQ(RecordSize(second, 0, 1), 10u);
    EXPECT_EQ(second.position, ends[19]);

    auto third = ReadPortion(data, ini, second.position);
    EXPECT_TRUE(Failed(third, VOSTRIN_NO_CUSTOMER_LEFT, ends[19]));
}

TEST(EnvelopeLayout, ThePageHoldsTheAddressElements) {
    customertest::TempFiles files;
    const std::string ini = Ini(files, 2, 1, "7C");
    auto p = ReadPortion(DataPath("mailing.txt"), ini, 0, 4);
    ASSERT_EQ(p.status, 0);
    EXPECT_EQ(Outline(p.tree.get()),
              "root(page(customerid=4 record(tr(postcd0=0 postcd1=0 postcd2=1 postcd3=0 "
              "postcd4=0 postcd5=8 address0=NorthTownStreet 5 address1=ShireRoad 1Flat 2 "
              "name=Ann))))");
    EXPECT_EQ(p.position, 57);
}

TEST(NumberedLayout, BlankLinesAreSkippedAndNotCounted) {
    const std::string ini = DataPath("numbered.ini");
    const std::string data = DataPath("numbered.txt");
    auto first = ReadPortion(data, ini, 0, 2);
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(Outline(first.tree.get()),
              "root(page(customerid=2 record(tr(field0=a field1=b field2= field3=c) "
              "tr(field0=d))))");
    EXPECT_EQ(first.position, 12);

    // One line left of the two a call needs: nothing is returned.
    auto second = ReadPortion(data, ini, first.position);
    EXPECT_TRUE(Failed(second, VOSTRIN_NO_CUSTOMER_LEFT, 12));
}

TEST(NumberedLayout, AnEmptySeparatorMakesEachLineOneField) {
    customertest::TempFiles files;
    const std::string ini = Ini(files, 3, 1, "");
    const std::string data = files.Write("n.txt", "a,b\tc\r\n");
    auto p = ReadPortion(data, ini, 0);
    ASSERT_EQ(p.status, 0);
    EXPECT_EQ(Outline(p.tree.get()), "root(page(customerid=0 record(tr(field0=a,b\tc))))");
    EXPECT_EQ(p.position, 7);
}

TEST(NumberedLayout, ACountBelowOneReadsNothing) {
    // The numbered and the envelope layouts would otherwise answer an empty portion on every
    // call, even at the end of the file, and a caller reading until -9000 would never stop.
    for (int type : {2, 3}) {
        SCOPED_TRACE(type);
        customertest::TempFiles files;
        for (int count : {0, -1}) {
            const std::string ini = Ini(files, type, count, "2C");
            const std::string data = files.Write("n.txt", "a\n");
            EXPECT_TRUE(Failed(ReadPortion(data, ini, 0), -2003, 0));
            EXPECT_TRUE(Failed(ReadPortion(data, ini, 2), -2003, 2));
        }
    }
}

TEST(DelimitedLayouts, FailuresLeaveNoTreeAndThePositionUnchanged) {
    for (int type : {1, 2, 3}) {
        SCOPED_TRACE(type);
        customertest::TempFiles files;
        customertest::ExpectFailuresLeaveNothing(files, Ini(files, type, 1, "2C"));
    }
}
