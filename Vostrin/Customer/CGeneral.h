// The customer layout that the INI file describes entirely: records end with a record
// separator or have a fixed length, fields are separated or have fixed widths, fields are named
// by the INI file or numbered, and consecutive records that agree in the identifying fields
// form one customer. Output: "customerid" and "record" directly under the root, one "tr" per
// record.
#pragma once

#include "Customer/CBuildCustomerElement.h"

namespace TVostrin {

class CGeneral : public CBuildCustomerElement {
  public:
    int Build(const std::string& dataFile, int* filePos, const std::string& iniFile, int index,
              TXml* root) override;
};

}  // namespace TVostrin
