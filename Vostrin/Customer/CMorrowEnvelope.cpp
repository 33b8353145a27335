#include "Customer/CMorrowEnvelope.h"

#include "Customer/CustomerPages.h"
#include "Customer/CustomerReading.h"
#include "Customer/CustomerTreeElements.h"
#include "Customer/DelimitedSettings.h"
#include "Customer/MorrowAddress.h"

namespace TVostrin {

int CMorrowEnvelope::Build(const std::string& dataFile, int* filePos, const std::string& iniFile,
                           int index, TXml* root) {
    const DelimitedSettings s = ReadDelimitedSettings(iniFile);
    return ReadCustomerPages(
        dataFile, filePos, root, [&](CustomerTextFile& file, CustomerPages& pages) -> int {
            // Without a count no call would ever take a customer or reach the end of the data.
            if (s.customersPerCall < 1) return VOSTRIN_CUSTOMER_READ_FAILED;
            auto record = NewElement("record");
            std::string line;
            for (int n = 0; n < s.customersPerCall; ++n) {
                // Only a full set of envelopes is printed.
                if (!ReadBoundedLine(file, line, kMaxAddressLine)) return VOSTRIN_NO_CUSTOMER_LEFT;
                AppendAddressRow(record.get(), SplitAddress(line, s.fieldSeparator));
            }
            pages.push_back(NewCustomerPage(index, std::move(record)));
            return 0;
        });
}

}  // namespace TVostrin
