// The parser against a plain, step-by-step rendering of its rules over std::string, on random
// documents made of markup pieces and on the shapes that once cost quadratic time: many distinct
// tags, DTD text before many top-level elements, deep nesting. Both must give the same tree.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "ParseEngine.h"
#include "TreeNode.h"

using namespace velmarq;

namespace plain {

struct Node {
    bool hasTag = false;
    std::string tag;
    bool hasContent = false;
    std::string content;
    bool cdata = false;
    std::vector<std::pair<std::string, std::string>> attrs;
    std::vector<std::unique_ptr<Node>> kids;
    Node* parent = nullptr;
    std::unique_ptr<Node> decl;
    std::string dtd;
};

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

void ReplaceAll(std::string& s, const std::string& find, const std::string& by) {
    for (size_t at = s.find(find); at != std::string::npos; at = s.find(find, at + by.size()))
        s.replace(at, find.size(), by);
}

std::string Decode(std::string s) {
    ReplaceAll(s, "&lt;", "<");
    ReplaceAll(s, "&gt;", ">");
    ReplaceAll(s, "&quot;", "\"");
    ReplaceAll(s, "&amp;", "&");
    return s;
}

std::string Without(const std::string& s, const std::string& bytes) {
    std::string out;
    for (char c : s)
        if (bytes.find(c) == std::string::npos) out += c;
    return out;
}

class Parser {
  public:
    explicit Parser(const std::string& text) : s_(text.substr(0, text.find('\0'))) {}

    std::unique_ptr<Node> Document() {
        while (Ch() != 0) {
            const size_t passStart = p_;
            if (!Pass()) break;
            if (p_ <= passStart) {
                ADD_FAILURE() << "a pass consumed nothing";
                break;
            }
        }
        return Finish();
    }

  private:
    char Ch() const { return p_ < s_.size() ? s_[p_] : 0; }
    bool AtEnd() const { return p_ >= s_.size(); }
    void SkipBlanks() {
        while (Blank(Ch())) ++p_;
    }
    void PastNext(char c) {
        size_t at = s_.find(c, p_);
        p_ = at == std::string::npos ? s_.size() : at;
        if (Ch() == c) ++p_;
    }
    std::string ReadUntil(const std::string& stops) {
        size_t start = p_;
        while (!AtEnd() && stops.find(Ch()) == std::string::npos) ++p_;
        return s_.substr(start, p_ - start);
    }
    bool StartsNoCase(const std::string& t) const {
        if (s_.size() - p_ < t.size()) return false;
        for (size_t i = 0; i < t.size(); ++i)
            if (Lower(s_[p_ + i]) != Lower(t[i])) return false;
        return true;
    }

    bool Pass() {
        if (current_) {
            if (!Text()) return false;
        } else {
            PastNext('<');
        }
        const char c = Ch();
        SkipBlanks();
        if (AtEnd()) return false;
        if (c == '!') return Markup();
        if (c == '?') return Instruction();
        if (c == '/') {
            CloseTag();
            return true;
        }
        return StartTag();
    }

    bool Text() {
        Node* e = current_;
        SkipBlanks();
        if (s_.compare(p_, 9, "<![CDATA[") == 0) {
            p_ += 9;
            e->hasContent = true;
            e->cdata = true;
            size_t close = s_.find("]]>", p_);
            if (close == std::string::npos) {
                e->content += s_.substr(p_);
                p_ = s_.size();
                return false;
            }
            e->content += s_.substr(p_, close - p_);
            p_ = close + 3;
            PastNext('<');
            return true;
        }
        std::string run = ReadUntil("<");
        while (!run.empty() && Blank(run.back())) run.pop_back();
        if (Ch() == '<') ++p_;
        run = Decode(run);
        if (e->hasContent && !e->content.empty()) {
            e->content += " " + run;
        } else if (e->hasContent) {
            e->content += run;
        } else if (!run.empty()) {
            e->hasContent = true;
            e->content = run;
        }
        return true;
    }

