// The report-page customer layout: a line-printer report in which every customer fills one or
// more pages of CustomerRecordCnt lines. Lines are cut into fields at fixed columns; pages
// that carry the same account text on line 31 belong to one customer, and up to five of them
// are read per call. Output: one "page" with "customerid" and a "record" of one "tr" per line.
#pragma once

#include "Customer/CBuildCustomerElement.h"

namespace TVostrin {

class CQuenta : public CBuildCustomerElement {
  public:
    int Build(const std::string& dataFile, int* filePos, const std::string& iniFile, int index,
              TXml* root) override;
};

}  // namespace TVostrin
