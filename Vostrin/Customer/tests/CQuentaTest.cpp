// The report-page layout: pages of one customer found by the account text of line 31, at
// most five pages per call, fields cut at fixed columns, positions and failures.
#include <gtest/gtest.h>

#include "CustomerLayoutTestSupport.h"
#include "CustomerTestSupport.h"

using customertest::Child;
using customertest::ChildTags;
using customertest::ReadPortion;
using customertest::Rows;

namespace {

constexpr int kLines = 66;

std::string Padded(std::string text, size_t width) {
    text.resize(width, ' ');
    return text;
}

// One report page of 66 lines ending in CR LF; line 31 carries the account in columns 31-63.
std::string ReportPage(const std::string& account, int pageNo) {
    std::string page;
    for (int line = 1; line <= kLines; ++line) {
        if (line == 31)
            page += Padded("Customer " + std::to_string(pageNo), 30) + Padded(account, 33);
        else
            page += "p" + std::to_string(pageNo) + "l" + std::to_string(line);
        page += "\r\n";
    }
    return page;
}

std::string QuentaIni(customertest::TempFiles& files, int linesPerPage) {
    return files.Write("q.ini", "[TextFileFormat]\nCustomerSepType=0\nCustomerRecordCnt=" +
                                    std::to_string(linesPerPage) + "\n");
}

// The rows of the page's record.
std::vector<std::string> PageRows(const customertest::Portion& p) {
    auto record = Child(p.tree.get(), {0, 1});
    return record ? Rows(record.get()) : std::vector<std::string>{};
}

}  // namespace

TEST(ReportLayout, PagesWithTheSameAccountFormOneCustomer) {
    customertest::TempFiles files;
    const std::string page1 = ReportPage("ACC-1", 1);
    const std::string data =
        files.Write("r.txt", page1 + ReportPage("  ACC-1", 2) + ReportPage("ACC-1", 3) +
                                 ReportPage("ACC-2", 4));
    const std::string ini = QuentaIni(files, kLines);

    auto first = ReadPortion(data, ini, 0, 5);
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(ChildTags(first.tree.get()), std::vector<std::string>{"page"});
    auto page = Child(first.tree.get(), {0});
    EXPECT_EQ(ChildTags(page.get()), (std::vector<std::string>{"customerid", "record"}));
    EXPECT_EQ(Child(page.get(), {0})->AttributeValue("value"), "5");
    const auto rows = PageRows(first);
    ASSERT_EQ(rows.size(), 198u);
    EXPECT_EQ(rows[0], "field0=p1l1");
    EXPECT_EQ(rows[30], "field0=Customer 1 field1=ACC-1");
    EXPECT_EQ(rows[197], "field0=p3l66");
    EXPECT_EQ(first.position, static_cast<int>(3 * page1.size()));

    auto second = ReadPortion(data, ini, first.position);
    ASSERT_EQ(second.status, 0);
    const auto rows2 = PageRows(second);
    ASSERT_EQ(rows2.size(), 66u);
    EXPECT_EQ(rows2[0], "field0=p4l1");
    EXPECT_EQ(second.position, static_cast<int>(4 * page1.size()));

    // At the end of the data: success with an empty record, the position unchanged.
    auto end = ReadPortion(data, ini, second.position, 9);
    ASSERT_EQ(end.status, 0);
    EXPECT_EQ(customertest::Outline(end.tree.get()), "root(page(customerid=9 record))");
    EXPECT_EQ(end.position, second.position);
}

TEST(ReportLayout, AtMostFivePagesPerCall) {
    customertest::TempFiles files;
    std::string text;
    for (int page = 1; page <= 6; ++page) text += ReportPage("SAME", page);
    const std::string data = files.Write("r.txt", text);
    const std::string ini = QuentaIni(files, kLines);

    auto first = ReadPortion(data, ini, 0);
    EXPECT_EQ(PageRows(first).size(), 330u);
    auto second = ReadPortion(data, ini, first.position);
    const auto rows = PageRows(second);
    ASSERT_EQ(rows.size(), 66u);
    EXPECT_EQ(rows[0], "field0=p6l1");
    EXPECT_EQ(second.position, static_cast<int>(text.size()));
}

