// The parser's tolerance rules, checked on the trees it builds.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Logger.h"
#include "ParseEngine.h"
#include "TimingTestSupport.h"
#include "TreeNode.h"

using namespace velmarq;

namespace {

struct TreeDeleter {
    void operator()(TreeNode* n) const { delete n; }
};
using Tree = std::unique_ptr<TreeNode, TreeDeleter>;

Tree Parse(const std::string& text, LogBase* log = nullptr) {
    return Tree(ParseXmlBytes(text.data(), static_cast<int>(text.size()), log, nullptr));
}

std::string Content(const TreeNode* n) {
    return n && n->Content() ? std::string(n->Content()->Data(), n->Content()->Length()) : "";
}

std::string Attr(const TreeNode* n, const char* name) {
    StringBuffer v;
    return n->ValueOf(name, v) ? std::string(v.Data()) : "<none>";
}

std::string Pair(const TreeNode* n, int i) {
    StringBuffer name, value;
    n->AttributePairAt(i, name, value);
    return std::string(name.Data()) + "=" + value.Data();
}

}  // namespace

TEST(ParserText, RunsAreTrimmedAndJoinedWithOneBlank) {
    Tree t = Parse("<a>x<b/></a>");
    ASSERT_TRUE(t);
    EXPECT_EQ(Content(t.get()), "x ");
    EXPECT_EQ(t->ChildCount(), 1);
    EXPECT_STREQ(t->ChildAt(0)->Tag(), "b");
    t = Parse("<a>  x  <b/>  y  </a>");
    EXPECT_EQ(Content(t.get()), "x y");
    t = Parse("<a>\n  <b/>\n</a>");
    EXPECT_EQ(t->Content(), nullptr);  // blank runs make no content
    t = Parse("junk before <r>in</r> junk after");
    EXPECT_EQ(Content(t.get()), "in");
}

TEST(ParserText, EntitiesDecodeFourNamesOnly) {
    Tree t = Parse("<a>&amp;lt; &#65; &apos; &lt;&gt;&quot;&amp;</a>");
    EXPECT_EQ(Content(t.get()), "&lt; &#65; &apos; <>\"&");
    t = Parse("<a v=\"&quot;x&quot; &amp;amp;\"/>");
    EXPECT_EQ(Attr(t.get(), "v"), "\"x\" &amp;");
}

TEST(ParserText, DecodingInOnePassMatchesTheEntityOrder) {
    // The decoder must give what replacing each entity over the whole text in turn gives.
    const char* pieces[] = {"&", "lt;", "gt;", "quot;", "amp;", "a", ";", "&amp;", "&l"};
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        std::string s;
        int n = static_cast<int>(rng() % 8);
        for (int i = 0; i < n; ++i) s += pieces[rng() % 9];
        StringBuffer expect(s.c_str());
        expect.ReplaceAll("&lt;", "<");
        expect.ReplaceAll("&gt;", ">");
        expect.ReplaceAll("&quot;", "\"");
        expect.ReplaceAll("&amp;", "&");
        StringBuffer got(s.c_str());
        ParseEngine::DecodeEntities(got);
        ASSERT_STREQ(got.Data(), expect.Data()) << s;
    }
}

TEST(ParserText, Cdata) {
    Tree t = Parse("<a><![CDATA[ <b> ]]></a>");
    EXPECT_EQ(Content(t.get()), " <b> ");
    EXPECT_EQ(t->ChildCount(), 0);
    EXPECT_TRUE(t->IsCdata());
    t = Parse("<a>x<![CDATA[lost]]></a>");
    EXPECT_EQ(Content(t.get()), "x ");
    t = Parse("<a><![CDATA[a]b]]]></a>");
    EXPECT_EQ(Content(t.get()), "a]b]");
    t = Parse("<a><![CDATA[never closed");
    ASSERT_TRUE(t);
    EXPECT_EQ(Content(t.get()), "never closed");
}

