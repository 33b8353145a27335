#include "ChunkStore.h"

#include <sys/mman.h>

#include <cassert>
#include <climits>
#include <cstdlib>
#include <new>

#include "NodePool.h"

namespace velmarq {

// A block from the C library that chunks are carved from.
struct ChunkRegion {
    void* block;
    size_t bytes;
    Chunk* first;
    int chunks;
    int held;           // chunks in arenas
    ChunkRegion* prev;  // the regions whose chunks are all in the store
    ChunkRegion* next;
    bool listed;
};

namespace {

// A region holds 4 to 64 chunks, and one chunk more for the room to align them. The largest is
// more than the largest block that the C library (glibc) ever takes from its heap by default, so
// it is mapped apart and unmapped when it is freed.
constexpr size_t kMinRegionChunks = 4;
constexpr size_t kMaxRegionChunks = 64;

// A doubly linked list of chunks through prev and next.
struct ChunkList {
    Chunk* head = nullptr;
    Chunk* tail = nullptr;
    size_t count = 0;

    void PushHead(Chunk* c) {
        c->prev = nullptr;
        c->next = head;
        if (head)
            head->prev = c;
        else
            tail = c;
        head = c;
        ++count;
    }
    void Remove(Chunk* c) {
        (c->prev ? c->prev->next : head) = c->next;
        (c->next ? c->next->prev : tail) = c->prev;
        c->prev = c->next = nullptr;
        --count;
    }
    // The first or the last chunk, taken off; null when there is none.
    Chunk* PopHead() { return Pop(head); }
    Chunk* PopTail() { return Pop(tail); }

