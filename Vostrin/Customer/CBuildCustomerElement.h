// The base of the customer file layouts: one virtual Build that reads one customer's worth of a
// customer text file and appends it under a data tree's root.
#pragma once

#include <string>

#include "Vostrin.h"  // the status codes

class TXml;

namespace TVostrin {

class CBuildCustomerElement {
  public:
    virtual ~CBuildCustomerElement() = default;

    // Reads from dataFile starting at *filePos, appends what it read under root and, on
    // success, stores in *filePos the position after the consumed data. 0 or a status above.
    // This base version reads nothing and answers 0.
    virtual int Build(const std::string& dataFile, int* filePos, const std::string& iniFile,
                      int index, TXml* root);
};

}  // namespace TVostrin
