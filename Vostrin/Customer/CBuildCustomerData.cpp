#include "Customer/CBuildCustomerData.h"

#include <memory>

#include "Customer/CustomerLayoutFactory.h"
#include "TXml.h"

namespace TVostrin {

int CBuildCustomerData::Build(const std::string& dataFile, int index, int* filePos,
                              const std::string& iniFile, TXml** tree) {
    int position = filePos ? *filePos : 0;
    auto root = std::make_unique<TXml>();
    root->SetTag("root");

    const int status =
        CreateCustomerElement(iniFile)->Build(dataFile, &position, iniFile, index, root.get());

    if (status != 0) {
        if (tree) *tree = nullptr;
        return status;
    }
    if (filePos) *filePos = position;
    if (tree) *tree = root.release();
    return 0;
}

}  // namespace TVostrin
