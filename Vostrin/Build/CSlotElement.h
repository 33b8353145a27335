// Base of the build elements that print one record ("textbox", "scrolltext"): at page level
// they print the record at the cursor; inside a row of a "record" element they move with the
// slot the record takes.
#pragma once

#include <vector>

#include "CBuildElement.h"
#include "TreeUtils.h"

namespace TVostrin {

class CSlotElement : public CBuildElement {
  public:
    using CBuildElement::CBuildElement;
    // Reads the record at *cursor; the cursor is left unchanged.
    int Build(TXml* data, int* cursor, TXml* parent) final;

    // The record's printed nodes appended to made and charged to the budget, each child of the
    // element that made nothing as one node: kBuildDone when a field carried main data,
    // kBuildNothingToPrint when none did, kBuildFailed on a failure or a spent budget.
    int BuildSlot(const TXml* record, std::vector<XmlPtr>& made);

    // Set by a "record" row: its steps and the slot the record takes (all 0 at page level).
    int XStep = 0;
    int YStep = 0;
    int SlotIndex = 0;

  protected:
    // The record's printed nodes, moved by (dx, dy), appended to made; true when a field
    // carried main data. May throw; BuildSlot reports that as a failure.
    virtual bool BuildRecord(const TXml* record, long long dx, long long dy,
                             std::vector<XmlPtr>& made) = 0;
};

}  // namespace TVostrin
