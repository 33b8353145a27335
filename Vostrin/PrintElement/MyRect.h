// A filled rectangle without outline ("rect" elements): corners "left", "top", "right",
// "bottom" and the fill colour "fillcolor" (the canvas brush's colour when absent).
#pragma once

#include "PrintElement/PrintElement.h"

namespace TVostrin {

class TMyRect : public TPrintElement {
  public:
    using TPrintElement::TPrintElement;
    // Fills the rectangle; the canvas keeps its brush. Always true.
    bool Print(TCanvas* canvas) override;
};

}  // namespace TVostrin
