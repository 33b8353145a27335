// Storage for tree nodes: fixed-size cells carved from large blocks, so that building and
// freeing a tree of a million elements costs no allocator call per node. When no node is alive,
// the blocks' pages go back to the system (a bounded number of blocks stays mapped for reuse).
#pragma once

#include <cassert>
#include <cstddef>

// Under AddressSanitizer every node gets its own allocation, so that a node used after it was
// freed is still reported.
#if defined(__SANITIZE_ADDRESS__)
#define TW_NODE_POOL_DIRECT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_NODE_POOL_DIRECT 1
#endif
#endif

namespace velmarq {

class NodePool {
  public:
    // A spare cell or the next unused one of the newest block, without a call; the rest (first
    // use, a new block, another size) in AllocateSlow.
    static void* Allocate(size_t size) {
#ifndef TW_NODE_POOL_DIRECT
        if (size == cellSize_) {
            if (FreeCell* cell = free_) {
                free_ = cell->next;
                ++live_;
                return cell;
            }
            if (current_ != currentEnd_) {
                void* p = current_;
                current_ += cellSize_;
                ++live_;
                return p;
            }
        }
#endif
        return AllocateSlow(size);
    }
    // The cell goes on the free list; the last live cell takes the blocks with it (FreeSlow).
    static void Free(void* p, size_t size) {
        assert(!p || live_ > 0 || size > cellSize_);
#ifndef TW_NODE_POOL_DIRECT
        if (p && size == cellSize_ && live_ > 1) {
            auto* cell = static_cast<FreeCell*>(p);
            cell->next = free_;
            free_ = cell;
            --live_;
            return;
        }
#endif
        FreeSlow(p, size);
    }
    static size_t LiveCount() {
        return live_;
    }

  private:
    struct FreeCell {
        FreeCell* next;
    };
    static void* AllocateSlow(size_t size);
    static void FreeSlow(void* p, size_t size);
    static void ReleaseAll();

    static size_t cellSize_;
    static FreeCell* free_;
    static char* current_;  // next unused cell of the newest block
    static char* currentEnd_;
    static size_t live_;
    static size_t nextBlock_;  // index in the block list of the block after the newest one
};

}  // namespace velmarq
