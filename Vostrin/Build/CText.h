// Build element for template tags: text, addition. Passes a copy of its node (without children) to
// the page for the renderer.
#pragma once

#include "CBuildElement.h"

namespace TVostrin {

class CText : public CBuildElement {
  public:
    using CBuildElement::CBuildElement;
    int Build(TXml* data, int* cursor, TXml* parent) override;
};

}  // namespace TVostrin
