// The layout that each CustomerSepType number chooses.
#include <gtest/gtest.h>

#include "Customer/CGeneral.h"
#include "Customer/CMorrow.h"
#include "Customer/CMorrowEnvelope.h"
#include "Customer/CPellis.h"
#include "Customer/CQuenta.h"
#include "Customer/CustomerLayoutFactory.h"
#include "CustomerLayoutTestSupport.h"
#include "CustomerTestSupport.h"

using namespace TVostrin;

namespace {

template <typename Layout>
bool Chooses(int sepType) {
    auto layout = CreateCustomerElementOfType(sepType);
    return dynamic_cast<Layout*>(layout.get()) != nullptr;
}

}  // namespace

TEST(CustomerLayoutChoice, EachNumberGivesItsLayout) {
    EXPECT_TRUE(Chooses<CQuenta>(0));
    EXPECT_TRUE(Chooses<CMorrow>(1));
    EXPECT_TRUE(Chooses<CMorrowEnvelope>(2));
    EXPECT_FALSE(Chooses<CMorrow>(2));
    EXPECT_TRUE(Chooses<CPellis>(3));
    EXPECT_TRUE(Chooses<CGeneral>(9999));
    for (int other : {4, 7, -1, 10000}) {
        auto layout = CreateCustomerElementOfType(other);
        EXPECT_EQ(typeid(*layout), typeid(CBuildCustomerElement)) << other;
    }
}

TEST(CustomerLayoutChoice, AnIniFileWithoutTheSectionReadsCommaSeparatedLines) {
    EXPECT_NE(dynamic_cast<CGeneral*>(
                  CreateCustomerElement(customertest::DataPath("no_format_section.ini")).get()),
              nullptr);
    customertest::TempFiles files;
    const std::string data = files.Write("d.txt", "x,y||z\r\nnext\r\n");
    auto p = customertest::ReadPortion(data, files.Path("missing.ini"), 0);
    ASSERT_EQ(p.status, 0);
    EXPECT_EQ(customertest::Outline(p.tree.get()),
              "root(customerid=0 record(tr(field0=x field1=y||z)))");
    EXPECT_EQ(p.position, 8);
}
