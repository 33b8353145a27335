#include "NodePool.h"

#include <cstdlib>
#include <new>
#include <vector>

namespace velmarq {

namespace {

// Small blocks come from the C library's heap, which keeps them for the next tree.
constexpr size_t kCellsPerBlock =
    512;  // 64 KiB, below the threshold at which malloc maps pages of its own
constexpr size_t kLine = 64;

std::vector<void*>& Blocks() {
    static auto* blocks = new std::vector<void*>();  // lives as long as the process
    return *blocks;
}

}  // namespace

size_t NodePool::cellSize_ = 0;
NodePool::FreeCell* NodePool::free_ = nullptr;
char* NodePool::current_ = nullptr;
char* NodePool::currentEnd_ = nullptr;
size_t NodePool::live_ = 0;

void NodePool::ReleaseAll() {
    for (void* b : Blocks()) std::free(b);
    Blocks().clear();
    free_ = nullptr;
    current_ = currentEnd_ = nullptr;
}

void* NodePool::AllocateSlow(size_t size) {
#ifdef TW_NODE_POOL_DIRECT
    void* direct = std::malloc(size);
    if (!direct) throw std::bad_alloc();
    ++live_;
    return direct;
#endif
    if (cellSize_ == 0) cellSize_ = size < sizeof(FreeCell) ? sizeof(FreeCell) : size;
    if (size > cellSize_) {
        void* p = std::malloc(size);  // a larger subclass: not pooled
        if (!p) throw std::bad_alloc();
        return p;
    }
    ++live_;
    if (free_) {
        FreeCell* cell = free_;
        free_ = cell->next;
        return cell;
    }
    if (current_ == currentEnd_) {
        // Blocks start on a cache line, so a node of two lines never spans three.
        size_t bytes = (cellSize_ * kCellsPerBlock + kLine - 1) / kLine * kLine;
        auto* block = static_cast<char*>(std::aligned_alloc(kLine, bytes));
        if (!block) throw std::bad_alloc();
        Blocks().push_back(block);
        current_ = block;
        currentEnd_ = block + cellSize_ * kCellsPerBlock;
    }
    void* p = current_;
    current_ += cellSize_;
    return p;
}

void NodePool::FreeSlow(void* p, size_t size) {
    if (!p) return;
#ifdef TW_NODE_POOL_DIRECT
    std::free(p);
    --live_;
    return;
#endif
    if (size > cellSize_) {
        std::free(p);
        return;
    }
    auto* cell = static_cast<FreeCell*>(p);
    cell->next = free_;
    free_ = cell;
    if (--live_ == 0) ReleaseAll();
}

}  // namespace velmarq
