#include "Customer/CMorrow.h"

#include "Customer/CustomerPages.h"
#include "Customer/CustomerReading.h"
#include "Customer/CustomerTreeElements.h"
#include "Customer/DelimitedSettings.h"
#include "Customer/MorrowAddress.h"

namespace TVostrin {

namespace {

// The full-width colon after the greeting, in the code page of the customer files (GBK).
constexpr const char* kFullWidthColon = "\xA3\xBA";

void AppendNameRow(TXml* record, const std::string& name) {
    auto tr = NewElement("tr");
    AppendValueElement(tr.get(), "name", name);
    AppendElement(record, std::move(tr));
}

}  // namespace

int CMorrow::Build(const std::string& dataFile, int* filePos, const std::string& iniFile, int index,
                   TXml* root) {
    const DelimitedSettings s = ReadDelimitedSettings(iniFile);
    return ReadCustomerPages(
        dataFile, filePos, root, [&](CustomerTextFile& file, CustomerPages& pages) -> int {
            auto envelopes = NewElement("record");
            auto greetings = NewElement("record");
            auto thirds = NewElement("record");
            std::string line;
            for (int n = 0; n < s.customersPerCall; ++n) {
                if (!ReadBoundedLine(file, line, kMaxAddressLine)) break;
                const AddressFields fields = SplitAddress(line, s.fieldSeparator);
                AppendAddressRow(envelopes.get(), fields);
                AppendNameRow(greetings.get(), fields[2] + fields[3] + kFullWidthColon);
                AppendNameRow(thirds.get(), " ");
            }
            pages.push_back(NewCustomerPage(index, std::move(envelopes)));
            pages.push_back(NewCustomerPage(index, std::move(greetings)));
            auto thirdPage = NewElement("page");
            AppendElement(thirdPage.get(), std::move(thirds));
            pages.push_back(std::move(thirdPage));
            return 0;
        });
}

}  // namespace TVostrin