    bool Markup() {
        if (StartsNoCase("!--")) {
            size_t end = s_.find("-->", p_);
            if (end == std::string::npos) return false;
            p_ = end + 3;
        } else if (StartsNoCase("!DOCTYPE")) {
            dtd_ += '<';
            int depth = 1;
            while (!AtEnd()) {
                char c = s_[p_++];
                dtd_ += c;
                if (c == '>') --depth;
                if (c == '<') ++depth;
                if (depth == 0) break;
            }
            dtd_ += '\n';
        } else {
            PastNext('>');
        }
        return true;
    }

    bool Instruction() {
        ++p_;
        if (StartsNoCase("xml ")) {
            auto decl = std::make_unique<Node>();
            decl->tag = ReadUntil(" \t\r\n/>");
            decl->hasTag = !decl->tag.empty();
            SkipBlanks();
            if (Ch() == '/') ++p_;
            pendingDecl_ = std::move(decl);
            while (Ch() != '>') {
                if (AtEnd()) return false;
                std::string name = Without(ReadUntil(" \t\r\n=?>"), "\"");
                SkipBlanks();
                std::string value;
                if (Ch() == '=') {
                    ++p_;
                    SkipBlanks();
                    if (Ch() == '"') ++p_;
                    if (Ch() == '\'') ++p_;
                    value = Decode(ReadUntil("\"'\r\n>"));
                    if (Ch() == '"') ++p_;
                    if (Ch() == '\'') ++p_;
                }
                if (!name.empty()) pendingDecl_->attrs.emplace_back(name, value);
                SkipBlanks();
                if (Ch() == '?') {
                    ++p_;
                    SkipBlanks();
                }
            }
            ++p_;
            return true;
        }
        size_t end = s_.find("?>", p_);
        if (end != std::string::npos) {
            dtd_ += "<?" + s_.substr(p_, end + 2 - p_) + "\n";
            p_ = end + 2;
        }
        return true;
    }

    void CloseTag() {
        while (!AtEnd() && Ch() != '>' && Ch() != '<') ++p_;
        if (Ch() == '>') ++p_;
        Close(current_);
    }

    bool StartTag() {
        std::string tag = ReadUntil(" \t\r\n/>");
        if (AtEnd()) return false;
        tag = Without(tag, "<");
        SkipBlanks();
        bool selfClosing = false;
        if (Ch() == '/') {
            ++p_;
            selfClosing = true;
        }
        auto made = std::make_unique<Node>();
        made->hasTag = !tag.empty();
        made->tag = tag;
        Node* e = made.get();
        if (current_) {
            e->parent = current_;
            current_->kids.push_back(std::move(made));
        } else {
            open_ = std::move(made);
        }
        current_ = e;
        SkipBlanks();
        while (Ch() != '>') {
            if (AtEnd()) return false;
            std::string name = Without(ReadUntil(" \t\r\n=/>"), "\"'<");
            SkipBlanks();
            std::string value;
            if (Ch() == '=') {
                ++p_;
                SkipBlanks();
                const char q = Ch();
                if (q == '"' || q == '\'') {
                    ++p_;
                    value = ReadUntil(std::string(1, q));
                    if (AtEnd()) {
                        unreadable_ = true;
                        return false;
                    }
                } else {
                    value = ReadUntil("'\">");
                }
                value = Decode(value);
                if (Ch() == '"' || Ch() == '\'') ++p_;
            }
            if (!name.empty()) e->attrs.emplace_back(name, value);
            SkipBlanks();
            if (Ch() == '/') {
                selfClosing = true;
                ++p_;
                SkipBlanks();
            }
        }
        ++p_;
        if (selfClosing) Close(e);
        return true;
    }

    void Close(Node* e) {
        if (!e) return;
        if (!e->parent) {
            if (pendingDecl_) e->decl = std::move(pendingDecl_);
            if (!dtd_.empty()) e->dtd = dtd_;
            result_ = std::move(open_);
        }
        current_ = e->parent;
    }

