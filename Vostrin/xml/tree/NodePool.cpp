#include "NodePool.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "CommonStrings.h"

namespace velmarq {

namespace {

// Chunks are page mappings of their own, aligned to their size so that a cell finds its arena.
// Chunks freed are kept, up to kKeptChunks of them, as they are, so that the next arena writes
// to pages it already has: pages marked free for the system to take back cost the next tree a
// trap per page (under a virtual machine's memory management as much as a page fault). The
// others are unmapped.
constexpr size_t kKeptChunks = 512;  // 1 GiB

NodeArena::Chunk* spareChunks = nullptr;
size_t spareCount = 0;

}  // namespace

NodeArena* NodePool::current_ = nullptr;
NodeArena* NodePool::shared_ = nullptr;
const void* NodePool::fresh_ = nullptr;
size_t NodePool::live_ = 0;
size_t NodePool::ownArenaBytes_ = size_t{256} << 10;

namespace {
unsigned long long arenasMade = 0;
}  // namespace

NodeArena::NodeArena(bool counted) : counted_(counted), serial_(++arenasMade) {}

NodeArena::~NodeArena() {
    assert(live_ == 0);
    ReleaseBigBlocks();
    GiveChunksBack();
    ReleaseTags();
}

char* NodeArena::NewChunk() {
    Chunk* chunk;
    if (spareChunks) {
        chunk = spareChunks;
        ASAN_UNPOISON_MEMORY_REGION(chunk, kHeaderBytes);
        spareChunks = chunk->next;
        --spareCount;
    } else {
        // Twice the size, then the ends that are not aligned are given back.
        void* mapped = ::mmap(nullptr, 2 * kChunkBytes, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) throw std::bad_alloc();
        const auto start = reinterpret_cast<uintptr_t>(mapped);
        const uintptr_t aligned = (start + kChunkBytes - 1) & ~(uintptr_t{kChunkBytes} - 1);
        if (aligned > start) ::munmap(mapped, aligned - start);
        const uintptr_t tail = start + 2 * kChunkBytes - (aligned + kChunkBytes);
        if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + kChunkBytes), tail);
        chunk = reinterpret_cast<Chunk*>(aligned);
        ASAN_POISON_MEMORY_REGION(reinterpret_cast<char*>(chunk) + kHeaderBytes,
                                  kChunkBytes - kHeaderBytes);
    }
    chunk->arena = this;
    chunk->next = chunks_;
    chunks_ = chunk;
    return reinterpret_cast<char*>(chunk) + kHeaderBytes;
}

void NodeArena::GiveChunksBack() {
    while (Chunk* chunk = chunks_) {
        chunks_ = chunk->next;
        if (spareCount < kKeptChunks) {
            chunk->arena = nullptr;
            chunk->next = spareChunks;
            spareChunks = chunk;
            ++spareCount;
            ASAN_POISON_MEMORY_REGION(chunk, kChunkBytes);
        } else {
            // Pages that the system may hand out again carry no poison.
            ASAN_UNPOISON_MEMORY_REGION(chunk, kChunkBytes);
            ::munmap(chunk, kChunkBytes);
        }
    }
    free_ = nullptr;
#ifdef TW_NODE_POOL_POISON
    freeTail_ = nullptr;
#endif
    cellNext_ = cellEnd_ = blockNext_ = blockEnd_ = nullptr;
    for (FreeBlock*& list : freeBlocks_) list = nullptr;
}

void NodeArena::ReleaseBigBlocks() {
    BigBlock* b = big_.next;
    while (b != &big_) {
        BigBlock* next = b->next;
        std::free(b);
        b = next;
    }
    big_.next = big_.prev = &big_;
}

