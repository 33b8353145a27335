#include "AttributeSet.h"

#include <cassert>
#include <cstring>
#include <string>

#include "BlockPool.h"

namespace velmarq {

AttributeSet::Header AttributeSet::empty_ = {0, 0, 0, 0};

void AttributeSet::Grow(size_t n) {
    size_t room = h_->capacity * size_t{2};
    if (room < h_->size + n) room = h_->size + n;
    size_t granted = 0;
    auto* fresh = static_cast<Header*>(BlockPool::Resize(h_, sizeof(Header) + h_->capacity,
                                                         sizeof(Header) + h_->size,
                                                         sizeof(Header) + room, granted));
    fresh->capacity = static_cast<unsigned>(granted - sizeof(Header));
    h_ = fresh;
}

void AttributeSet::Append(const char* bytes, size_t n) {
    assert(h_->size + n <= h_->capacity);
    std::memcpy(h_->Bytes() + h_->size, bytes, n);
    h_->size += static_cast<unsigned>(n);
}

void AttributeSet::Erase(size_t at, size_t n) {
    std::memmove(h_->Bytes() + at, h_->Bytes() + at + n, h_->size - at - n);
    h_->size -= static_cast<unsigned>(n);
}

void AttributeSet::FreeBlock() {
    BlockPool::Give(h_, sizeof(Header) + h_->capacity);
}

void AttributeSet::Release() {
    if (h_ != &empty_) FreeBlock();
    h_ = &empty_;
}

void AttributeSet::PutLength(size_t n) {
    while (n >= 0x80) {
        char b = static_cast<char>(0x80 | (n & 0x7F));
        Append(&b, 1);
        n >>= 7;
    }
    char b = static_cast<char>(n);
    Append(&b, 1);
}

size_t AttributeSet::GetLength(size_t& at) const {
    size_t n = 0;
    int shift = 0;
    for (;;) {
        auto b = static_cast<unsigned char>(h_->Bytes()[at++]);
        n |= static_cast<size_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) return n;
        shift += 7;
    }
}

AttributeSet::Pair AttributeSet::Decode(size_t at) const {
    Pair p;
    p.start = at;
    p.nameLen = GetLength(at);
    p.name = at;
    at += p.nameLen;
    p.valueLen = GetLength(at);
    p.value = at;
    p.end = at + p.valueLen;
    return p;
}

bool AttributeSet::PairAtIndex(int i, Pair& out) const {
    if (i < 0 || i >= h_->count) return false;
    size_t at = 0;
    for (int k = 0;; ++k) {
        out = Decode(at);
        if (k == i) return true;
        at = out.end;
    }
}

bool AttributeSet::NameIs(const Pair& p, const char* name, size_t len) const {
    return p.nameLen == len && std::memcmp(h_->Bytes() + p.name, name, len) == 0;
}

void AttributeSet::AddPair(const char* name, const char* value, NodeArena* home) {
    if (!name || !*name) return;
    if (!value) value = "";
    AddPair(name, static_cast<int>(std::strlen(name)), value, static_cast<int>(std::strlen(value)),
            home);
}

size_t AttributeSet::RecordBytes(size_t nameLen, size_t valueLen) {
    size_t n = nameLen + valueLen;
    for (size_t len : {nameLen, valueLen}) {
        do {
            ++n;
            len >>= 7;
        } while (len);
    }
    return n;
}

void AttributeSet::AddLongPair(const char* name, int nameLen, const char* value, int valueLen,
                               NodeArena* home) {
    // All the room first, so that a failed allocation adds no part of the pair.
    Reserve(RecordBytes(static_cast<size_t>(nameLen), static_cast<size_t>(valueLen)), home);
    ++h_->count;
    PutLength(static_cast<size_t>(nameLen));
    Append(name, static_cast<size_t>(nameLen));
    PutLength(static_cast<size_t>(valueLen));
    if (valueLen > 0) Append(value, static_cast<size_t>(valueLen));
}

void AttributeSet::NameAt(int i, StringBuffer& out) const {
    out.Clear();
    Pair p;
    if (PairAtIndex(i, p)) out.AppendBytes(h_->Bytes() + p.name, static_cast<int>(p.nameLen));
}

