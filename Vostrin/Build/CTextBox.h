// Build element "textbox": one record printed as a box of fields. Inside a row of a "record"
// element the box moves with the record's slot.
#pragma once

#include "CSlotElement.h"

namespace TVostrin {

class CTextBox : public CSlotElement {
  public:
    using CSlotElement::CSlotElement;

  protected:
    // The box's fields with the record's values, placed at the record's slot.
    bool BuildRecord(const TXml* record, long long dx, long long dy,
                     std::vector<XmlPtr>& made) override;
};

}  // namespace TVostrin
