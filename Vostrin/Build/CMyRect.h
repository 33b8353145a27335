// Build element for template tags: rect. Passes a copy of its node (without children) to the
// page for the renderer.
#pragma once

#include "CBuildElement.h"

namespace TVostrin {

class CMyRect : public CBuildElement {
  public:
    using CBuildElement::CBuildElement;
    int Build(TXml* data, int* cursor, TXml* parent) override;
};

}  // namespace TVostrin
