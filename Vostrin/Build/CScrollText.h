// Build element "scrolltext": one record printed as a column of "text" lines from which empty
// lines drop out, the following lines moving up.
#pragma once

#include "CSlotElement.h"

namespace TVostrin {

class CScrollText : public CSlotElement {
  public:
    using CSlotElement::CSlotElement;

  protected:
    // The record's "text" lines one under another, each empty one left out and the lines after
    // it moved up by its height.
    bool BuildRecord(const TXml* record, long long dx, long long dy,
                     std::vector<XmlPtr>& made) override;
};

}  // namespace TVostrin
