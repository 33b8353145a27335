// Storage for tree nodes and for their child lists and attribute sets: arenas of 2 MiB chunks, so
// that building and freeing a tree of a million elements costs no allocator call per node.
//
// Each parse of a document of some size takes an arena of its own; nodes made through the API
// and those of small documents share one arena. A node's
// child list and attribute set come from the node's own arena (small blocks from size-classed
// free lists in its chunks, larger ones from the C library, linked to the arena), so an arena
// holds everything its nodes own but their content and extras. As long as one tree is exactly
// the nodes of its arena (the tree a parse made, until a subtree moves in or out), freeing that
// tree gives the whole arena back at once, without a visit to each node: the arena holds one use
// of each tag pool entry its nodes have (its nodes hold none of their own), and counts how many
// of them own content or extras, which only a visit can free. Otherwise nodes go one by one,
// and an arena goes with its last node, giving its tag uses back. Chunks freed are kept for the
// next arena, up to a bound above which they are unmapped.
//
// Under AddressSanitizer the pool marks every cell that is not in use as poisoned, and reuses
// freed cells in the order they were freed (the oldest first), so that a node used after it was
// freed is still reported; blocks then all come from the C library, so that its checks see each.
#pragma once

#include <sanitizer/asan_interface.h>

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "CommonStrings.h"

#if defined(__SANITIZE_ADDRESS__)
#define TW_NODE_POOL_POISON 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_NODE_POOL_POISON 1
#endif
#endif

namespace velmarq {

class TreeNode;

class NodeArena {
  public:
    static constexpr size_t kChunkBytes = size_t{2} << 20;
    static constexpr size_t kHeaderBytes = 64;  // the chunk's header; cells start a line later
    static constexpr size_t kCellBytes = 64;    // one node
    static constexpr int kBlockClasses = 8;     // 32 bytes to 4 KiB

    // The arena whose chunk holds p (a cell or a small block).
    static NodeArena* Of(const void* p) {
        return reinterpret_cast<const Chunk*>(reinterpret_cast<uintptr_t>(p) &
                                              ~(uintptr_t{kChunkBytes} - 1))
            ->arena;
    }

    // Whether this arena counts its nodes' tag uses and content: a parse's arena, which can be
    // released whole.
    bool Counted() const { return counted_; }
    size_t Live() const { return live_; }  // cells in use
    // The tree that holds exactly this arena's nodes, or null.
    TreeNode* Owner() const { return owner_; }
    void SetOwner(TreeNode* root) { owner_ = root; }
    // A tree that had this arena's nodes and no others changed: it no longer does.
    void Disown(const TreeNode* root) {
        if (owner_ == root) owner_ = nullptr;
    }

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

    // The pool's own records, in the memory they describe.
    struct Chunk {
        NodeArena* arena;
        Chunk* next;  // the arena's chunks, or the spare chunks
    };
    struct FreeCell {
        FreeCell* next;
    };
    struct FreeBlock {
        FreeBlock* next;
    };
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
    // A fresh chunk for this arena (std::bad_alloc when none can be had).
    char* NewChunk();
    void GiveChunksBack();
    void ReleaseBigBlocks();

    const bool counted_;
    bool parsing_ = false;  // a parse is still filling it
    TreeNode* owner_ = nullptr;
    size_t live_ = 0;  // cells in use
    FreeCell* free_ = nullptr;
#ifdef TW_NODE_POOL_POISON
    FreeCell* freeTail_ = nullptr;  // the newest freed cell, reused last
#endif
    char* cellNext_ = nullptr;  // unused cells of the newest cell chunk
    char* cellEnd_ = nullptr;
    FreeBlock* freeBlocks_[kBlockClasses] = {};
    char* blockNext_ = nullptr;  // unused room of the newest block chunk
    char* blockEnd_ = nullptr;
    Chunk* chunks_ = nullptr;
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
        NodeArena* a = current_;
        if (a) {
            if (NodeArena::FreeCell* cell = a->free_) {
                ASAN_UNPOISON_MEMORY_REGION(cell, NodeArena::kCellBytes);
                a->free_ = cell->next;
#ifdef TW_NODE_POOL_POISON
                if (!a->free_) a->freeTail_ = nullptr;
#endif
                return Had(a, cell);
            }
            if (a->cellNext_ != a->cellEnd_) {
                void* p = a->cellNext_;
                ASAN_UNPOISON_MEMORY_REGION(p, NodeArena::kCellBytes);
                a->cellNext_ += NodeArena::kCellBytes;
                return Had(a, p);
            }
        }
        return AllocateSlow();
    }
    // The cell goes back to its arena; the arena's last cell takes the arena with it.
    static void Free(void* p, size_t size) {
        assert(size == NodeArena::kCellBytes);
        (void)size;
        if (!p) return;
        NodeArena* a = NodeArena::Of(p);
        assert(a->live_ > 0 && live_ > 0);
        PutOnFreeList(a, static_cast<NodeArena::FreeCell*>(p));
        --live_;
        if (--a->live_ == 0) Emptied(a);
    }
    // Whether p is the cell that Allocate handed out last and no node took yet; the node made
    // in it takes it (so that a node knows whether it lives in the pool).
    static bool TakeFresh(const void* p) {
        if (p != fresh_) return false;
        fresh_ = nullptr;
        return true;
    }
    static size_t LiveCount() {
        return live_;
    }
    // Documents of fewer bytes are parsed into the shared arena (256 KiB unless set; a test
    // sets 0 to give every document an arena of its own).
    static size_t OwnArenaBytes() {
        return ownArenaBytes_;
    }
    static void SetOwnArenaBytes(size_t bytes) {
        ownArenaBytes_ = bytes;
    }
    // The arena new nodes come from now (null before the first node).
    static NodeArena* Current() {
        return current_;
    }
    // The arena that blocks without a node come from (and nodes made outside a parse).
    static NodeArena* Shared();

    // While it lives, new nodes come from a fresh arena of their own, counted.
    class ParseArena {
      public:
        ParseArena();
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
    static void* Had(NodeArena* a, void* cell) {
        ++a->live_;
        ++live_;
        fresh_ = cell;
        return cell;
    }
    static void PutOnFreeList(NodeArena* a, NodeArena::FreeCell* cell) {
#ifdef TW_NODE_POOL_POISON
        cell->next = nullptr;
        if (a->freeTail_) {
            ASAN_UNPOISON_MEMORY_REGION(a->freeTail_, sizeof(NodeArena::FreeCell));
            a->freeTail_->next = cell;
            ASAN_POISON_MEMORY_REGION(a->freeTail_, NodeArena::kCellBytes);
        } else {
            a->free_ = cell;
        }
        a->freeTail_ = cell;
        ASAN_POISON_MEMORY_REGION(cell, NodeArena::kCellBytes);
#else
        cell->next = a->free_;
        a->free_ = cell;
#endif
    }
    static void* AllocateSlow();
    static void Emptied(NodeArena* a);

    static NodeArena* current_;
    static NodeArena* shared_;
    static const void* fresh_;
    static size_t live_;
    static size_t ownArenaBytes_;
};

}  // namespace velmarq
