// The XML parser: one forgiving forward pass over a NUL-terminated byte buffer. It never rejects
// a document; the only outcomes are a tree or none.
#pragma once

#include "LogBase.h"
#include "ProgressMonitor.h"
#include "StringBuffer.h"
#include "TreeNode.h"

namespace velmarq {

class ParseEngine {
  public:
    // Loads the whole file (UTF-16LE files arrive as UTF-8); loaded tells whether that worked.
    ParseEngine(const char* path, bool& loaded, LogBase* log);
    // Parses bytes held in memory as they stand (no charset conversion).
    ParseEngine(const char* bytes, int n);
    ParseEngine(const ParseEngine&) = delete;
    ParseEngine& operator=(const ParseEngine&) = delete;

    // The top element of the document, or null when it holds no element. The caller owns it.
    TreeNode* ParseDocument(LogBase* log, ProgressMonitor* monitor);

    // Decodes &lt; &gt; &quot; and &amp; (in that order, &amp; last); nothing else.
    static void DecodeEntities(StringBuffer& text);

  private:
    unsigned char Ch() const {
        return pos_ < end_ ? static_cast<unsigned char>(text_.Data()[pos_]) : 0;
    }
    bool AtEnd() const { return pos_ >= end_; }
    bool StartsWith(const char* s) const;
    bool StartsWithNoCase(const char* s) const;
    int Find(const char* s) const;  // index of the next occurrence from pos_, or -1

    void SkipChars();
    void SkipTo(char c);
    bool ScanCloseTag();
    // Appends up to the first byte found in stops (a NUL-terminated set), or the end.
    void ReadUntilAny(const char* stops, StringBuffer& out);
    void ReadTo(char c, StringBuffer& out);
    bool ReadBalanced(char open, char close, StringBuffer& out);
    bool ReadThrough(const char* s, StringBuffer& out);
    bool SkipPast(const char* s);

    StringBuffer text_;
    int pos_ = 0;
    int end_ = 0;  // the first NUL byte ends the input
};

// Reads and parses a file; the top element or null. The caller owns the tree.
TreeNode* ParseXmlFile(const char* path, LogBase* log, ProgressMonitor* monitor);
// The same over bytes in memory (taken as they stand, without the UTF-16 conversion).
TreeNode* ParseXmlBytes(const char* bytes, int n, LogBase* log, ProgressMonitor* monitor);

}  // namespace velmarq
