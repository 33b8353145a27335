// The handle API: navigation, searches, editing, moves and reference counting.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "NodePool.h"
#include "ProcessMemoryTestSupport.h"
#include "TXml.h"
#include "TimingTestSupport.h"

using Handle = std::unique_ptr<TXml>;

// This test program's allocations can be made to fail: the allocation that finds the countdown
// at 0 throws std::bad_alloc (a countdown below 0 fails none).
namespace {
long allocationsBeforeFailure = -1;
bool allocationFailed = false;
}  // namespace

void* operator new(size_t n) {
    if (allocationsBeforeFailure >= 0 && allocationsBeforeFailure-- == 0) {
        allocationFailed = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace {

std::string WriteFile(const QTemporaryDir& dir, const char* name, const std::string& bytes) {
    std::string path = dir.filePath(name).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// r(a(a1), b(b1)) built through the API.
Handle Build() {
    Handle r(new TXml);
    r->SetTag("r");
    for (const char* tag : {"a", "b"}) {
        TXml child;
        child.SetTag(tag);
        TXml grand;
        grand.SetTag(std::string(tag) + "1");
        child.AppendSubtree(&grand);
        r->AppendSubtree(&child);
    }
    return r;
}

}  // namespace

TEST(TXml, NewHandleIsALoneUnnamedRoot) {
    TXml x;
    EXPECT_EQ(x.GetTag(), "unnamed");
    EXPECT_EQ(x.GetContent(), "");
    EXPECT_EQ(x.AttributeCount(), 0);
    EXPECT_EQ(x.ChildCount(), 0);
    EXPECT_EQ(x.ChildAt(0), nullptr);
    EXPECT_EQ(x.SetTag("page"), 1);
    EXPECT_EQ(x.GetTag(), "page");
}

TEST(TXml, AttributeOrderAfterAddSetRemove) {
    TXml x;
    x.AddAttribute("a", "1");
    x.AddAttribute(" b ", "2");
    x.AddAttribute("a", "2");
    EXPECT_EQ(x.AttributeCount(), 3);
    EXPECT_EQ(x.AttributeValue("a"), "1");
    EXPECT_EQ(x.AttributeNameAt(1), "b");
    EXPECT_EQ(x.AttributeValue("  b\t"), "2");
    x.SetAttribute("a", "3");
    ASSERT_EQ(x.AttributeCount(), 2);
    EXPECT_EQ(x.AttributeNameAt(1), "a");
    EXPECT_EQ(x.AttributeValueAt(1), "3");
    x.SetAttribute(" s ", "kept blanks");
    EXPECT_EQ(x.AttributeNameAt(2), " s ");
    EXPECT_EQ(x.AttributeValue(" s "), "");  // the lookup trims, the stored name does not
    x.AddAttribute("a", "4");
    x.RemoveAttribute(" a ");
    EXPECT_EQ(x.AttributeCount(), 2);
    EXPECT_EQ(x.AttributeValue("a"), "");
    EXPECT_EQ(x.AttributeNameAt(5), "");
    EXPECT_EQ(x.AttributeValueAt(-1), "");
    x.AddAttribute("  ", "x");
    x.SetAttribute("", "x");
    EXPECT_EQ(x.AttributeCount(), 2);
    x.AddAttribute("gbk", "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(x.AttributeValue("gbk"), "\xD6\xD0\xCE\xC4");
}

TEST(TXml, SearchesAndTheAfterRule) {
    Handle r = Build();
    Handle self(r->FindNodeByTag(nullptr, "r"));
    ASSERT_TRUE(self);
    EXPECT_EQ(self->ChildCount(), 2);
    EXPECT_EQ(r->FindNodeByTag(r.get(), "r"), nullptr);
    Handle a(r->FindNodeByTag(r.get(), " a "));
    ASSERT_TRUE(a);
    Handle b1(r->FindNodeByTag(a.get(), "b1"));
    ASSERT_TRUE(b1);
    EXPECT_EQ(b1->GetTag(), "b1");
    EXPECT_EQ(r->FindNodeByTag(b1.get(), "a"), nullptr);
    TXml outside;
    outside.SetTag("b1");
    EXPECT_EQ(r->FindNodeByTag(&outside, "b1"), nullptr);
    Handle first(r->FirstChildByTag("b"));
    ASSERT_TRUE(first);
    EXPECT_EQ(r->FirstChildByTag("b1"), nullptr);  // grandchildren are not looked at
}

TEST(TXml, ChildBeforeGrandchildInSearches) {
    TXml r;
    r.SetTag("r");
    TXml deep, mid, shallow, leaf;
    deep.SetTag("x");
    deep.AddAttribute("n", "deep");
    mid.SetTag("m");
    mid.AppendSubtree(&deep);
    shallow.SetTag("x");
    shallow.AddAttribute("n", "shallow");
    r.AppendSubtree(&mid);
    r.AppendSubtree(&shallow);
    Handle found(r.FindNodeByTag(&r, "x"));
    EXPECT_EQ(found->AttributeValue("n"), "shallow");
    Handle next(r.FindNodeByTag(found.get(), "x"));
    EXPECT_EQ(next->AttributeValue("n"), "deep");
}

TEST(TXml, AttributeSearchIsCaseSensitive) {
    TXml root;
    root.SetTag("doc");
    TXml p1, p2;
    p1.SetTag("page");
    p1.SetAttribute("desc", "abc");
    p2.SetTag("page");
    p2.SetAttribute("desc", "Abc");
    root.AppendSubtree(&p1);
    root.AppendSubtree(&p2);
    Handle hit(root.FindNodeByAttribute(nullptr, "page", "desc", "A*"));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->AttributeValue("desc"), "Abc");
    EXPECT_EQ(root.FindNodeByAttribute(hit.get(), "page", "desc", "A*"), nullptr);
}

TEST(TXmlCounts, ChildOutlivesDeletedRootHandle) {
    auto* root = new TXml;
    root->SetTag("root");
    {
        TXml c;
        c.SetTag("c");
        c.AddAttribute("k", "v");
        TXml g;
        g.SetTag("g");
        c.AppendSubtree(&g);
        root->AppendSubtree(&c);
    }
    TXml* child = root->ChildAt(0);
    delete root;  // the child handle keeps the whole tree
    EXPECT_EQ(child->GetTag(), "c");
    EXPECT_EQ(child->AttributeValue("k"), "v");
    ASSERT_EQ(child->ChildCount(), 1);
    Handle g(child->ChildAt(0));
    EXPECT_EQ(g->GetTag(), "g");
    delete child;  // g still holds the tree
    EXPECT_EQ(g->GetTag(), "g");
}

TEST(TXmlCounts, DetachingTheOnlyHandlesFreesTheRest) {
    auto* root = new TXml;
    {
        TXml keep, other;
        keep.SetTag("keep");
        other.SetTag("other");
        root->AppendSubtree(&keep);
        root->AppendSubtree(&other);
    }
    TXml* keep = root->ChildAt(0);
    delete root;
    keep->DetachFromTree();  // the old root and "other" are freed now (LeakSanitizer checks)
    EXPECT_EQ(keep->GetTag(), "keep");
    TXml again;
    again.AppendSubtree(keep);
    EXPECT_EQ(again.ChildCount(), 1);
    delete keep;
    EXPECT_EQ(again.ChildCount(), 1);
}

TEST(TXml, AppendRefusesCycles) {
    Handle r = Build();
    Handle a(r->ChildAt(0));
    Handle a1(a->ChildAt(0));
    EXPECT_FALSE(a1->AppendSubtree(r.get()));
    EXPECT_FALSE(a1->AppendSubtree(a.get()));
    EXPECT_FALSE(a->AppendSubtree(a.get()));
    EXPECT_FALSE(a->AppendSubtree(nullptr));
    EXPECT_EQ(r->ChildCount(), 2);
    EXPECT_EQ(a->ChildCount(), 1);
    // Moving within one tree is allowed: b goes under a.
    Handle b(r->ChildAt(1));
    EXPECT_TRUE(a->AppendSubtree(b.get()));
    EXPECT_EQ(r->ChildCount(), 1);
    EXPECT_EQ(a->ChildCount(), 2);
    Handle b1(r->FindNodeByTag(nullptr, "b1"));
    EXPECT_TRUE(b1);
}

// Building a deep tree from the top, each new node appended below the last, stays linear.
TEST(TXml, DeepTreesBuiltTopDownInLinearTime) {
    auto build = [](int depth) {
        TXml root;
        root.SetTag("d");
        Handle last;
        TXml* parent = &root;
        for (int i = 0; i < depth; ++i) {
            auto child = std::make_unique<TXml>();
            child->SetTag("d");
            EXPECT_TRUE(parent->AppendSubtree(child.get()));
            last = std::move(child);
            parent = last.get();
        }
        last.reset();
        int levels = 0;
        for (Handle n(root.ChildAt(0)); n; n.reset(n->ChildAt(0))) ++levels;
        EXPECT_EQ(levels, depth);
    };
    // Each handle takes several allocations, which the sanitizer build makes slow and uneven:
    // the best of five runs.
    const double one = testtiming::BestCpuMs([&] { build(10000); }, 5);
    const double two = testtiming::BestCpuMs([&] { build(20000); }, 5);
    EXPECT_LT(two, 2.6 * one + 5 * testtiming::kSlowdown) << one << " ms, then " << two << " ms";
}

namespace {

// Tag, content, attributes and children of a node, as one text.
std::string Dump(const TXml& n) {
    std::string s = n.GetTag() + "[" + n.GetContent() + "]";
    for (int i = 0; i < n.AttributeCount(); ++i)
        s += " " + n.AttributeNameAt(i) + "=" + n.AttributeValueAt(i);
    s += "(";
    for (int i = 0; i < n.ChildCount(); ++i) s += Dump(*Handle(n.ChildAt(i)));
    return s + ")";
}

// doc(a[k=1 k=2](a1), b(b1), c) and other(x[k=x]), with handles on a, b and x.
struct Scene {
    Scene() {
        doc->SetTag("doc");
        other->SetTag("other");
        for (const char* tag : {"a", "b", "c"}) {
            TXml child;
            child.SetTag(tag);
            doc->AppendSubtree(&child);
        }
        a.reset(doc->ChildAt(0));
        b.reset(doc->ChildAt(1));
        a->AddAttribute("k", "1");
        a->AddAttribute("k", "2");
        TXml a1, b1;
        a1.SetTag("a1");
        b1.SetTag("b1");
        a->AppendSubtree(&a1);
        b->AppendSubtree(&b1);
        x->SetTag("x");
        x->AddAttribute("k", "x");
        other->AppendSubtree(x.get());
    }
    std::string State() const {
        return Dump(*doc) + " | " + Dump(*other) + " | " + Dump(*a) + " | " +
               (found ? Dump(*found) : "");
    }
    // Keeps a search's result (allocating nothing more while allocations may fail).
    std::string Found(TXml* result) {
        found.reset(result);
        return result ? "found" : "NULL";
    }

    Handle doc = std::make_unique<TXml>();
    Handle other = std::make_unique<TXml>();
    Handle a, b;
    Handle x = std::make_unique<TXml>();
    Handle found;
};

}  // namespace

// Memory that runs out inside any operation of the API throws nothing out of it: the operation
// answers as it does when it fails (NULL, false, "", 0) and leaves both trees as they were, or
// it completes. Each operation runs with its first allocation failing, then its second, and so
// on until it runs through; no node is left behind.
TEST(TXmlMemory, RunningOutOfMemoryInsideAnOperationChangesNothing) {
    QTemporaryDir dir;
    const std::string file = WriteFile(dir, "m.xml", "<m v=\"1\"><n/>text</m>");
    // Arguments longer than a string holds in place are made before allocations may fail.
    const std::string longText(300, 'v');
    const std::string newTag = "a-tag-new-to-the-pool";
    using Operation = std::function<std::string(Scene&)>;
    const std::vector<std::pair<const char*, Operation>> operations = {
        {"ChildAt", [](Scene& s) { return s.Found(s.doc->ChildAt(1)); }},
        {"FirstChildByTag", [](Scene& s) { return s.Found(s.doc->FirstChildByTag(" c ")); }},
        {"FindNodeByTag", [](Scene& s) { return s.Found(s.doc->FindNodeByTag(s.a.get(), "b1")); }},
        {"FindNodeByAttribute",
         [](Scene& s) { return s.Found(s.doc->FindNodeByAttribute(nullptr, "a", "k", "2")); }},
        {"GetTag", [](Scene& s) { return s.a->GetTag(); }},
        {"GetContent", [](Scene& s) { return s.x->GetContent(); }},
        {"AttributeNameAt", [](Scene& s) { return s.a->AttributeNameAt(1); }},
        {"AttributeValueAt", [](Scene& s) { return s.a->AttributeValueAt(1); }},
        {"AttributeValue", [](Scene& s) { return s.a->AttributeValue(" k "); }},
        {"SetTag", [&](Scene& s) { return std::to_string(s.a->SetTag(newTag)); }},
        {"AddAttribute",
         [&](Scene& s) { return std::to_string(s.a->AddAttribute(" long ", longText)); }},
        {"SetAttribute",
         [&](Scene& s) { return std::to_string(s.a->SetAttribute("k", longText)); }},
        {"RemoveAttribute", [](Scene& s) { return std::to_string(s.a->RemoveAttribute(" k")); }},
        {"CopyFrom",
         [](Scene& s) {
             s.a->CopyFrom(s.x.get());
             return std::string();
         }},
        {"AppendSubtree", [](Scene& s) { return std::to_string(s.b->AppendSubtree(s.x.get())); }},
        {"AppendSubtreeWithin",
         [](Scene& s) { return std::to_string(s.a->AppendSubtree(s.b.get())); }},
        {"DetachFromTree",
         [](Scene& s) {
             s.a->DetachFromTree();
             return std::string();
         }},
        {"LoadXmlFile", [&](Scene& s) { return std::to_string(s.other->LoadXmlFile(file)); }},
    };
    const size_t liveBefore = velmarq::NodePool::LiveCount();
    for (const auto& [name, operation] : operations) {
        std::string done, answer;
        {
            Scene s;
            answer = operation(s);
            done = s.State();
        }
        for (long failAt = 0;; ++failAt) {
            Scene s;
            const std::string before = s.State();
            std::string got;
            allocationFailed = false;
            allocationsBeforeFailure = failAt;
            EXPECT_NO_THROW(got = operation(s)) << name << ", allocation " << failAt;
            allocationsBeforeFailure = -1;
            const std::string after = s.State();
            if (!allocationFailed) {
                EXPECT_EQ(got, answer) << name;
                EXPECT_EQ(after, done) << name;
                break;
            }
            if (after == done) continue;  // what failed was not needed
            EXPECT_EQ(after, before) << name << ", allocation " << failAt;
            EXPECT_TRUE(got == "NULL" || got == "0" || got.empty())
                << name << ", allocation " << failAt << ": " << got;
        }
        EXPECT_EQ(velmarq::NodePool::LiveCount(), liveBefore) << name;
    }
}

TEST(TXml, CopyFrom) {
    TXml src;
    src.SetTag("s");
    src.AddAttribute("a", "1");
    src.AddAttribute("a", "2");
    TXml child;
    src.AppendSubtree(&child);
    TXml dst;
    dst.AddAttribute("old", "x");
    dst.CopyFrom(&src);
    EXPECT_EQ(dst.GetTag(), "s");
    EXPECT_EQ(dst.AttributeCount(), 2);
    EXPECT_EQ(dst.AttributeValueAt(1), "2");
    EXPECT_EQ(dst.ChildCount(), 0);
    EXPECT_EQ(dst.GetContent(), "");
    dst.CopyFrom(nullptr);
    EXPECT_EQ(dst.AttributeCount(), 2);
    dst.CopyFrom(&dst);  // onto itself: nothing changes
    EXPECT_EQ(dst.AttributeCount(), 2);
    EXPECT_EQ(dst.GetTag(), "s");
    Handle same(src.FindNodeByTag(nullptr, "s"));
    src.CopyFrom(same.get());  // another handle on the same node
    EXPECT_EQ(src.AttributeCount(), 2);
}

TEST(TXmlLoad, FilesAndFailures) {
    QTemporaryDir dir;
    TXml x;
    x.SetTag("before");
    EXPECT_FALSE(x.LoadXmlFile(dir.filePath("missing.xml").toStdString()));
    EXPECT_EQ(x.GetTag(), "before");
    EXPECT_FALSE(x.LoadXmlFile(WriteFile(dir, "text.xml", "no element")));
    EXPECT_FALSE(x.LoadXmlFile(WriteFile(dir, "empty.xml", "")));
    EXPECT_EQ(x.GetTag(), "before");
    std::string gbk = "<data><record><field value=\"\xD6\xD0\xCE\xC4\"/></record></data>";
    ASSERT_TRUE(x.LoadXmlFile("  " + WriteFile(dir, "gbk.xml", gbk) + " "));
    EXPECT_EQ(x.GetTag(), "data");
    Handle f(x.FindNodeByTag(nullptr, "field"));
    EXPECT_EQ(f->AttributeValue("value"), "\xD6\xD0\xCE\xC4");
}

// Memory that runs out during a load makes a failed load, not an exception: false, and the
// handle keeps its node. The load runs in a child process whose address space is capped a
// little above what it already uses; two million nested elements need far more.
TEST(TXmlLoad, RunningOutOfMemoryIsAFailedLoad) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space cap";
#endif
    QTemporaryDir dir;
    std::string nested;
    nested.reserve(6000000);
    for (int i = 0; i < 2000000; ++i) nested += "<a>";
    const std::string path = WriteFile(dir, "deep.xml", nested);
    nested.clear();
    nested.shrink_to_fit();
    EXPECT_EXIT(
        {
            TXml doc;
            doc.SetTag("kept");
            xmltest::CapAddressSpace(64L << 20);
            const bool loaded = doc.LoadXmlFile(path);
            std::_Exit(!loaded && doc.GetTag() == "kept" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(TXmlLoad, Utf16FileArrivesAsUtf8) {
    QTemporaryDir dir;
    std::string bytes = "\xFF\xFE";
    for (char c : std::string("<a v=\"")) bytes += std::string{c, '\0'};
    bytes += std::string("\x2D\x4E", 2);  // U+4E2D
    for (char c : std::string("\"/>")) bytes += std::string{c, '\0'};
    TXml x;
    ASSERT_TRUE(x.LoadXmlFile(WriteFile(dir, "u16.xml", bytes)));
    EXPECT_EQ(x.GetTag(), "a");
    EXPECT_EQ(x.AttributeValue("v"), "\xE4\xB8\xAD");
}

TEST(TXmlLoad, CopyFromReplacesContentAndKeepsChildren) {
    QTemporaryDir dir;
    TXml x;
    ASSERT_TRUE(x.LoadXmlFile(WriteFile(dir, "c.xml", "<a k=\"1\">text<kid/></a>")));
    EXPECT_EQ(x.GetContent(), "text ");
    TXml bare;
    bare.SetTag("bare");
    x.CopyFrom(&bare);
    EXPECT_EQ(x.GetContent(), "");
    EXPECT_EQ(x.GetTag(), "bare");
    EXPECT_EQ(x.AttributeCount(), 0);
    EXPECT_EQ(x.ChildCount(), 1);  // children stay
    TXml y;
    y.CopyFrom(&x);
    EXPECT_EQ(y.ChildCount(), 0);
}

namespace {

// A plain model of the trees that handles designate: nodes never go away here, a tree is alive
// while a handle designates one of its nodes, and every node of a live tree (with the
// declaration a loaded top element carries) is one node of the library's storage.
struct ModelForest {
    struct Node {
        std::string tag = "unnamed";
        std::string content;
        std::vector<std::pair<std::string, std::string>> attrs;
        std::vector<int> kids;
        int parent = -1;
        int hidden = 0;  // a declaration kept with the node
    };
    std::vector<Node> nodes;

    int Make() {
        nodes.emplace_back();
        return static_cast<int>(nodes.size()) - 1;
    }
    int Root(int n) const {
        while (nodes[n].parent >= 0) n = nodes[n].parent;
        return n;
    }
    bool IsSelfOrAncestor(int a, int n) const {
        for (; n >= 0; n = nodes[n].parent)
            if (n == a) return true;
        return false;
    }
    void Detach(int n) {
        const int p = nodes[n].parent;
        if (p < 0) return;
        auto& kids = nodes[p].kids;
        kids.erase(std::find(kids.begin(), kids.end(), n));
        nodes[n].parent = -1;
    }
    std::string Dump(int n) const {
        const Node& x = nodes[n];
        std::string s = x.tag + "[" + x.content + "]";
        for (const auto& [name, value] : x.attrs) s += " " + name + "=" + value;
        s += "(";
        for (int k : x.kids) s += Dump(k);
        return s + ")";
    }
    int Count(int n) const {
        int c = 1 + nodes[n].hidden;
        for (int k : nodes[n].kids) c += Count(k);
        return c;
    }
    // Level order from n, n first: the first node tagged tag, or -1.
    int FindByTag(int n, const std::string& tag) const {
        std::vector<int> queue{n};
        for (size_t i = 0; i < queue.size(); ++i) {
            if (nodes[queue[i]].tag == tag) return queue[i];
            for (int k : nodes[queue[i]].kids) queue.push_back(k);
        }
        return -1;
    }
    void RemoveNamed(int n, const std::string& name) {
        auto& a = nodes[n].attrs;
        a.erase(std::remove_if(a.begin(), a.end(), [&](const auto& p) { return p.first == name; }),
                a.end());
    }
};

const char* const kModelTags[] = {"a", "b", "row", "field", "f1", "f2", "\xB8\xDF"};
const char* const kModelNames[] = {"k", "value", "x"};
const char* const kModelValues[] = {"", "1", "ab", "\xD6\xD0\xCE\xC4"};

// A random document of at most about 85 elements (leaves with text when texts is set), written
// into model nodes as the parser must read it; returns its top element.
int RandomDocument(std::mt19937& random, ModelForest& m, std::string& text, bool texts,
                   int depth = 0) {
    const int n = m.Make();
    auto& node = m.nodes[n];
    node.tag = kModelTags[random() % 7];
    text += "<" + node.tag;
    for (int i = 0, c = static_cast<int>(random() % 3); i < c; ++i) {
        std::string name = kModelNames[random() % 3];
        std::string value = kModelValues[random() % 4];
        text += " " + name + "=\"" + value + "\"";
        m.nodes[n].attrs.emplace_back(name, value);
    }
    const int kids = depth < 3 ? static_cast<int>(random() % 5) : 0;
    if (texts && kids == 0 && random() % 3 == 0) {
        m.nodes[n].content = random() % 2 ? "word" : "\xCE\xC4";
        text += ">" + m.nodes[n].content + "</" + m.nodes[n].tag + ">\r\n";
        return n;
    }
    if (kids == 0) {
        text += "/>\r\n";
        return n;
    }
    text += ">\r\n";
    for (int i = 0; i < kids; ++i) {
        const int k = RandomDocument(random, m, text, texts, depth + 1);
        m.nodes[k].parent = n;
        m.nodes[n].kids.push_back(k);
    }
    text += "</" + m.nodes[n].tag + ">\r\n";
    return n;
}

}  // namespace

// Random handle operations over several trees (new roots, navigation, loads, moves between
// trees and within one, detaching, edits, handle releases), checked after every step against
// the plain model: every handle shows its node's subtree as the model has it, and the node
// storage holds exactly the nodes of the trees that some handle still designates.
TEST(TXmlStress, RandomOperationsAgreeWithAPlainModel) {
    QTemporaryDir dir;
    struct KeptOwnArenaBytes {
        size_t bytes = velmarq::NodePool::OwnArenaBytes();
        ~KeptOwnArenaBytes() { velmarq::NodePool::SetOwnArenaBytes(bytes); }
    } kept;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 random(seed);
        ModelForest m;
        std::vector<std::pair<Handle, int>> handles;
        const size_t liveBefore = velmarq::NodePool::LiveCount();
        auto pick = [&] { return random() % handles.size(); };
        for (int step = 0; step < 800; ++step) {
            // Handles come and go; a dozen at most keeps the checks short.
            const unsigned op = handles.empty() ? 0 : handles.size() > 12 ? 1 : random() % 13;
            std::string what = std::to_string(op);
            if (op == 0 || (op == 1 && handles.size() < 3)) {
                handles.emplace_back(std::make_unique<TXml>(), m.Make());
            } else if (op == 1) {
                handles.erase(handles.begin() + static_cast<long>(pick()));
            } else if (op == 2 || op == 3) {
                auto& [h, n] = handles[pick()];
                const int count = static_cast<int>(m.nodes[n].kids.size());
                const int i = static_cast<int>(random() % (count + 2)) - 1;
                Handle child(h->ChildAt(i));
                ASSERT_EQ(child != nullptr, i >= 0 && i < count) << what;
                if (child) handles.emplace_back(std::move(child), m.nodes[n].kids[i]);
            } else if (op == 4) {
                auto& [h, n] = handles[pick()];
                std::string text = random() % 4 ? "" : "<?xml version=\"1.0\"?>\r\n";
                const bool declared = !text.empty();
                // Most documents hold no text, so that their trees are mostly attributes.
                const int top = RandomDocument(random, m, text, random() % 3 == 0);
                m.nodes[top].hidden = declared ? 1 : 0;
                const std::string path = WriteFile(dir, "doc.xml", text);
                // Documents on either side of the size from which a document gets an arena of its
                // own (freed with its tree in one step while the tree keeps just its own nodes);
                // smaller ones share an arena.
                velmarq::NodePool::SetOwnArenaBytes(text.size() + random() % 2);
                ASSERT_TRUE(h->LoadXmlFile(path)) << text;
                n = top;
            } else if (op == 5 || op == 6) {
                auto& [parent, p] = handles[pick()];
                auto& [child, c] = handles[pick()];
                const bool refused = m.IsSelfOrAncestor(c, p);
                ASSERT_EQ(parent->AppendSubtree(child.get()), !refused) << what;
                if (!refused) {
                    m.Detach(c);
                    m.nodes[c].parent = p;
                    m.nodes[p].kids.push_back(c);
                }
            } else if (op == 7) {
                auto& [h, n] = handles[pick()];
                h->DetachFromTree();
                m.Detach(n);
            } else if (op == 8) {
                auto& [h, n] = handles[pick()];
                const std::string tag = kModelTags[random() % 7];
                h->SetTag(tag);
                m.nodes[n].tag = tag;
            } else if (op == 9) {
                auto& [h, n] = handles[pick()];
                const std::string name = kModelNames[random() % 3];
                const std::string value = kModelValues[random() % 4];
                if (random() % 2) {
                    h->AddAttribute(name, value);
                } else {
                    h->SetAttribute(name, value);
                    m.RemoveNamed(n, name);
                }
                m.nodes[n].attrs.emplace_back(name, value);
            } else if (op == 10) {
                auto& [h, n] = handles[pick()];
                const std::string name = kModelNames[random() % 3];
                h->RemoveAttribute(name);
                m.RemoveNamed(n, name);
            } else if (op == 11) {
                auto& [h, n] = handles[pick()];
                auto& [from, f] = handles[pick()];
                h->CopyFrom(from.get());
                if (n != f) {
                    m.nodes[n].tag = m.nodes[f].tag;
                    m.nodes[n].content = m.nodes[f].content;
                    m.nodes[n].attrs = m.nodes[f].attrs;
                }
            } else {
                auto& [h, n] = handles[pick()];
                const std::string tag = kModelTags[random() % 7];
                Handle found(h->FindNodeByTag(nullptr, tag));
                const int expected = m.FindByTag(n, tag);
                ASSERT_EQ(found != nullptr, expected >= 0) << what;
                if (found) handles.emplace_back(std::move(found), expected);
            }
            // Every handle shows its node as the model has it; the storage holds the live trees.
            std::vector<int> liveRoots;
            for (const auto& [h, n] : handles) {
                ASSERT_EQ(Dump(*h), m.Dump(n))
                    << "seed " << seed << ", step " << step << ", op " << what;
                const int r = m.Root(n);
                if (std::find(liveRoots.begin(), liveRoots.end(), r) == liveRoots.end())
                    liveRoots.push_back(r);
            }
            size_t live = 0;
            for (int r : liveRoots) live += static_cast<size_t>(m.Count(r));
            ASSERT_EQ(velmarq::NodePool::LiveCount() - liveBefore, live)
                << "seed " << seed << ", step " << step << ", op " << what;
        }
        handles.clear();
        EXPECT_EQ(velmarq::NodePool::LiveCount(), liveBefore);
        // No tag of the freed trees stays in the pool.
        for (const char* tag : kModelTags)
            EXPECT_EQ(velmarq::CommonStrings::Instance().UseCount(tag), 0) << tag;
    }
}
