#include "PageList.h"

namespace TVostrin {

XmlPtr PageList::At(int k) const {
    if (k < 0 || k >= count_) return nullptr;
    // Counted as if no page had been taken: the first holder has lost its first taken_ children.
    const int at = k + taken_;
    const int holder = at / kHolderPages;
    const int child = at % kHolderPages - (holder == 0 ? taken_ : 0);
    return XmlPtr(holders_[static_cast<size_t>(holder)]->ChildAt(child));
}

void PageList::Add(TXml* page) {
    const int filled = (count_ + taken_) % kHolderPages;
    if (holders_.empty() || filled == 0) {
        holders_.emplace_back(new TXml());
        holders_.back()->SetTag("pages");
    }
    holders_.back()->AppendSubtree(page);
    ++count_;
}

XmlPtr PageList::TakeFirst() {
    if (count_ == 0) return nullptr;
    XmlPtr page(holders_.front()->ChildAt(0));
    page->DetachFromTree();
    --count_;
    if (++taken_ == kHolderPages || count_ == 0) {
        holders_.pop_front();
        taken_ = 0;
    }
    return page;
}

}  // namespace TVostrin
