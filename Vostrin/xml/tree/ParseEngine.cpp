#include "ParseEngine.h"

#include <cassert>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <optional>

namespace velmarq {

namespace {

void Report(LogBase* log, const char* text) {
    if (log) log->LogError(text);
}

constexpr StopSet kTagBracket("<>", true);
constexpr StopSet kTagNameEnd(" \t\r\n/>");
constexpr ScanTable kTagNameScan(" \t\r\n/>", "<", ScanTable::kDrop);
constexpr ScanTable kAttrNameScan(" \t\r\n=/>", "\"'<", ScanTable::kDrop);
// A quoted value ends only at its closing quote: '>' and "/>" inside it are part of the value.
constexpr ScanTable kDoubleQuotedScan("\"", "&", ScanTable::kDecode);
constexpr ScanTable kSingleQuotedScan("'", "&", ScanTable::kDecode);
constexpr ScanTable kUnquotedScan("'\">", "&", ScanTable::kDecode);
constexpr StopSet kDeclNameEnd(" \t\r\n=?>");
constexpr StopSet kDeclValueEnd("\"'\r\n>");

bool IsUtf16Name(const StringBuffer& enc) {
    return enc.EqualsNoCase("utf-16") || enc.EqualsNoCase("ucs-2") || enc.EqualsNoCase("unicode");
}

}  // namespace

ParseEngine::ParseEngine(const char* path, bool& loaded, LogBase* log) {
    loaded = text_.LoadFile(path, false, log);
    end_ = static_cast<int>(strnlen(text_.Data(), static_cast<size_t>(text_.Length())));
}

ParseEngine::ParseEngine(const char* bytes, int n) : text_(bytes, n, 0) {
    end_ = static_cast<int>(strnlen(text_.Data(), static_cast<size_t>(text_.Length())));
}

bool ParseEngine::StartsWith(const char* s) const {
    size_t n = std::strlen(s);
    return static_cast<size_t>(end_ - pos_) >= n && std::memcmp(text_.Data() + pos_, s, n) == 0;
}

bool ParseEngine::StartsWithNoCase(const char* s) const {
    size_t n = std::strlen(s);
    if (static_cast<size_t>(end_ - pos_) < n) return false;
    const char* p = text_.Data() + pos_;
    for (size_t i = 0; i < n; ++i) {
        if (AsciiLower(p[i]) != AsciiLower(s[i])) return false;
    }
    return true;
}

int ParseEngine::Find(const char* s) const {
    if (AtEnd()) return -1;
    const char* base = text_.Data();
    const char* hit = std::strstr(base + pos_, s);  // the input ends at its first NUL
    return hit ? static_cast<int>(hit - base) : -1;
}

void ParseEngine::SkipTo(char c) {
    if (AtEnd()) return;
    const void* hit = std::memchr(text_.Data() + pos_, c, static_cast<size_t>(end_ - pos_));
    pos_ = hit ? static_cast<int>(static_cast<const char*>(hit) - text_.Data()) : end_;
}

inline bool ParseEngine::ScanCloseTag(const TreeNode* open) {
    const char* p = text_.Data();
    // The usual closing tag names the open element: the tag's bytes right behind the '/' and
    // then '>'. A tag the parser made holds neither '<' nor '>', so this is exactly where the
    // walk below would stop.
    if (open && open->HasTag() && p[pos_] == '/') {
        const StringBuffer* tag = open->TagText();
        const int n = tag->Length();
        if (end_ - pos_ > n + 1 && p[pos_ + 1 + n] == '>' &&
            SameBytes(p + pos_ + 1, tag->Data(), static_cast<size_t>(n))) {
            pos_ += 1 + n;
            return true;
        }
    }
    // Otherwise a table walk to the first '<', '>' or the NUL at the end.
    const char* q = p + pos_;
    while (!kTagBracket.stop[static_cast<unsigned char>(*q)]) ++q;
    pos_ = static_cast<int>(q - p);
    return *q != '<';
}

void ParseEngine::ReadUntilAny(const StopSet& stops, StringBuffer& out) {
    const char* p = text_.Data();
    int start = pos_;
    while (pos_ < end_ && !stops.stop[static_cast<unsigned char>(p[pos_])]) ++pos_;
    out.AppendBytes(p + start, pos_ - start);
}

template <const ScanTable& kTable>
inline const char* ParseEngine::ScanAt(StringBuffer& scratch, const char* p, int& at, int& length) {
    const char* q = p + at;
    unsigned char seen = 0;
    // Four bytes a round, each tested before the next is read, so nothing past the NUL at the
    // end of the input (which every table stops at) is read.
    const unsigned char* kind = kTable.kind;
    for (;;) {
        unsigned char k = kind[static_cast<unsigned char>(q[0])];
        if (k & ScanTable::kStop) break;
        seen |= k;
        k = kind[static_cast<unsigned char>(q[1])];
        if (k & ScanTable::kStop) {
            q += 1;
            break;
        }
        seen |= k;
        k = kind[static_cast<unsigned char>(q[2])];
        if (k & ScanTable::kStop) {
            q += 2;
            break;
        }
        seen |= k;
        k = kind[static_cast<unsigned char>(q[3])];
        if (k & ScanTable::kStop) {
            q += 3;
            break;
        }
        seen |= k;
        q += 4;
    }
    const int start = at;
    at = static_cast<int>(q - p);
    length = at - start;
    if (!seen) return p + start;
    return Rewrite(kTable, p + start, scratch, length);
}

const char* ParseEngine::Rewrite(const ScanTable& table, const char* from, StringBuffer& scratch,
                                 int& length) {
    scratch.Clear();
    if (table.mode == ScanTable::kDrop) {
        for (const char* b = from; b < from + length; ++b) {
            if (!table.kind[static_cast<unsigned char>(*b)]) scratch.AppendByte(*b);
        }
    } else {
        scratch.AppendBytes(from, length);
        DecodeEntities(scratch);
    }
    length = scratch.Length();
    return scratch.Data();
}

void ParseEngine::ReadTo(char c, StringBuffer& out) {
    int start = pos_;
    SkipTo(c);
    out.AppendBytes(text_.Data() + start, pos_ - start);
}

bool ParseEngine::ReadBalanced(char open, char close, StringBuffer& out) {
    const char* p = text_.Data();
    int start = pos_;
    int depth = 1;
    while (pos_ < end_) {
        char c = p[pos_++];
        if (c == close)
            --depth;
        else if (c == open)
            ++depth;
        if (depth == 0) break;
    }
    out.AppendBytes(p + start, pos_ - start);
    return depth == 0;
}

bool ParseEngine::ReadThrough(const char* s, StringBuffer& out) {
    int at = Find(s);
    if (at < 0) return false;
    int stop = at + static_cast<int>(std::strlen(s));
    out.AppendBytes(text_.Data() + pos_, stop - pos_);
    pos_ = stop;
    return true;
}

bool ParseEngine::SkipPast(const char* s) {
    int at = Find(s);
    if (at < 0) return false;
    pos_ = at + static_cast<int>(std::strlen(s));
    return true;
}

namespace {

// The entities that text is decoded from, in the order they are tried, and their bytes.
struct Entity {
    const char* name;
    int length;
    char byte;
};
constexpr Entity kEntities[] = {
    {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&quot;", 6, '"'}, {"&amp;", 5, '&'}};

}  // namespace

void ParseEngine::DecodeEntities(StringBuffer& text) {
    // One left-to-right pass gives the same result as replacing each entity in turn over the
    // whole text: no replacement byte can begin or complete another entity, and "&amp;" comes
    // last, so what it yields is never decoded again.
    const char* p = text.Data();
    const char* amp =
        static_cast<const char*>(std::memchr(p, '&', static_cast<size_t>(text.Length())));
    if (!amp) return;
    StringBuffer out(text.Length() + 1);
    int n = text.Length();
    int i = 0;
    while (i < n) {
        char c = p[i];
        if (c == '&') {
            const Entity* e = kEntities;
            while (e != std::end(kEntities) &&
                   std::strncmp(p + i, e->name, static_cast<size_t>(e->length)) != 0)
                ++e;
            if (e != std::end(kEntities)) {
                out.AppendByte(static_cast<unsigned char>(e->byte));
                i += e->length;
                continue;
            }
        }
        out.AppendByte(static_cast<unsigned char>(c));
        ++i;
    }
    text.SetBytes(out.Data(), out.Length());
}

ParseEngine::DocumentRun::~DocumentRun() {
    TreeNode* open = current ? current->Root() : nullptr;
    if (open != result) delete open;
    delete result;
    delete pendingDecl;
}

TreeNode* ParseEngine::ParseDocument(LogBase* log, ProgressMonitor* monitor) {
    DocumentRun run(log, monitor);
    if (NodeArena* current = NodePool::Current(); current && current->Counted())
        run.arena = current;
    if (monitor && end_ > 0) monitor->Start(static_cast<unsigned>(end_));
    while (!AtEnd()) {
        const int passStart = pos_;

        // Text of the open element, or skipping to the next tag.
        if (run.current) {
            if (!ReadContent(run)) break;
        } else {
            SkipToTag();
        }

        // What follows the '<' (taken before blanks are skipped).
        const char* const p = text_.Data();
        const unsigned char c = static_cast<unsigned char>(p[pos_]);
        pos_ = SkipBlanks(p, pos_);
        if (AtEnd()) break;
        bool goOn = true;
        if (c == '!') {
            goOn = ReadMarkup(run);
        } else if (c == '?') {
            goOn = ReadProcessingInstruction(run);
        } else if (c == '/') {
            ReadClosingTag(run);
        } else {
            goOn = ReadStartTag(run);
        }
        if (!goOn) break;

        // Every pass consumes input, whatever the document holds.
        if (pos_ <= passStart) pos_ = passStart + 1;
        assert(pos_ <= end_);
    }
    if (monitor) monitor->Finish();
    return FinishDocument(run);
}

[[gnu::always_inline]] inline bool ParseEngine::ReadContent(DocumentRun& run) {
    const char* const p = text_.Data();
    const int i = SkipBlanks(p, pos_);
    if (p[i] == '<' && p[i + 1] != '!') {
        // An empty run, as between most tags: it only adds the separating blank to non-empty
        // content.
        pos_ = i + 1;
        StringBuffer* content = run.current->Content();
        if (content && !content->IsEmpty()) content->AppendByte(' ');
        return true;
    }
    pos_ = i;
    return ReadText(run);
}

bool ParseEngine::ReadText(DocumentRun& run) {
    TreeNode* current = run.current;
    const char* const p = text_.Data();
    if (Ch() == '<' && pos_ + 1 < end_ && p[pos_ + 1] == '!' && StartsWith("<![CDATA[")) {
        pos_ += 9;
        StringBuffer* content = current->ContentBuffer();
        current->SetCdata(true);
        int close = Find("]]>");
        if (close < 0) {
            // An unterminated section takes the rest of the input and ends the parse.
            content->AppendBytes(text_.Data() + pos_, end_ - pos_);
            pos_ = end_;
            return false;
        }
        content->AppendBytes(text_.Data() + pos_, close - pos_);
        pos_ = close + 3;
        SkipTo('<');
        if (Ch() == '<') ++pos_;
    } else if (Ch() == '<') {
        // An empty run: it only adds the separating blank to non-empty content.
        ++pos_;
        StringBuffer* content = current->Content();
        if (content && !content->IsEmpty()) content->AppendByte(' ');
    } else {
        StringBuffer& text = run.text;
        text.Clear();
        ReadTo('<', text);
        text.TrimRight();
        if (Ch() == '<') ++pos_;
        DecodeEntities(text);
        StringBuffer* content = current->Content();
        if (content && !content->IsEmpty()) {
            content->AppendByte(' ');
            content->AppendBuffer(text);
        } else if (content) {
            content->AppendBuffer(text);
        } else if (!text.IsEmpty()) {
            current->ContentBuffer()->AppendBuffer(text);
        }
    }
    return true;
}

[[gnu::always_inline]] inline void ParseEngine::SkipToTag() {
    SkipTo('<');
    if (Ch() == '<') ++pos_;
}

bool ParseEngine::ReadMarkup(DocumentRun& run) {
    if (StartsWithNoCase("!--")) {
        if (!SkipPast("-->")) {
            Report(run.log, "Unclosed comment");
            return false;
        }
    } else if (StartsWithNoCase("!DOCTYPE")) {
        run.dtd.AppendByte('<');
        if (!ReadBalanced('<', '>', run.dtd)) Report(run.log, "Failed to parse DTD");
        run.dtd.AppendByte('\n');
    } else {
        SkipTo('>');
        if (Ch() == '>') ++pos_;
    }
    return true;
}

bool ParseEngine::ReadProcessingInstruction(DocumentRun& run) {
    ++pos_;
    if (StartsWithNoCase("xml ")) return ReadDeclaration(run);
    if (!run.piEndMissing) {
        // Once no "?>" follows, none follows any later "<?" either: the search is not run
        // again, so that a document full of unclosed "<?" stays one pass.
        StringBuffer pi("<?");
        if (ReadThrough("?>", pi)) {
            run.dtd.AppendBuffer(pi);
            run.dtd.AppendByte('\n');
        } else {
            run.piEndMissing = true;
        }
    }
    return true;
}

bool ParseEngine::ReadDeclaration(DocumentRun& run) {
    StringBuffer& name = run.name;
    StringBuffer& value = run.value;
    name.Clear();
    ReadUntilAny(kTagNameEnd, name);
    SkipChars();
    if (Ch() == '/') ++pos_;
    delete run.pendingDecl;
    run.pendingDecl = nullptr;
    run.pendingDecl = new TreeNode(name.Data());
    while (Ch() != '>') {
        if (AtEnd()) return false;
        name.Clear();
        ReadUntilAny(kDeclNameEnd, name);
        name.RemoveByte('"');
        SkipChars();
        value.Clear();
        if (Ch() == '=') {
            ++pos_;
            SkipChars();
            if (Ch() == '"') ++pos_;
            if (Ch() == '\'') ++pos_;
            ReadUntilAny(kDeclValueEnd, value);
            DecodeEntities(value);
            if (Ch() == '"') ++pos_;
            if (Ch() == '\'') ++pos_;
        }
        run.pendingDecl->AddPair(name.Data(), name.Length(), value.Data(), value.Length());
        SkipChars();
        if (Ch() == '?') {
            ++pos_;
            SkipChars();
        }
    }
    ++pos_;
    return true;
}

[[gnu::always_inline]] inline void ParseEngine::ReadClosingTag(DocumentRun& run) {
    if (!ScanCloseTag(run.current)) {
        Report(run.log, "Error in closing tag");
        if (run.log) run.log->LogData("error_tag", run.current ? run.current->Tag() : "");
    } else if (Ch() == '>') {
        ++pos_;
    }
    if (run.monitor) run.monitor->SetPosition(static_cast<unsigned>(pos_));
    CloseElement(run, run.current);
}

[[gnu::always_inline]] inline bool ParseEngine::ReadStartTag(DocumentRun& run) {
    // Names and values are taken from the input where it holds them as they stand; only those
    // with bytes to drop or entities to decode are copied. The read position is kept in i and
    // stored once the tag is read (or the parse stops).
    const char* const p = text_.Data();
    int i = pos_;
    int nameLen = 0;
    const char* tag = ScanAt<kTagNameScan>(run.name, p, i, nameLen);
    if (i >= end_) {
        pos_ = i;
        return false;
    }
    i = SkipBlanks(p, i);
    bool selfClosing = false;
    if (p[i] == '/') {
        selfClosing = true;
        i = SkipBlanks(p, i + 1);
    }
    std::unique_ptr<TreeNode> made;
    if (run.arena) {
        NamedObject* held = nameLen > 0 ? run.HeldTag(tag, static_cast<size_t>(nameLen)) : nullptr;
        made.reset(new TreeNode(held, *run.arena));
    } else {
        made.reset(new TreeNode(tag, nameLen));
    }
    if (run.current) TreeNode::AppendNewChild(run.current, made.get(), run.arena);
    TreeNode* node = made.release();
    run.current = node;
    while (p[i] != '>') {
        if (i >= end_) {
            pos_ = i;
            return false;
        }
        const char* attr = ScanAt<kAttrNameScan>(run.name, p, i, nameLen);
        i = SkipBlanks(p, i);
        const char* val = "";
        int valueLen = 0;
        if (p[i] == '=') {
            i = SkipBlanks(p, i + 1);
            const unsigned char q = static_cast<unsigned char>(p[i]);
            if (q == '"') {
                ++i;
                val = ScanAt<kDoubleQuotedScan>(run.value, p, i, valueLen);
            } else if (q == '\'') {
                ++i;
                val = ScanAt<kSingleQuotedScan>(run.value, p, i, valueLen);
            } else {
                val = ScanAt<kUnquotedScan>(run.value, p, i, valueLen);
            }
            if ((q == '"' || q == '\'') && i >= end_) {
                // The quote never closes: the rest of the document went into the value, so the
                // document cannot be read whole.
                run.unreadable = true;
                pos_ = i;
                return false;
            }
            if (p[i] == '"' || p[i] == '\'') ++i;
        }
        node->AddParsedPair(attr, nameLen, val, valueLen, run.arena);
        i = SkipBlanks(p, i);
        if (p[i] == '/') {
            selfClosing = true;
            i = SkipBlanks(p, i + 1);
        }
    }
    pos_ = i + 1;
    if (selfClosing) CloseElement(run, node);
    return true;
}

[[gnu::always_inline]] inline void ParseEngine::CloseElement(DocumentRun& run, TreeNode* element) {
    if (!element) return;
    assert(element == run.current);
    if (!element->Parent()) {
        if (run.pendingDecl) {
            element->SetDeclaration(run.pendingDecl);
            run.pendingDecl = nullptr;
        }
        // The element takes the DTD text read so far; it is copied once, when the document is
        // finished, since only the last completed top-level element survives.
        run.resultDtdLength = run.dtd.Length();
        if (run.result && run.result != element) delete run.result;
        run.result = element;
    }
    run.current = element->Parent();
}

TreeNode* ParseEngine::FinishDocument(DocumentRun& run) {
    if (run.unreadable) return nullptr;  // the run frees what it built
    TreeNode* openTop = run.current ? run.current->Root() : nullptr;
    if (!run.result) {
        // Open elements are closed silently: the outermost one is the result.
        run.result = openTop;
        run.current = nullptr;
        if (run.result) {
            if (run.pendingDecl) {
                run.result->SetDeclaration(run.pendingDecl);
                run.pendingDecl = nullptr;
            }
            run.resultDtdLength = run.dtd.Length();
        }
    } else if (openTop && openTop != run.result) {
        // An element left open after the result is discarded.
        run.current = nullptr;
        delete openTop;
    }
    if (run.result && run.resultDtdLength > 0)
        run.result->SetDtdText(run.dtd.Data(), run.resultDtdLength);
    TreeNode* result = run.result;
    run.result = nullptr;
    run.current = nullptr;
    return result;
}

namespace {

// A declared UTF-16 encoding no longer holds once the text is UTF-8.
TreeNode* FixDeclaredEncoding(TreeNode* top) {
    std::unique_ptr<TreeNode> owned(top);
    if (top) {
        StringBuffer encoding;
        if (top->GetDeclaredEncoding(encoding) && IsUtf16Name(encoding)) {
            top->SetDeclaredEncoding("utf-8");
        }
    }
    return owned.release();
}

}  // namespace

TreeNode* ParseEngine::ParseTree(LogBase* log, ProgressMonitor* monitor) {
    // A document of some size makes its nodes in an arena of its own, which the tree then owns;
    // smaller ones share the common arena, since an arena takes two chunks of its own.
    std::optional<NodePool::ParseArena> arena;
    if (static_cast<size_t>(end_) >= NodePool::OwnArenaBytes()) arena.emplace(&pos_, end_);
    TreeNode* top = FixDeclaredEncoding(ParseDocument(log, monitor));
    if (top && arena) top->OwnArena();
    return top;
}

// Memory that runs out while a document is read makes the document unreadable, like any other
// failure: no tree, nothing thrown.
TreeNode* ParseXmlBytes(const char* bytes, int n, LogBase* log, ProgressMonitor* monitor) {
    try {
        ParseEngine engine(bytes, n);
        return engine.ParseTree(log, monitor);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

TreeNode* ParseXmlFile(const char* path, LogBase* log, ProgressMonitor* monitor) {
    try {
        bool loaded = false;
        ParseEngine engine(path, loaded, log);
        if (!loaded) {
            Report(log, "Failed to initialize parse engine.");
            return nullptr;
        }
        return engine.ParseTree(log, monitor);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace velmarq