TEST(ParserTags, EndTagsCloseTheInnermostElement) {
    Tree t = Parse("<a><b></c></a>");
    ASSERT_TRUE(t);
    EXPECT_STREQ(t->Tag(), "a");
    ASSERT_EQ(t->ChildCount(), 1);
    EXPECT_STREQ(t->ChildAt(0)->Tag(), "b");
    t = Parse("<r><x></r><y/></r>");  // the first </r> closes x
    ASSERT_EQ(t->ChildCount(), 2);
    EXPECT_STREQ(t->ChildAt(1)->Tag(), "y");
}

TEST(ParserTags, BrokenClosingTag) {
    Logger log;
    Tree t = Parse("<a><b></b<c/></a>", &log);
    ASSERT_TRUE(t);
    EXPECT_STREQ(t->Tag(), "a");
    ASSERT_EQ(t->ChildCount(), 2);  // b closed at the '<', then c is a's child
    EXPECT_STREQ(t->ChildAt(1)->Tag(), "c");
    StringBuffer xml;
    log.Log().Render(0, log.Log().EntryCount() - 1, false, "\n", xml);
    EXPECT_NE(std::string(xml.Data()).find("<error>Error in closing tag</error>"),
              std::string::npos);
    EXPECT_NE(std::string(xml.Data()).find("<error_tag>b</error_tag>"), std::string::npos);
}

TEST(ParserAttributes, UnquotedValuesRunToAQuoteOrTheEnd) {
    Tree t = Parse("<a b=1 c=2>");
    ASSERT_TRUE(t);
    ASSERT_EQ(t->AttributeCount(), 1);
    EXPECT_EQ(Attr(t.get(), "b"), "1 c=2");
    t = Parse("<r><a b=1/><x/></r>");
    TreeNode* a = t->ChildAt(0);
    EXPECT_EQ(Attr(a, "b"), "1/");
    ASSERT_EQ(a->ChildCount(), 1);  // a stayed open
    t = Parse("<a t='1' t='2' e f = \"g\"/>");
    ASSERT_EQ(t->AttributeCount(), 4);
    EXPECT_EQ(Pair(t.get(), 0), "t=1");
    EXPECT_EQ(Pair(t.get(), 1), "t=2");
    EXPECT_EQ(Pair(t.get(), 2), "e=");
    EXPECT_EQ(Pair(t.get(), 3), "f=g");
}

// Software that writes '>' or "/>" into a quoted value (a->b) must not cut the document short.
TEST(ParserAttributes, QuotedValueEndsOnlyAtItsClosingQuote) {
    Tree t = Parse("<a v=\"x>y\" w='p/>q' u=\"'>'\">z</a>");
    ASSERT_TRUE(t);
    EXPECT_EQ(Attr(t.get(), "v"), "x>y");
    EXPECT_EQ(Attr(t.get(), "w"), "p/>q");
    EXPECT_EQ(Attr(t.get(), "u"), "'>'");
    EXPECT_EQ(Content(t.get()), "z");
    t = Parse("<doc><page><text value=\"a->b\"/></page><page/></doc>");
    ASSERT_TRUE(t);
    ASSERT_EQ(t->ChildCount(), 2);
    ASSERT_EQ(t->ChildAt(0)->ChildCount(), 1);
    EXPECT_EQ(Attr(t->ChildAt(0)->ChildAt(0), "value"), "a->b");
    EXPECT_EQ(t->ChildAt(0)->ChildAt(0)->ChildCount(), 0);
    // A quote that never closes takes the rest of the document: no tree.
    EXPECT_FALSE(Parse("<doc><page><text value=\"a/></page><page/></doc>"));
    EXPECT_FALSE(Parse("<doc><text value='a>b\"/></doc>"));
}

