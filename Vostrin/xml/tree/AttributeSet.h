// The attribute pairs of one node, kept in order of addition in one byte string (names may
// repeat, a name is never empty, values may be). Each pair is stored as the name's length, the
// name, the value's length and the value, lengths as 7-bit groups; a set of short pairs fits in
// the object's own room, so the common element costs no allocation for its attributes.
#pragma once

#include <cstddef>
#include <cstring>

#include "StringBuffer.h"

namespace velmarq {

class AttributeSet {
  public:
    AttributeSet() = default;
    ~AttributeSet() { Release(); }
    AttributeSet(const AttributeSet&) = delete;
    AttributeSet& operator=(const AttributeSet&) = delete;

    void AddPair(const char* name, const char* value);  // empty or null name: nothing
    void AddPair(const char* name, int nameLen, const char* value, int valueLen) {
        if (!name || nameLen <= 0) return;
        if (!value || valueLen < 0) valueLen = 0;
        if (nameLen >= 0x80 || valueLen >= 0x80) {
            AddLongPair(name, nameLen, value, valueLen);
            return;
        }
        // Short pair: both lengths take one byte; the record is written in place.
        const size_t n = 2 + static_cast<size_t>(nameLen) + static_cast<size_t>(valueLen);
        if (size_ + n > capacity_) Grow(n);
        char* r = data_ + size_;
        *r++ = static_cast<char>(nameLen);
        std::memcpy(r, name, static_cast<size_t>(nameLen));
        r += nameLen;
        *r++ = static_cast<char>(valueLen);
        if (valueLen > 0) std::memcpy(r, value, static_cast<size_t>(valueLen));
        size_ += static_cast<unsigned>(n);
        ++count_;
    }
    // Every pair named name is removed, then the pair is appended. A failed allocation leaves the
    // set as it was. Empty or null name: nothing.
    void ReplaceAllNamed(const char* name, const char* value);
    // Appends the pairs of other in order, each name trimmed, pairs whose name is then empty
    // skipped.
    void AddTrimmedPairsOf(const AttributeSet& other);
    // Takes the other set's pairs in place of its own; the other is left empty. Never fails.
    void TakeOver(AttributeSet& other);
    int PairCount() const { return count_; }
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
        if (data_ != inline_) delete[] data_;
    }

  private:
    // One stored pair, as positions in data_.
    struct Pair {
        size_t start;  // first byte of the pair's record
        size_t name, nameLen, value, valueLen;
        size_t end;  // one past the record
    };
    Pair Decode(size_t at) const;
    bool PairAtIndex(int i, Pair& out) const;
    bool NameIs(const Pair& p, const char* name, size_t len) const;
    void Grow(size_t n);  // room for n more bytes
    void Reserve(size_t n) {
        if (size_ + n > capacity_) Grow(n);
    }
    static size_t RecordBytes(size_t nameLen, size_t valueLen);
    void AddLongPair(const char* name, int nameLen, const char* value, int valueLen);
    void Append(const char* bytes, size_t n);
    void Erase(size_t at, size_t n);
    void Release();
    size_t GetLength(size_t& at) const;
    void PutLength(size_t n);

    static constexpr size_t kInline = 20;  // the set takes 40 bytes
    char* data_ = inline_;
    unsigned size_ = 0;
    unsigned capacity_ = kInline;
    int count_ = 0;
    char inline_[kInline];
};

}  // namespace velmarq
