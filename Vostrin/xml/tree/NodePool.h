// Storage for tree nodes and for their child lists and attribute sets: arenas of chunks (see
// ChunkStore.h), so that building and freeing a tree of a million elements costs no allocator call
// per node.
//
// Each parse of a document of some size takes an arena of its own; nodes made through the API
// and those of small documents share one arena. A node's child list and attribute set come from
// the node's own arena (small blocks from the size-classed lists of its block chunks, larger ones
// from the C library, linked to the arena), so an arena holds everything its nodes own but their
// content and extras. Cells and blocks live in chunks of their own kind; each chunk counts the
// bytes in use in it and goes back to the store when its last item goes.
//
// As long as one tree is exactly the nodes of its arena (the tree a parse made, until a subtree
// moves in or out or a node is retagged), freeing that tree gives the whole arena back at once,
// without a visit to each node: the arena holds one use of each tag pool entry its nodes have
// (its nodes hold none of their own), and counts how many of them own content or extras, which
// only a visit can free. When that tree changes, its nodes take their own tag uses and the arena
// gives back its own; from then on nodes go one by one, and an arena goes with its last node.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "ChunkStore.h"
#include "CommonStrings.h"

namespace velmarq {

class TreeNode;

class NodeArena {
  public:
    static constexpr size_t kCellBytes = Chunk::kCellBytes;  // one node

    // The arena whose chunk holds p (a cell or a small block).
    static NodeArena* Of(const void* p) { return Chunk::Of(p)->arena; }

    // Whether this arena counts its nodes' tag uses and content: a parse's arena, which can be
    // released whole while its tree is exactly its nodes.
    bool Counted() const { return counted_; }
    bool Parsing() const { return parsing_; }
    size_t Live() const { return live_; }  // nodes
    // The tree that holds exactly this arena's nodes, or null.
    TreeNode* Owner() const { return owner_; }
    void SetOwner(TreeNode* root) { owner_ = root; }
    // The tree that was exactly this arena's nodes changes, and its nodes took their own tag
    // uses: the arena gives its own back and counts nothing from now on.
    void EndCounting();

    // The tag pool's entry for text, one use of which the arena holds for all its nodes: a node
    // of the arena holds no use of its own. A failed allocation throws std::bad_alloc.
    NamedObject* HeldTag(const char* text, size_t len) {
        bool newUse = false;
        NamedObject* entry = CommonStrings::Instance().InternHeld(text, len, serial_, newUse);
        if (newUse) Hold(entry);
        return entry;
    }
    // Nodes of the arena that own content or extras.
    void AddDataOwner(int n) { dataOwners_ += n; }

    // Releases every node of the arena but root, the owner, in one step, with what they own
    // (their tag uses too); the caller has freed root's own data and forgets root's blocks,
    // which go too. False, and nothing done, when the arena cannot be released so: root is not
    // its owner, or other nodes own content or extras, which only a visit can free.
    bool ReleaseAllBut(TreeNode* root);

    // The chunk of kind that new items come from (null when there is none yet), and its stock,
    // which the arena keeps itself while the chunk is current.
    Chunk* Current(Chunk::Kind kind) const { return current_[kind]; }
    ChunkStock& Stock(Chunk::Kind kind) { return stock_[kind]; }
    // Makes a chunk current that has an item of class c or room for bytes, for when the current
    // one has neither: one of the arena's chunks with free items, or a new one. A failed
    // allocation throws std::bad_alloc and changes nothing.
    void Refill(Chunk::Kind kind, int c, size_t bytes);
    // How many chunks the arena is likely to take still: for a parse, what the rest of its
    // document needs at the rate so far; otherwise as many as it has (so that regions grow).
    size_t ChunksWanted() const;
    // An item of bytes and class c goes back to chunk, of kind, of this arena. The chunk goes
    // back to the store with its last item, unless the arena makes items in it still.
    void TakeBack(Chunk::Kind kind, Chunk* chunk, int c, void* item, size_t bytes) {
        if (chunk == current_[kind]) {
            ChunkStock& s = stock_[kind];
            s.Push(c, item, bytes);
            s.liveBytes -= static_cast<uint32_t>(bytes);
            if (s.liveBytes == 0) CurrentEmptied(kind);
            return;
        }
        ChunkStock& s = chunk->stock;
        s.Push(c, item, bytes);
        s.liveBytes -= static_cast<uint32_t>(bytes);
        if (s.liveBytes == 0) {
            Release(chunk);
            return;
        }
        if (!(chunk->flags & Chunk::kPartial)) AddPartial(chunk);
        if (chunk->Sparse()) ChunkStore::NoteSparse(chunk);
    }

    // A block from the C library: this header, then the block.
    struct BigBlock {
        BigBlock* prev;
        BigBlock* next;
    };

  private:
    friend class NodePool;
    friend class BlockPool;
    explicit NodeArena(bool counted);
    ~NodeArena();
    // The slot of tag in tagSlots_, or the empty slot where it would go.
    size_t FindSlot(NamedObject* tag) const {
        auto bits = reinterpret_cast<uintptr_t>(tag);
        size_t i = static_cast<size_t>((bits * 0x9E3779B97F4A7C15ull) >> 32) & tagMask_;
        while (tagSlots_[i] && tags_[tagSlots_[i] - 1] != tag) i = (i + 1) & tagMask_;
        return i;
    }
    // Keeps the use of entry just taken, or gives it back when the arena holds one already.
    void Hold(NamedObject* entry);
    void ReleaseTags();
    void ReleaseBigBlocks();
    // The current chunk's last item went: it starts again empty when the arena makes items still
    // (the shared arena, a running parse); otherwise it goes back to the store.
    void CurrentEmptied(Chunk::Kind kind);
    void Release(Chunk* c);                        // off the arena, back to the store
    void MakeCurrent(Chunk::Kind kind, Chunk* c);  // c may be null
    void StopMaking(Chunk::Kind kind);             // the current stock goes back to its chunk
    void Unlink(Chunk* c);                         // off the arena's lists
    void AddPartial(Chunk* c);
    void RemovePartial(Chunk* c);
    // The parse that filled the arena ended: no chunk is current any more.
    void EndParse();

