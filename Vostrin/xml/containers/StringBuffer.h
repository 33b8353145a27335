// A growable, NUL-terminated byte string that stores whatever bytes it is given (GBK or UTF-8
// text in this system) and knows nothing of encodings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "VelmarqObject.h"

namespace velmarq {

class ExtPtrArray;
class LogBase;

class StringBuffer : public VelmarqObject {
  public:
    static constexpr int kDefaultStep = 200;
    static constexpr int kMaxStep = 500000;

    StringBuffer();                                      // capacity 200, step 200, empty
    explicit StringBuffer(const char* text);             // capacity strlen + 1 (4 for null)
    StringBuffer(const char* bytes, int n, int growth);  // n bytes copied, capacity n + 1
    explicit StringBuffer(int growth);                   // empty, capacity and step = growth
    ~StringBuffer() override;

    // ---- Reading ----
    const char* Data() const { return buf_; }
    int Length() const { return length_; }
    int Capacity() const { return capacity_; }
    int GrowthStep() const { return step_; }
    bool IsEmpty() const { return length_ == 0; }
    unsigned char CharAt(int i) const;      // 0 when out of range
    bool Contains(const char* text) const;  // false for null, true for ""
    bool EqualsExact(const char* text) const;
    bool EqualsNoCase(const char* text) const;  // ASCII letters folded only

    // ---- Appending and building ----
    void Append(const char* text);
    void AppendBytes(const char* bytes, int n);
    void AppendByte(unsigned char b);
    void AppendBuffer(const StringBuffer& other);
    void AppendDecimal(int i);
    void AppendHex(const unsigned char* bytes, int n);
    void Prepend(const char* text);
    void Assign(const char* text);
    void Reserve(int n);  // makes sure Length() + n < Capacity()
    // Appends the system's text for an error number (strerror), then trims the whole buffer.
    void AppendSystemMessage(int id);
    void AppendLastError();  // the same for errno

    // ---- Editing ----
    void Clear();
    void Trim();               // removes leading and trailing space, TAB, CR, LF
    void TrimRight();          // trailing only
    void StripControlChars();  // drops bytes below 0x20 except TAB, LF, CR
    void RemoveByte(unsigned char b);
    void RemoveByteFrom(unsigned char b, int pos);
    void RemoveRange(int pos, int n);
    int ReplaceByte(unsigned char a, unsigned char b);  // returns the length
    bool ReplaceFirst(const char* find, const char* replacement);
    int ReplaceAll(const char* find, const char* replacement);  // number of replacements
    void EscapeXml();                                           // & < > only, in that order
    void ToLower();  // ASCII letters only, never the locale's mapping
    void ShortenBy(int n);
    // Splits into new default-constructed pieces appended to out (the caller owns them).
    void Split(ExtPtrArray& out, const char* separators, bool honourQuotes,
               bool honourBackslash) const;

    // Appends a whole file; a file that starts with FF FE is taken as UTF-16LE and arrives as
    // UTF-8. Failures are reported to the optional log and answered with false, the content then
    // stays as it was. Files of 2 GiB or more are refused.
    bool LoadFile(const char* path, bool stripControlChars, LogBase* log);

    // Replaces the content with n bytes (used after conversions).
    void SetBytes(const char* bytes, int n);

  private:
    // New capacity length + n + step + 1, and at least half as much again as the length.
    void GrowFor(int n, bool adaptStep);
    void SetLengthUnchecked(int len);

    char* buf_;
    int capacity_;
    int length_;
    int step_;
};

// Wildcard match where '*' stands for any run of bytes; no backtracking between segments.
bool WildcardMatch(const char* text, const char* pattern, bool caseSensitive);
// Position of needle in text comparing with ASCII letters folded, or -1.
int FindNoCase(const char* text, const char* needle);
// The "%d" text of i in one shared static buffer (valid until the next call).
const char* IntToText(int i);

// Whether the n bytes at a and b are the same: short runs (tags, names) are compared a word at a
// time without a call, as two overlapping loads from either end.
inline bool SameBytes(const char* a, const char* b, size_t n) {
    auto load8 = [](const char* p) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    };
    auto load4 = [](const char* p) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    };
    if (n > 16) return std::memcmp(a, b, n) == 0;
    if (n >= 8) return load8(a) == load8(b) && load8(a + n - 8) == load8(b + n - 8);
    if (n >= 4) return load4(a) == load4(b) && load4(a + n - 4) == load4(b + n - 4);
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

// ASCII-only helpers shared by the library.
inline bool IsXmlSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
inline unsigned char AsciiLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}
inline unsigned char AsciiUpper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? c - 32 : c;
}

}  // namespace velmarq
