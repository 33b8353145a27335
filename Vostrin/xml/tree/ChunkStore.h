// Chunks: pieces of 512 KiB, aligned to their size, in which the node arenas (NodePool.h) make
// their cells and blocks. A chunk starts with its own record (Chunk): the arena that holds it, the
// room it has not used yet, the items given back to it (one list per size class) and the bytes in
// use.
//
// The store takes chunks from the C library in regions of up to a little more than 32 MiB, sized
// by what the arena that needs them is likely to need (a parse: the rest of its document at the
// rate so far), so that a parse holds little address space it does not use. The C library maps
// large regions apart and gives them back to the system when they are freed (a host that tunes it
// to keep freed memory keeps these too). A chunk whose last item goes comes back to the store at
// once. The store keeps a small working set of such chunks as they are, so that the next parse
// writes to pages it already has; the pages of the others go back to the system, and a region
// whose chunks are all back goes back to the C library (unless it fits the working set). A chunk
// that keeps only a few items, such as a row detached from a large document, gives back the pages
// that hold none of them.
//
// Under AddressSanitizer every byte of a chunk that is not in use is poisoned, and items given
// back are reused oldest first, so that an item used after it was given back is reported.
#pragma once

#include <sanitizer/asan_interface.h>

#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define TW_NODE_POOL_POISON 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_NODE_POOL_POISON 1
#endif
#endif

namespace velmarq {

class NodeArena;
struct ChunkRegion;

// What new items of a chunk come from: the room not used yet and the items given back, one list
// per size class; and the bytes of the chunk's items in use. The arena keeps the stock of a chunk
// it makes items in itself, so that making an item touches no chunk record.
struct ChunkStock {
    static constexpr int kClasses = 8;  // blocks of 32 bytes to 4 KiB; cells use class 0

    struct Item {
        Item* next;
    };

    // Puts an item of bytes back on the list of class c, or takes the first (the list must have
    // one).
    void Push(int c, void* p, size_t bytes) {
        auto* item = static_cast<Item*>(p);
#ifdef TW_NODE_POOL_POISON
        item->next = nullptr;
        if (tail[c]) {
            ASAN_UNPOISON_MEMORY_REGION(tail[c], sizeof(Item));
            tail[c]->next = item;
            ASAN_POISON_MEMORY_REGION(tail[c], sizeof(Item));
        } else {
            free[c] = item;
        }
        tail[c] = item;
        ASAN_POISON_MEMORY_REGION(item, bytes);
#else
        (void)bytes;
        item->next = free[c];
        free[c] = item;
#endif
    }
    void* Pop(int c, size_t bytes) {
        Item* item = free[c];
        ASAN_UNPOISON_MEMORY_REGION(item, bytes);
        (void)bytes;
        free[c] = item->next;
#ifdef TW_NODE_POOL_POISON
        if (!free[c]) tail[c] = nullptr;
#endif
        return item;
    }
    // The next item of a list, also while items are poisoned.
    static Item* NextOf(Item* item) {
        ASAN_UNPOISON_MEMORY_REGION(item, sizeof(Item));
        Item* next = item->next;
        ASAN_POISON_MEMORY_REGION(item, sizeof(Item));
        return next;
    }
    bool HasFreeItems() const {
        for (const Item* list : free)
            if (list) return true;
        return false;
    }
    size_t RoomLeft() const {
        return static_cast<size_t>(end - next);
    }

