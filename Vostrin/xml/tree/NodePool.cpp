#include "NodePool.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

#include "CommonStrings.h"

namespace velmarq {

NodeArena* NodePool::current_ = nullptr;
NodeArena* NodePool::shared_ = nullptr;
const void* NodePool::fresh_ = nullptr;
size_t NodePool::live_ = 0;
size_t NodePool::ownArenaBytes_ = size_t{256} << 10;
int NodePool::depth_ = 0;

namespace {
unsigned long long arenasMade = 0;
// The partial chunks looked at for a block before a new chunk is taken.
constexpr int kPartialLooks = 8;
}  // namespace

NodeArena::NodeArena(bool counted) : counted_(counted), serial_(++arenasMade) {}

NodeArena::~NodeArena() {
    assert(live_ == 0);
    ReleaseBigBlocks();
    StopMaking(Chunk::kCells);
    StopMaking(Chunk::kBlocks);
    while (Chunk* c = chunks_) {
        Unlink(c);
        ChunkStore::Give(c);
    }
    ReleaseTags();
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

void NodeArena::EndCounting() {
    ReleaseTags();
    counted_ = false;
    owner_ = nullptr;
    dataOwners_ = 0;
}

bool NodeArena::ReleaseAllBut(TreeNode* root) {
    if (!counted_ || owner_ != root || dataOwners_ != 0 || parsing_) return false;
    assert(live_ >= 1);
    ReleaseTags();
    ReleaseBigBlocks();
    // Every chunk goes back but root's cell chunk, which keeps just root's cell: root goes next
    // and takes the chunk and the arena with it.
    StopMaking(Chunk::kCells);
    StopMaking(Chunk::kBlocks);
    Chunk* kept = Chunk::Of(root);
    for (Chunk* c = chunks_; c;) {
        Chunk* next = c->next;
        if (c != kept) {
            c->stock.liveBytes = 0;
            Release(c);
        }
        c = next;
    }
    if (kept->flags & Chunk::kPartial) RemovePartial(kept);
    ChunkStore::Unlist(kept);
    kept->Clear();
    kept->stock.liveBytes = kCellBytes;
    NodePool::live_ -= live_ - 1;
    live_ = 1;
    owner_ = nullptr;
    return true;
}

void NodeArena::Unlink(Chunk* c) {
    if (c->flags & Chunk::kPartial) RemovePartial(c);
    if (current_[c->kind] == c) {
        current_[c->kind] = nullptr;
        stock_[c->kind] = ChunkStock();
        c->flags &= static_cast<uint8_t>(~Chunk::kCurrent);
    }
    (c->prev ? c->prev->next : chunks_) = c->next;
    if (c->next) c->next->prev = c->prev;
    c->prev = c->next = nullptr;
    --chunkCount_;
}

size_t NodeArena::ChunksWanted() const {
    if (parsing_ && readPos_ && inputBytes_ > 0) {
        const auto read = static_cast<size_t>(*readPos_);
        const auto total = static_cast<size_t>(inputBytes_);
        // Before the rate is known: about twice the input.
        if (read == 0 || chunkCount_ == 0 || read >= total) return 2 * total / Chunk::kBytes + 1;
        return chunkCount_ * (total - read) / read + 1;
    }
    return chunkCount_ + 1;
}

void NodeArena::AddPartial(Chunk* c) {
    Chunk*& head = partial_[c->kind];
    c->partialPrev = nullptr;
    c->partialNext = head;
    if (head) head->partialPrev = c;
    head = c;
    c->flags |= Chunk::kPartial;
}

void NodeArena::RemovePartial(Chunk* c) {
    (c->partialPrev ? c->partialPrev->partialNext : partial_[c->kind]) = c->partialNext;
    if (c->partialNext) c->partialNext->partialPrev = c->partialPrev;
    c->partialPrev = c->partialNext = nullptr;
    c->flags &= static_cast<uint8_t>(~Chunk::kPartial);
}

void NodeArena::Release(Chunk* c) {
    Unlink(c);
    ChunkStore::Give(c);
}

void NodeArena::StopMaking(Chunk::Kind kind) {
    Chunk* old = current_[kind];
    if (!old) return;
    old->stock = stock_[kind];
    old->flags &= static_cast<uint8_t>(~Chunk::kCurrent);
    current_[kind] = nullptr;
    stock_[kind] = ChunkStock();
}

void NodeArena::MakeCurrent(Chunk::Kind kind, Chunk* c) {
    if (Chunk* old = current_[kind]) {
        StopMaking(kind);
        if (old->stock.liveBytes == 0 && !parsing_ && this != NodePool::shared_) {
            Release(old);
        } else {
            if (old->stock.HasFreeItems() || old->stock.next != old->stock.end) AddPartial(old);
            if (old->Sparse()) ChunkStore::NoteSparse(old);
        }
    }
    if (!c) return;
    if (c->flags & Chunk::kPartial) RemovePartial(c);
    current_[kind] = c;
    c->flags |= Chunk::kCurrent;
    // The page that new items start on may have been given back: it is used again.
    const size_t page = static_cast<size_t>(c->stock.next - c->Base()) / Chunk::kPageBytes;
    if (page < Chunk::kPages && ((c->released[page / 64] >> (page % 64)) & 1)) {
        c->released[page / 64] &= ~(uint64_t{1} << (page % 64));
        --c->releasedPages;
    }
    stock_[kind] = c->stock;
}

void NodeArena::Refill(Chunk::Kind kind, int c, size_t bytes) {
    int looked = 0;
    for (Chunk* p = partial_[kind]; p && looked < kPartialLooks; ++looked) {
        Chunk* next = p->partialNext;
        if (p->stock.free[c] || p->stock.RoomLeft() >= bytes) {
            MakeCurrent(kind, p);
            return;
        }
        // A chunk with nothing left to give (its free items went with pages given back).
        if (!p->stock.HasFreeItems() && p->stock.next == p->stock.end) RemovePartial(p);
        p = next;
    }
    Chunk* fresh = ChunkStore::Take(this, kind);
    fresh->next = chunks_;
    fresh->prev = nullptr;
    if (chunks_) chunks_->prev = fresh;
    chunks_ = fresh;
    ++chunkCount_;
    MakeCurrent(kind, fresh);
}

void NodeArena::CurrentEmptied(Chunk::Kind kind) {
    Chunk* c = current_[kind];
    if (parsing_ || this == NodePool::shared_) {
        // The arena makes items again: the chunk starts again empty (under AddressSanitizer it
        // goes on with its items given back, the oldest first, so that an item used after it
        // was given back is still reported).
#ifndef TW_NODE_POOL_POISON
        ChunkStore::Unlist(c);
        c->Clear();
        stock_[kind] = c->stock;
#endif
        return;
    }
    StopMaking(kind);
    Release(c);
}

void NodeArena::EndParse() {
    parsing_ = false;
    readPos_ = nullptr;
    for (Chunk::Kind kind : {Chunk::kCells, Chunk::kBlocks}) {
        if (Chunk* c = current_[kind]) ChunkStore::GiveBackUnused(c, stock_[kind].next);
    }
    MakeCurrent(Chunk::kCells, nullptr);
    MakeCurrent(Chunk::kBlocks, nullptr);
}

NodeArena* NodePool::Shared() {
    if (!shared_) shared_ = new NodeArena(false);
    return shared_;
}

void* NodePool::AllocateSlow() {
    if (!current_) current_ = Shared();
    current_->Refill(Chunk::kCells, 0, NodeArena::kCellBytes);
    return Allocate(NodeArena::kCellBytes);
}

void NodePool::Emptied(NodeArena* a) {
    // The shared arena stays: blocks that no node owns come from it. A parse's arena goes once
    // the parse is over.
    if (a != shared_ && !a->parsing_) delete a;
}

NodePool::ParseArena::ParseArena(const int* readPos, int inputBytes)
    : arena_(new NodeArena(true)), before_(current_) {
    arena_->parsing_ = true;
    arena_->readPos_ = readPos;
    arena_->inputBytes_ = inputBytes;
    current_ = arena_;
}

NodePool::ParseArena::~ParseArena() {
    current_ = before_;
    arena_->EndParse();
    if (arena_->live_ == 0) delete arena_;
    ChunkStore::Settle();
}

}  // namespace velmarq
