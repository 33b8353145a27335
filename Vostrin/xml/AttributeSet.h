// The attribute pairs of one node, kept in order of addition in one text buffer (names may
// repeat, a name is never empty, values may be).
#pragma once

#include "ExtIntArray.h"
#include "StringBuffer.h"

namespace velmarq {

class AttributeSet {
  public:
    AttributeSet() = default;
    virtual ~AttributeSet();
    AttributeSet(const AttributeSet&) = delete;
    AttributeSet& operator=(const AttributeSet&) = delete;

    void AddPair(const char* name, const char* value);  // empty or null name: nothing
    void AddPair(const char* name, int nameLen, const char* value, int valueLen);
    int PairCount() const { return lengths_ ? lengths_->Count() / 2 : 0; }
    void NameAt(int i, StringBuffer& out) const;
    bool ValueAt(int i, StringBuffer& out) const;
    bool PairAt(int i, StringBuffer& name, StringBuffer& value) const;
    bool ValueOf(const char* name, StringBuffer& out) const;
    bool HasName(const char* name) const;
    bool MatchValue(const char* name, const char* pattern) const;
    void ClearPairs();
    void RemoveAllNamed(const char* name);

  private:
    // Byte offset of the name of pair i.
    int OffsetOf(int pair) const;

    ExtIntArray* lengths_ = nullptr;  // entry 2i: name length of pair i, 2i+1: value length
    StringBuffer* text_ = nullptr;    // name 0, value 0, name 1, value 1, ... end to end
};

}  // namespace velmarq
