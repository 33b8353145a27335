// The XML parser: one forgiving forward pass over a NUL-terminated byte buffer. The only
// outcomes are a tree or none: none for a document without an element, and for one that cannot
// be read whole because an attribute value's quote never closes.
#pragma once

#include <cassert>
#include <cstdint>

#include "LogBase.h"
#include "ProgressMonitor.h"
#include "StringBuffer.h"
#include "TreeNode.h"

namespace velmarq {

// A set of bytes at which a read stops, as a lookup table.
struct StopSet {
    explicit constexpr StopSet(const char* bytes, bool atNul = false) : stop{} {
        for (const char* p = bytes; *p; ++p) stop[static_cast<unsigned char>(*p)] = true;
        stop[0] = atNul;
    }
    bool stop[256];
};

// Space, TAB, CR and LF.
inline constexpr StopSet kBlank(" \t\r\n");

// What a scan does with each byte: stop there, drop it from the text, or note an entity that the
// text then needs decoded.
struct ScanTable {
    static constexpr unsigned char kStop = 1;
    static constexpr unsigned char kFlag = 2;
    enum Mode { kDrop, kDecode };
    constexpr ScanTable(const char* stops, const char* flagged, Mode mode) : kind{}, mode(mode) {
        for (const char* p = flagged; *p; ++p) kind[static_cast<unsigned char>(*p)] = kFlag;
        for (const char* p = stops; *p; ++p) kind[static_cast<unsigned char>(*p)] = kStop;
        kind[0] = kStop;  // the end of the input
    }
    unsigned char kind[256];
    Mode mode;
};

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
    // The same, with the nodes of a larger document in an arena of their own (see NodePool.h)
    // and a declared UTF-16 encoding corrected to UTF-8.
    TreeNode* ParseTree(LogBase* log, ProgressMonitor* monitor);

    // Decodes &lt; &gt; &quot; and &amp; (in that order, &amp; last); nothing else.
    static void DecodeEntities(StringBuffer& text);

  private:
    // The working state of one ParseDocument run. Until the run hands its result over, it owns
    // the trees built so far, so that an allocation failing on the way frees them.
    struct DocumentRun {
        DocumentRun(LogBase* log, ProgressMonitor* monitor) : log(log), monitor(monitor) {}
        ~DocumentRun();
        DocumentRun(const DocumentRun&) = delete;
        DocumentRun& operator=(const DocumentRun&) = delete;

        LogBase* log;
        ProgressMonitor* monitor;
        // The arena the nodes come from when it is a parse's own (see NodePool::ParseArena).
        NodeArena* arena = nullptr;
        // With such an arena, the tags met so far, by a cheap key: the pool's entries, which
        // the arena holds while the parse runs, found again without asking the pool.
        struct KnownTag {
            NamedObject* entry = nullptr;
            const char* text = nullptr;
            size_t length = 0;
        };
        KnownTag known[64];
        // The arena's entry for the tag's text (len > 0).
        NamedObject* HeldTag(const char* text, size_t len) {
            // The key mixes the length with the first two and the last byte.
            const uint32_t key =
                static_cast<uint32_t>(len & 0xFF) |
                static_cast<uint32_t>(static_cast<unsigned char>(text[0])) << 8 |
                static_cast<uint32_t>(static_cast<unsigned char>(text[len > 1])) << 16 |
                static_cast<uint32_t>(static_cast<unsigned char>(text[len - 1])) << 24;
            KnownTag& k = known[(key * 0x9E3779B1u) >> 26];
            if (k.entry && k.length == len && SameBytes(k.text, text, len)) return k.entry;
            NamedObject* entry = arena->HeldTag(text, len);
            k = {entry, entry->Name()->Data(), len};
            return entry;
        }
        TreeNode* current = nullptr;      // innermost open element
        TreeNode* result = nullptr;       // last completed top-level element
        TreeNode* pendingDecl = nullptr;  // the declaration for the next completed top element
        StringBuffer dtd{2000};           // DOCTYPE and processing-instruction text
        int resultDtdLength = 0;          // how much of it the result takes
        StringBuffer text{10000};         // one text run
        StringBuffer name;                // a name or value that had to be rewritten
        StringBuffer value;
        bool piEndMissing = false;  // no "?>" follows the read position
        bool unreadable = false;    // a quoted attribute value runs to the end of the input
    };

    // The steps of ParseDocument, each from the read position. Those that answer bool answer
    // false where the parse stops. The steps that every element takes (text, start tag, closing
    // tag, closing the element) are inlined into the loop: called, they cost a tenth more
    // instructions per document.
    // Text of the open element up to the next tag, then past its '<'.
    bool ReadContent(DocumentRun& run);
    // The same for a run that is not empty, or a CDATA section.
    bool ReadText(DocumentRun& run);
    // Outside elements text is dropped: past the next '<'.
    void SkipToTag();
    // After "<!": a comment, a DOCTYPE (kept in the DTD text) or another construct (skipped).
    bool ReadMarkup(DocumentRun& run);
    // After "<?": the XML declaration, or another processing instruction (kept in the DTD text).
    bool ReadProcessingInstruction(DocumentRun& run);
    bool ReadDeclaration(DocumentRun& run);
    // After "</": closes the innermost open element, whatever name the tag gives.
    void ReadClosingTag(DocumentRun& run);
    // A start tag with its attributes: a new element, now the innermost open one (and closed at
    // once when the tag closes itself).
    bool ReadStartTag(DocumentRun& run);
    // A closed top-level element becomes the result, with the pending declaration and the DTD
    // text; the element's parent becomes the innermost open element.
    static void CloseElement(DocumentRun& run, TreeNode* element);
    // At the end of the input: the result, or the outermost open element when no top-level
    // element was completed. The run no longer owns it.
    static TreeNode* FinishDocument(DocumentRun& run);

    // The read position never passes end_, where the input holds its terminating NUL, so the
    // byte there reads as 0, the end.
    unsigned char Ch() const {
        assert(pos_ >= 0 && pos_ <= end_);
        return static_cast<unsigned char>(text_.Data()[pos_]);
    }
    bool AtEnd() const { return pos_ >= end_; }
    bool StartsWith(const char* s) const;
    bool StartsWithNoCase(const char* s) const;
    int Find(const char* s) const;  // index of the next occurrence from pos_, or -1

    // Moves over blanks; the NUL at the end of the input is not one, so the walk stops there.
    void SkipChars() { pos_ = SkipBlanks(text_.Data(), pos_); }
    // The position of the first byte from i on in the input p that is not a blank.
    static int SkipBlanks(const char* p, int i) {
        while (kBlank.stop[static_cast<unsigned char>(p[i])]) ++i;
        return i;
    }
    void SkipTo(char c);
    bool ScanCloseTag(const TreeNode* open);  // open: the innermost open element or null
    // ReadUntilOneOf: appends up to the first byte found in stops, or the end.
    void ReadUntilAny(const StopSet& stops, StringBuffer& out);
    void ReadTo(char c, StringBuffer& out);
    // Moves position at of the input p (the input's bytes) over the bytes up to a stop byte of
    // the table (or the end) and answers them: in place in the input when no flagged byte
    // occurs, else in scratch with flagged bytes dropped or entities decoded, as the table says.
    // length receives the answer's length.
    template <const ScanTable& kTable>
    const char* ScanAt(StringBuffer& scratch, const char* p, int& at, int& length);
    // ScanAt's copy of the length bytes from, rewritten as the table says.
    static const char* Rewrite(const ScanTable& table, const char* from, StringBuffer& scratch,
                               int& length);
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
