// Base of the build elements that print one record ("textbox", "scrolltext"): at page level
// they print the record at the cursor; inside a row of a "record" element they move with the
// slot the record takes.
#pragma once

#include "CBuildElement.h"

namespace TVostrin {

class CSlotElement : public CBuildElement {
  public:
    using CBuildElement::CBuildElement;
    // Reads the record at *cursor; the cursor is left unchanged.
    int Build(TXml* data, int* cursor, TXml* parent) final;

    // Set by a "record" row: its steps and the slot the record takes (all 0 at page level).
    int XStep = 0;
    int YStep = 0;
    int SlotIndex = 0;

  protected:
    // Appends the record's printed nodes to parent, moved by (dx, dy); true when a field
    // carried main data. May throw; Build reports that as a failure.
    virtual bool BuildRecord(const TXml* record, long long dx, long long dy, TXml* parent) = 0;
};

}  // namespace TVostrin
