// Build element "scrolltext": one record printed as a column of "text" lines from which empty
// lines drop out, the following lines moving up.
#pragma once

#include "CBuildElement.h"

namespace TVostrin {

class CScrollText : public CBuildElement {
  public:
    using CBuildElement::CBuildElement;
    // Reads the record at *cursor; the cursor is left unchanged.
    int Build(TXml* data, int* cursor, TXml* parent) override;

    // Set by a "record" row: its steps and the slot the record takes (all 0 at page level).
    int XStep = 0;
    int YStep = 0;
    int SlotIndex = 0;
};

}  // namespace TVostrin
