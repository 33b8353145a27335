#include "BlockPool.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace velmarq {

namespace {

using BigBlock = NodeArena::BigBlock;

BigBlock* HeaderOf(void* block) {
    return reinterpret_cast<BigBlock*>(static_cast<char*>(block) - sizeof(BigBlock));
}

}  // namespace

void* BlockPool::TakeSlow(size_t bytes, size_t& granted, NodeArena* home) {
    if (!home) home = NodePool::Shared();
    if (bytes > kLargest) {
        // From the C library, on the arena's ring, so that the arena can free it with its nodes.
        auto* big = static_cast<BigBlock*>(std::malloc(sizeof(BigBlock) + bytes));
        if (!big) throw std::bad_alloc();
        big->next = home->big_.next;
        big->prev = &home->big_;
        big->next->prev = big;
        home->big_.next = big;
        granted = bytes;
        return big + 1;
    }
    const int c = ClassOf(bytes);
    const ChunkStock& s = home->Stock(Chunk::kBlocks);
    if (!s.free[c] && s.RoomLeft() < (kSmallest << c))
        home->Refill(Chunk::kBlocks, c, kSmallest << c);
    return Take(bytes, granted, home);
}

void BlockPool::GiveSlow(void* block) {
    if (!block) return;
    BigBlock* big = HeaderOf(block);
    big->prev->next = big->next;
    big->next->prev = big->prev;
    std::free(big);
}

void* BlockPool::Resize(void* block, size_t granted, size_t used, size_t bytes,
                        size_t& newGranted) {
    if (granted <= kLargest) {
        void* fresh = Take(bytes, newGranted, NodeArena::Of(block));
        std::memcpy(fresh, block, used);
        Give(block, granted);
        return fresh;
    }
    // A block from the C library grows in place where it can (large ones without a copy): its
    // neighbours on the ring then learn its new place.
    BigBlock* old = HeaderOf(block);
    BigBlock* prev = old->prev;
    BigBlock* next = old->next;
    auto* big = static_cast<BigBlock*>(std::realloc(old, sizeof(BigBlock) + bytes));
    if (!big) throw std::bad_alloc();
    prev->next = big;
    next->prev = big;
    newGranted = bytes;
    return big + 1;
}

}  // namespace velmarq
