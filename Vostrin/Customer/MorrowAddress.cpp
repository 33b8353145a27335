#include "Customer/MorrowAddress.h"

#include <vector>

#include "Customer/CustomerTextFile.h"
#include "Customer/CustomerTreeElements.h"

namespace TVostrin {

AddressFields SplitAddress(const std::string& line, const std::string& separator) {
    const std::vector<std::string> pieces = SplitFields(line, separator);
    AddressFields fields;
    for (size_t i = 0; i < fields.size() && i < pieces.size(); ++i) fields[i] = pieces[i];
    return fields;
}

std::string PaddedPostCode(const std::string& postCode) {
    constexpr size_t kDigits = 6;
    if (postCode.empty() || postCode.size() >= kDigits) return postCode;
    return std::string(kDigits - postCode.size(), '0') + postCode;
}

void AppendAddressRow(TXml* record, const AddressFields& fields) {
    auto tr = NewElement("tr");
    const std::string postCode = PaddedPostCode(fields[8]);
    for (size_t i = 0; i < postCode.size(); ++i)
        AppendValueElement(tr.get(), "postcd" + std::to_string(i), std::string(1, postCode[i]));
    AppendValueElement(tr.get(), "address0", fields[5] + fields[6] + fields[7]);
    AppendValueElement(tr.get(), "address1", fields[0] + fields[1] + fields[4]);
    AppendValueElement(tr.get(), "name", fields[2]);
    AppendElement(record, std::move(tr));
}

}  // namespace TVostrin
