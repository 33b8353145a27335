// A "prndoc" element: names a file but draws nothing; the page is not ended after it.
#pragma once

#include "PrintElement/PrintElement.h"

namespace TVostrin {

class TPrnDoc : public TPrintElement {
  public:
    using TPrintElement::TPrintElement;
    // Draws nothing; always false.
    bool Print(TCanvas* canvas) override;
};

}  // namespace TVostrin
