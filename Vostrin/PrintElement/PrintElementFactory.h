// Makes the drawing element for a node of a printable page, chosen by the node's tag.
#pragma once

#include <memory>

#include "PrintElement/PrintElement.h"

namespace TVostrin {

// The element for the node's tag (compared byte for byte); a plain TPrintElement, which draws
// nothing, for a tag without an element. The element keeps the node as its Node.
std::unique_ptr<TPrintElement> CreatePrintElement(TXml* node);

}  // namespace TVostrin
