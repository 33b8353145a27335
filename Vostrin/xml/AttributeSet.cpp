#include "AttributeSet.h"

#include <cstring>

namespace velmarq {

AttributeSet::~AttributeSet() {
    ClearPairs();
}

void AttributeSet::AppendLength(int n) {
    if (entries_ == capacity_) {
        int newCap = capacity_ * 2;
        int* p = new int[static_cast<size_t>(newCap)];
        std::memcpy(p, lengths_, sizeof(int) * static_cast<size_t>(entries_));
        if (lengths_ != inline_) delete[] lengths_;
        lengths_ = p;
        capacity_ = newCap;
    }
    lengths_[entries_++] = n;
}

void AttributeSet::RemoveEntries(int at) {
    std::memmove(lengths_ + at, lengths_ + at + 2,
                 sizeof(int) * static_cast<size_t>(entries_ - at - 2));
    entries_ -= 2;
}

void AttributeSet::AddPair(const char* name, const char* value) {
    if (!name || !*name) return;
    if (!value) value = "";
    AddPair(name, static_cast<int>(std::strlen(name)), value, static_cast<int>(std::strlen(value)));
}

void AttributeSet::AddPair(const char* name, int nameLen, const char* value, int valueLen) {
    if (!name || nameLen <= 0) return;
    if (!value || valueLen < 0) valueLen = 0;
    AppendLength(nameLen);
    AppendLength(valueLen);
    text_.append(name, static_cast<size_t>(nameLen));
    if (valueLen > 0) text_.append(value, static_cast<size_t>(valueLen));
}

int AttributeSet::OffsetOf(int pair) const {
    int offset = 0;
    for (int e = 0; e < 2 * pair; ++e) offset += lengths_[e];
    return offset;
}

int AttributeSet::FindPair(const char* name, size_t len, int from, int& offset) const {
    for (int i = from, n = PairCount(); i < n; ++i) {
        int nameLen = lengths_[2 * i];
        if (static_cast<size_t>(nameLen) == len &&
            std::memcmp(text_.data() + offset, name, len) == 0) {
            return i;
        }
        offset += nameLen + lengths_[2 * i + 1];
    }
    return -1;
}

void AttributeSet::NameAt(int i, StringBuffer& out) const {
    out.Clear();
    if (i < 0 || i >= PairCount()) return;
    out.AppendBytes(text_.data() + OffsetOf(i), lengths_[2 * i]);
}

bool AttributeSet::ValueAt(int i, StringBuffer& out) const {
    out.Clear();
    if (i < 0 || i >= PairCount()) return false;
    out.AppendBytes(text_.data() + OffsetOf(i) + lengths_[2 * i], lengths_[2 * i + 1]);
    return true;
}

bool AttributeSet::PairAt(int i, StringBuffer& name, StringBuffer& value) const {
    name.Clear();
    value.Clear();
    if (i < 0 || i >= PairCount()) return false;
    int offset = OffsetOf(i);
    int nameLen = lengths_[2 * i];
    name.AppendBytes(text_.data() + offset, nameLen);
    value.AppendBytes(text_.data() + offset + nameLen, lengths_[2 * i + 1]);
    return true;
}

bool AttributeSet::ValueOf(const char* name, StringBuffer& out) const {
    out.Clear();
    if (!name || !*name) return false;
    size_t len = std::strlen(name);
    int offset = 0;
    int i = FindPair(name, len, 0, offset);
    if (i < 0) return false;
    out.AppendBytes(text_.data() + offset + lengths_[2 * i], lengths_[2 * i + 1]);
    return true;
}

bool AttributeSet::HasName(const char* name) const {
    if (!name || !*name) return false;
    int offset = 0;
    return FindPair(name, std::strlen(name), 0, offset) >= 0;
}

bool AttributeSet::MatchValue(const char* name, const char* pattern) const {
    if (!name || !*name || PairCount() == 0) return false;
    if (!pattern) pattern = "";
    size_t len = std::strlen(name);
    std::string work;
    int offset = 0;
    for (int i = FindPair(name, len, 0, offset); i >= 0; i = FindPair(name, len, i, offset)) {
        int valueLen = lengths_[2 * i + 1];
        if (valueLen == 0 && *pattern == 0) return true;
        work.assign(text_.data() + offset + lengths_[2 * i], static_cast<size_t>(valueLen));
        if (WildcardMatch(work.c_str(), pattern, true)) return true;
        offset += lengths_[2 * i] + valueLen;
        ++i;
    }
    return false;
}

void AttributeSet::ClearPairs() {
    if (lengths_ != inline_) delete[] lengths_;
    lengths_ = inline_;
    capacity_ = kInline;
    entries_ = 0;
    std::string().swap(text_);
}

void AttributeSet::RemoveAllNamed(const char* name) {
    if (!name || !*name || PairCount() == 0) return;
    size_t len = std::strlen(name);
    int offset = 0;
    int e = 0;
    while (e < entries_) {
        int nameLen = lengths_[e];
        int valueLen = lengths_[e + 1];
        if (static_cast<size_t>(nameLen) == len &&
            std::memcmp(text_.data() + offset, name, len) == 0) {
            text_.erase(static_cast<size_t>(offset), static_cast<size_t>(nameLen + valueLen));
            RemoveEntries(e);
            continue;
        }
        offset += nameLen + valueLen;
        e += 2;
    }
}

}  // namespace velmarq
