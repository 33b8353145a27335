// Attribute sets, the tag pool and the node tree: counts, moves and breadth-first searches.
#include <gtest/gtest.h>

#include <string>

#include "AttributeSet.h"
#include "CommonStrings.h"
#include "NodePool.h"
#include "ParseEngine.h"
#include "TreeNode.h"

using namespace velmarq;

namespace {

std::string Name(const AttributeSet& a, int i) {
    StringBuffer b;
    a.NameAt(i, b);
    return b.Data();
}

std::string ValueOf(const AttributeSet& a, const char* name) {
    StringBuffer b;
    return a.ValueOf(name, b) ? b.Data() : "<none>";
}

// r(a(a1), b(b1))
struct SmallTree {
    SmallTree() {
        TreeNode::AppendChild(r, a);
        TreeNode::AppendChild(r, b);
        TreeNode::AppendChild(a, a1);
        TreeNode::AppendChild(b, b1);
    }
    ~SmallTree() { delete r; }
    TreeNode* r = new TreeNode("r");
    TreeNode* a = new TreeNode("a");
    TreeNode* b = new TreeNode("b");
    TreeNode* a1 = new TreeNode("a1");
    TreeNode* b1 = new TreeNode("b1");
};

// Every document parsed while it lives gets an arena of its own, as large documents have.
struct OwnArenaForEveryDocument {
    OwnArenaForEveryDocument() { NodePool::SetOwnArenaBytes(0); }
    ~OwnArenaForEveryDocument() { NodePool::SetOwnArenaBytes(kept); }
    size_t kept = NodePool::OwnArenaBytes();
};

TreeNode* ParseText(const std::string& text) {
    return ParseXmlBytes(text.data(), static_cast<int>(text.size()), nullptr, nullptr);
}

}  // namespace

TEST(AttributeSet, OrderRepeatsAndRemoval) {
    AttributeSet a;
    a.AddPair("a", "1");
    a.AddPair("b", "2");
    a.AddPair("a", "3");
    a.AddPair("", "x");
    a.AddPair(nullptr, "x");
    EXPECT_EQ(a.PairCount(), 3);
    EXPECT_EQ(ValueOf(a, "a"), "1");
    a.RemoveAllNamed("a");
    EXPECT_EQ(a.PairCount(), 1);
    EXPECT_EQ(Name(a, 0), "b");
    EXPECT_EQ(ValueOf(a, "b"), "2");
    a.AddPair("e", nullptr);
    EXPECT_EQ(ValueOf(a, "e"), "");
    StringBuffer out("stale");
    EXPECT_FALSE(a.ValueAt(5, out));
    EXPECT_EQ(out.Length(), 0);
    a.NameAt(-1, out);
    EXPECT_EQ(out.Length(), 0);
}

TEST(AttributeSet, LookupsNeedTheWholeName) {
    AttributeSet a;
    a.AddPair("abc", "v");
    EXPECT_EQ(ValueOf(a, "ab"), "<none>");
    EXPECT_EQ(ValueOf(a, "abcd"), "<none>");
    EXPECT_EQ(ValueOf(a, ""), "<none>");
    EXPECT_TRUE(a.HasName("abc"));
    EXPECT_FALSE(a.HasName("ABC"));
    StringBuffer n, v;
    EXPECT_TRUE(a.PairAt(0, n, v));
    EXPECT_STREQ(n.Data(), "abc");
    EXPECT_STREQ(v.Data(), "v");
}

TEST(AttributeSet, MatchValueTriesEveryPairOfTheName) {
    AttributeSet a;
    a.AddPair("k", "0");
    a.AddPair("k", "12");
    a.AddPair("e", "");
    EXPECT_TRUE(a.MatchValue("k", "1*"));
    EXPECT_FALSE(a.MatchValue("k", "2*"));
    EXPECT_TRUE(a.MatchValue("e", ""));
    EXPECT_TRUE(a.MatchValue("e", nullptr));
    EXPECT_FALSE(a.MatchValue("", "*"));
    AttributeSet longValue;
    longValue.AddPair("k", std::string(800, 'x').append("end").c_str());
    EXPECT_TRUE(longValue.MatchValue("k", "x*end"));
    EXPECT_FALSE(AttributeSet().MatchValue("k", "*"));
}

