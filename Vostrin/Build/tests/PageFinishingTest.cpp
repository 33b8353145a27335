#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <random>

#include "Build/BlankPages.h"
#include "Build/PageFinishing.h"
#include "BuildTestSupport.h"
#include "TimingTestSupport.h"

using namespace TVostrin;
using buildtest::Compact;
using buildtest::Dump;
using buildtest::Pages;
using buildtest::Parse;

namespace {

struct Finished {
    TXml* root = nullptr;
    int envelopes = -1, sheets = -1, pages = -1;
    ~Finished() { delete root; }
};

// A root of pages; each entry is "desc:reporttable children" (desc may be empty).
std::string RootOf(const std::vector<std::string>& pages) {
    std::string xml = "<root docname=\"d\">";
    for (const auto& p : pages) {
        const size_t colon = p.find(':');
        const std::string desc = p.substr(0, colon);
        xml += "<page" + (desc.empty() ? std::string() : " desc=\"" + desc + "\"") +
               "><pagesetting><bin>B</bin></pagesetting><reporttable>" + p.substr(colon + 1) +
               "</reporttable></page>";
    }
    return xml + "</root>";
}

void Finish(Finished* f, const std::string& rootXml, bool duplex, const TXml* envelope = nullptr,
            const std::string& ini = "") {
    f->root = Parse(rootXml).release();
    FinishPages(duplex, ini, const_cast<TXml*>(envelope), &f->root, &f->envelopes, &f->sheets,
                &f->pages);
}

std::vector<std::string> Repeat(const std::string& page, int n) {
    return std::vector<std::string>(static_cast<size_t>(n), page);
}

const char* kMarks =
    R"(<linecode><begin><line m="b"/></begin><end><line m="e1"/><line m="e2"/></end></linecode>)";

// The "m" attributes of each page's lines, one text per page.
std::vector<std::string> Marks(const TXml* root) {
    std::vector<std::string> out;
    for (int i = 0; i < root->ChildCount(); ++i) {
        XmlPtr page(root->ChildAt(i));
        XmlPtr table(page->FirstChildByTag("reporttable"));
        std::string s;
        for (int c = 0; c < table->ChildCount(); ++c) {
            XmlPtr e(table->ChildAt(c));
            if (e->GetTag() == "line") s += e->AttributeValue("m");
            EXPECT_NE(e->GetTag(), "linecode");
        }
        out.push_back(s);
    }
    return out;
}

}  // namespace

