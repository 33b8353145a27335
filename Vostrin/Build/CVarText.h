// Build element "vartext": a text computed from the data document. Its content is an expression
// whose variables name elements anywhere below the data's top element; the result becomes the
// "value" of a "text" element.
#pragma once

#include "CBuildElement.h"

namespace TVostrin {

class CVarText : public CBuildElement {
  public:
    using CBuildElement::CBuildElement;
    int Build(TXml* data, int* cursor, TXml* parent) override;
};

}  // namespace TVostrin