TEST(CommonStrings, TagsShareOnePoolEntry) {
    CommonStrings& pool = CommonStrings::Instance();
    const char* tag = "pooltest-page";
    {
        TreeNode one(tag);
        TreeNode two(tag);
        EXPECT_EQ(pool.UseCount(tag), 2);
        EXPECT_EQ(one.Tag(), two.Tag());  // the same pooled copy
        one.SetTag("pooltest-other");
        EXPECT_EQ(pool.UseCount(tag), 1);
        two.SetTag(tag);  // same text: pool untouched
        EXPECT_EQ(pool.UseCount(tag), 1);
        two.SetTag("pooltest-other");
        EXPECT_EQ(pool.UseCount(tag), 0);
        EXPECT_EQ(pool.UseCount("pooltest-other"), 2);
    }
    EXPECT_EQ(pool.UseCount("pooltest-other"), 0);
}

// A node of a parsed document retagged again and again leaves no old tag in the pool while the
// document lives.
TEST(CommonStrings, RetaggedParsedNodeKeepsNoOldTags) {
    OwnArenaForEveryDocument own;
    CommonStrings& pool = CommonStrings::Instance();
    TreeNode* root = ParseText("<pooltest-doc><pooltest-a/><pooltest-b/></pooltest-doc>");
    ASSERT_NE(root, nullptr);
    TreeNode* a = root->ChildAt(0);
    for (int i = 0; i < 1000; ++i) a->SetTag(("pooltest-retag" + std::to_string(i)).c_str());
    for (int i = 0; i < 999; ++i)
        ASSERT_EQ(pool.UseCount(("pooltest-retag" + std::to_string(i)).c_str()), 0) << i;
    EXPECT_EQ(pool.UseCount("pooltest-retag999"), 1);
    EXPECT_EQ(pool.UseCount("pooltest-a"), 0);
    EXPECT_EQ(pool.UseCount("pooltest-b"), 1);
    a->ReleaseTag();
    EXPECT_EQ(pool.UseCount("pooltest-retag999"), 0);
    delete root;
    EXPECT_EQ(pool.UseCount("pooltest-b"), 0);
    EXPECT_EQ(pool.UseCount("pooltest-doc"), 0);
}

// The tags of a parsed document go back to the pool with the document, also while a node
// detached from it lives on.
TEST(CommonStrings, ParsedTreeGivesItsTagsBackWhileADetachedNodeLives) {
    OwnArenaForEveryDocument own;
    CommonStrings& pool = CommonStrings::Instance();
    std::string text = "<pooltest-doc><pooltest-keep><pooltest-kept/></pooltest-keep>";
    for (int i = 0; i < 50; ++i) text += "<pooltest-gone" + std::to_string(i) + "/>";
    TreeNode* root = ParseText(text + "</pooltest-doc>");
    ASSERT_NE(root, nullptr);
    TreeNode* keep = root->ChildAt(0);
    keep->AddNodeRef();
    TreeNode::Detach(keep);  // nothing holds the rest of the document: it goes at once
    EXPECT_EQ(pool.UseCount("pooltest-doc"), 0);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(pool.UseCount(("pooltest-gone" + std::to_string(i)).c_str()), 0) << i;
    EXPECT_EQ(pool.UseCount("pooltest-keep"), 1);
    EXPECT_EQ(pool.UseCount("pooltest-kept"), 1);
    EXPECT_STREQ(keep->ChildAt(0)->Tag(), "pooltest-kept");
    keep->ReleaseNodeRef();
    TreeNode::DeleteTree(keep);
    EXPECT_EQ(pool.UseCount("pooltest-keep"), 0);
    EXPECT_EQ(pool.UseCount("pooltest-kept"), 0);
}