  private:
    Chunk* Pop(Chunk* c) {
        if (c) Remove(c);
        return c;
    }
};

ChunkList resident;  // free chunks whose pages are kept, the most recently given first
ChunkList drained;   // free chunks whose pages went back to the system (or were never used)
ChunkRegion* allFree = nullptr;  // regions whose chunks are all in the store
Chunk* trims = nullptr;          // chunks to trim
bool changed = false;            // chunks came back since the store last settled

void ListRegion(ChunkRegion* r) {
    r->prev = nullptr;
    r->next = allFree;
    if (allFree) allFree->prev = r;
    allFree = r;
    r->listed = true;
}

void UnlistRegion(ChunkRegion* r) {
    (r->prev ? r->prev->next : allFree) = r->next;
    if (r->next) r->next->prev = r->prev;
    r->listed = false;
}

void NewRegion(size_t wanted) {
    const size_t chunks = wanted < kMinRegionChunks
                              ? kMinRegionChunks
                              : (wanted > kMaxRegionChunks ? kMaxRegionChunks : wanted);
    const size_t bytes = (chunks + 1) * Chunk::kBytes;
    void* block = std::malloc(bytes);
    auto* r = static_cast<ChunkRegion*>(std::malloc(sizeof(ChunkRegion)));
    if (!block || !r) {
        std::free(block);
        std::free(r);
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t aligned = (start + Chunk::kBytes - 1) & ~(uintptr_t{Chunk::kBytes} - 1);
    *r = {block,
          bytes,
          reinterpret_cast<Chunk*>(aligned),
          static_cast<int>((start + bytes - aligned) / Chunk::kBytes),
          0,
          nullptr,
          nullptr,
          false};
    for (int i = r->chunks - 1; i >= 0; --i) {
        Chunk* c = reinterpret_cast<Chunk*>(aligned + static_cast<size_t>(i) * Chunk::kBytes);
        c->arena = nullptr;
        c->region = r;
        c->flags = 0;
        ASAN_POISON_MEMORY_REGION(c->Room(), Chunk::kBytes - kChunkRecordBytes);
        drained.PushHead(c);
    }
    ListRegion(r);
}

void FreeRegion(ChunkRegion* r) {
    assert(r->held == 0);
    UnlistRegion(r);
    for (int i = 0; i < r->chunks; ++i) {
        Chunk* c =
            reinterpret_cast<Chunk*>(r->first->Base() + static_cast<size_t>(i) * Chunk::kBytes);
        (c->flags & Chunk::kResident ? resident : drained).Remove(c);
    }
    ASAN_UNPOISON_MEMORY_REGION(r->block, r->bytes);
    std::free(r->block);
    std::free(r);
}

// A parse is about to fill the chunk: when its pages are not in memory (a region the C library
// kept is), they are faulted in with one call rather than with one trap each.
void Prefault(Chunk* c) {
#if defined(MADV_POPULATE_WRITE) && !defined(TW_NODE_POOL_POISON)
    unsigned char inMemory = 0;
    if (::mincore(c->Base() + Chunk::kPageBytes, Chunk::kPageBytes, &inMemory) == 0 &&
        !(inMemory & 1) && ::madvise(c->Base(), Chunk::kBytes, MADV_POPULATE_WRITE) == 0)
        c->flags |= Chunk::kPrefaulted;
#else
    (void)c;
#endif
}

// Gives the pages of the chunk after its record's page back to the system.
void Drain(Chunk* c) {
    ::madvise(c->Base() + Chunk::kPageBytes, Chunk::kBytes - Chunk::kPageBytes, MADV_DONTNEED);
}

bool Released(const Chunk* c, size_t page) {
    return (c->released[page / 64] >> (page % 64)) & 1;
}

// Gives back the pages of the chunk that hold no item in use, and takes the free items in them
// off the lists (their pages read as zeros from now on).
void Trim(Chunk* c) {
    // The free bytes of each page: the room not used yet and the items on the lists.
    uint16_t freeBytes[Chunk::kPages] = {};
    char* base = c->Base();
    auto addFree = [&](const char* from, const char* to) {
        while (from < to) {
            const size_t page = static_cast<size_t>(from - base) / Chunk::kPageBytes;
            const char* pageEnd = base + (page + 1) * Chunk::kPageBytes;
            const char* stop = to < pageEnd ? to : pageEnd;
            freeBytes[page] = static_cast<uint16_t>(freeBytes[page] + (stop - from));
            from = stop;
        }
    };
    ChunkStock& stock = c->stock;
    addFree(stock.next, base + Chunk::kBytes);
    for (int k = 0; k < Chunk::kClasses; ++k) {
        for (ChunkStock::Item* item = stock.free[k]; item; item = ChunkStock::NextOf(item))
            addFree(reinterpret_cast<char*>(item), reinterpret_cast<char*>(item) + c->ItemBytes(k));
    }
    // The pages wholly free among those items were made in, but the record's.
    const size_t touched =
        (static_cast<size_t>(stock.next - base) + Chunk::kPageBytes - 1) / Chunk::kPageBytes;
    size_t run = 0;
    bool any = false;
    for (size_t page = 1; page <= touched; ++page) {
        const bool release =
            page < touched && freeBytes[page] == Chunk::kPageBytes && !Released(c, page);
        if (release) {
            c->released[page / 64] |= uint64_t{1} << (page % 64);
            ++c->releasedPages;
            if (run == 0) run = page;
            any = true;
            continue;
        }
        if (run != 0) {
            ::madvise(base + run * Chunk::kPageBytes, (page - run) * Chunk::kPageBytes,
                      MADV_DONTNEED);
            run = 0;
        }
    }
    if (any) {
        // Items that start on a page given back leave their lists, in their order.
        for (int k = 0; k < Chunk::kClasses; ++k) {
            ChunkStock::Item* item = stock.free[k];
            stock.free[k] = nullptr;
#ifdef TW_NODE_POOL_POISON
            stock.tail[k] = nullptr;
#endif
            while (item) {
                ChunkStock::Item* next = ChunkStock::NextOf(item);
                const size_t page =
                    static_cast<size_t>(reinterpret_cast<char*>(item) - base) / Chunk::kPageBytes;
                if (!Released(c, page)) {
                    ASAN_UNPOISON_MEMORY_REGION(item, sizeof(ChunkStock::Item));
                    stock.Push(k, item, c->ItemBytes(k));
                }
                item = next;
            }
        }
#ifndef TW_NODE_POOL_POISON
        // Push reversed each list: turn them back, so the most recent items come first again.
        for (ChunkStock::Item*& list : stock.free) {
            ChunkStock::Item* reversed = nullptr;
            while (list) {
                ChunkStock::Item* next = list->next;
                list->next = reversed;
                reversed = list;
                list = next;
            }
            list = reversed;
        }
#endif
    }
    c->trimBelow = stock.liveBytes / 2;
}

}  // namespace

void Chunk::Clear() {
    stock = ChunkStock();
    stock.next = Room();
    stock.end = kind == kCells ? Room() + (kBytes - kChunkRecordBytes) / kCellBytes * kCellBytes
                               : Base() + kBytes;
    trimBelow = UINT32_MAX;
    releasedPages = 0;
    for (uint64_t& word : released) word = 0;
}

Chunk* ChunkStore::Take(NodeArena* arena, Chunk::Kind kind) {
    if (!resident.head && !drained.head) NewRegion(arena->ChunksWanted());
    const bool drainedOne = !resident.head;
#ifdef TW_NODE_POOL_POISON
    // The chunk given back longest ago: memory used after it was given back stays poisoned as
    // long as it can.
    Chunk* c = resident.head ? resident.PopTail() : drained.PopTail();
#else
    Chunk* c = resident.head ? resident.PopHead() : drained.PopHead();
#endif
    if (c->region->listed) UnlistRegion(c->region);
    ++c->region->held;
    c->arena = arena;
    c->kind = kind;
    c->flags = 0;
    c->partialPrev = c->partialNext = nullptr;
    c->trimPrev = c->trimNext = nullptr;
    c->Clear();
    if (drainedOne && arena->Parsing()) Prefault(c);
    return c;
}

void ChunkStore::Give(Chunk* chunk) {
    assert(chunk->stock.liveBytes == 0 && !(chunk->flags & Chunk::kCurrent));
    Unlist(chunk);
    chunk->arena = nullptr;
    chunk->flags = Chunk::kResident;
    ASAN_POISON_MEMORY_REGION(chunk->Room(), Chunk::kBytes - kChunkRecordBytes);
    resident.PushHead(chunk);
    ChunkRegion* r = chunk->region;
    if (--r->held == 0) ListRegion(r);
    changed = true;
}

void ChunkStore::GiveBackUnused(Chunk* chunk, const char* next) {
    if (!(chunk->flags & Chunk::kPrefaulted)) return;
    chunk->flags &= static_cast<uint8_t>(~Chunk::kPrefaulted);
    const size_t used = static_cast<size_t>(next - chunk->Base());
    const size_t from = (used + Chunk::kPageBytes - 1) / Chunk::kPageBytes * Chunk::kPageBytes;
    if (from < Chunk::kBytes) ::madvise(chunk->Base() + from, Chunk::kBytes - from, MADV_DONTNEED);
}

void ChunkStore::ListForTrim(Chunk* chunk) {
    chunk->flags |= Chunk::kTrimPending;
    chunk->trimPrev = nullptr;
    chunk->trimNext = trims;
    if (trims) trims->trimPrev = chunk;
    trims = chunk;
}

void ChunkStore::UnlistForTrim(Chunk* chunk) {
    (chunk->trimPrev ? chunk->trimPrev->trimNext : trims) = chunk->trimNext;
    if (chunk->trimNext) chunk->trimNext->trimPrev = chunk->trimPrev;
    chunk->trimPrev = chunk->trimNext = nullptr;
    chunk->flags &= static_cast<uint8_t>(~Chunk::kTrimPending);
}

void ChunkStore::Settle() {
    while (Chunk* c = trims) {
        UnlistForTrim(c);
        // A chunk that its arena makes items in, or that a parse still fills, keeps its pages.
        if (!(c->flags & Chunk::kCurrent) && !c->arena->Parsing() && c->Sparse()) Trim(c);
    }
    if (!changed) return;
    changed = false;
    // Regions whose chunks are all free stay while they fit the working set, those that were
    // freed last first (the list has them so); the others go back to the C library.
    size_t budget = kWorkingChunks;
    for (ChunkRegion* r = allFree; r;) {
        ChunkRegion* next = r->next;
        if (static_cast<size_t>(r->chunks) <= budget)
            budget -= static_cast<size_t>(r->chunks);
        else
            FreeRegion(r);
        r = next;
    }
    while (resident.count > kWorkingChunks) {
        Chunk* c = resident.PopTail();
        Drain(c);
        c->flags = 0;
        drained.PushHead(c);
    }
}

}  // namespace velmarq
