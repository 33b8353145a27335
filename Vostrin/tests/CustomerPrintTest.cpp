// Printing portions of a customer text file: positions handed from call to call, the end of the
// data, and the statuses of the import reaching the caller.
#include <memory>

#include "ScriptedPrinterTestSupport.h"
#include "Vostrin.h"

using vostrintest::DataFile;

namespace {

class CustomerPrintTest : public vostrintest::ScriptedPrinter {
  protected:
    // One PrintOneCustom call on file with ini; position in pos, counts in the members.
    int Call(const char* file, const char* ini, int filePos, char doPrint, int index = 0) {
        return PrintOneCustom(DataFile(file).c_str(), index, filePos, &newPos,
                              DataFile(ini).c_str(), tmpl.c_str(), &env, &sheets, &pages, doPrint,
                              "Scripted", 0);
    }
    const std::string tmpl = DataFile("grove_layout.xml");
    int newPos = -5;
    int env = 77, sheets = 77, pages = 77;
};

}  // namespace

TEST_F(CustomerPrintTest, EachCallPrintsOneCustomerAndTheLastCallFindsNoneLeft) {
    ASSERT_EQ(Call("grove.txt", "grove.ini", 0, 1), 0);
    EXPECT_EQ(newPos, 18);  // after the two records of customer 1
    EXPECT_EQ(pages, 1);
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_EQ(PagesOfLastDoc(), 1);

    ASSERT_EQ(Call("grove.txt", "grove.ini", newPos, 1), 0);
    EXPECT_EQ(newPos, 27);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(sys->docs.size(), 2u);

    const int before = newPos;
    EXPECT_EQ(Call("grove.txt", "grove.ini", newPos, 1), -9000);
    EXPECT_EQ(newPos, before);
    EXPECT_EQ(env, 0);
    EXPECT_EQ(sheets, 0);
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(sys->docs.size(), 2u);
}

TEST_F(CustomerPrintTest, WithoutPrintingOnlyThePositionMoves) {
    ASSERT_EQ(Call("grove.txt", "grove.ini", 0, 0), 0);
    EXPECT_EQ(newPos, 18);
    EXPECT_EQ(env, 0);
    EXPECT_EQ(sheets, 0);
    EXPECT_EQ(pages, 0);
    EXPECT_TRUE(sys->docs.empty());
}

TEST_F(CustomerPrintTest, HexFieldSeparatorAndOneRecordPerCall) {
    ASSERT_EQ(Call("grove_tab.txt", "grove_tab.ini", 0, 1), 0);
    EXPECT_EQ(newPos, 9);
    EXPECT_EQ(pages, 1);
    ASSERT_EQ(Call("grove_tab.txt", "grove_tab.ini", newPos, 1), 0);
    EXPECT_EQ(newPos, 18);
    EXPECT_EQ(Call("grove_tab.txt", "grove_tab.ini", newPos, 1), -9000);
    EXPECT_EQ(sys->docs.size(), 2u);
}

TEST_F(CustomerPrintTest, MissingCustomerFileGivesMinus2001) {
    EXPECT_EQ(Call("no_such_customers.txt", "grove.ini", 0, 1), -2001);
    EXPECT_EQ(newPos, -5);
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(env, 0);
    EXPECT_TRUE(sys->docs.empty());
    EXPECT_EQ(PrintOneCustom(nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 1,
                             nullptr, 0),
              -2001);
}

TEST_F(CustomerPrintTest, NullNewPositionIsNotWritten) {
    EXPECT_EQ(
        PrintOneCustom(DataFile("grove.txt").c_str(), 0, 0, nullptr, DataFile("grove.ini").c_str(),
                       tmpl.c_str(), &env, &sheets, &pages, 1, nullptr, 0),
        0);
    EXPECT_EQ(pages, 1);
}

TEST_F(CustomerPrintTest, PackageOfCustomersIsOneDocument) {
    ASSERT_EQ(BeginPkgDoc("Customers", "Scripted", 0), 0);
    int pos = 0, status = 0, calls = 0;
    while ((status = PrintOneCustom2(DataFile("grove.txt").c_str(), calls, pos, &pos,
                                     DataFile("grove.ini").c_str(), tmpl.c_str(), nullptr, nullptr,
                                     nullptr, 1, "Scripted", 0)) == 0)
        ++calls;
    EXPECT_EQ(status, -9000);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(EndPkgDoc("Scripted"), 0);
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_EQ(PagesOfLastDoc(), 2);
}
