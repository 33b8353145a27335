// The frame of one page-layout call: pages reach the root and the position moves only when the
// whole call succeeds.
#include <gtest/gtest.h>

#include "Customer/CBuildCustomerElement.h"
#include "Customer/CustomerPages.h"
#include "Customer/CustomerReading.h"
#include "Customer/CustomerTreeElements.h"
#include "CustomerLayoutTestSupport.h"
#include "CustomerTestSupport.h"

using namespace TVostrin;
using customertest::Outline;

namespace {

// A read that takes one line into a page of its own.
int OneLinePage(CustomerTextFile& file, CustomerPages& pages) {
    std::string line;
    if (!ReadBoundedLine(file, line, 100)) return VOSTRIN_NO_CUSTOMER_LEFT;
    auto page = NewElement("page");
    AppendValueElement(page.get(), "line", line);
    pages.push_back(std::move(page));
    return 0;
}

}  // namespace

TEST(CustomerPages, PagesGoUnderTheRootInOrderAndThePositionMovesOn) {
    customertest::TempFiles files;
    const std::string data = files.Write("d.txt", "one\ntwo\nthree\n");
    auto root = NewElement("root");
    int position = 4;
    const int status = ReadCustomerPages(data, &position, root.get(),
                                         [](CustomerTextFile& file, CustomerPages& pages) {
                                             const int first = OneLinePage(file, pages);
                                             return first ? first : OneLinePage(file, pages);
                                         });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(position, 14);
    EXPECT_EQ(Outline(root.get()), "root(page(line=two) page(line=three))");

    // Without a position the file is read from its start and no position is written.
    auto again = NewElement("root");
    EXPECT_EQ(ReadCustomerPages(data, nullptr, again.get(), OneLinePage), 0);
    EXPECT_EQ(Outline(again.get()), "root(page(line=one))");
}

TEST(CustomerPages, AFailedCallLeavesTheRootAndThePositionAsTheyWere) {
    customertest::TempFiles files;
    const std::string data = files.Write("d.txt", "one\ntwo\n");
    auto root = NewElement("root");
    int position = 0;

    // A status after a page was read: the page is dropped.
    EXPECT_EQ(ReadCustomerPages(data, &position, root.get(),
                                [](CustomerTextFile& file, CustomerPages& pages) {
                                    OneLinePage(file, pages);
                                    return VOSTRIN_NO_CUSTOMER_LEFT;
                                }),
              VOSTRIN_NO_CUSTOMER_LEFT);
    // A read that fails: the read-failure status.
    EXPECT_EQ(ReadCustomerPages(data, &position, root.get(),
                                [](CustomerTextFile& file, CustomerPages& pages) -> int {
                                    OneLinePage(file, pages);
                                    throw CustomerReadError("broken");
                                }),
              VOSTRIN_CUSTOMER_READ_FAILED);
    // A file that is not there, a position the file cannot be moved to.
    EXPECT_EQ(ReadCustomerPages(files.Path("missing.txt"), &position, root.get(), OneLinePage),
              VOSTRIN_CUSTOMER_FILE_NOT_OPENED);
    position = -5;
    EXPECT_EQ(ReadCustomerPages(data, &position, root.get(), OneLinePage),
              VOSTRIN_CUSTOMER_SEEK_FAILED);
    EXPECT_EQ(position, -5);
    position = 0;

    EXPECT_EQ(Outline(root.get()), "root");
    EXPECT_EQ(position, 0);
}
