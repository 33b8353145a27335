#include "Customer/CPellis.h"

#include <vector>

#include "Customer/CustomerPages.h"
#include "Customer/CustomerReading.h"
#include "Customer/CustomerTreeElements.h"
#include "Customer/DelimitedSettings.h"

namespace TVostrin {

namespace {

constexpr size_t kMaxFieldLine = 4095;

void AppendNumberedRow(TXml* record, const std::vector<std::string>& fields) {
    auto tr = NewElement("tr");
    for (size_t i = 0; i < fields.size(); ++i)
        AppendValueElement(tr.get(), "field" + std::to_string(i), fields[i]);
    AppendElement(record, std::move(tr));
}

}  // namespace

int CPellis::Build(const std::string& dataFile, int* filePos, const std::string& iniFile, int index,
                   TXml* root) {
    const DelimitedSettings s = ReadDelimitedSettings(iniFile);
    return ReadCustomerPages(
        dataFile, filePos, root, [&](CustomerTextFile& file, CustomerPages& pages) -> int {
            // Without a count no call would ever take a customer or reach the end of the data.
            if (s.customersPerCall < 1) return VOSTRIN_CUSTOMER_READ_FAILED;
            auto record = NewElement("record");
            std::string line;
            int taken = 0;
            while (taken < s.customersPerCall) {
                if (!ReadBoundedLine(file, line, kMaxFieldLine)) return VOSTRIN_NO_CUSTOMER_LEFT;
                if (line.empty()) continue;  // blank lines are not customers
                AppendNumberedRow(record.get(), SplitFields(line, s.fieldSeparator));
                ++taken;
            }
            pages.push_back(NewCustomerPage(index, std::move(record)));
            return 0;
        });
}

}  // namespace TVostrin
