// The customer-data import: one portion of a customer text file, read from a byte position with
// the layout that the INI file names, becomes a data tree under a "root" element.
#pragma once

#include <string>

#include "Customer/CBuildCustomerElement.h"

class TXml;

namespace TVostrin {

class CBuildCustomerData {
  public:
    // Reads one portion of dataFile from *filePos with the layout of iniFile. 0: *tree gets a
    // new "root" tree (the caller deletes it) and *filePos the position where the next portion
    // starts. Any other status: *tree is null and *filePos unchanged. Null out-pointers are
    // not written. Exceptions of the layout pass through.
    int Build(const std::string& dataFile, int index, int* filePos, const std::string& iniFile,
              TXml** tree);
};

}  // namespace TVostrin
