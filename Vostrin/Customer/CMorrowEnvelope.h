// The envelope layout: the envelope page of the mailing layout alone. A call reads exactly
// CustomerRecordCnt customers; when the file ends first there is no customer left to print. A
// count below 1 is a failure (-2003).
#pragma once

#include "Customer/CBuildCustomerElement.h"

namespace TVostrin {

class CMorrowEnvelope : public CBuildCustomerElement {
  public:
    int Build(const std::string& dataFile, int* filePos, const std::string& iniFile, int index,
              TXml* root) override;
};

}  // namespace TVostrin
