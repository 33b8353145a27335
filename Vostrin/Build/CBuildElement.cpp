#include "CBuildElement.h"

#include "TreeUtils.h"

namespace TVostrin {

int CBuildElement::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    return AppendCopy(parent);
}

bool CBuildElement::Charge(const TXml* node) const {
    return budget_ == nullptr || budget_->Charge(node);
}

bool CBuildElement::ChargeWork(long long nodes) const {
    return budget_ == nullptr || budget_->ChargeWork(nodes);
}

int CBuildElement::Append(TXml* parent, TXml* node) const {
    if (!Charge(node)) return kBuildFailed;
    parent->AppendSubtree(node);
    return kBuildDone;
}

int CBuildElement::AppendCopy(TXml* parent) const {
    XmlPtr copy = CopyNode(node_);
    return Append(parent, copy.get());
}

}  // namespace TVostrin
