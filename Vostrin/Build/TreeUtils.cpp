#include "TreeUtils.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

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

TXml* CopyTree(const TXml* node) {
    if (node == nullptr) return nullptr;
    XmlPtr copy = CopyNode(node);
    const int count = node->ChildCount();
    for (int i = 0; i < count; ++i) {
        XmlPtr child(node->ChildAt(i));
        if (!child) continue;
        XmlPtr childCopy(CopyTree(child.get()));
        copy->AppendSubtree(childCopy.get());
    }
    return copy.release();
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

void ConvertPlaceholders(TXml* reportTable, const std::string& tag, const std::string& value) {
    for (;;) {
        XmlPtr holder(reportTable->FirstChildByTag(tag));
        if (!holder) return;
        holder->DetachFromTree();
        holder->SetTag("text");
        holder->AddAttribute("value", value);
        reportTable->AppendSubtree(holder.get());
    }
}

}  // namespace TVostrin
