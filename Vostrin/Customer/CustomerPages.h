// The frame of one call of the page layouts: open the customer file at the caller's position,
// let the layout read its pages, and put them under the root only when the whole call
// succeeded, so a failed call leaves the tree and the position as they were.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Customer/CustomerTextFile.h"
#include "TXml.h"

namespace TVostrin {

// Pages a layout has read, in order.
using CustomerPages = std::vector<std::unique_ptr<TXml>>;

// Opens dataFile at *filePos (the start when filePos is null) and lets read fill pages,
// answering 0 or a status. On 0 the pages go under root and *filePos gets the position where
// read stopped. Otherwise the status (VOSTRIN_CUSTOMER_READ_FAILED for a failed read) and nothing
// changes.
int ReadCustomerPages(const std::string& dataFile, int* filePos, TXml* root,
                      const std::function<int(CustomerTextFile&, CustomerPages&)>& read);

}  // namespace TVostrin
