#include "CBuildElement.h"

#include "TreeUtils.h"

namespace TVostrin {

int CBuildElement::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    AppendCopy(parent);
    return kBuildDone;
}

void CBuildElement::AppendCopy(TXml* parent) const {
    XmlPtr copy = CopyNode(node_);
    parent->AppendSubtree(copy.get());
}

}  // namespace TVostrin
