#include "NodePool.h"

#include <cstdlib>
#include <new>
#include <vector>

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

namespace {

// Small blocks come from the C library's heap, which keeps them for the next tree.
constexpr size_t kCellsPerBlock = 128;
constexpr size_t kLine = 64;

struct FreeCell {
    FreeCell* next;
};

struct Pool {
    size_t cellSize = 0;
    FreeCell* free = nullptr;
    char* current = nullptr;  // next unused cell of the newest block
    char* currentEnd = nullptr;
    size_t live = 0;
    std::vector<void*> blocks;

    void ReleaseAll() {
        for (void* b : blocks) std::free(b);
        blocks.clear();
        free = nullptr;
        current = currentEnd = nullptr;
    }
};

Pool& ThePool() {
    static Pool* pool = new Pool();  // lives as long as the process; never destroyed
    return *pool;
}

}  // namespace

void* NodePool::Allocate(size_t size) {
    Pool& pool = ThePool();
#ifdef TW_NODE_POOL_DIRECT
    void* direct = std::malloc(size);
    if (!direct) throw std::bad_alloc();
    ++pool.live;
    return direct;
#endif
    if (pool.cellSize == 0) pool.cellSize = size < sizeof(FreeCell) ? sizeof(FreeCell) : size;
    if (size > pool.cellSize) {
        void* p = std::malloc(size);  // a larger subclass: not pooled
        if (!p) throw std::bad_alloc();
        return p;
    }
    ++pool.live;
    if (pool.free) {
        FreeCell* cell = pool.free;
        pool.free = cell->next;
        return cell;
    }
    if (pool.current == pool.currentEnd) {
        // Blocks start on a cache line, so a node of two lines never spans three.
        size_t bytes = (pool.cellSize * kCellsPerBlock + kLine - 1) / kLine * kLine;
        auto* block = static_cast<char*>(std::aligned_alloc(kLine, bytes));
        if (!block) throw std::bad_alloc();
        pool.blocks.push_back(block);
        pool.current = block;
        pool.currentEnd = block + pool.cellSize * kCellsPerBlock;
    }
    void* p = pool.current;
    pool.current += pool.cellSize;
    return p;
}

void NodePool::Free(void* p, size_t size) {
    if (!p) return;
    Pool& pool = ThePool();
#ifdef TW_NODE_POOL_DIRECT
    std::free(p);
    --pool.live;
    return;
#endif
    if (size > pool.cellSize) {
        std::free(p);
        return;
    }
    auto* cell = static_cast<FreeCell*>(p);
    cell->next = pool.free;
    pool.free = cell;
    if (--pool.live == 0) pool.ReleaseAll();
}

size_t NodePool::LiveCount() {
    return ThePool().live;
}

}  // namespace velmarq