    std::unique_ptr<Node> Finish() {
        if (unreadable_) return nullptr;
        if (!result_ && open_) {
            result_ = std::move(open_);
            if (pendingDecl_) result_->decl = std::move(pendingDecl_);
            if (!dtd_.empty()) result_->dtd = dtd_;
        }
        if (result_ && result_->decl) {
            for (auto& [name, value] : result_->decl->attrs) {
                if (name != "encoding") continue;
                std::string v;
                for (char c : value) v += Lower(c);
                if (v == "utf-16" || v == "ucs-2" || v == "unicode") {
                    auto& attrs = result_->decl->attrs;
                    std::erase_if(attrs, [](const auto& pair) { return pair.first == "encoding"; });
                    attrs.emplace_back("encoding", "utf-8");
                }
                break;
            }
        }
        return std::move(result_);
    }

    std::string s_;
    size_t p_ = 0;
    Node* current_ = nullptr;
    std::unique_ptr<Node> open_;  // the top-level element being read
    std::unique_ptr<Node> result_;
    std::unique_ptr<Node> pendingDecl_;
    std::string dtd_;
    bool unreadable_ = false;  // a quoted value ran to the end
};

}  // namespace plain

namespace {

struct TreeDeleter {
    void operator()(TreeNode* n) const { delete n; }
};

std::string Bytes(const StringBuffer* b) {
    return b ? "[" + std::string(b->Data(), b->Length()) + "]" : "none";
}

// Both trees as one text each, node by node, so that a difference shows where it is.
void Render(const TreeNode* n, std::string& s) {
    s += n->HasTag() ? "<" + std::string(n->Tag()) : "<(no tag)";
    StringBuffer name, value;
    for (int i = 0; i < n->AttributeCount(); ++i) {
        n->AttributePairAt(i, name, value);
        s.append(" ").append(name.Data(), name.Length()).append("=");
        s.append(value.Data(), value.Length());
    }
    s += "> content " + Bytes(n->Content()) + (n->IsCdata() ? " cdata" : "");
    if (n->Declaration()) {
        s += " decl ";
        Render(n->Declaration(), s);
    }
    s += " dtd " + Bytes(n->DtdText());
    for (int i = 0; i < n->ChildCount(); ++i) {
        s += "\n";
        Render(n->ChildAt(i), s);
    }
    s += "\n</>";
}

void Render(const plain::Node* n, std::string& s) {
    s += n->hasTag ? "<" + n->tag : "<(no tag)";
    for (const auto& [name, value] : n->attrs) s.append(" ").append(name).append("=").append(value);
    s += "> content " + (n->hasContent ? "[" + n->content + "]" : std::string("none")) +
         (n->cdata ? " cdata" : "");
    if (n->decl) {
        s += " decl ";
        Render(n->decl.get(), s);
    }
    s += " dtd " + (n->dtd.empty() ? std::string("none") : "[" + n->dtd + "]");
    for (const auto& kid : n->kids) {
        s += "\n";
        Render(kid.get(), s);
    }
    s += "\n</>";
}

// Whether the document gave a tree.
bool ExpectSameTree(const std::string& text) {
    std::unique_ptr<TreeNode, TreeDeleter> got(
        ParseXmlBytes(text.data(), static_cast<int>(text.size()), nullptr, nullptr));
    std::unique_ptr<plain::Node> want = plain::Parser(text).Document();
    std::string gotText, wantText;
    if (got) Render(got.get(), gotText);
    if (want) Render(want.get(), wantText);
    EXPECT_EQ(gotText, wantText) << "document: " << text;
    return got != nullptr;
}

// A random document of markup pieces; distinct tags are numbered from *serial.
std::string RandomDocument(std::mt19937& random, int pieces, int* serial) {
    static const std::vector<std::string> names = {"a",  "b",    "r",        "e",
                                                   "x1", "ns:t", "\xD6\xD0", ""};
    static const std::vector<std::string> attrs = {" k=\"v\"",
                                                   " k='v'",
                                                   " k=v",
                                                   " k",
                                                   " k = \"v>w\"",
                                                   " \"q\"=1",
                                                   " k=\"a&amp;b&lt;\"",
                                                   " t='1' t='2'",
                                                   " a=1 c=2",
                                                   "/",
                                                   " b=1/",
                                                   " <z=\"\"",
                                                   " v=\"x\"y'",
                                                   " =v",
                                                   " k=\"a->b\"",
                                                   " k='c/>d'",
                                                   " k=\"/>\"",
                                                   " k='>'"};
    static const std::vector<std::string> others = {"x",
                                                    " ",
                                                    "\t",
                                                    "\r\n",
                                                    "&lt;",
                                                    "&amp;lt;",
                                                    "&#65;",
                                                    "&apos;",
                                                    "&quot;&gt;",
                                                    "&",
                                                    "\xC4\xE3",
                                                    "<![CDATA[ <b> ]]>",
                                                    "<![CDATA[x]y]]>",
                                                    "<![CDATA[",
                                                    "]]>",
                                                    "<!-- c -->",
                                                    "<!--",
                                                    "<!DOCTYPE r [<!ENTITY e '<v>'>]>",
                                                    "<!doctype x>",
                                                    "<!DOCTYPE [<",
                                                    "<!x y>",
                                                    "<?xml version=\"1.0\" encoding=\"UTF-16\"?>",
                                                    "<?XML encoding='ucs-2' ?>",
                                                    "<?xml a=\"x\ny\"?>",
                                                    "<?pi data?>",
                                                    "<?pi",
                                                    "<?xml ",
                                                    "</>",
                                                    "</a<",
                                                    "</ a>",
                                                    "<",
                                                    ">",
                                                    "/",
                                                    "=",
                                                    "\"",
                                                    "'",
                                                    "< /a>",
                                                    "<a",
                                                    "</"};
    std::string s;
    for (int i = 0; i < pieces; ++i) {
        switch (random() % 5) {
            case 0:
            case 1: {
                std::string name = random() % 6 == 0 ? "f" + std::to_string((*serial)++)
                                                     : names[random() % names.size()];
                s += "<" + name;
                for (int n = static_cast<int>(random() % 3); n > 0; --n)
                    s += attrs[random() % attrs.size()];
                const unsigned end = random() % 8;
                s += end < 5 ? ">" : end < 7 ? "/>" : "";
                break;
            }
            case 2:
                s += "</" + names[random() % names.size()] + ">";
                break;
            default:
                s += others[random() % others.size()];
                break;
        }
    }
    return s;
}

}  // namespace

