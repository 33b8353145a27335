// The process-wide pool of tag texts: each text is stored once and counted by the nodes that use
// it, so that thousands of nodes with the same tag share one copy.
#pragma once

#include "HashMap.h"

namespace velmarq {

class RefCountedObject {
  public:
    virtual int Release();  // count - 1; deletes itself at 0; returns the new count
    virtual ~RefCountedObject() = default;
    void AddRef() { ++count_; }
    int Count() const { return count_; }

  private:
    int count_ = 0;
};

class RefCountedMarker : public RefCountedObject, public VelmarqObject {};

class CommonStrings {
  public:
    static CommonStrings& Instance();  // made on first use, never destroyed

    // The pool's copy of text, its use count raised by one. text must not be null.
    const StringBuffer* Intern(const char* text);
    // Lowers the use count of text; the entry goes with its last use.
    void ReleaseString(const char* text);
    // The same by entry, for the tree nodes: the entry's text is the pooled copy.
    NamedObject* InternEntry(const char* text, size_t len);
    void ReleaseEntry(NamedObject* entry);
    // Current use count of text (0 when absent).
    int UseCount(const char* text) const;

    virtual ~CommonStrings() = default;

  private:
    CommonStrings() : map_(400) {}
    RefCountedMarker* MarkerOf(const char* text, StringBuffer** copy) const;
    static size_t Slot(const char* text, size_t len);

    HashMap map_;
    // Recently used entries by a cheap key, so that the tags of a document are found again
    // without hashing every byte; an entry leaves the cache before it is destroyed.
    static constexpr size_t kCacheSlots = 64;
    NamedObject* cache_[kCacheSlots] = {};
};

}  // namespace velmarq
