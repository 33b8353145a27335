// Storage for tree nodes: fixed-size cells carved from large blocks, so that building and
// freeing a tree of a million elements costs no allocator call per node. When no node is alive,
// the blocks are kept for the next tree, up to a bound above which they are unmapped.
//
// Under AddressSanitizer the pool marks every cell that is not in use as poisoned, and reuses
// freed cells in the order they were freed (the oldest first), so that a node used after it was
// freed is still reported.
#pragma once

#include <sanitizer/asan_interface.h>

#include <cassert>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define TW_NODE_POOL_POISON 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_NODE_POOL_POISON 1
#endif
#endif

namespace velmarq {

class NodePool {
  public:
    // A spare cell or the next unused one of the newest block, without a call; the rest (first
    // use, a new block, another size) in AllocateSlow.
    static void* Allocate(size_t size) {
        if (size == cellSize_) {
            if (FreeCell* cell = free_) {
                ASAN_UNPOISON_MEMORY_REGION(cell, cellSize_);
                free_ = cell->next;
#ifdef TW_NODE_POOL_POISON
                if (!free_) freeTail_ = nullptr;
#endif
                ++live_;
                return cell;
            }
            if (current_ != currentEnd_) {
                void* p = current_;
                ASAN_UNPOISON_MEMORY_REGION(p, cellSize_);
                current_ += cellSize_;
                ++live_;
                return p;
            }
        }
        return AllocateSlow(size);
    }
    // The cell goes on the free list; the last live cell takes the blocks with it (FreeSlow).
    static void Free(void* p, size_t size) {
        assert(!p || live_ > 0 || size > cellSize_);
        if (p && size == cellSize_ && live_ > 1) {
            PutOnFreeList(static_cast<FreeCell*>(p));
            --live_;
            return;
        }
        FreeSlow(p, size);
    }
    static size_t LiveCount() {
        return live_;
    }

  private:
    struct FreeCell {
        FreeCell* next;
    };
    static void PutOnFreeList(FreeCell* cell) {
#ifdef TW_NODE_POOL_POISON
        cell->next = nullptr;
        if (freeTail_) {
            ASAN_UNPOISON_MEMORY_REGION(freeTail_, sizeof(FreeCell));
            freeTail_->next = cell;
            ASAN_POISON_MEMORY_REGION(freeTail_, cellSize_);
        } else {
            free_ = cell;
        }
        freeTail_ = cell;
        ASAN_POISON_MEMORY_REGION(cell, cellSize_);
#else
        cell->next = free_;
        free_ = cell;
#endif
    }
    static void* AllocateSlow(size_t size);
    static void FreeSlow(void* p, size_t size);
    static void ReleaseAll();

    static size_t cellSize_;
    static FreeCell* free_;
#ifdef TW_NODE_POOL_POISON
    static FreeCell* freeTail_;  // the newest freed cell, reused last
#endif
    static char* current_;  // next unused cell of the newest block
    static char* currentEnd_;
    static size_t live_;
    static size_t nextBlock_;  // index in the block list of the block after the newest one
};

}  // namespace velmarq