TEST(ParserDifferential, RandomDocumentsGiveThePlainRulesTree) {
    std::mt19937 random(31);
    int serial = 0;
    int trees = 0;
    for (int round = 0; round < 12000; ++round) {
        if (ExpectSameTree(RandomDocument(random, 1 + static_cast<int>(random() % 40), &serial)))
            ++trees;
        if (HasFailure()) return;
    }
    // Quotes that never close make some documents unreadable; most still give a tree.
    EXPECT_GT(trees, 9000);
}

TEST(ParserDifferential, ShapesOfManyTagsManyTopElementsAndDepth) {
    std::mt19937 random(32);
    int serial = 0;
    std::string distinct = "<root><record>";
    for (int i = 0; i < 3000; ++i) distinct += "<field" + std::to_string(i) + " value=\"v\"/>";
    ExpectSameTree(distinct + "</record></root>");
    std::string tops = "<!DOCTYPE r [<!ENTITY e 'v'>]><?pi x?>";
    for (int i = 0; i < 2000; ++i) {
        tops += i % 3 == 0 ? "<e/>" : "<t>" + RandomDocument(random, 3, &serial) + "</t>";
        if (i % 500 == 0) tops += "<?more?><!DOCTYPE s>";
    }
    ExpectSameTree(tops);
    std::string deep;
    for (int i = 0; i < 3000; ++i) deep += i % 2 ? "<d k='" + std::to_string(i) + "'>" : "<e>x";
    ExpectSameTree(deep);
    for (int i = 0; i < 1500; ++i) deep += i % 7 ? "</d>" : "</>text";
    ExpectSameTree(deep);
}