    char* next = nullptr;  // room not used yet
    char* end = nullptr;
    uint32_t liveBytes = 0;
    Item* free[kClasses] = {};
#ifdef TW_NODE_POOL_POISON
    Item* tail[kClasses] = {};  // the newest item of each list, reused last
#endif
};

struct Chunk {
    static constexpr size_t kBytes = size_t{512} << 10;
    static constexpr size_t kPageBytes = 4096;
    static constexpr size_t kPages = kBytes / kPageBytes;
    static constexpr int kClasses = ChunkStock::kClasses;
    static constexpr size_t kCellBytes = 64;
    enum Kind : uint8_t { kCells, kBlocks };
    // Flags.
    static constexpr uint8_t kCurrent = 1;      // its arena makes new items in it
    static constexpr uint8_t kPartial = 2;      // on its arena's list of chunks with free items
    static constexpr uint8_t kTrimPending = 4;  // on the store's list of chunks to trim
    static constexpr uint8_t kResident = 8;     // free in the store, its pages kept
    static constexpr uint8_t kPrefaulted = 16;  // all its pages were faulted in for a parse

    // The chunk that holds p (a cell, a block or a chunk's own record).
    static Chunk* Of(const void* p) {
        return reinterpret_cast<Chunk*>(reinterpret_cast<uintptr_t>(p) & ~(uintptr_t{kBytes} - 1));
    }
    char* Base() { return reinterpret_cast<char*>(this); }
    char* Room();  // the first byte after the record
    size_t ItemBytes(int c) const { return kind == kCells ? kCellBytes : size_t{32} << c; }
    // The following read the chunk's own stock, which is current unless its arena makes items
    // in it.
    // Bytes of the pages that items have been made in, less the pages given back.
    size_t ResidentBytes() const {
        return static_cast<size_t>(stock.next - reinterpret_cast<const char*>(this)) -
               size_t{releasedPages} * kPageBytes;
    }
    // Whether the chunk keeps so few of its resident bytes in use that it should give pages back.
    bool Sparse() const {
        return stock.liveBytes < trimBelow && 8 * size_t{stock.liveBytes} < ResidentBytes();
    }
    // No item made yet: all room, no lists, nothing given back to the system.
    void Clear();

    NodeArena* arena;  // null while the chunk is in the store
    Chunk* prev;       // the arena's chunks, or the store's free chunks
    Chunk* next;
    Chunk* partialPrev;  // the arena's chunks with free items
    Chunk* partialNext;
    Chunk* trimPrev;  // the store's chunks to trim
    Chunk* trimNext;
    ChunkRegion* region;
    uint32_t trimBelow;  // trimmed again only once fewer bytes are in use
    uint16_t releasedPages;
    Kind kind;
    uint8_t flags;
    ChunkStock stock;
    uint64_t released[kPages / 64];  // pages given back to the system while the chunk is held
};

// The record takes whole cache lines; the items follow it.
inline constexpr size_t kChunkRecordBytes = (sizeof(Chunk) + 63) & ~size_t{63};

inline char* Chunk::Room() {
    return Base() + kChunkRecordBytes;
}

class ChunkStore {
  public:
    // Chunks kept as they are for the next parse (32 MiB).
    static constexpr size_t kWorkingChunks = 64;

    // A chunk for arena, cleared for items of kind. A failed allocation throws std::bad_alloc.
    static Chunk* Take(NodeArena* arena, Chunk::Kind kind);
    // A chunk that holds no item comes back from its arena (which has unlinked it).
    static void Give(Chunk* chunk);
    // The chunk has few items left: it gives back its empty pages when the store settles.
    static void NoteSparse(Chunk* chunk) {
        if (!(chunk->flags & Chunk::kTrimPending)) ListForTrim(chunk);
    }
    // The parse that filled the chunk ended with its items up to next: the pages after them
    // that were faulted in for it go back to the system.
    static void GiveBackUnused(Chunk* chunk, const char* next);
    // The chunk is cleared or leaves its arena: no trim.
    static void Unlist(Chunk* chunk) {
        if (chunk->flags & Chunk::kTrimPending) UnlistForTrim(chunk);
    }
    // After a tree is freed or a parse ends: sparse chunks give back their empty pages, chunks
    // beyond the working set their pages, regions whose chunks are all free go back. Allocates
    // nothing and cannot fail.
    static void Settle();

  private:
    static void ListForTrim(Chunk* chunk);
    static void UnlistForTrim(Chunk* chunk);
};

}  // namespace velmarq