bool AttributeSet::ValueAt(int i, StringBuffer& out) const {
    out.Clear();
    Pair p;
    if (!PairAtIndex(i, p)) return false;
    out.AppendBytes(h_->Bytes() + p.value, static_cast<int>(p.valueLen));
    return true;
}

bool AttributeSet::PairAt(int i, StringBuffer& name, StringBuffer& value) const {
    name.Clear();
    value.Clear();
    Pair p;
    if (!PairAtIndex(i, p)) return false;
    name.AppendBytes(h_->Bytes() + p.name, static_cast<int>(p.nameLen));
    value.AppendBytes(h_->Bytes() + p.value, static_cast<int>(p.valueLen));
    return true;
}

bool AttributeSet::ValueOf(const char* name, StringBuffer& out) const {
    out.Clear();
    if (!name || !*name) return false;
    size_t len = std::strlen(name);
    for (size_t at = 0; at < h_->size;) {
        Pair p = Decode(at);
        if (NameIs(p, name, len)) {
            out.AppendBytes(h_->Bytes() + p.value, static_cast<int>(p.valueLen));
            return true;
        }
        at = p.end;
    }
    return false;
}

bool AttributeSet::HasName(const char* name) const {
    if (!name || !*name) return false;
    size_t len = std::strlen(name);
    for (size_t at = 0; at < h_->size;) {
        Pair p = Decode(at);
        if (NameIs(p, name, len)) return true;
        at = p.end;
    }
    return false;
}

bool AttributeSet::MatchValue(const char* name, const char* pattern) const {
    if (!name || !*name || h_->count == 0) return false;
    if (!pattern) pattern = "";
    size_t len = std::strlen(name);
    std::string work;
    for (size_t at = 0; at < h_->size;) {
        Pair p = Decode(at);
        at = p.end;
        if (!NameIs(p, name, len)) continue;
        if (p.valueLen == 0 && *pattern == 0) return true;
        work.assign(h_->Bytes() + p.value, p.valueLen);
        if (WildcardMatch(work.c_str(), pattern, true)) return true;
    }
    return false;
}

void AttributeSet::ClearPairs() {
    Release();
}

void AttributeSet::ReplaceAllNamed(const char* name, const char* value, NodeArena* home) {
    if (!name || !*name) return;
    if (!value) value = "";
    const size_t nameLen = std::strlen(name);
    const size_t valueLen = std::strlen(value);
    // Room for the new pair before the old ones go; removing never allocates.
    Reserve(RecordBytes(nameLen, valueLen), home);
    RemoveAllNamed(name);
    AddPair(name, static_cast<int>(nameLen), value, static_cast<int>(valueLen), home);
}

void AttributeSet::AddTrimmedPairsOf(const AttributeSet& other, NodeArena* home) {
    for (size_t at = 0; at < other.h_->size;) {
        Pair p = other.Decode(at);
        at = p.end;
        const char* name = other.h_->Bytes() + p.name;
        size_t len = p.nameLen;
        while (len > 0 && IsXmlSpace(static_cast<unsigned char>(*name))) {
            ++name;
            --len;
        }
        while (len > 0 && IsXmlSpace(static_cast<unsigned char>(name[len - 1]))) --len;
        if (len == 0) continue;
        AddPair(name, static_cast<int>(len), other.h_->Bytes() + p.value,
                static_cast<int>(p.valueLen), home);
    }
}

void AttributeSet::TakeOver(AttributeSet& other) {
    if (&other == this) return;
    Release();
    h_ = other.h_;
    other.h_ = &empty_;
}

void AttributeSet::RemoveAllNamed(const char* name) {
    if (!name || !*name || h_->count == 0) return;
    size_t len = std::strlen(name);
    for (size_t at = 0; at < h_->size;) {
        Pair p = Decode(at);
        if (NameIs(p, name, len)) {
            Erase(p.start, p.end - p.start);
            --h_->count;
            continue;  // the next pair now starts where this one did
        }
        at = p.end;
    }
}

}  // namespace velmarq
