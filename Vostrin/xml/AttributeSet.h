// The attribute pairs of one node, kept in order of addition in one text buffer (names may
// repeat, a name is never empty, values may be). Small sets (two pairs, short texts) live
// entirely inside the object, so the common element with one or two attributes costs no
// allocation of its own.
#pragma once

#include <string>

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
    int PairCount() const { return entries_ / 2; }
    void NameAt(int i, StringBuffer& out) const;
    bool ValueAt(int i, StringBuffer& out) const;
    bool PairAt(int i, StringBuffer& name, StringBuffer& value) const;
    bool ValueOf(const char* name, StringBuffer& out) const;
    bool HasName(const char* name) const;
    bool MatchValue(const char* name, const char* pattern) const;
    void ClearPairs();
    void RemoveAllNamed(const char* name);

  private:
    int OffsetOf(int pair) const;  // byte offset of the name of pair i
    // Index of the first pair named name[0..len) at or after pair `from`, with its offset.
    int FindPair(const char* name, size_t len, int from, int& offset) const;
    void AppendLength(int n);
    void RemoveEntries(int at);  // removes entries at and at + 1

    static constexpr int kInline = 4;
    int* lengths_ = inline_;  // entry 2i: name length of pair i, 2i+1: value length
    int entries_ = 0;
    int capacity_ = kInline;
    int inline_[kInline] = {};
    std::string text_;  // name 0, value 0, name 1, value 1, ... end to end
};

}  // namespace velmarq
