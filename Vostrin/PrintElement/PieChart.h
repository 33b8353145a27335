// A pie chart ("piechart" elements): the slices of "value" drawn into a bitmap at screen
// resolution, handed through a temporary bitmap file, and stretched onto the page into the box
// "x", "y", "width", "height". "view3d", "chart3d_percent", "mark_style", "mark_fontname" and
// "mark_fontsize" set the look.
#pragma once

#include "PrintElement/PrintElement.h"

namespace TVostrin {

class TPieChart : public TPrintElement {
  public:
    using TPrintElement::TPrintElement;
    // Draws the chart; the temporary file is always removed. A chart too large for the
    // picture cap is not drawn and is marked Refused. Always true.
    bool Print(TCanvas* canvas) override;
};

}  // namespace TVostrin