TEST(ParserAttributes, TaglessElement) {
    Tree t = Parse("< /a>");
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->HasTag());
    EXPECT_EQ(Attr(t.get(), "a"), "");
    EXPECT_EQ(t->AttributeCount(), 1);
}

TEST(ParserDocument, TopLevelRules) {
    Tree t = Parse("<r1/><r2/>");
    ASSERT_TRUE(t);
    EXPECT_STREQ(t->Tag(), "r2");
    t = Parse("<a><b>");
    ASSERT_TRUE(t);
    EXPECT_STREQ(t->Tag(), "a");
    ASSERT_EQ(t->ChildCount(), 1);
    EXPECT_STREQ(t->ChildAt(0)->Tag(), "b");
    EXPECT_FALSE(Parse("only text"));
    EXPECT_FALSE(Parse(""));
    t = Parse("<done/><open><more>");
    EXPECT_STREQ(t->Tag(), "done");  // the open tree after it is discarded
    t = Parse("<a x=\"1\" y=2");
    ASSERT_TRUE(t);
    EXPECT_EQ(Attr(t.get(), "x"), "1");
    EXPECT_EQ(Attr(t.get(), "y"), "2");
    EXPECT_FALSE(Parse("<a x=\"1\" y=\"2"));  // cut off inside a quoted value
}

TEST(ParserDocument, DeclarationAndDoctype) {
    Tree t = Parse("<?XML version=\"1.0\" encoding=\"UTF-16\"?><r/>");
    ASSERT_TRUE(t);
    EXPECT_STREQ(t->Tag(), "r");
    ASSERT_NE(t->Declaration(), nullptr);
    EXPECT_STREQ(t->Declaration()->Tag(), "XML");
    StringBuffer enc;
    ASSERT_TRUE(t->GetDeclaredEncoding(enc));
    EXPECT_STREQ(enc.Data(), "utf-8");
    std::string doctype = "<!doctype r [<!ENTITY e \"v\">]>";
    t = Parse(doctype + "<?pi data?><r/>");
    ASSERT_NE(t->DtdText(), nullptr);
    EXPECT_EQ(std::string(t->DtdText()->Data()), doctype + "\n<?pi data?>\n");
    t = Parse("<!-- c --><r/><!-- open");
    ASSERT_TRUE(t);
    EXPECT_STREQ(t->Tag(), "r");
    t = Parse("<!ELEMENT x><r/>");
    EXPECT_STREQ(t->Tag(), "r");
}

TEST(ParserRobustness, BrokenInputEndsAndConsumesEverything) {
    const char* inputs[] = {"<",
                            "<a",
                            "<a ",
                            "<a b",
                            "<a b=",
                            "<a b='",
                            "<?xml ",
                            "<?xml a",
                            "<?xml a=\"",
                            "<?",
                            "<!",
                            "<!DOCTYPE [<",
                            "</",
                            "<a></",
                            "<a><",
                            "<a>< ",
                            "<<<<>>>>",
                            "<a/ / / ",
                            "<?xml ?",
                            "<a>&",
                            "<a x='1'\"=\"/>",
                            "<?xml a=\"x\ny\"?><r/>"};
    for (const char* in : inputs) {
        Tree t = Parse(in);  // must return, whatever it gives
        SUCCEED() << in;
    }
    std::string withNul("<a>x\0<b/></a>", 13);
    Tree t = Parse(withNul);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->ChildCount(), 0);  // the NUL ends the input
}

TEST(ParserRobustness, MillionNestedUnclosedElements) {
    std::string text;
    text.reserve(4000000);
    for (int i = 0; i < 1000000; ++i) text += "<e>";
    Tree t = Parse(text);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->ChildCount(), 1);
}

// The processor time of parsing and freeing text, the best of three runs.
double ParseAndFreeMs(const std::string& text) {
    return testtiming::BestCpuMs([&] { Parse(text); });
}

