// The address of one customer line of the mailing layouts: nine delimited fields, the post
// code (field 8) padded to six digits and written one character per element, the address
// lines and the name.
#pragma once

#include <array>
#include <string>

class TXml;

namespace TVostrin {

// The most bytes of one customer line that are read.
constexpr size_t kMaxAddressLine = 2047;

using AddressFields = std::array<std::string, 9>;

// The first nine fields of a line; fields the line lacks are empty.
AddressFields SplitAddress(const std::string& line, const std::string& separator);

// A post code shorter than six characters padded on the left with "0"; empty stays empty.
std::string PaddedPostCode(const std::string& postCode);

// Appends one "tr" with postcd0..., "address0", "address1" and "name".
void AppendAddressRow(TXml* record, const AddressFields& fields);

}  // namespace TVostrin
