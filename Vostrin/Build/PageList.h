// The pages of a job in print order, between the page loop and the printable root. They hang
// below holder nodes of at most kHolderPages pages each: taking a node out of a child list costs
// a search of the list and closing the gap, so one long list would make moving every page out
// of it cost the square of the page count, and a handle kept on each page would cost memory per
// page.
#pragma once

#include <deque>
#include <utility>

#include "TreeUtils.h"

namespace TVostrin {

class PageList {
  public:
    static constexpr int kHolderPages = 1024;

    PageList() = default;
    // A list moved from is left empty.
    PageList(PageList&& other) noexcept { *this = std::move(other); }
    PageList& operator=(PageList&& other) noexcept {
        holders_ = std::move(other.holders_);
        other.holders_.clear();
        count_ = std::exchange(other.count_, 0);
        taken_ = std::exchange(other.taken_, 0);
        return *this;
    }

    int Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    // A new handle on page k (0-based) of those still in the list, or NULL outside it.
    XmlPtr At(int k) const;
    // Appends page, with its subtree, moving it from wherever it is.
    void Add(TXml* page);
    // The first page, taken out of the list (a lone tree); NULL for an empty list.
    XmlPtr TakeFirst();

  private:
    std::deque<XmlPtr> holders_;
    int count_ = 0;
    int taken_ = 0;  // pages taken out of the first holder
};

}  // namespace TVostrin
