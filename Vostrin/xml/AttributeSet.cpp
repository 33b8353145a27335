#include "AttributeSet.h"

#include <climits>
#include <cstring>
#include <string>

namespace velmarq {

AttributeSet::~AttributeSet() {
    ClearPairs();
}

void AttributeSet::AddPair(const char* name, const char* value) {
    if (!name || !*name) return;
    if (!value) value = "";
    AddPair(name, static_cast<int>(std::strlen(name)), value, static_cast<int>(std::strlen(value)));
}

void AttributeSet::AddPair(const char* name, int nameLen, const char* value, int valueLen) {
    if (!name || nameLen <= 0) return;
    if (!value || valueLen < 0) valueLen = 0;
    if (!lengths_) lengths_ = new ExtIntArray(6, 15);
    if (!text_) {
        text_ = new StringBuffer();
        text_->Reserve(50);
    }
    lengths_->Append(nameLen);
    text_->AppendBytes(name, nameLen);
    lengths_->Append(valueLen);
    text_->AppendBytes(value, valueLen);
}

int AttributeSet::OffsetOf(int pair) const {
    int offset = 0;
    for (int e = 0; e < 2 * pair; ++e) offset += lengths_->Get(e);
    return offset;
}

void AttributeSet::NameAt(int i, StringBuffer& out) const {
    out.Clear();
    if (i < 0 || i >= PairCount()) return;
    out.AppendBytes(text_->Data() + OffsetOf(i), lengths_->Get(2 * i));
}

bool AttributeSet::ValueAt(int i, StringBuffer& out) const {
    out.Clear();
    if (i < 0 || i >= PairCount()) return false;
    out.AppendBytes(text_->Data() + OffsetOf(i) + lengths_->Get(2 * i), lengths_->Get(2 * i + 1));
    return true;
}

bool AttributeSet::PairAt(int i, StringBuffer& name, StringBuffer& value) const {
    name.Clear();
    value.Clear();
    if (i < 0 || i >= PairCount()) return false;
    int offset = OffsetOf(i);
    int nameLen = lengths_->Get(2 * i);
    name.AppendBytes(text_->Data() + offset, nameLen);
    value.AppendBytes(text_->Data() + offset + nameLen, lengths_->Get(2 * i + 1));
    return true;
}

bool AttributeSet::ValueOf(const char* name, StringBuffer& out) const {
    out.Clear();
    if (!name || !*name) return false;
    size_t len = std::strlen(name);
    int offset = 0;
    for (int i = 0, n = PairCount(); i < n; ++i) {
        int nameLen = lengths_->Get(2 * i);
        int valueLen = lengths_->Get(2 * i + 1);
        if (static_cast<size_t>(nameLen) == len &&
            std::memcmp(text_->Data() + offset, name, len) == 0) {
            out.AppendBytes(text_->Data() + offset + nameLen, valueLen);
            return true;
        }
        offset += nameLen + valueLen;
    }
    return false;
}

bool AttributeSet::HasName(const char* name) const {
    if (!name || !*name) return false;
    size_t len = std::strlen(name);
    int offset = 0;
    for (int i = 0, n = PairCount(); i < n; ++i) {
        int nameLen = lengths_->Get(2 * i);
        if (static_cast<size_t>(nameLen) == len &&
            std::memcmp(text_->Data() + offset, name, len) == 0) {
            return true;
        }
        offset += nameLen + lengths_->Get(2 * i + 1);
    }
    return false;
}

bool AttributeSet::MatchValue(const char* name, const char* pattern) const {
    if (!name || !*name || PairCount() == 0) return false;
    if (!pattern) pattern = "";
    size_t len = std::strlen(name);
    int offset = 0;
    std::string work;
    for (int i = 0, n = PairCount(); i < n; ++i) {
        int nameLen = lengths_->Get(2 * i);
        int valueLen = lengths_->Get(2 * i + 1);
        if (static_cast<size_t>(nameLen) == len &&
            std::memcmp(text_->Data() + offset, name, len) == 0) {
            if (valueLen == 0 && *pattern == 0) return true;
            work.assign(text_->Data() + offset + nameLen, static_cast<size_t>(valueLen));
            if (WildcardMatch(work.c_str(), pattern, true)) return true;
        }
        offset += nameLen + valueLen;
    }
    return false;
}

void AttributeSet::ClearPairs() {
    delete text_;
    text_ = nullptr;
    delete lengths_;
    lengths_ = nullptr;
}

void AttributeSet::RemoveAllNamed(const char* name) {
    if (!name || !*name || PairCount() == 0) return;
    size_t len = std::strlen(name);
    int offset = 0;
    int e = 0;
    while (e < lengths_->Count()) {
        int nameLen = lengths_->Get(e);
        if (static_cast<size_t>(nameLen) == len &&
            std::memcmp(text_->Data() + offset, name, len) == 0) {
            text_->RemoveRange(offset, nameLen + lengths_->Get(e + 1));
            lengths_->RemoveAt(e);
            lengths_->RemoveAt(e);
            continue;
        }
        offset += nameLen + lengths_->Get(e + 1);
        e += 2;
    }
}

}  // namespace velmarq