void NodeArena::Hold(NamedObject* entry) {
    if (tagSlots_ && tagSlots_[FindSlot(entry)]) {
        // Held already (another holder took a use of the entry since).
        CommonStrings::Instance().ReleaseEntry(entry);
        return;
    }
    try {
        if (tagCount_ >= UINT32_MAX - 1) throw std::bad_alloc();
        if (tagCount_ == tagCapacity_) {
            const size_t capacity = tagCapacity_ ? 2 * tagCapacity_ : 32;
            auto* grown =
                static_cast<NamedObject**>(std::realloc(tags_, capacity * sizeof(NamedObject*)));
            if (!grown) throw std::bad_alloc();
            tags_ = grown;
            tagCapacity_ = capacity;
        }
        if (!tagSlots_ || 2 * (tagCount_ + 1) > tagMask_ + 1) {
            // Twice the slots (64 at first), the held entries entered again.
            const size_t slots = tagSlots_ ? 2 * (tagMask_ + 1) : 64;
            auto* fresh = static_cast<uint32_t*>(std::calloc(slots, sizeof(uint32_t)));
            if (!fresh) throw std::bad_alloc();
            std::free(tagSlots_);
            tagSlots_ = fresh;
            tagMask_ = slots - 1;
            for (size_t i = 0; i < tagCount_; ++i)
                tagSlots_[FindSlot(tags_[i])] = static_cast<uint32_t>(i + 1);
        }
    } catch (const std::bad_alloc&) {
        // Not held: the next node with this tag tries again.
        auto* marker = static_cast<RefCountedMarker*>(entry->Value());
        if (marker->holder == serial_) marker->holder = 0;
        CommonStrings::Instance().ReleaseEntry(entry);
        throw;
    }
    tags_[tagCount_] = entry;
    tagSlots_[FindSlot(entry)] = static_cast<uint32_t>(++tagCount_);
}

void NodeArena::ReleaseTags() {
    CommonStrings& pool = CommonStrings::Instance();
    for (size_t i = 0; i < tagCount_; ++i) pool.ReleaseEntry(tags_[i]);
    std::free(tags_);
    std::free(tagSlots_);
    tags_ = nullptr;
    tagSlots_ = nullptr;
    tagCount_ = tagCapacity_ = tagMask_ = 0;
}

bool NodeArena::ReleaseAllBut(TreeNode* root) {
    if (!counted_ || owner_ != root || dataOwners_ != 0 || parsing_) return false;
    assert(live_ >= 1);
    ReleaseTags();
    // The blocks from the C library, and every cell but root's, which goes next and takes the
    // arena with it.
    ReleaseBigBlocks();
    NodePool::live_ -= live_ - 1;
    live_ = 1;
    owner_ = nullptr;
    free_ = nullptr;
#ifdef TW_NODE_POOL_POISON
    freeTail_ = nullptr;
#endif
    for (FreeBlock*& list : freeBlocks_) list = nullptr;
    return true;
}

NodeArena* NodePool::Shared() {
    if (!shared_) shared_ = new NodeArena(false);
    return shared_;
}

void* NodePool::AllocateSlow() {
    if (!current_) current_ = Shared();
    NodeArena* a = current_;
    if (!a->free_ && a->cellNext_ == a->cellEnd_) {
        char* room = a->NewChunk();
        a->cellNext_ = room;
        a->cellEnd_ = room + (NodeArena::kChunkBytes - NodeArena::kHeaderBytes) /
                                 NodeArena::kCellBytes * NodeArena::kCellBytes;
    }
    return Allocate(NodeArena::kCellBytes);
}

void NodePool::Emptied(NodeArena* a) {
    // The shared arena stays: blocks that no node owns come from it. A parse's arena goes once
    // the parse is over.
    if (a != shared_ && !a->parsing_) delete a;
}

NodePool::ParseArena::ParseArena() : arena_(new NodeArena(true)), before_(current_) {
    arena_->parsing_ = true;
    current_ = arena_;
}

NodePool::ParseArena::~ParseArena() {
    current_ = before_;
    arena_->parsing_ = false;
    if (arena_->live_ == 0) delete arena_;
}

}  // namespace velmarq
