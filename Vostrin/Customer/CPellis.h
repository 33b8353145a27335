// The numbered-field layout: one customer per non-empty line, its delimited fields written as
// field0, field1, ... A call takes exactly CustomerRecordCnt non-empty lines; when the file
// ends first there is no portion left to print. A count below 1 is a failure (-2003).
#pragma once

#include "Customer/CBuildCustomerElement.h"

namespace TVostrin {

class CPellis : public CBuildCustomerElement {
  public:
    int Build(const std::string& dataFile, int* filePos, const std::string& iniFile, int index,
              TXml* root) override;
};

}  // namespace TVostrin
