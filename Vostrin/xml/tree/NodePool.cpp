#include "NodePool.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>
#include <vector>

namespace velmarq {

namespace {

// Blocks are page mappings of their own. When the last node goes, up to kKeptBlocks of them stay
// mapped with their pages marked free (the system takes them back when it needs memory), so that
// the next tree reuses them without faulting fresh pages in; the others are unmapped.
constexpr size_t kBlockBytes = size_t{2} << 20;
constexpr size_t kKeptBlocks = 128;  // 256 MiB of address space

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
size_t NodePool::nextBlock_ = 0;

void NodePool::ReleaseAll() {
    std::vector<void*>& blocks = Blocks();
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (i >= kKeptBlocks)
            ::munmap(blocks[i], kBlockBytes);
        else if (i < nextBlock_)
            ::madvise(blocks[i], kBlockBytes, MADV_FREE);
    }
    if (blocks.size() > kKeptBlocks) blocks.resize(kKeptBlocks);
    free_ = nullptr;
    nextBlock_ = 0;
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
    if (free_) {
        FreeCell* cell = free_;
        free_ = cell->next;
        ++live_;
        return cell;
    }
    if (current_ == currentEnd_) {
        std::vector<void*>& blocks = Blocks();
        char* block;
        if (nextBlock_ < blocks.size()) {
            block = static_cast<char*>(blocks[nextBlock_]);  // kept from an earlier tree
        } else {
            void* mapped = ::mmap(nullptr, kBlockBytes, PROT_READ | PROT_WRITE,
                                  MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (mapped == MAP_FAILED) throw std::bad_alloc();
            block = static_cast<char*>(mapped);
            blocks.push_back(block);
        }
        ++nextBlock_;
        // Mappings start on a page, so a node of two cache lines never spans three.
        current_ = block;
        currentEnd_ = block + kBlockBytes / cellSize_ * cellSize_;
    }
    void* p = current_;
    current_ += cellSize_;
    ++live_;  // counted only once the cell is had: a failed mapping changes nothing
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
