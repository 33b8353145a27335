// The mailing layout: one customer per line with delimited address fields. Each call reads
// CustomerRecordCnt customers (fewer at the end of the file) into three pages: the envelope
// page (post-code characters, address lines, name), the greeting page (the name with its
// title) and a third page of blank names.
#pragma once

#include "Customer/CBuildCustomerElement.h"

namespace TVostrin {

class CMorrow : public CBuildCustomerElement {
  public:
    int Build(const std::string& dataFile, int* filePos, const std::string& iniFile, int index,
              TXml* root) override;
};

}  // namespace TVostrin
