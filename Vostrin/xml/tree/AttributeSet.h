// The attribute pairs of one node, kept in order of addition in one byte string (names may
// repeat, a name is never empty, values may be). Each pair is stored as the name's length, the
// name, the value's length and the value, lengths as 7-bit groups, in a block from the node's
// arena (see BlockPool), so the common element costs no call to the C library for its
// attributes. The operations that may add a pair take the arena of the set's node ("home"; null
// for a set of no node).
#pragma once

#include <cstddef>
#include <cstring>

#include "BlockPool.h"
#include "StringBuffer.h"

namespace velmarq {

class AttributeSet {
  public:
    AttributeSet() = default;
    ~AttributeSet() { Release(); }
    AttributeSet(const AttributeSet&) = delete;
    AttributeSet& operator=(const AttributeSet&) = delete;

    // Empty or null name: nothing.
    void AddPair(const char* name, const char* value, NodeArena* home = nullptr);
    [[gnu::always_inline]] void AddPair(const char* name, int nameLen, const char* value,
                                        int valueLen, NodeArena* home = nullptr) {
        if (!name || nameLen <= 0) return;
        if (!value || valueLen < 0) valueLen = 0;
        if (nameLen >= 0x80 || valueLen >= 0x80) {
            AddLongPair(name, nameLen, value, valueLen, home);
            return;
        }
        // Short pair: both lengths take one byte; the record is written in place.
        const size_t n = 2 + static_cast<size_t>(nameLen) + static_cast<size_t>(valueLen);
        if (h_ == &empty_)
            Start(n, home);
        else if (h_->size + n > h_->capacity)
            Grow(n);
        char* r = h_->Bytes() + h_->size;
        *r++ = static_cast<char>(nameLen);
        CopyShort(r, name, static_cast<size_t>(nameLen));
        r += nameLen;
        *r++ = static_cast<char>(valueLen);
        CopyShort(r, value, static_cast<size_t>(valueLen));
        h_->size += static_cast<unsigned>(n);
        ++h_->count;
    }
    // Every pair named name is removed, then the pair is appended. A failed allocation leaves the
    // set as it was. Empty or null name: nothing.
    void ReplaceAllNamed(const char* name, const char* value, NodeArena* home = nullptr);
    // Appends the pairs of other in order, each name trimmed, pairs whose name is then empty
    // skipped.
    void AddTrimmedPairsOf(const AttributeSet& other, NodeArena* home = nullptr);
    // Takes the other set's pairs in place of its own; the other is left empty. Never fails.
    void TakeOver(AttributeSet& other);
    int PairCount() const { return h_->count; }
    void NameAt(int i, StringBuffer& out) const;
    bool ValueAt(int i, StringBuffer& out) const;
    bool PairAt(int i, StringBuffer& name, StringBuffer& value) const;
    bool ValueOf(const char* name, StringBuffer& out) const;
    bool HasName(const char* name) const;
    bool MatchValue(const char* name, const char* pattern) const;
    void ClearPairs();
    void RemoveAllNamed(const char* name);
    // Frees the heap storage and leaves the set unusable: for a set whose node is discarded
    // without its destructor.
    void Discard() {
        if (h_ != &empty_) FreeBlock();
    }
    // Drops the pairs without giving their block back: for a set whose arena goes as a whole.
    void Forget() { h_ = &empty_; }

  private:
    // Copies n bytes (fewer than 128), the short ones as two overlapping words from either end.
    static void CopyShort(char* to, const char* from, size_t n) {
        if (n > 16) {
            std::memcpy(to, from, n);
        } else if (n >= 8) {
            std::memcpy(to, from, 8);
            std::memcpy(to + n - 8, from + n - 8, 8);
        } else if (n >= 4) {
            std::memcpy(to, from, 4);
            std::memcpy(to + n - 4, from + n - 4, 4);
        } else if (n > 0) {
            to[0] = from[0];
            to[n / 2] = from[n / 2];
            to[n - 1] = from[n - 1];
        }
    }
    // One stored pair, as positions in h_->Bytes().
    struct Pair {
        size_t start;  // first byte of the pair's record
        size_t name, nameLen, value, valueLen;
        size_t end;  // one past the record
    };
    Pair Decode(size_t at) const;
    bool PairAtIndex(int i, Pair& out) const;
    bool NameIs(const Pair& p, const char* name, size_t len) const;
    void Grow(size_t n);  // room for n more bytes, for a set that has its block
    // The first block, for a set that is empty, with room for n bytes.
    void Start(size_t n, NodeArena* home) {
        size_t granted = 0;
        auto* fresh = static_cast<Header*>(BlockPool::Take(sizeof(Header) + n, granted, home));
        *fresh = {0, static_cast<unsigned>(granted - sizeof(Header)), 0, 0};
        h_ = fresh;
    }
    void Reserve(size_t n, NodeArena* home) {
        if (h_ == &empty_)
            Start(n, home);
        else if (h_->size + n > h_->capacity)
            Grow(n);
    }
    static size_t RecordBytes(size_t nameLen, size_t valueLen);
    void AddLongPair(const char* name, int nameLen, const char* value, int valueLen,
                     NodeArena* home);
    void Append(const char* bytes, size_t n);  // room reserved before
    void Erase(size_t at, size_t n);
    void Release();
    void FreeBlock();
    size_t GetLength(size_t& at) const;
    void PutLength(size_t n);

    // The pairs live in one block: this header, then the bytes. An empty set shares one empty
    // header and owns no block, so a node without attributes pays one pointer.
    struct Header {
        unsigned size;      // bytes in use
        unsigned capacity;  // bytes of room behind the header
        int count;          // pairs
        unsigned unused;
        char* Bytes() { return reinterpret_cast<char*>(this + 1); }
        const char* Bytes() const { return reinterpret_cast<const char*>(this + 1); }
    };
    static Header empty_;
    Header* h_ = &empty_;
};

}  // namespace velmarq
