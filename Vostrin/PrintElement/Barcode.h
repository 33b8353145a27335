// A barcode ("barcode" elements) drawn by the barcode layer (ZintBarcode.h): the data of
// "value" (or the text content) in the symbology "type" ("128" when absent) at "x", "y", bars
// in "color", module width 0.33 mm times "enlarge", bar height "height", with "rotation",
// "mode" and the font attributes of text elements for the human-readable text.
#pragma once

#include "PrintElement/PrintElement.h"

namespace TVostrin {

class TBarcode : public TPrintElement {
  public:
    using TPrintElement::TPrintElement;
    // Draws the barcode; the canvas keeps its font, brush and pen. Always true.
    bool Print(TCanvas* canvas) override;
};

// The narrow bar width in dots: truncate(dpi * 3.3 * enlarge / 254) in single precision; 0
// for a result that is not a number or out of the int range below 0, the int maximum above.
int NarrowBarDots(int dpi, float enlarge);

}  // namespace TVostrin
