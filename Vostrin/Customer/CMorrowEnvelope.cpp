#include "Customer/CMorrowEnvelope.h"

#include "Customer/DelimitedSettings.h"
#include "Customer/MorrowAddress.h"

namespace TVostrin {

int CMorrowEnvelope::Build(const std::string& dataFile, int* filePos, const std::string& iniFile,
                           int index, TXml* root) {
    // Only a full set of envelopes is printed.
    return ReadFullSetPage(dataFile, filePos, iniFile, index, root, kMaxAddressLine,
                           [](TXml* record, const std::string& line, const std::string& separator) {
                               AppendAddressRow(record, SplitAddress(line, separator));
                               return true;
                           });
}

}  // namespace TVostrin
