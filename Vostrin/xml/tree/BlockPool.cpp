#include "BlockPool.h"

#include <cstdlib>
#include <new>

namespace velmarq {

namespace {

constexpr size_t kChunkBytes = size_t{64} << 10;

}  // namespace

BlockPool::FreeBlock* BlockPool::free_[kClasses] = {};
char* BlockPool::next_[kClasses] = {};
char* BlockPool::end_[kClasses] = {};

void* BlockPool::TakeSlow(size_t bytes, size_t& granted) {
    if (!kPooled || bytes > kLargest) {
        void* p = std::malloc(bytes);
        if (!p) throw std::bad_alloc();
        granted = bytes;
        return p;
    }
    // The free list is empty and the newest chunk full: a new chunk. The rest of the old one
    // stays unused; chunks are kept for the life of the process.
    const int c = ClassOf(bytes);
    granted = kSmallest << c;
    char* fresh = static_cast<char*>(std::malloc(kChunkBytes));
    if (!fresh) throw std::bad_alloc();
    next_[c] = fresh + granted;
    end_[c] = fresh + kChunkBytes;
    return fresh;
}

void BlockPool::GiveSlow(void* block, size_t /*granted*/) {
    std::free(block);
}

}  // namespace velmarq
