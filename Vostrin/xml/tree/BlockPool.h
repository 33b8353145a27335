// Small blocks for the tree's child lists and attribute sets, from size-classed free lists: a
// block is taken and given back without a call to the C library. The classes are powers of two
// from 32 bytes to 4 KiB; larger blocks come from the C library. A free block is kept for the
// next block of its class for the life of the process. Under AddressSanitizer every block comes
// from the C library, so that its checks see each one.
#pragma once

#include <cstddef>

namespace velmarq {

class BlockPool {
  public:
    // A block of at least bytes; granted receives its size, which Give needs back. A failed
    // allocation throws std::bad_alloc.
    static void* Take(size_t bytes, size_t& granted) {
        if (kPooled && bytes <= kLargest) {
            const int c = ClassOf(bytes);
            granted = kSmallest << c;
            if (FreeBlock* b = free_[c]) {
                free_[c] = b->next;
                return b;
            }
            if (static_cast<size_t>(end_[c] - next_[c]) >= granted) {
                void* p = next_[c];
                next_[c] += granted;
                return p;
            }
        }
        return TakeSlow(bytes, granted);
    }
    static void Give(void* block, size_t granted) {
        if (kPooled && block && granted <= kLargest) {
            auto* b = static_cast<FreeBlock*>(block);
            const int c = ClassOf(granted);
            b->next = free_[c];
            free_[c] = b;
            return;
        }
        GiveSlow(block, granted);
    }

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
    static constexpr int kClasses = 8;
    static constexpr size_t kLargest = kSmallest << (kClasses - 1);  // 4 KiB

    struct FreeBlock {
        FreeBlock* next;
    };
    // The class of a block of bytes (at most kLargest): the smallest power of two that holds it.
    static int ClassOf(size_t bytes) {
        return bytes <= kSmallest ? 0 : 64 - __builtin_clzll(bytes - 1) - 5;
    }
    static void* TakeSlow(size_t bytes, size_t& granted);
    static void GiveSlow(void* block, size_t granted);

    static FreeBlock* free_[kClasses];
    static char* next_[kClasses];  // unused room of the newest chunk of each class
    static char* end_[kClasses];
};

}  // namespace velmarq