TEST(FinishPages, PageNumbersAndTotalsCountOnlyBuiltPages) {
    Finished f;
    const std::string numbers = R"(<pages x="9"/><page x="1"/><text value="t"/>)";
    Finish(&f, RootOf({"A:" + numbers, "A:" + numbers, "B:" + numbers}), true);
    EXPECT_EQ(f.pages, 3);
    // The duplex blank after page 2 does not shift the numbers.
    EXPECT_EQ(Pages(f.root), (std::vector<std::string>{"A:t|1|3", "A:t|2|3", "B:t|3|3", "B:"}));
    XmlPtr first(f.root->ChildAt(0));
    EXPECT_EQ(Dump(first.get()),
              Compact(R"(<page desc="A"><pagesetting><bin>B</bin></pagesetting><reporttable>
                  <text value="t"/><text x="1" value="1"/><text x="9" value="3"/>
                  </reporttable></page>)"));
}

TEST(FinishPages, DuplexRunsOfEqualDescEndOnTheBackOfASheet) {
    Finished f;
    Finish(&f, RootOf({"A:", "A:", "A:", "B:", "B:"}), true);
    EXPECT_EQ(Pages(f.root), (std::vector<std::string>{"A:", "A:", "A:", "A:", "B:", "B:"}));
    XmlPtr blank(f.root->ChildAt(3));
    EXPECT_EQ(Dump(blank.get()),
              Compact(R"(<page desc="A"><pagesetting><bin>B</bin></pagesetting><reporttable>
                  <text x="0" y="0" fontname="Arail" fontsize="10" value=""/></reporttable>
                  </page>)"));
    EXPECT_EQ(f.sheets, 3);
    EXPECT_EQ(f.pages, 5);
    EXPECT_EQ(f.envelopes, 3);

    Finished g;
    Finish(&g, RootOf({"A:", "B:", "C:"}), true);
    EXPECT_EQ(g.root->ChildCount(), 6);
    EXPECT_EQ(g.sheets, 3);
    EXPECT_EQ(g.pages, 3);

    Finished simplex;
    Finish(&simplex, RootOf({"A:", "B:", "C:"}), false);
    EXPECT_EQ(simplex.root->ChildCount(), 3);
    EXPECT_EQ(simplex.sheets, 3);
}

TEST(FinishPages, DuplexBlanksForThousandsOfPagesTakeOnePass) {
    // 4,000 pages of alternating groups, mostly one page each, some two: a run of odd length
    // is followed by a blank side made from its last page.
    std::mt19937 random(4);
    std::vector<std::string> pages;
    std::vector<std::string> expected;
    std::string desc = "B";
    while (pages.size() < 4000) {
        desc = desc == "A" ? "B" : "A";
        const int run = random() % 4 == 0 ? 2 : 1;
        for (int i = 0; i < run; ++i) {
            const std::string value = std::to_string(pages.size());
            pages.push_back(desc + ":<text value=\"");
            pages.back().append(value).append("\"/>");
            expected.push_back(desc + ":");
            expected.back() += value;
        }
        if (run % 2 == 1) expected.push_back(desc + ":");
    }
    Finished f;
    f.root = Parse(RootOf(pages)).release();
    const double start = testtiming::ThreadCpuMs();
    FinishPages(true, "", nullptr, &f.root, &f.envelopes, &f.sheets, &f.pages);
    EXPECT_LT(testtiming::ThreadCpuMs() - start, 2000 * testtiming::kSlowdown);
    EXPECT_EQ(Pages(f.root), expected);
    EXPECT_EQ(f.pages, static_cast<int>(pages.size()));
    EXPECT_EQ(f.sheets, static_cast<int>(expected.size() + 1) / 2);
}

// A page of n texts, each followed by a page number, a page total, a sheet number and an
// envelope count. Every placeholder becomes a text at the end of the table, behind the others
// of its kind in its order; four times the placeholders take about four times as long, not
// sixteen.
TEST(FinishPages, PlaceholdersTakeOnePass) {
    const auto finish = [](int n, double* ms) {
        std::string table;
        for (int i = 0; i < n; ++i) {
            const std::string v = std::to_string(i);
            table.append("<text value=\"t").append(v).append("\"/><page x=\"").append(v);
            table += "\"/><pages/><envelope/><envelopes/>";
        }
        Finished f;
        *ms = testtiming::BestCpuMs([&] {
            delete f.root;
            f.root = Parse(RootOf({"A:" + table})).release();
            FinishPages(false, "", nullptr, &f.root, &f.envelopes, &f.sheets, &f.pages);
        });
        XmlPtr page(f.root->ChildAt(0));
        XmlPtr finished(page->FirstChildByTag("reporttable"));
        std::string expected = "A:";
        for (int i = 0; i < n; ++i) expected += "t" + std::to_string(i) + "|";
        for (int i = 0; i < 4 * n; ++i) expected += i + 1 < 4 * n ? "1|" : "1";
        EXPECT_EQ(Pages(f.root)[0], expected);
        XmlPtr lastNumber(finished->ChildAt(2 * n - 1));
        EXPECT_EQ(lastNumber->AttributeValue("x"), std::to_string(n - 1));
        return 0;
    };
    double small = 0, large = 0;
    finish(5000, &small);
    finish(20000, &large);
    EXPECT_LT(large, 8 * std::max(small, 20.0 * testtiming::kSlowdown)) << small;
}

TEST(FinishPages, SheetAndEnvelopeCountPlaceholdersInSimplex) {
    Finished f;
    Finish(&f, RootOf(Repeat(":<envelope/><envelopes/>", 4)), false);
    EXPECT_EQ(f.envelopes, 4);
    EXPECT_EQ(f.sheets, 4);
    EXPECT_EQ(f.pages, 4);
    EXPECT_EQ(Pages(f.root),
              (std::vector<std::string>{"page:1|4", "page:2|4", "page:3|4", "page:4|4"}));
}

TEST(FinishPages, EnvelopeMarksSimplex) {
    Finished f;
    Finish(&f, RootOf(Repeat(std::string(":<envelope/>") + kMarks, 12)), false);
    EXPECT_EQ(f.envelopes, 3);
    EXPECT_EQ(f.sheets, 12);
    EXPECT_EQ(f.pages, 12);
    const std::string e = "e1e2";
    EXPECT_EQ(Marks(f.root),
              (std::vector<std::string>{"b", "b", "b", "b", e, "b", "b", "b", "b", e, "b", e}));
    // Each page's "envelope" placeholder reads the number of its envelope.
    const auto pages = Pages(f.root);
    EXPECT_EQ(pages[0], "page:1|");
    EXPECT_EQ(pages[4], "page:1||");
    EXPECT_EQ(pages[5], "page:2|");
    EXPECT_EQ(pages[11], "page:3||");
}

TEST(FinishPages, EnvelopeMarksDuplex) {
    Finished f;
    Finish(&f, RootOf(Repeat(std::string(":") + kMarks, 12)), true);
    EXPECT_EQ(f.root->ChildCount(), 12);
    EXPECT_EQ(f.envelopes, 2);
    EXPECT_EQ(f.sheets, 6);
    const std::string e = "e1e2";
    EXPECT_EQ(Marks(f.root),
              (std::vector<std::string>{"b", "b", "b", "b", "b", "b", "b", "b", e, e, e, e}));
}

TEST(FinishPages, EnvelopePagesGoInFrontOfEachEnvelope) {
    auto envelope = Parse(Compact(R"(<page envelope="true"><reporttable><envelope/>
        <page/><text value="E"/></reporttable></page>)"));
    Finished f;
    std::vector<std::string> seven;
    for (int i = 1; i <= 7; ++i)
        seven.push_back(":<text value=\"p" + std::to_string(i) + "\"/><envelope/>");
    Finish(&f, RootOf(seven), false, envelope.get());
    EXPECT_EQ(f.envelopes, 2);
    EXPECT_EQ(f.sheets, 7);
    EXPECT_EQ(f.pages, 7);
    // Envelope pages keep their "page" placeholder unfilled.
    EXPECT_EQ(Pages(f.root), (std::vector<std::string>{"page:|E|1", "page:p1|1", "page:p2|1",
                                                       "page:p3|1", "page:p4|1", "page:p5|1",
                                                       "page:|E|2", "page:p6|2", "page:p7|2"}));
    XmlPtr root(f.root->ChildAt(0));
    EXPECT_EQ(f.root->GetTag(), "root");
    EXPECT_EQ(f.root->AttributeValue("docname"), "d");
}

TEST(FinishPages, EnvelopePagesInDuplexHaveABlankBack) {
    auto envelope = Parse(R"(<page envelope="true"><reporttable><text value="E"/></reporttable>
        </page>)");
    Finished f;
    Finish(&f, RootOf({"A:<text value=\"a\"/>", "A:<text value=\"b\"/>"}), true, envelope.get());
    EXPECT_EQ(Pages(f.root), (std::vector<std::string>{"page:E", "page:", "A:a", "A:b"}));
    EXPECT_EQ(f.envelopes, 1);
    EXPECT_EQ(f.sheets, 1);

    // No pages at all: the envelope page alone.
    Finished none;
    auto env2 = Parse(R"(<page envelope="true"><reporttable><envelope/></reporttable></page>)");
    Finish(&none, "<root/>", false, env2.get());
    EXPECT_EQ(Pages(none.root), (std::vector<std::string>{"page:1"}));
    EXPECT_EQ(none.envelopes, 1);
    EXPECT_EQ(none.sheets, 0);
}

TEST(GetMaxPages, ReadsTheEnvelopeSizeAndFallsBackTo5) {
    QTemporaryDir dir;
    const std::string ini = dir.filePath("layout.ini").toStdString();
    EXPECT_EQ(GetMaxPages(""), 5);
    EXPECT_EQ(GetMaxPages(dir.filePath("missing.ini").toStdString()), 5);
    const std::pair<const char*, int> cases[] = {
        {"[Envelope]\r\nMaxPages=7\r\n", 7},   {"[envelope]\r\nmaxpages=3\r\n", 3},
        {"[Envelope]\r\nMaxPages=0\r\n", 5},   {"[Envelope]\r\nMaxPages=-3\r\n", 5},
        {"[Envelope]\r\nMaxPages=abc\r\n", 5}, {"[Other]\r\nMaxPages=7\r\n", 5},
    };
    for (const auto& [text, expected] : cases) {
        buildtest::WriteFile(ini, text);
        EXPECT_EQ(GetMaxPages(ini), expected) << text;
    }
}

TEST(FinishPages, NonPositiveMaxPagesUsesFivePagesPerEnvelope) {
    QTemporaryDir dir;
    const std::string ini = dir.filePath("layout.ini").toStdString();
    buildtest::WriteFile(ini, "[Envelope]\r\nMaxPages=0\r\n");
    Finished f;
    Finish(&f, RootOf(Repeat(std::string(":") + kMarks, 7)), false, nullptr, ini);
    EXPECT_EQ(f.envelopes, 2);
}

TEST(BlankPages, MarkedBlankCarriesTheEnvelopeMarks) {
    auto page = Parse(Compact(std::string(R"(<page desc="A" n="1"><pagesetting><paperkind>A4
        </paperkind><deep><x/></deep></pagesetting><reporttable><text value="a"/>)") +
                              kMarks + "</reporttable></page>"));
    XmlPtr marked(MakeMarkedBlankPage(page.get()));
    XmlPtr plain(MakeBlankPage(page.get()));
    const std::string blankText = R"(<text x="0" y="0" fontname="Arail" fontsize="10" value=""/>)";
    XmlPtr setting(page->FirstChildByTag("pagesetting"));
    const std::string head = R"(<page desc="A" n="1">)" + Dump(setting.get());
    EXPECT_EQ(Dump(plain.get()), head + "<reporttable>" + blankText + "</reporttable></page>");
    EXPECT_EQ(Dump(marked.get()),
              head + "<reporttable>" + blankText + kMarks + "</reporttable></page>");
    EXPECT_EQ(MakeBlankPage(nullptr), nullptr);
    EXPECT_EQ(MakeMarkedBlankPage(nullptr), nullptr);
}
