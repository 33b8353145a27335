// The import's frame: the tree it hands back, positions and out-pointers, and the layout the
// INI file chooses.
#include <gtest/gtest.h>

#include <memory>

#include "Customer/CBuildCustomerData.h"
#include "Customer/CustomerLayoutFactory.h"
#include "CustomerTestSupport.h"
#include "TXml.h"

using namespace TVostrin;

TEST(CustomerImport, AnUnknownLayoutNumberGivesOnlyTheRoot) {
    customertest::TempFiles files;
    const std::string ini = files.Write("seven.ini", "[TextFileFormat]\nCustomerSepType=7\n");
    const std::string data = files.Write("d.txt", "a,b\r\n");
    CBuildCustomerData import;
    int position = 3;
    TXml* tree = nullptr;
    ASSERT_EQ(import.Build(data, 12, &position, ini, &tree), 0);
    std::unique_ptr<TXml> owned(tree);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetTag(), "root");
    EXPECT_EQ(tree->ChildCount(), 0);
    EXPECT_EQ(tree->AttributeCount(), 0);
    EXPECT_EQ(position, 3);
}

TEST(CustomerImport, NullOutPointersAreNotWritten) {
    customertest::TempFiles files;
    const std::string ini = files.Write("seven.ini", "[TextFileFormat]\nCustomerSepType=7\n");
    CBuildCustomerData import;
    EXPECT_EQ(import.Build(files.Path("x.txt"), 0, nullptr, ini, nullptr), 0);
}

TEST(CustomerImport, FactoryMakesALayoutForEveryNumber) {
    for (int type : {0, 1, 2, 3, 7, 9999, -1})
        EXPECT_NE(CreateCustomerElementOfType(type), nullptr) << type;
    customertest::TempFiles files;
    EXPECT_NE(CreateCustomerElement(files.Path("missing.ini")), nullptr);
}
