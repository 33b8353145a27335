// What the record elements share: finding the records, telling main data, and producing a
// field's printable node shifted into a record slot.
#pragma once

#include <string>

#include "TreeUtils.h"

namespace TVostrin {

// The data document's first direct child tagged "record" (its children are the records), or
// NULL when data is NULL or has none.
XmlPtr RecordList(const TXml* data);

// A field value counts as main data when it is non-empty and the field's "maindata" attribute
// is not exactly "false".
bool IsMainData(const std::string& value, const TXml* field);

// A new node tagged `tag` carrying field's attributes in order, where "x", "xfrom", "xto" are
// increased by dx and "y", "yfrom", "yto" by dy (as decimal integers), then "value" = value.
XmlPtr ShiftedField(const TXml* field, const std::string& tag, long long dx, long long dy,
                    const std::string& value);

// The expression in the field's content over the record; the empty text for an empty content.
std::string FieldValue(const TXml* field, const TXml* record);

}  // namespace TVostrin
