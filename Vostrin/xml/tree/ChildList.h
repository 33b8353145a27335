// The children of a tree node, in document order, in one block of slots: the block holds its
// count and capacity, so an empty list costs the node one pointer. Blocks of up to a few hundred
// slots come from the size-classed free lists of the node's arena (no allocator call per
// parent); larger ones grow in place where the C library can. The capacity doubles as children
// are added, so appending stays linear.
#pragma once

#include <cstddef>

namespace velmarq {

class NodeArena;
class TreeNode;

class ChildList {
  public:
    ChildList() = default;
    ~ChildList() { Release(); }
    ChildList(const ChildList&) = delete;
    ChildList& operator=(const ChildList&) = delete;

    int Count() const { return block_ ? block_->count : 0; }
    bool Empty() const { return !block_ || block_->count == 0; }
    TreeNode* Get(int i) const {
        return block_ && i >= 0 && i < block_->count ? block_->Slots()[i] : nullptr;
    }
    TreeNode* Last() const {
        return block_ && block_->count > 0 ? block_->Slots()[block_->count - 1] : nullptr;
    }
    // A failed allocation throws std::bad_alloc and leaves the list as it was. The first block
    // comes from home (see BlockPool::Take).
    void Append(TreeNode* child, NodeArena* home) {
        if (!block_ || block_->count == block_->capacity) Grow(home);
        block_->Slots()[block_->count++] = child;
    }
    // Room for one more child, so that the next Append cannot fail.
    void ReserveOne(NodeArena* home) {
        if (!block_ || block_->count == block_->capacity) Grow(home);
    }
    int IndexOf(const TreeNode* child) const;  // -1 when absent
    void RemoveAt(int i);                      // ignored out of range
    // Frees the slots (never the children).
    void Release() {
        if (block_) ReleaseBlock();
    }
    // Drops the slots without giving them back: for a list whose arena goes as a whole.
    void Forget() { block_ = nullptr; }

  private:
    // A block is its header followed by capacity slots.
    struct Block {
        int count;
        int capacity;
        TreeNode** Slots() { return reinterpret_cast<TreeNode**>(this + 1); }
    };
    void Grow(NodeArena* home);
    void ReleaseBlock();

    Block* block_ = nullptr;
};

}  // namespace velmarq