// The parse and free of larger takes less than factor times that of smaller, plus slackMs
// (times the machine's slowdown) for the timer's grain and small inputs.
void ExpectAtMost(const std::string& smaller, const std::string& larger, double factor,
                  double slackMs) {
    const double one = ParseAndFreeMs(smaller);
    const double other = ParseAndFreeMs(larger);
    EXPECT_LT(other, factor * one + slackMs * testtiming::kSlowdown)
        << one << " ms, then " << other << " ms";
}

// Doubling the input at most about doubles the time of a parse and free (a quadratic cost
// quadruples it).
void ExpectLinear(const std::string& once, const std::string& twice) {
    ExpectAtMost(once, twice, 2.6, 5);
}

// A "<?" without "?>" searches the rest of the input once, not once per "<?".
TEST(ParserRobustness, UnclosedProcessingInstructionsAreOnePass) {
    auto make = [](int n) {
        std::string text = "<r>";
        for (int i = 0; i < n; ++i) text += "<?a";
        return text;
    };
    Tree t = Parse(make(10));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Tag(), std::string("r"));
    ExpectLinear(make(100000), make(200000));
}

// Every distinct tag is one entry of the process-wide tag pool: loading and freeing a record
// of as many distinct field tags as there are fields stays linear.
TEST(ParserRobustness, DistinctTagsLoadAndFreeInLinearTime) {
    auto make = [](int n) {
        std::string text = "<root><record>";
        for (int i = 0; i < n; ++i) text += "<field" + std::to_string(i) + " value=\"v\"/>";
        return text + "</record></root>";
    };
    Tree t = Parse(make(3));
    ASSERT_TRUE(t);
    EXPECT_STREQ(t->ChildAt(0)->ChildAt(2)->Tag(), "field2");
    // Every new tag is an entry of its own in memory: until they outgrow the processor's caches
    // each one costs more than the one before, and on a busy machine that can make one doubling
    // cost nearly three times as much. Four times the input, where a walk of the pool at every
    // tag would take sixteen times as long, keeps that apart from a quadratic cost even on a
    // machine busy enough to make it cost ten times as much.
    ExpectAtMost(make(80000), make(320000), 10, 20);
}

// DTD text before many top-level elements goes to the last of them, copied once.
TEST(ParserRobustness, DtdTextBeforeManyTopLevelElementsIsCopiedOnce) {
    auto make = [](int n) {
        std::string text = "<!DOCTYPE r [";
        for (int i = 0; i < n; ++i) text += "<!ENTITY e" + std::to_string(i) + " 'v'>";
        text += "]><?pi x?>";
        for (int i = 0; i < n; ++i) text += "<e/>";
        return text + "<last/>";
    };
    Tree t = Parse(make(2));
    ASSERT_TRUE(t);
    EXPECT_STREQ(t->Tag(), "last");
    ASSERT_NE(t->DtdText(), nullptr);
    EXPECT_STREQ(t->DtdText()->Data(),
                 "<!DOCTYPE r [<!ENTITY e0 'v'><!ENTITY e1 'v'>]>\n<?pi x?>\n");
    ExpectLinear(make(10000), make(20000));
}

TEST(ParserDocument, ProgressFollowsClosingTags) {
    struct Recorder : ProgressCallback {
        void Progress(void*, void*, unsigned percent, bool*) override { seen.push_back(percent); }
        std::vector<unsigned> seen;
    } recorder;
    ProgressMonitor monitor(&recorder);
    std::string text = "<r><a></a><b></b></r>";
    Tree t(ParseXmlBytes(text.data(), static_cast<int>(text.size()), nullptr, &monitor));
    ASSERT_TRUE(t);
    ASSERT_FALSE(recorder.seen.empty());
    EXPECT_EQ(recorder.seen.back(), 100u);
    EXPECT_EQ(monitor.Total(), text.size());
    for (size_t i = 1; i < recorder.seen.size(); ++i)
        EXPECT_GT(recorder.seen[i], recorder.seen[i - 1]);
}
