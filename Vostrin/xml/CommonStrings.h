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
    // Current use count of text (0 when absent).
    int UseCount(const char* text) const;

    virtual ~CommonStrings() = default;

  private:
    CommonStrings() : map_(400) {}
    RefCountedMarker* MarkerOf(const char* text, StringBuffer** copy) const;

    HashMap map_;
};

}  // namespace velmarq
