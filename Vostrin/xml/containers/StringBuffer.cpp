#include "StringBuffer.h"

#include <cassert>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ExtPtrArray.h"

namespace velmarq {

namespace {

// Storage that cannot be had, in memory or in the int range of a length, is a failed allocation
// like any other: std::bad_alloc, which a load turns into a failed load.
char* Allocate(int capacity) {
    char* p = static_cast<char*>(std::malloc(static_cast<size_t>(capacity)));
    if (!p) throw std::bad_alloc();
    return p;
}

// Capacity for length + n bytes plus a step, kept within int range. Once the step has reached
// its cap the buffer still grows by half its length at least, so that appending stays linear.
int GrownCapacity(int length, int n, int step) {
    long long want = static_cast<long long>(length) + n + step + 1;
    const long long geometric = static_cast<long long>(length) + length / 2 + n + 1;
    if (want < geometric) want = geometric;
    if (want > INT_MAX) want = INT_MAX;
    if (static_cast<long long>(length) + n >= want) throw std::bad_alloc();
    return static_cast<int>(want);
}

bool IsTrimByte(unsigned char c) {
    return IsXmlSpace(c);
}

bool EqualBytesNoCase(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

bool EqualBytes(const char* a, const char* b, size_t n, bool caseSensitive) {
    return caseSensitive ? std::memcmp(a, b, n) == 0 : EqualBytesNoCase(a, b, n);
}

// First occurrence of needle[0..n) in text, or null.
const char* FindSegment(const char* text, const char* needle, size_t n, bool caseSensitive) {
    size_t tlen = std::strlen(text);
    if (n > tlen) return nullptr;
    for (size_t i = 0; i + n <= tlen; ++i) {
        if (EqualBytes(text + i, needle, n, caseSensitive)) return text + i;
    }
    return nullptr;
}

}  // namespace

StringBuffer::StringBuffer()
    : buf_(Allocate(kDefaultStep)), capacity_(kDefaultStep), length_(0), step_(kDefaultStep) {
    buf_[0] = 0;
}

StringBuffer::StringBuffer(const char* text) : length_(0), step_(kDefaultStep) {
    if (!text) {
        capacity_ = 4;
        buf_ = Allocate(capacity_);
        buf_[0] = 0;
        return;
    }
    size_t n = std::strlen(text);
    if (n >= INT_MAX) throw std::bad_alloc();
    capacity_ = static_cast<int>(n) + 1;
    buf_ = Allocate(capacity_);
    std::memcpy(buf_, text, n + 1);
    length_ = static_cast<int>(n);
}

StringBuffer::StringBuffer(const char* bytes, int n, int growth)
    : length_(0), step_(growth > 0 ? growth : kDefaultStep) {
    if (!bytes || n < 0) n = 0;
    if (n == INT_MAX) throw std::bad_alloc();
    capacity_ = n + 1;
    buf_ = Allocate(capacity_);
    if (n > 0) std::memcpy(buf_, bytes, static_cast<size_t>(n));
    buf_[n] = 0;
    length_ = n;
}

StringBuffer::StringBuffer(int growth)
    : capacity_(growth > 0 ? growth : kDefaultStep),
      length_(0),
      step_(growth > 0 ? growth : kDefaultStep) {
    buf_ = Allocate(capacity_);
    buf_[0] = 0;
}

StringBuffer::~StringBuffer() {
    std::free(buf_);
}

void StringBuffer::GrowFor(int n, bool adaptStep) {
    int newCap = GrownCapacity(length_, n, step_);
    char* p = Allocate(newCap);
    std::memcpy(p, buf_, static_cast<size_t>(length_) + 1);
    std::free(buf_);
    buf_ = p;
    capacity_ = newCap;
    if (adaptStep && step_ < kMaxStep) {
        step_ = newCap / 2;
        if (step_ > kMaxStep) step_ = kMaxStep;
    }
}

void StringBuffer::SetLengthUnchecked(int len) {
    assert(len >= 0 && len < capacity_);  // room for the terminating NUL
    length_ = len;
    buf_[len] = 0;
}

unsigned char StringBuffer::CharAt(int i) const {
    if (i < 0 || i >= length_) return 0;
    return static_cast<unsigned char>(buf_[i]);
}

bool StringBuffer::Contains(const char* text) const {
    if (!text) return false;
    return std::strstr(buf_, text) != nullptr;
}

bool StringBuffer::EqualsExact(const char* text) const {
    if (!text) return buf_[0] == 0;
    return std::strcmp(buf_, text) == 0;
}

bool StringBuffer::EqualsNoCase(const char* text) const {
    if (!text) return buf_[0] == 0;
    const char* a = buf_;
    while (*a && *text) {
        if (AsciiLower(*a) != AsciiLower(*text)) return false;
        ++a;
        ++text;
    }
    return *a == 0 && *text == 0;
}

void StringBuffer::Append(const char* text) {
    if (!text) return;
    size_t n = std::strlen(text);
    if (n == 0) return;
    if (n >= static_cast<size_t>(INT_MAX)) throw std::bad_alloc();
    AppendBytes(text, static_cast<int>(n));
}

void StringBuffer::AppendBytes(const char* bytes, int n) {
    if (!bytes || n <= 0) return;
    if (static_cast<long long>(n) + length_ >= capacity_) {
        if (bytes >= buf_ && bytes < buf_ + capacity_) {  // source inside this buffer
            StringBuffer copy(bytes, n, 0);
            AppendBytes(copy.buf_, n);
            return;
        }
        GrowFor(n, true);
    }
    std::memmove(buf_ + length_, bytes, static_cast<size_t>(n));
    SetLengthUnchecked(length_ + n);
}

void StringBuffer::AppendByte(unsigned char b) {
    if (length_ + 1 >= capacity_) GrowFor(1, true);
    buf_[length_] = static_cast<char>(b);
    SetLengthUnchecked(length_ + 1);
}

void StringBuffer::AppendBuffer(const StringBuffer& other) {
    if (&other == this) {
        StringBuffer copy(other.buf_, other.length_, 0);
        AppendBytes(copy.buf_, copy.length_);
        return;
    }
    AppendBytes(other.buf_, other.length_);
}

void StringBuffer::AppendDecimal(int i) {
    char tmp[16];
    std::snprintf(tmp, sizeof tmp, "%d", i);
    Append(tmp);
}

void StringBuffer::AppendHex(const unsigned char* bytes, int n) {
    if (!bytes || n <= 0) return;
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = 0; i < n; ++i) {
        AppendByte(kDigits[bytes[i] >> 4]);
        AppendByte(kDigits[bytes[i] & 15]);
        int k = i + 1;
        if (k % 2 == 0) AppendByte(' ');
        if (k % 16 == 0) AppendByte('\n');
    }
}

void StringBuffer::Prepend(const char* text) {
    if (!text) return;
    if (text >= buf_ && text < buf_ + capacity_) {  // text inside this buffer
        StringBuffer copy(text);
        Prepend(copy.Data());
        return;
    }
    size_t n = std::strlen(text);
    if (n == 0) return;
    if (n >= static_cast<size_t>(INT_MAX)) throw std::bad_alloc();
    int k = static_cast<int>(n);
    if (static_cast<long long>(k) + length_ >= capacity_) GrowFor(k, false);
    std::memmove(buf_ + k, buf_, static_cast<size_t>(length_) + 1);
    std::memcpy(buf_, text, n);
    length_ += k;
}

void StringBuffer::Assign(const char* text) {
    if (text == buf_) return;
    Clear();
    Append(text);
}

void StringBuffer::Reserve(int n) {
    if (n < 0) return;
    if (static_cast<long long>(length_) + n >= capacity_) GrowFor(n, false);
}

void StringBuffer::AppendSystemMessage(int id) {
    const char* text = std::strerror(id);
    if (!text || !*text) return;
    Append(text);
    Trim();
}

void StringBuffer::AppendLastError() {
    AppendSystemMessage(errno);
}

void StringBuffer::Clear() {
    SetLengthUnchecked(0);
}

void StringBuffer::Trim() {
    if (length_ == 0) return;
    int end = length_;
    while (end > 0 && IsTrimByte(buf_[end - 1])) --end;
    int start = 0;
    while (start < end && IsTrimByte(buf_[start])) ++start;
    if (start > 0) std::memmove(buf_, buf_ + start, static_cast<size_t>(end - start));
    SetLengthUnchecked(end - start);
}

void StringBuffer::TrimRight() {
    int end = length_;
    while (end > 0 && IsTrimByte(buf_[end - 1])) --end;
    SetLengthUnchecked(end);
}

void StringBuffer::StripControlChars() {
    int out = 0;
    for (int i = 0; i < length_; ++i) {
        unsigned char c = static_cast<unsigned char>(buf_[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') continue;
        buf_[out++] = static_cast<char>(c);
    }
    SetLengthUnchecked(out);
}

void StringBuffer::RemoveByte(unsigned char b) {
    RemoveByteFrom(b, 0);
}

void StringBuffer::RemoveByteFrom(unsigned char b, int pos) {
    if (pos < 0) pos = 0;
    if (pos >= length_) return;
    int out = pos;
    for (int i = pos; i < length_; ++i) {
        if (static_cast<unsigned char>(buf_[i]) == b) continue;
        buf_[out++] = buf_[i];
    }
    SetLengthUnchecked(out);
}

void StringBuffer::RemoveRange(int pos, int n) {
    if (pos < 0 || n < 0 || pos >= length_ || static_cast<long long>(pos) + n > length_) return;
    std::memmove(buf_ + pos, buf_ + pos + n, static_cast<size_t>(length_ - pos - n));
    SetLengthUnchecked(length_ - n);
}

int StringBuffer::ReplaceByte(unsigned char a, unsigned char b) {
    for (int i = 0; i < length_; ++i) {
        if (static_cast<unsigned char>(buf_[i]) == a) buf_[i] = static_cast<char>(b);
    }
    return length_;
}

bool StringBuffer::ReplaceFirst(const char* find, const char* replacement) {
    if (!find || !*find) return false;
    const char* hit = std::strstr(buf_, find);
    if (!hit) return false;
    if (!replacement) return true;
    int pos = static_cast<int>(hit - buf_);
    int flen = static_cast<int>(std::strlen(find));
    StringBuffer result(length_ + 1);
    result.AppendBytes(buf_, pos);
    result.Append(replacement);
    result.AppendBytes(buf_ + pos + flen, length_ - pos - flen);
    SetBytes(result.buf_, result.length_);
    return true;
}

int StringBuffer::ReplaceAll(const char* find, const char* replacement) {
    if (!find || !*find) return 0;
    const char* hit = std::strstr(buf_, find);
    if (!hit) return 0;
    // Copy the arguments first: they may point into this buffer.
    StringBuffer f(find);
    StringBuffer r(replacement ? replacement : "");
    int flen = f.length_;
    StringBuffer result(length_ + 1);
    int count = 0;
    int pos = 0;
    while (hit) {
        int at = static_cast<int>(hit - buf_);
        result.AppendBytes(buf_ + pos, at - pos);
        result.AppendBytes(r.buf_, r.length_);
        pos = at + flen;
        ++count;
        hit = std::strstr(buf_ + pos, f.buf_);
    }
    result.AppendBytes(buf_ + pos, length_ - pos);
    SetBytes(result.buf_, result.length_);
    return count;
}

void StringBuffer::EscapeXml() {
    ReplaceAll("&", "&amp;");
    ReplaceAll("<", "&lt;");
    ReplaceAll(">", "&gt;");
}

void StringBuffer::ToLower() {
    for (int i = 0; i < length_; ++i) buf_[i] = static_cast<char>(AsciiLower(buf_[i]));
}

void StringBuffer::ShortenBy(int n) {
    if (n <= 0) return;
    SetLengthUnchecked(n >= length_ ? 0 : length_ - n);
}

void StringBuffer::Split(ExtPtrArray& out, const char* separators, bool honourQuotes,
                         bool honourBackslash) const {
    if (length_ == 0) return;
    const char* seps = separators ? separators : "";
    auto* piece = new StringBuffer();
    bool inQuotes = false;
    for (int i = 0; i < length_; ++i) {
        unsigned char c = static_cast<unsigned char>(buf_[i]);
        if (honourBackslash && c == '\\') {
            piece->AppendByte(c);
            if (i + 1 < length_) piece->AppendByte(static_cast<unsigned char>(buf_[++i]));
            continue;
        }
        if (honourQuotes && c == '"') {
            piece->AppendByte(c);
            inQuotes = !inQuotes;
            continue;
        }
        if (!inQuotes && c != 0 && std::strchr(seps, c)) {
            out.Append(piece);
            piece = new StringBuffer();
            continue;
        }
        piece->AppendByte(c);
    }
    out.Append(piece);
}

void StringBuffer::SetBytes(const char* bytes, int n) {
    if (n < 0) n = 0;
    if (n >= capacity_) {
        char* p = Allocate(n + 1);
        if (n > 0) std::memcpy(p, bytes, static_cast<size_t>(n));
        std::free(buf_);
        buf_ = p;
        capacity_ = n + 1;
    } else if (n > 0) {
        std::memmove(buf_, bytes, static_cast<size_t>(n));
    }
    SetLengthUnchecked(n);
}

bool WildcardMatch(const char* text, const char* pattern, bool caseSensitive) {
    if (!text || !*text) {
        if (!pattern) return true;
        for (const char* p = pattern; *p; ++p) {
            if (*p != '*') return false;
        }
        return true;
    }
    if (!pattern || !*pattern) return false;
    const char* star = std::strchr(pattern, '*');
    if (!star) {
        size_t n = std::strlen(pattern);
        return std::strlen(text) == n && EqualBytes(text, pattern, n, caseSensitive);
    }
    size_t prefix = static_cast<size_t>(star - pattern);
    if (std::strlen(text) < prefix || !EqualBytes(text, pattern, prefix, caseSensitive)) {
        return false;
    }
    text += prefix;
    pattern = star;
    for (;;) {
        while (*pattern == '*') ++pattern;
        if (!*pattern) return true;
        const char* next = std::strchr(pattern, '*');
        if (!next) {
            size_t seg = std::strlen(pattern);
            size_t rest = std::strlen(text);
            return rest >= seg && EqualBytes(text + rest - seg, pattern, seg, caseSensitive);
        }
        size_t seg = static_cast<size_t>(next - pattern);
        const char* hit = FindSegment(text, pattern, seg, caseSensitive);
        if (!hit) return false;
        text = hit + seg;
        pattern = next;
    }
}

int FindNoCase(const char* text, const char* needle) {
    if (!text || !needle || !*needle) return -1;
    const char* hit = FindSegment(text, needle, std::strlen(needle), false);
    return hit ? static_cast<int>(hit - text) : -1;
}

const char* IntToText(int i) {
    static char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", i);
    return buffer;
}

}  // namespace velmarq
