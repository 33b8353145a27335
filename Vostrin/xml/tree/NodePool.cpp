#include "NodePool.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>
#include <vector>

namespace velmarq {

namespace {

// Blocks are page mappings of their own. When the last node goes, up to kKeptBlocks of them stay
// mapped as they are, so that the next tree writes to pages it already has: pages marked free
// for the system to take back cost the next tree a trap per page (under a virtual machine's
// memory management as much as a page fault). The others are unmapped.
constexpr size_t kBlockBytes = size_t{2} << 20;
constexpr size_t kKeptBlocks = 512;  // 1 GiB

std::vector<void*>& Blocks() {
    static auto* blocks = new std::vector<void*>();  // lives as long as the process
    return *blocks;
}

}  // namespace

size_t NodePool::cellSize_ = 0;
NodePool::FreeCell* NodePool::free_ = nullptr;
#ifdef TW_NODE_POOL_POISON
NodePool::FreeCell* NodePool::freeTail_ = nullptr;
#endif
char* NodePool::current_ = nullptr;
char* NodePool::currentEnd_ = nullptr;
size_t NodePool::live_ = 0;
size_t NodePool::nextBlock_ = 0;

void NodePool::ReleaseAll() {
    std::vector<void*>& blocks = Blocks();
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (i >= kKeptBlocks) {
            // Pages that the system may hand out again carry no poison.
            ASAN_UNPOISON_MEMORY_REGION(blocks[i], kBlockBytes);
            ::munmap(blocks[i], kBlockBytes);
        } else if (i < nextBlock_) {
            ASAN_POISON_MEMORY_REGION(blocks[i], kBlockBytes);
        }
    }
    if (blocks.size() > kKeptBlocks) blocks.resize(kKeptBlocks);
    free_ = nullptr;
#ifdef TW_NODE_POOL_POISON
    freeTail_ = nullptr;
#endif
    nextBlock_ = 0;
    current_ = currentEnd_ = nullptr;
}

void* NodePool::AllocateSlow(size_t size) {
    if (cellSize_ == 0) cellSize_ = size < sizeof(FreeCell) ? sizeof(FreeCell) : size;
    if (size > cellSize_) {
        void* p = std::malloc(size);  // a larger subclass: not pooled
        if (!p) throw std::bad_alloc();
        return p;
    }
    if (size == cellSize_ && (free_ || current_ != currentEnd_)) return Allocate(size);
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
            try {
                blocks.push_back(block);
            } catch (...) {
                ::munmap(mapped, kBlockBytes);
                throw;
            }
            ASAN_POISON_MEMORY_REGION(block, kBlockBytes);
        }
        ++nextBlock_;
        // Mappings start on a page, so a node of two cache lines never spans three.
        current_ = block;
        currentEnd_ = block + kBlockBytes / cellSize_ * cellSize_;
    }
    void* p = current_;
    ASAN_UNPOISON_MEMORY_REGION(p, cellSize_);
    current_ += cellSize_;
    ++live_;  // counted only once the cell is had: a failed mapping changes nothing
    return p;
}

void NodePool::FreeSlow(void* p, size_t size) {
    if (!p) return;
    if (size > cellSize_) {
        std::free(p);
        return;
    }
    PutOnFreeList(static_cast<FreeCell*>(p));
    if (--live_ == 0) ReleaseAll();
}

}  // namespace velmarq
