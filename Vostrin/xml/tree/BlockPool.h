// Small blocks for the tree's child lists and attribute sets, from the size-classed free lists of
// a node arena (see NodePool.h): a block is taken and given back without a call to the C
// library. The classes are powers of two from 32 bytes to 4 KiB; larger blocks come from the C
// library, linked to their arena. A free block is kept for the next block of its class in its
// arena. Under AddressSanitizer every block comes from the C library, so that its checks see
// each one.
#pragma once

#include <cstddef>

#include "NodePool.h"

namespace velmarq {

class BlockPool {
  public:
    // A block of at least bytes from home (the shared arena when home is null); granted
    // receives its size, which Give needs back. A failed allocation throws std::bad_alloc.
    static void* Take(size_t bytes, size_t& granted, NodeArena* home) {
        if (kPooled && bytes <= kLargest && home) {
            const int c = ClassOf(bytes);
            granted = kSmallest << c;
            if (NodeArena::FreeBlock* b = home->freeBlocks_[c]) {
                home->freeBlocks_[c] = b->next;
                return b;
            }
            if (static_cast<size_t>(home->blockEnd_ - home->blockNext_) >= granted) {
                void* p = home->blockNext_;
                home->blockNext_ += granted;
                return p;
            }
        }
        return TakeSlow(bytes, granted, home);
    }
    static void Give(void* block, size_t granted) {
        if (kPooled && block && granted <= kLargest) {
            auto* b = static_cast<NodeArena::FreeBlock*>(block);
            NodeArena* home = NodeArena::Of(block);
            const int c = ClassOf(granted);
            b->next = home->freeBlocks_[c];
            home->freeBlocks_[c] = b;
            return;
        }
        GiveSlow(block);
    }
    // A block of at least bytes (more than granted) in place of block, from the same arena,
    // with the first used bytes of block; block itself is given back or grown in place. A failed
    // allocation throws std::bad_alloc and leaves block as it was.
    static void* Resize(void* block, size_t granted, size_t used, size_t bytes, size_t& newGranted);

  private:
#if defined(__SANITIZE_ADDRESS__)
    static constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    static constexpr bool kPooled = false;
#else
    static constexpr bool kPooled = true;
#endif
#else
    static constexpr bool kPooled = true;
#endif
    static constexpr size_t kSmallest = 32;
    static constexpr size_t kLargest = kSmallest << (NodeArena::kBlockClasses - 1);  // 4 KiB

    // The class of a block of bytes (at most kLargest): the smallest power of two that holds it.
    static int ClassOf(size_t bytes) {
        return bytes <= kSmallest ? 0 : 64 - __builtin_clzll(bytes - 1) - 5;
    }
    static void* TakeSlow(size_t bytes, size_t& granted, NodeArena* home);
    static void GiveSlow(void* block);
};

}  // namespace velmarq
