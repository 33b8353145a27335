// The children of a tree node, in document order, in one block of slots: the block holds its
// count and capacity, so an empty list costs the node one pointer. Blocks of up to a few hundred
// slots come from size-classed free lists (no allocator call per parent); the capacity doubles
// as children are added, so appending stays linear.
#pragma once

#include <cstddef>

namespace velmarq {

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
    // A failed allocation throws std::bad_alloc and leaves the list as it was.
    void Append(TreeNode* child) {
        if (!block_ || block_->count == block_->capacity) Grow();
        block_->Slots()[block_->count++] = child;
    }
    // Room for one more child, so that the next Append cannot fail.
    void ReserveOne() {
        if (!block_ || block_->count == block_->capacity) Grow();
    }
    int IndexOf(const TreeNode* child) const;  // -1 when absent
    void RemoveAt(int i);                      // ignored out of range
    // Frees the slots (never the children).
    void Release() {
        if (block_) ReleaseBlock();
    }

  private:
    // A block is its header followed by capacity slots.
    struct Block {
        int count;
        int capacity;
        TreeNode** Slots() { return reinterpret_cast<TreeNode**>(this + 1); }
    };
    void Grow();
    void ReleaseBlock();

    Block* block_ = nullptr;
};

}  // namespace velmarq
