#include "Customer/CustomerPages.h"

#include <exception>

#include "Customer/CustomerReading.h"
#include "Customer/CustomerTreeElements.h"

namespace TVostrin {

int ReadCustomerPages(const std::string& dataFile, int* filePos, TXml* root,
                      const std::function<int(CustomerTextFile&, CustomerPages&)>& read) {
    CustomerTextFile file;
    if (const int status = OpenCustomerFileAt(file, dataFile, filePos); status != 0) return status;

    try {
        CustomerPages pages;
        if (const int status = read(file, pages); status != 0) return status;
        const int position = CurrentPosition(file);
        for (auto& page : pages) AppendElement(root, std::move(page));
        if (filePos) *filePos = position;
        return 0;
    } catch (const std::exception&) {
        return VOSTRIN_CUSTOMER_READ_FAILED;
    }
}

}  // namespace TVostrin