TEST(TreeNode, DataAndDeclaration) {
    TreeNode n("t", "text");
    EXPECT_STREQ(n.Tag(), "t");
    EXPECT_TRUE(n.HasContent());
    n.SetContent(nullptr);
    EXPECT_FALSE(n.HasContent());
    ASSERT_NE(n.Content(), nullptr);
    TreeNode bare;
    EXPECT_STREQ(bare.Tag(), "");
    EXPECT_FALSE(bare.HasTag());
    EXPECT_EQ(bare.Content(), nullptr);
    StringBuffer enc;
    EXPECT_FALSE(n.GetDeclaredEncoding(enc));
    n.SetDeclaredEncoding("utf-8");
    ASSERT_NE(n.Declaration(), nullptr);
    EXPECT_STREQ(n.Declaration()->Tag(), "xml");
    EXPECT_TRUE(n.GetDeclaredEncoding(enc));
    EXPECT_STREQ(enc.Data(), "utf-8");
    n.Declaration()->AddPair("encoding", "x");
    n.SetDeclaredEncoding("gbk");
    EXPECT_EQ(n.Declaration()->AttributeCount(), 2);  // version and one encoding
    n.SetDtdText("");
    EXPECT_EQ(n.DtdText(), nullptr);
}

TEST(TreeNode, SetAttributeMovesThePairToTheEnd) {
    TreeNode n("t");
    n.AddPair("a", "1");
    n.AddPair("b", "2");
    n.AddPair("a", "9");
    n.SetAttribute("a", "3");
    ASSERT_EQ(n.AttributeCount(), 2);
    StringBuffer name, value;
    n.AttributePairAt(1, name, value);
    EXPECT_STREQ(name.Data(), "a");
    EXPECT_STREQ(value.Data(), "3");
    TreeNode copy("c");
    copy.AddPair("old", "x");
    n.AddPair(" spaced ", "s");
    copy.CopyAttributesFrom(n);
    ASSERT_EQ(copy.AttributeCount(), 3);
    copy.AttributeNameAt(2, name);
    EXPECT_STREQ(name.Data(), "spaced");
}

TEST(TreeNode, NthChildByTag) {
    TreeNode r("r");
    for (const char* t : {"x", "y", "x", "x"}) TreeNode::AppendChild(&r, new TreeNode(t));
    EXPECT_EQ(r.NthChildByTag(1, "x"), r.ChildAt(2));
    EXPECT_EQ(r.NthChildByTag(0, "y"), r.ChildAt(1));
    EXPECT_EQ(r.NthChildByTag(3, "x"), nullptr);
    EXPECT_EQ(r.ChildAt(-1), nullptr);
    EXPECT_EQ(r.ChildAt(4), nullptr);
    EXPECT_EQ(r.ChildAt(1)->Previous(), r.ChildAt(0));
    EXPECT_EQ(r.ChildAt(1)->Next(), r.ChildAt(2));
}

TEST(TreeNode, AppendRefusesCycles) {
    SmallTree t;
    EXPECT_FALSE(TreeNode::AppendChild(t.a1, t.r));  // r is a1's ancestor
    EXPECT_FALSE(TreeNode::AppendChild(t.r, t.r));
    EXPECT_FALSE(TreeNode::AppendChild(t.b, t.a1));  // a1 still has a parent
    EXPECT_EQ(t.a1->ChildCount(), 0);
    EXPECT_EQ(t.r->ChildCount(), 2);
}

TEST(TreeNode, BreadthFirstOrderAndAfter) {
    SmallTree t;
    EXPECT_EQ(TreeNode::FindByTag(t.r, t.a, "b1"), t.b1);
    EXPECT_EQ(TreeNode::FindByTag(t.r, t.b1, "a"), nullptr);
    EXPECT_EQ(TreeNode::FindByTag(t.r, nullptr, "r"), t.r);
    EXPECT_EQ(TreeNode::FindByTag(t.r, t.r, "r"), nullptr);
    EXPECT_EQ(TreeNode::FindByTag(t.a1, nullptr, "a1"), t.a1);
    EXPECT_EQ(TreeNode::FindByTag(t.a1, nullptr, "r"), nullptr);  // a leaf tests only itself
    TreeNode outside("b1");
    EXPECT_EQ(TreeNode::FindByTag(t.r, &outside, "b1"), nullptr);
    t.a1->AddPair("desc", "Abc");
    t.b1->SetTag("a1");
    t.b1->AddPair("desc", "Axy");
    EXPECT_EQ(TreeNode::FindByAttribute(t.r, nullptr, "a1", "desc", "A*y"), t.b1);
    EXPECT_EQ(TreeNode::FindByAttribute(t.r, t.a1, "a1", "desc", "A*"), t.b1);
    EXPECT_EQ(TreeNode::FindByAttribute(t.r, nullptr, "a1", "desc", "a*"), nullptr);
}

