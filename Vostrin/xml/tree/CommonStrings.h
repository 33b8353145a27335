// The process-wide pool of tag texts: each text is stored once and counted by the nodes that use
// it, so that thousands of nodes with the same tag share one copy.
#pragma once

#include <cstring>

#include "HashMap.h"

namespace velmarq {

class RefCountedObject {
  public:
    virtual int Release();  // count - 1; deletes itself at 0; returns the new count
    virtual ~RefCountedObject() = default;
    void AddRef() { ++count_; }
    void AddRefs(int n) { count_ += n; }
    int Count() const { return count_; }
    // Takes n references off at once; the caller knows the count stays above 0.
    void DropRefs(int n) { count_ -= n; }

  private:
    int count_ = 0;
};

class RefCountedMarker : public RefCountedObject, public VelmarqObject {
  public:
    // The holder (see CommonStrings::InternHeld) that took a use of the entry last; 0 for none.
    unsigned long long holder = 0;
};

// The map starts at 400 buckets and grows with the number of distinct tags.
class CommonStrings {
  public:
    // Made on first use, never destroyed.
    static CommonStrings& Instance() { return instance_ ? *instance_ : Make(); }

    // The pool's copy of text, its use count raised by one. text must not be null.
    const StringBuffer* Intern(const char* text);
    // Lowers the use count of text; the entry goes with its last use.
    void ReleaseString(const char* text);
    // The same by entry, for the tree nodes: the entry's text is the pooled copy.
    // The tags of a document repeat, so the recently used entry of the cache slot is tried
    // first, without hashing.
    NamedObject* InternEntry(const char* text, size_t len) {
        const Cached& cached = cache_[Slot(text, len)];
        if (cached.entry && cached.length == len && SameBytes(cached.text, text, len)) {
            cached.marker->AddRef();
            return cached.entry;
        }
        return InternMissed(text, len);
    }
    // For a holder that keeps one use of every entry it needs for many nodes (a node arena,
    // named by a number that no other holder ever has): the entry for text, and whether a use
    // was taken for the holder (newUse), which the holder keeps or gives back. None is taken
    // when the entry's last holder was this one, so the tags of one document cost no count.
    NamedObject* InternHeld(const char* text, size_t len, unsigned long long holder, bool& newUse) {
        const Cached& cached = cache_[Slot(text, len)];
        if (cached.entry && cached.length == len && SameBytes(cached.text, text, len)) {
            newUse = cached.marker->holder != holder;
            if (newUse) {
                cached.marker->AddRef();
                cached.marker->holder = holder;
            }
            return cached.entry;
        }
        NamedObject* entry = InternMissed(text, len);
        static_cast<RefCountedMarker*>(entry->Value())->holder = holder;
        newUse = true;
        return entry;
    }
    void ReleaseEntry(NamedObject* entry);
    // n uses of the entry end at once (n >= 1).
    void ReleaseEntry(NamedObject* entry, int n);
    // n more uses of an entry in the pool.
    void AddUses(NamedObject* entry, int n) {
        static_cast<RefCountedMarker*>(entry->Value())->AddRefs(n);
    }
    // Current use count of text (0 when absent).
    int UseCount(const char* text) const;

    virtual ~CommonStrings() = default;

  private:
    CommonStrings() : map_(400) {}
    static CommonStrings& Make();
    RefCountedMarker* MarkerOf(const char* text, StringBuffer** copy) const;
    NamedObject* InternMissed(const char* text, size_t len);
    static size_t Slot(const char* text, size_t len) {
        if (len == 0) return 0;
        auto first = static_cast<unsigned char>(text[0]);
        auto last = static_cast<unsigned char>(text[len - 1]);
        return (first * 31u + last * 7u + len) % kCacheSlots;
    }

    static CommonStrings* instance_;

    HashMap map_;
    // Recently used entries by a cheap key, so that the tags of a document are found again
    // without hashing every byte; an entry is only ever in the slot of its own key, and leaves it
    // before it is destroyed.
    // Each slot holds what a hit needs, so that it reads one slot and the text.
    struct Cached {
        NamedObject* entry = nullptr;
        const char* text = nullptr;  // the entry's own copy
        size_t length = 0;
        RefCountedMarker* marker = nullptr;
    };
    static constexpr size_t kCacheSlots = 64;
    Cached cache_[kCacheSlots];
};

}  // namespace velmarq
