#include "Customer/CMorrowEnvelope.h"

#include "Customer/CustomerReading.h"
#include "Customer/CustomerTreeElements.h"
#include "Customer/DelimitedSettings.h"
#include "Customer/MorrowAddress.h"

namespace TVostrin {

int CMorrowEnvelope::Build(const std::string& dataFile, int* filePos, const std::string& iniFile,
                           int index, TXml* root) {
    const DelimitedSettings s = ReadDelimitedSettings(iniFile);

    CustomerTextFile file;
    if (const int status = OpenCustomerFileAt(file, dataFile, filePos); status != 0) return status;

    try {
        auto record = NewElement("record");
        std::string line;
        for (int n = 0; n < s.customersPerCall; ++n) {
            // Only a full set of envelopes is printed.
            if (!ReadBoundedLine(file, line, kMaxAddressLine)) return kNoCustomerLeft;
            AppendAddressRow(record.get(), SplitAddress(line, s.fieldSeparator));
        }
        const int position = CurrentPosition(file);
        AppendElement(root, NewCustomerPage(index, std::move(record)));
        if (filePos) *filePos = position;
        return 0;
    } catch (const std::exception&) {
        return kCustomerReadException;
    }
}

}  // namespace TVostrin
