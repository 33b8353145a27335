// Elements of the customer data tree. Every value is an attribute named "value"; elements are
// built apart from the root and moved under it only when a layout has read its portion, so a
// failed read leaves nothing behind.
#pragma once

#include <memory>
#include <string>

#include "TXml.h"

namespace TVostrin {

// A new lone element with that tag.
std::unique_ptr<TXml> NewElement(const std::string& tag);

// Moves child, with its subtree, to the end of parent's children.
void AppendElement(TXml* parent, std::unique_ptr<TXml> child);

// Appends an element tag with the attribute value="value".
void AppendValueElement(TXml* parent, const std::string& tag, const std::string& value);

// The "customerid" element holding the call's index in decimal.
std::unique_ptr<TXml> NewCustomerIdElement(int index);

// A "page" holding the call's "customerid" and then record.
std::unique_ptr<TXml> NewCustomerPage(int index, std::unique_ptr<TXml> record);

}  // namespace TVostrin