TEST(ReportLayout, APageCutShortBeforeItsAccountLineEndsTheCustomer) {
    customertest::TempFiles files;
    const std::string page1 = ReportPage("A", 1);
    const std::string data = files.Write("r.txt", page1 + "tail1\r\ntail2\r\n");
    const std::string ini = QuentaIni(files, kLines);
    auto first = ReadPortion(data, ini, 0);
    EXPECT_EQ(PageRows(first).size(), 66u);
    EXPECT_EQ(first.position, static_cast<int>(page1.size()));
    auto second = ReadPortion(data, ini, first.position);
    // The second line of a page is cut as line 2 wherever the page starts.
    EXPECT_EQ(PageRows(second), (std::vector<std::string>{"field0=tail1", "field0=t"}));
}

TEST(ReportLayout, FieldsAreCutAtTheColumnsOfTheirLine) {
    customertest::TempFiles files;
    std::vector<std::string> lines(kLines, "");
    lines[0] =
        "\x0C"
        "first";
    lines[1] = "1    2    3    4    5    6    7";
    lines[2] =
        "\x0E"
        "  kept as is  ";
    lines[7] = "   heading line 8   ";
    lines[11] = "\theading 12";
    lines[30] = Padded("  name", 30) + Padded(" ACCOUNT", 33) + "beyond";
    lines[33] = Padded("0123456789", 10) + Padded(" b", 26) + Padded("c", 16) + Padded("d", 15) +
                Padded("e", 13) + Padded("f", 24) + "g";
    lines[53] = "short";
    lines[54] = Padded("left", 40) + "right";
    lines[57] = Padded("x", 35) + Padded("y", 34) + "z";
    lines[59] = std::string(36, ' ') + "yy";
    lines[60] = std::string(3000, 'L');
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    const std::string data = files.Write("r.txt", text + "next\n");
    const std::string ini = QuentaIni(files, kLines);

    auto p = ReadPortion(data, ini, 0);
    ASSERT_EQ(p.status, 0);
    const auto rows = PageRows(p);
    ASSERT_EQ(rows.size(), 66u);  // the long line stays one line
    EXPECT_EQ(rows[0], "field0= first");
    EXPECT_EQ(rows[1], "field0=123456");
    EXPECT_EQ(rows[2], "field0=   kept as is  ");
    EXPECT_EQ(rows[7], "field0=heading line 8");
    EXPECT_EQ(rows[11], "field0=heading 12");
    EXPECT_EQ(rows[30], "field0=name field1=ACCOUNT");
    EXPECT_EQ(rows[33], "field0=0123456789 field1=b field2=c field3=d field4=e field5=f");
    EXPECT_EQ(rows[53], "field0=short field1= field2= field3= field4= field5=");
    EXPECT_EQ(rows[54], "field0=left field1=right");
    EXPECT_EQ(rows[57], "field0=x field1=y");
    EXPECT_EQ(rows[58], "field0= field1=");
    EXPECT_EQ(rows[59], "field0= field1=yy");
    EXPECT_EQ(rows[60], "field0=" + std::string(2047, 'L'));
    EXPECT_EQ(rows[61], "field0=");
    // The following page has no account line: it is the next call's.
    EXPECT_EQ(PageRows(ReadPortion(data, ini, p.position)),
              std::vector<std::string>{"field0=next"});
}

TEST(ReportLayout, LineTwoEndsEarlyWithAShortLine) {
    customertest::TempFiles files;
    const std::string data = files.Write("r.txt", "one\n1    2    3\n");
    auto p = ReadPortion(data, QuentaIni(files, 2), 0);
    EXPECT_EQ(PageRows(p), (std::vector<std::string>{"field0=one", "field0=123"}));
}

TEST(ReportLayout, ShortPagesNeverFindAnAccountAndReadFivePages) {
    customertest::TempFiles files;
    std::string text;
    for (int i = 0; i < 12; ++i) text += "l" + std::to_string(i) + "\n";
    const std::string data = files.Write("r.txt", text);
    const std::string ini = QuentaIni(files, 2);
    auto first = ReadPortion(data, ini, 0);
    EXPECT_EQ(PageRows(first).size(), 10u);
    EXPECT_EQ(first.position, 30);
    auto second = ReadPortion(data, ini, first.position);
    EXPECT_EQ(PageRows(second), (std::vector<std::string>{"field0=l10", "field0=l"}));
}

TEST(ReportLayout, FailuresLeaveNoTreeAndThePositionUnchanged) {
    customertest::TempFiles files;
    customertest::ExpectFailuresLeaveNothing(files, QuentaIni(files, kLines));
}
