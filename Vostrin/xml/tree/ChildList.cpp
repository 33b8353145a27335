#include "ChildList.h"

#include <climits>
#include <cstring>
#include <new>

#include "BlockPool.h"

namespace velmarq {

namespace {

constexpr int kFirstCapacity = 3;  // a 32-byte block

size_t BlockBytes(int capacity) {
    return 2 * sizeof(int) + sizeof(void*) * static_cast<size_t>(capacity);  // header, slots
}

int CapacityOf(size_t granted) {
    const size_t slots = (granted - 2 * sizeof(int)) / sizeof(void*);
    return slots > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(slots);
}

}  // namespace

void ChildList::Grow(NodeArena* home) {
    static_assert(sizeof(Block) == 2 * sizeof(int) && alignof(TreeNode*) <= sizeof(Block));
    const int capacity = block_ ? block_->capacity : 0;
    if (capacity > INT_MAX / 2) throw std::bad_alloc();
    size_t granted = 0;
    const int wanted = capacity == 0 ? kFirstCapacity : capacity * 2 + 1;
    Block* fresh;
    if (!block_) {
        fresh = static_cast<Block*>(BlockPool::Take(BlockBytes(wanted), granted, home));
        fresh->count = 0;
    } else {
        fresh = static_cast<Block*>(BlockPool::Resize(
            block_, BlockBytes(capacity), BlockBytes(block_->count), BlockBytes(wanted), granted));
    }
    fresh->capacity = CapacityOf(granted);
    block_ = fresh;
}

int ChildList::IndexOf(const TreeNode* child) const {
    for (int i = 0, n = Count(); i < n; ++i) {
        if (block_->Slots()[i] == child) return i;
    }
    return -1;
}

void ChildList::RemoveAt(int i) {
    if (i < 0 || i >= Count()) return;
    std::memmove(block_->Slots() + i, block_->Slots() + i + 1,
                 sizeof(TreeNode*) * static_cast<size_t>(block_->count - i - 1));
    --block_->count;
}

void ChildList::ReleaseBlock() {
    BlockPool::Give(block_, BlockBytes(block_->capacity));
    block_ = nullptr;
}

}  // namespace velmarq
