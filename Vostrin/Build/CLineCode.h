// Build element "linecode": the envelope mark template, passed to the page with its whole
// subtree so that the page finishing can pick its "begin" or "end" lines.
#pragma once

#include "CBuildElement.h"

namespace TVostrin {

class CLineCode : public CBuildElement {
  public:
    using CBuildElement::CBuildElement;
    int Build(TXml* data, int* cursor, TXml* parent) override;
};

}  // namespace TVostrin
