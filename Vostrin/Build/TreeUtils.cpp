#include "TreeUtils.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <deque>
#include <memory>
#include <utility>

namespace TVostrin {

int CutAtFirst(std::string* head, std::string* rest, const std::string& separator) {
    if (rest->empty()) {
        head->clear();
        return -1;
    }
    const size_t at = separator.empty() ? std::string::npos : rest->find(separator);
    if (at == std::string::npos) {
        *head = *rest;
        rest->clear();
    } else {
        *head = rest->substr(0, at);
        rest->erase(0, at + separator.size());
    }
    return 0;
}

int SplitAtEach(std::vector<std::string>* list, const std::string& text,
                const std::string& separator) {
    list->clear();
    std::string rest = text;
    std::string head;
    while (CutAtFirst(&head, &rest, separator) == 0) {
        if (!head.empty()) list->push_back(head);
    }
    return 0;
}

XmlPtr CopyNode(const TXml* node) {
    XmlPtr copy(new TXml());
    copy->CopyFrom(node);
    return copy;
}

namespace {

// Appending beneath a node costs a walk from it up to the top of its tree, so a copy made
// level after level below its top would cost the square of its depth. It is made in parts
// instead, each at most kPartDepth levels deep, filled while it stands alone and then hung
// under its parent part, parts nearer the top first.
constexpr int kPartDepth = 256;

using SharedXml = std::shared_ptr<TXml>;

// A part of the copy: the top of the part in the source (owned or not), its copy, and the node
// of the copy it goes under (none for the top of the whole copy).
struct CopyPart {
    XmlPtr owner;
    const TXml* source = nullptr;
    SharedXml copy;
    SharedXml parent;
};

// Copies the levels of part below its top into part.copy, leaving out what leaveOut names; the
// sources at kPartDepth levels below it start new parts, queued in order.
void FillPart(const CopyPart& part, std::deque<CopyPart>& parts,
              const std::function<bool(const TXml*)>& leaveOut) {
    struct Level {
        XmlPtr owner;
        const TXml* source;
        SharedXml copy;
        int depth;
    };
    std::vector<Level> stack;
    stack.push_back({nullptr, part.source, part.copy, 0});
    while (!stack.empty()) {
        const Level level = std::move(stack.back());
        stack.pop_back();
        const int count = level.source->ChildCount();
        for (int i = 0; i < count; ++i) {
            XmlPtr child(level.source->ChildAt(i));
            if (!child || (leaveOut && leaveOut(child.get()))) continue;
            const TXml* source = child.get();
            SharedXml copy(CopyNode(source).release());
            if (level.depth + 1 == kPartDepth) {
                parts.push_back({std::move(child), source, copy, level.copy});
                continue;
            }
            level.copy->AppendSubtree(copy.get());
            if (source->ChildCount() > 0)
                stack.push_back({std::move(child), source, copy, level.depth + 1});
        }
    }
}

}  // namespace

TXml* CopyTree(const TXml* node, const std::function<bool(const TXml*)>& leaveOut) {
    if (node == nullptr) return nullptr;
    XmlPtr result = CopyNode(node);
    const SharedXml top(result.get(), [](TXml*) {});  // borrowed: result owns the handle
    std::deque<CopyPart> parts;
    parts.push_back({nullptr, node, top, nullptr});
    while (!parts.empty()) {
        const CopyPart part = std::move(parts.front());
        parts.pop_front();
        FillPart(part, parts, leaveOut);
        // Its parent part hangs in the copy already; the parts below it are not hung yet.
        if (part.parent) part.parent->AppendSubtree(part.copy.get());
    }
    return result.release();
}

bool InsertChildAt(TXml** parent, int index, TXml* node) {
    if (parent == nullptr || *parent == nullptr) return false;
    TXml* p = *parent;
    const int count = p->ChildCount();
    if (index < 0 || index > count) return false;
    if (node == nullptr) return true;
    // Take the followers off, append the node, then put the followers back behind it; the
    // nodes themselves move, so handles on them stay valid.
    std::vector<XmlPtr> followers;
    for (int i = index; i < count; ++i) followers.emplace_back(p->ChildAt(i));
    for (auto& f : followers) f->DetachFromTree();
    const bool ok = p->AppendSubtree(node);
    for (auto& f : followers) p->AppendSubtree(f.get());
    return ok;
}

std::string TrimControl(const std::string& text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
    return text.substr(b, e - b);
}

int IntAttribute(const TXml* node, const std::string& name, int def) {
    return ParseInt(node->AttributeValue(name), def);
}

int ParseInt(const std::string& text, int def) {
    const std::string v = TrimControl(text);
    if (v.empty()) return def;
    errno = 0;
    char* end = nullptr;
    const long n = std::strtol(v.c_str(), &end, 10);
    if (end == v.c_str() || *end != '\0' || errno == ERANGE || n < INT_MIN || n > INT_MAX)
        return def;
    return static_cast<int>(n);
}

bool FewEnoughToMove(long long count, long long siblings) {
    return count * siblings <= (1LL << 22);
}

void ConvertPlaceholders(TXml* page, const std::vector<Placeholder>& holders) {
    if (page == nullptr) return;
    int at = 0;
    XmlPtr table;
    for (const int count = page->ChildCount(); at < count; ++at) {
        XmlPtr child(page->ChildAt(at));
        if (child && child->GetTag() == "reporttable") {
            table = std::move(child);
            break;
        }
    }
    if (!table) return;
    // One pass: the holder each child is a placeholder of (-1 for none).
    const int count = table->ChildCount();
    std::vector<int> holderOf(static_cast<size_t>(count), -1);
    long long found = 0;
    for (int c = 0; c < count; ++c) {
        const XmlPtr child(table->ChildAt(c));
        const std::string tag = child->GetTag();
        int h = static_cast<int>(holders.size()) - 1;
        while (h >= 0 && holders[static_cast<size_t>(h)].tag != tag) --h;
        holderOf[static_cast<size_t>(c)] = h;
        if (h >= 0) ++found;
    }
    if (found == 0) return;
    const auto convert = [](TXml* holder, const std::string& value) {
        holder->SetTag("text");
        holder->AddAttribute("value", value);
    };
    if (FewEnoughToMove(found, count)) {
        // Few: each placeholder node moves to the end.
        std::vector<XmlPtr> moving;
        for (int c = 0; c < count; ++c)
            if (holderOf[static_cast<size_t>(c)] >= 0) moving.emplace_back(table->ChildAt(c));
        for (size_t h = 0; h < holders.size(); ++h) {
            size_t m = 0;
            for (int c = 0; c < count; ++c) {
                const int of = holderOf[static_cast<size_t>(c)];
                if (of < 0) continue;
                TXml* holder = moving[m++].get();
                if (of != static_cast<int>(h)) continue;
                convert(holder, holders[h].value);
                table->AppendSubtree(holder);
            }
        }
        return;
    }
    // Many: a new table with copies of the other elements, then of the placeholders.
    XmlPtr rebuilt = CopyNode(table.get());
    const auto copyChild = [&](int c) {
        const XmlPtr child(table->ChildAt(c));
        return XmlPtr(CopyTree(child.get()));
    };
    for (int c = 0; c < count; ++c) {
        if (holderOf[static_cast<size_t>(c)] >= 0) continue;
        XmlPtr copy = copyChild(c);
        rebuilt->AppendSubtree(copy.get());
    }
    for (size_t h = 0; h < holders.size(); ++h) {
        for (int c = 0; c < count; ++c) {
            if (holderOf[static_cast<size_t>(c)] != static_cast<int>(h)) continue;
            XmlPtr copy = copyChild(c);
            convert(copy.get(), holders[h].value);
            rebuilt->AppendSubtree(copy.get());
        }
    }
    table->DetachFromTree();
    InsertChildAt(&page, at, rebuilt.get());
}

}  // namespace TVostrin