    bool counted_;
    bool parsing_ = false;  // a parse is still filling it
    TreeNode* owner_ = nullptr;
    size_t live_ = 0;  // nodes
    Chunk* current_[2] = {};
    ChunkStock stock_[2];
    Chunk* partial_[2] = {};   // chunks with free items that are not current, per kind
    Chunk* chunks_ = nullptr;  // all the arena's chunks, through prev and next
    size_t chunkCount_ = 0;
    // The read position and the length of the input a parse fills the arena from.
    const int* readPos_ = nullptr;
    int inputBytes_ = 0;
    BigBlock big_ = {&big_, &big_};  // the ring of blocks from the C library
    // The tag entries held, in order of first use (so that they go back to the pool in the
    // order the pool made them, which keeps a release of many tags in cache), found through
    // tagSlots_: open addressing by the entry's address, each slot 1 + the entry's index, or 0.
    const unsigned long long serial_;
    NamedObject** tags_ = nullptr;
    size_t tagCount_ = 0;
    size_t tagCapacity_ = 0;
    uint32_t* tagSlots_ = nullptr;
    size_t tagMask_ = 0;
    long dataOwners_ = 0;
};

class NodePool {
  public:
    // A cell of the current arena (the running parse's, or the shared one). size must be
    // NodeArena::kCellBytes.
    static void* Allocate(size_t size) {
        assert(size == NodeArena::kCellBytes);
        (void)size;
        if (NodeArena* a = current_) {
            ChunkStock& s = a->stock_[Chunk::kCells];
            if (s.free[0]) return Had(a, s, s.Pop(0, NodeArena::kCellBytes));
            if (s.next != s.end) {
                void* p = s.next;
                s.next += NodeArena::kCellBytes;
                ASAN_UNPOISON_MEMORY_REGION(p, NodeArena::kCellBytes);
                return Had(a, s, p);
            }
        }
        return AllocateSlow();
    }
    // The cell goes back to its chunk; the chunk's last item takes the chunk with it, the
    // arena's last cell the arena.
    static void Free(void* p, size_t size) {
        assert(size == NodeArena::kCellBytes);
        (void)size;
        if (!p) return;
        Chunk* c = Chunk::Of(p);
        NodeArena* a = c->arena;
        assert(a->live_ > 0 && live_ > 0);
        --live_;
        --a->live_;
        a->TakeBack(Chunk::kCells, c, 0, p, NodeArena::kCellBytes);
        if (a->live_ == 0) Emptied(a);
    }
    // Whether p is the cell that Allocate handed out last and no node took yet; the node made
    // in it takes it (so that a node knows whether it lives in the pool).
    static bool TakeFresh(const void* p) {
        if (p != fresh_) return false;
        fresh_ = nullptr;
        return true;
    }
    static size_t LiveCount() { return live_; }
    // Documents of fewer bytes are parsed into the shared arena (256 KiB unless set; a test
    // sets 0 to give every document an arena of its own).
    static size_t OwnArenaBytes() { return ownArenaBytes_; }
    static void SetOwnArenaBytes(size_t bytes) { ownArenaBytes_ = bytes; }
    // The arena new nodes come from now (null before the first node).
    static NodeArena* Current() { return current_; }
    // The arena that blocks without a node come from (and nodes made outside a parse).
    static NodeArena* Shared();

    // While one lives, a tree is being freed (a node's destructor runs); the store settles once
    // the outermost tree has gone (see FreeDeleted).
    class Freeing {
      public:
        Freeing() { ++depth_; }
        ~Freeing() { --depth_; }
        Freeing(const Freeing&) = delete;
        Freeing& operator=(const Freeing&) = delete;
    };
    // A deleted node's cell goes back; after the outermost tree the store settles.
    static void FreeDeleted(void* p, size_t size) {
        Free(p, size);
        if (depth_ == 0) ChunkStore::Settle();
    }

    // While it lives, new nodes come from a fresh arena of their own, counted, filled by a parse
    // of inputBytes bytes whose read position is *readPos.
    class ParseArena {
      public:
        ParseArena(const int* readPos, int inputBytes);
        ~ParseArena();
        ParseArena(const ParseArena&) = delete;
        ParseArena& operator=(const ParseArena&) = delete;
        NodeArena* Arena() const { return arena_; }

      private:
        NodeArena* arena_;
        NodeArena* before_;
    };

  private:
    friend class NodeArena;
    static void* Had(NodeArena* a, ChunkStock& s, void* cell) {
        s.liveBytes += NodeArena::kCellBytes;
        ++a->live_;
        ++live_;
        fresh_ = cell;
        return cell;
    }
    static void* AllocateSlow();
    static void Emptied(NodeArena* a);

    static NodeArena* current_;
    static NodeArena* shared_;
    static const void* fresh_;
    static size_t live_;
    static size_t ownArenaBytes_;
    static int depth_;
};

}  // namespace velmarq
