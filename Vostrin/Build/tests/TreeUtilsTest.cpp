#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "Build/TreeUtils.h"
#include "BuildTestSupport.h"

using namespace TVostrin;
using buildtest::Dump;
using buildtest::Parse;

TEST(CutAtFirst, CutsAtTheFirstSeparatorOnly) {
    std::string head, rest = "a,b,c";
    EXPECT_EQ(CutAtFirst(&head, &rest, ","), 0);
    EXPECT_EQ(head, "a");
    EXPECT_EQ(rest, "b,c");

    rest = "abc";
    EXPECT_EQ(CutAtFirst(&head, &rest, ","), 0);
    EXPECT_EQ(head, "abc");
    EXPECT_EQ(rest, "");

    rest = "";
    head = "left over";
    EXPECT_EQ(CutAtFirst(&head, &rest, ","), -1);
    EXPECT_EQ(head, "");

    rest = "a\r\nb";
    EXPECT_EQ(CutAtFirst(&head, &rest, "\r\n"), 0);
    EXPECT_EQ(head, "a");
    EXPECT_EQ(rest, "b");
}

TEST(SplitAtEach, DropsEmptyPieces) {
    std::vector<std::string> list{"stale"};
    EXPECT_EQ(SplitAtEach(&list, ",a,,b,", ","), 0);
    EXPECT_EQ(list, (std::vector<std::string>{"a", "b"}));
    SplitAtEach(&list, "", ",");
    EXPECT_TRUE(list.empty());
}

TEST(CopyTree, CopiesEveryLevelWithAttributeOrderAndDuplicates) {
    auto tree = Parse(R"(<a z="1" y="2"><b q="x"><c deep="1">text</c></b><d/></a>)");
    tree->AddAttribute("z", "3");  // a second pair with the same name
    XmlPtr copy(CopyTree(tree.get()));
    EXPECT_EQ(Dump(copy.get()), Dump(tree.get()));
    EXPECT_EQ(Dump(copy.get()),
              R"(<a z="1" y="2" z="3"><b q="x"><c deep="1">text</c></b><d/></a>)");
    // The copy is a tree of its own.
    XmlPtr b(copy->ChildAt(0));
    b->SetTag("changed");
    XmlPtr original(tree->ChildAt(0));
    EXPECT_EQ(original->GetTag(), "b");
    EXPECT_EQ(CopyTree(nullptr), nullptr);
}

TEST(CopyTree, CopiesTreesOfAnyDepthAndShape) {
    // A random tree some thousands of levels deep and bushy on the way, with a chain of 100,000
    // nested elements at its end.
    std::mt19937 random(5);
    std::string xml = "<r>";
    int depth = 0;
    for (int opened = 0; opened < 20000;) {
        if (depth > 0 && random() % 3 == 0) {
            xml += "</e>";
            --depth;
            continue;
        }
        xml += "<e n=\"" + std::to_string(opened++) + "\"" + (random() % 2 ? " b=\"x\">" : ">");
        if (random() % 4 == 0) xml += "t" + std::to_string(opened);
        ++depth;
    }
    for (; depth > 0; --depth) xml += "</e>";
    for (int i = 0; i < 100000; ++i) xml += "<c>";
    for (int i = 0; i < 100000; ++i) xml += "</c>";
    auto tree = Parse(xml + "</r>");
    XmlPtr copy(CopyTree(tree.get()));
    ASSERT_TRUE(copy);

    // Both trees walked side by side.
    std::vector<std::pair<XmlPtr, XmlPtr>> pending;
    auto same = [&pending](const TXml* a, const TXml* b) {
        if (a->GetTag() != b->GetTag() || a->GetContent() != b->GetContent() ||
            a->ChildCount() != b->ChildCount() || a->AttributeCount() != b->AttributeCount())
            return false;
        for (int i = 0; i < a->AttributeCount(); ++i)
            if (a->AttributeNameAt(i) != b->AttributeNameAt(i) ||
                a->AttributeValueAt(i) != b->AttributeValueAt(i))
                return false;
        for (int i = 0; i < a->ChildCount(); ++i)
            pending.emplace_back(a->ChildAt(i), b->ChildAt(i));
        return true;
    };
    ASSERT_TRUE(same(tree.get(), copy.get()));
    size_t nodes = 1;
    while (!pending.empty()) {
        const auto [a, b] = std::move(pending.back());
        pending.pop_back();
        ASSERT_TRUE(same(a.get(), b.get())) << a->AttributeValue("n");
        ++nodes;
    }
    EXPECT_EQ(nodes, 1u + 20000u + 100000u);
}

TEST(InsertChildAt, InsertsKeepsOrderAndFollowerHandles) {
    auto tree = Parse("<p><a/><b/><c/></p>");
    TXml* parent = tree.get();
    XmlPtr b(tree->ChildAt(1));
    XmlPtr x(new TXml());
    x->SetTag("x");
    EXPECT_TRUE(InsertChildAt(&parent, 1, x.get()));
    EXPECT_EQ(Dump(tree.get()), "<p><a/><x/><b/><c/></p>");
    // The handle on a follower still designates the node in the tree.
    b->SetAttribute("moved", "yes");
    EXPECT_EQ(Dump(tree.get()), R"(<p><a/><x/><b moved="yes"/><c/></p>)");

    XmlPtr y(new TXml());
    y->SetTag("y");
    EXPECT_TRUE(InsertChildAt(&parent, 4, y.get()));  // index = child count appends
    EXPECT_EQ(tree->ChildCount(), 5);
    XmlPtr last(tree->ChildAt(4));
    EXPECT_EQ(last->GetTag(), "y");

    XmlPtr z(new TXml());
    z->SetTag("z");
    EXPECT_FALSE(InsertChildAt(&parent, 6, z.get()));
    EXPECT_FALSE(InsertChildAt(&parent, -1, z.get()));
    EXPECT_EQ(tree->ChildCount(), 5);
    EXPECT_TRUE(InsertChildAt(&parent, 0, nullptr));
    EXPECT_EQ(tree->ChildCount(), 5);
    TXml* none = nullptr;
    EXPECT_FALSE(InsertChildAt(&none, 0, z.get()));
}

TEST(IntAttribute, ReadsDecimalsAndFallsBackOnAnythingElse) {
    auto node = Parse(R"(<n a="12" b="-4" c="" d="x1" e="3x" f=" 7 " g="99999999999"/>)");
    EXPECT_EQ(IntAttribute(node.get(), "a", 1), 12);
    EXPECT_EQ(IntAttribute(node.get(), "b", 1), -4);
    EXPECT_EQ(IntAttribute(node.get(), "c", 1), 1);
    EXPECT_EQ(IntAttribute(node.get(), "d", 1), 1);
    EXPECT_EQ(IntAttribute(node.get(), "e", 1), 1);
    EXPECT_EQ(IntAttribute(node.get(), "f", 1), 7);
    EXPECT_EQ(IntAttribute(node.get(), "g", 1), 1);
    EXPECT_EQ(IntAttribute(node.get(), "missing", 5), 5);
}
