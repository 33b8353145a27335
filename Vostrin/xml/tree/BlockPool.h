// Small blocks for the tree's child lists and attribute sets, from the block chunks of a node arena
// (see NodePool.h): a block is taken and given back without a call to the C library. The classes
// are powers of two from 32 bytes to 4 KiB; larger blocks come from the C library, linked to their
// arena. A block given back is kept, on its chunk's list of its class, for the next block of that
// class in the arena; the chunk goes back to the store with its last block.
#pragma once

#include <cstddef>

#include "NodePool.h"

namespace velmarq {

class BlockPool {
  public:
    // A block of at least bytes from home (the shared arena when home is null); granted
    // receives its size, which Give needs back. A failed allocation throws std::bad_alloc.
    static void* Take(size_t bytes, size_t& granted, NodeArena* home) {
        if (bytes <= kLargest && home) {
            const int c = ClassOf(bytes);
            granted = kSmallest << c;
            ChunkStock& s = home->Stock(Chunk::kBlocks);
            if (s.free[c]) {
                s.liveBytes += static_cast<uint32_t>(granted);
                return s.Pop(c, granted);
            }
            if (s.RoomLeft() >= granted) {
                void* p = s.next;
                s.next += granted;
                s.liveBytes += static_cast<uint32_t>(granted);
                ASAN_UNPOISON_MEMORY_REGION(p, granted);
                return p;
            }
        }
        return TakeSlow(bytes, granted, home);
    }
    static void Give(void* block, size_t granted) {
        if (block && granted <= kLargest) {
            Chunk* k = Chunk::Of(block);
            k->arena->TakeBack(Chunk::kBlocks, k, ClassOf(granted), block, granted);
            return;
        }
        GiveSlow(block);
    }
    // A block of at least bytes (more than granted) in place of block, from the same arena,
    // with the first used bytes of block; block itself is given back or grown in place. A failed
    // allocation throws std::bad_alloc and leaves block as it was.
    static void* Resize(void* block, size_t granted, size_t used, size_t bytes, size_t& newGranted);

  private:
    static constexpr size_t kSmallest = 32;
    static constexpr size_t kLargest = kSmallest << (Chunk::kClasses - 1);  // 4 KiB

    // The class of a block of bytes (at most kLargest): the smallest power of two that holds it.
    static int ClassOf(size_t bytes) {
        return bytes <= kSmallest ? 0 : 64 - __builtin_clzll(bytes - 1) - 5;
    }
    static void* TakeSlow(size_t bytes, size_t& granted, NodeArena* home);
    static void GiveSlow(void* block);
};

}  // namespace velmarq
