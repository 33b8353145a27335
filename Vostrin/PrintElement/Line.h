// A straight line ("line" elements) from ("xfrom", "yfrom") to ("xto", "yto"), with the pen
// width "width" in dots and the pen style "style" (0 solid, 1 dash, 2 dot, 3 dash-dot,
// 4 dash-dot-dot, 5 none, 6 inside frame); the canvas pen's own when absent.
#pragma once

#include "PrintElement/PrintElement.h"

namespace TVostrin {

class TLine : public TPrintElement {
  public:
    using TPrintElement::TPrintElement;
    // Draws the line; the canvas keeps its pen. Always true.
    bool Print(TCanvas* canvas) override;
};

}  // namespace TVostrin