TEST(TreeNodeCounts, DetachMovesReferences) {
    auto* r = new TreeNode("r");
    auto* c = new TreeNode("c");
    TreeNode::AppendChild(r, c);
    r->AddNodeRef();
    c->AddNodeRef();
    EXPECT_EQ(r->TreeRefCount(), 2);
    TreeNode::Detach(c);
    EXPECT_EQ(r->TreeRefCount(), 1);
    EXPECT_EQ(c->TreeRefCount(), 1);
    EXPECT_EQ(c->Root(), c);
    EXPECT_EQ(r->ChildCount(), 0);
    TreeNode::Detach(c);  // a root: nothing
    EXPECT_EQ(c->TreeRefCount(), 1);

    auto* other = new TreeNode("o");
    other->AddNodeRef();
    c->AddNodeRef();  // c now carries 2 references
    EXPECT_TRUE(TreeNode::AppendChild(other, c));
    EXPECT_EQ(other->TreeRefCount(), 3);
    EXPECT_EQ(c->OwnTreeCount(), 0);
    EXPECT_EQ(c->Root(), other);
    delete r;
    delete other;
}

TEST(TreeNodeCounts, DetachingTheOnlyHandlesFreesTheRest) {
    // Under LeakSanitizer a leak of r or its other children fails the run.
    auto* r = new TreeNode("r");
    auto* keep = new TreeNode("keep");
    auto* sibling = new TreeNode("sibling");
    TreeNode::AppendChild(r, keep);
    TreeNode::AppendChild(r, sibling);
    TreeNode::AppendChild(sibling, new TreeNode("deep"));
    keep->AddNodeRef();
    TreeNode::Detach(keep);  // r had no reference left: r, sibling and deep are gone
    EXPECT_EQ(keep->Root(), keep);
    EXPECT_EQ(keep->TreeRefCount(), 1);
    EXPECT_EQ(keep->Parent(), nullptr);
    keep->ReleaseNodeRef();
    EXPECT_EQ(keep->TreeRefCount(), 0);
    TreeNode::DeleteTree(keep);
}

TEST(TreeNode, DeepTreesAreFreedAndWalkedWithoutRecursion) {
    auto* root = new TreeNode("d");
    TreeNode* n = root;
    for (int i = 0; i < 1000000; ++i) {
        auto* child = new TreeNode("d");
        TreeNode::AppendChild(n, child);
        n = child;
    }
    n->AddNodeRef();
    EXPECT_EQ(root->SubtreeRefSum(), 1);
    EXPECT_EQ(TreeNode::FindByTag(root, nullptr, "zzz"), nullptr);
    n->ReleaseNodeRef();
    delete root;
}

TEST(TreeNode, NodeStorageIsReturnedWithTheLastNode) {
    size_t before = velmarq::NodePool::LiveCount();
    auto* root = new TreeNode("r");
    for (int i = 0; i < 10000; ++i) TreeNode::AppendChild(root, new TreeNode("c"));
    EXPECT_EQ(velmarq::NodePool::LiveCount(), before + 10001);
    delete root;
    EXPECT_EQ(velmarq::NodePool::LiveCount(), before);
}

TEST(AttributeSet, LongNamesAndValuesKeepTheirBytes) {
    AttributeSet a;
    std::string longName(200, 'n');
    std::string longValue(20000, 'v');
    longValue += "\xD6\xD0";
    a.AddPair("a", longValue.c_str());
    a.AddPair(longName.c_str(), "x");
    a.AddPair("a", "y");
    EXPECT_EQ(ValueOf(a, longName.c_str()), "x");
    EXPECT_EQ(ValueOf(a, "a"), longValue);
    a.RemoveAllNamed("a");
    ASSERT_EQ(a.PairCount(), 1);
    EXPECT_EQ(Name(a, 0), longName);
    a.AddPair("z", longValue.c_str());
    StringBuffer n, v;
    ASSERT_TRUE(a.PairAt(1, n, v));
    EXPECT_STREQ(n.Data(), "z");
    EXPECT_EQ(std::string(v.Data(), v.Length()), longValue);
    a.ClearPairs();
    EXPECT_EQ(a.PairCount(), 0);
    EXPECT_EQ(ValueOf(a, "z"), "<none>");
}
