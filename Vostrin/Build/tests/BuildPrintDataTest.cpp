#include <gtest/gtest.h>

#include <QString>
#include <algorithm>
#include <cstdio>

#include "Build/CBuildPrintData.h"
#include "Build/ErrorLog.h"
#include "Build/PageLoop.h"
#include "BuildTestSupport.h"
#include "ChildCostTestSupport.h"
#include "TimingTestSupport.h"
#include "text/Gbk.h"

using namespace TVostrin;
using buildtest::Compact;
using buildtest::Dump;
using buildtest::LoadData;
using buildtest::Pages;
using buildtest::Parse;

namespace {

using Strings = std::vector<std::string>;

// One build through BuildPrintable; the printable tree and counts stay for the checks.
struct Built {
    int status = -9999;
    int envelopes = -1, sheets = -1, pages = -1;
    TXml* printable = nullptr;
    bool duplex = false;
    ~Built() { delete printable; }
};

void BuildTree(Built* b, const TXml* data, const TXml* layout, const std::string& ini = "") {
    CBuildPrintData builder;
    b->status = builder.BuildPrintable(const_cast<TXml*>(data), ini, const_cast<TXml*>(layout),
                                       &b->envelopes, &b->sheets, &b->pages, &b->printable);
    b->duplex = builder.Duplex();
    ASSERT_EQ(b->status, 0);
    ASSERT_NE(b->printable, nullptr);
}

void BuildFiles(Built* b, const std::string& data, const std::string& layout) {
    auto d = LoadData(data);
    auto l = LoadData(layout);
    BuildTree(b, d.get(), l.get());
}

// A page template printing `per` records a page as "<desc>", flags given as attribute text.
std::string RecordPage(const std::string& desc, const std::string& flags, int per = 1) {
    return "<page desc=\"" + desc + "\" " + flags + "><reporttable><record><row repeatnum=\"" +
           std::to_string(per) + "\"><field>name</field></row></record></reporttable></page>";
}

std::string Layout(const std::string& pages, const std::string& pagesAttrs = "") {
    return "<layout><pages " + pagesAttrs + ">" + pages + "</pages></layout>";
}

std::string Records(int n) {
    std::string xml = "<data docname=\"n\"><record>";
    for (int i = 0; i < n; ++i) xml += "<tr><name value=\"r" + std::to_string(i) + "\"/></tr>";
    return xml + "</record></data>";
}

}  // namespace

TEST(BuildPrintData, TwoRecordPagesAlternateOverThreeRecords) {
    Built b;
    BuildFiles(&b, "three_records.xml", "pages_ab.xml");
    auto expected = Parse(Compact(buildtest::ReadFile(TW_TEST_DATA_DIR "/expected_ab.xml")));
    EXPECT_EQ(Dump(b.printable), Dump(expected.get()));
    EXPECT_EQ(b.pages, 6);
    EXPECT_EQ(b.sheets, 6);
    EXPECT_EQ(b.envelopes, 6);
    EXPECT_FALSE(b.duplex);
}

TEST(BuildPrintData, ContinuePageRepeatsUntilItsRecordsAreUsed) {
    Built b;
    BuildFiles(&b, "five_records.xml", "continue_two.xml");
    EXPECT_EQ(Pages(b.printable), (Strings{"A:r0|r1", "A:r2|r3", "A:r4"}));
    XmlPtr second(b.printable->ChildAt(1));
    XmlPtr table(second->FirstChildByTag("reporttable"));
    XmlPtr slot1(table->ChildAt(1));
    EXPECT_EQ(slot1->AttributeValue("y"), "150");
    EXPECT_EQ(b.pages, 3);
}

TEST(BuildPrintData, PrintOnceCoverPrintsOnce) {
    Built b;
    BuildFiles(&b, "five_records.xml", "cover_once.xml");
    EXPECT_EQ(Pages(b.printable), (Strings{"cover:Cover", "B:r0|r1", "B:r2|r3", "B:r4"}));
}

TEST(BuildPrintData, RecordContinueHandsTheCursorOn) {
    auto data = Parse(Records(3));
    auto layout = Parse(Layout(RecordPage("A", "record_continue=\"true\"") + RecordPage("B", "")));
    Built b;
    BuildTree(&b, data.get(), layout.get());
    EXPECT_EQ(Pages(b.printable), (Strings{"A:r0", "B:r1", "A:r1", "B:r2", "A:r2"}));
}

TEST(BuildPrintData, TemplateWithNoRecordLeftIsDropped) {
    auto data = Parse(Records(3));
    auto layout =
        Parse(Layout(RecordPage("A", "record_continue=\"true\"", 3) + RecordPage("B", "")));
    Built b;
    BuildTree(&b, data.get(), layout.get());
    EXPECT_EQ(Pages(b.printable), (Strings{"A:r0|r1|r2"}));
}

TEST(BuildPrintData, DuplexGroupsEndOnTheBackOfASheet) {
    Built b;
    BuildFiles(&b, "three_records.xml", "duplex_desc.xml");
    EXPECT_TRUE(b.duplex);
    EXPECT_EQ(b.printable->AttributeValue("duplix"), "true");
    // A A A | blank | B B: the blank keeps the A group off the B group's sheet.
    EXPECT_EQ(Pages(b.printable),
              (Strings{"A:Ann|1|3", "A:Bo|1|3", "A:Cy|2|3", "A:", "B:Ann|Bo", "B:Cy"}));
    EXPECT_EQ(b.pages, 5);
    EXPECT_EQ(b.sheets, 3);
    EXPECT_EQ(b.envelopes, 3);
}

TEST(BuildPrintData, DuplexNeedsExactlyTrue) {
    auto data = Parse(R"(<data duplix="keep"><record><tr><name value="x"/></tr></record></data>)");
    auto layout = Parse(Layout(RecordPage("A", ""), "duplix=\"TRUE\""));
    Built b;
    BuildTree(&b, data.get(), layout.get());
    EXPECT_FALSE(b.duplex);
    EXPECT_EQ(b.printable->GetTag(), "root");
    // The data's own attribute stays in front and is the one readers find.
    EXPECT_EQ(b.printable->AttributeCount(), 2);
    EXPECT_EQ(b.printable->AttributeValue("duplix"), "keep");
    EXPECT_EQ(b.printable->AttributeValueAt(1), "false");
}

TEST(BuildPrintData, ComputedFieldsAreEvaluated) {
    Built b;
    BuildFiles(&b, "three_records.xml", "computed.xml");
    const std::string thousand = tw::text::ToGbk(QString::fromUtf8("壹仟元整"));
    const std::string receipt = tw::text::ToGbk(QString::fromUtf8("壹仟贰佰叁拾肆元伍角陆分"));
    const std::string twenty = tw::text::ToGbk(QString::fromUtf8("贰拾元零伍角整"));
    EXPECT_EQ(Pages(b.printable),
              (Strings{"C:Ann|P|" + thousand, "C:Bo|F|" + receipt, "C:Cy|P|" + twenty}));
}

TEST(BuildPrintData, NoRecordsGiveAnEmptyUntaggedRoot) {
    auto layout = LoadData("pages_ab.xml");
    for (const char* data : {"<data docname=\"x\"><title value=\"t\"/></data>",
                             "<data docname=\"x\"><record/></data>"}) {
        auto d = Parse(data);
        Built b;
        BuildTree(&b, d.get(), layout.get());
        EXPECT_EQ(Dump(b.printable), "<unnamed/>");
        EXPECT_EQ(b.envelopes, 0);
        EXPECT_EQ(b.sheets, 0);
        EXPECT_EQ(b.pages, 0);
    }
}

TEST(BuildPrintData, MissingPagesOrNullDataBuildNothing) {
    auto data = LoadData("three_records.xml");
    auto layout = Parse("<layout><page desc=\"A\"/></layout>");
    Built b;
    BuildTree(&b, data.get(), layout.get());
    EXPECT_EQ(Dump(b.printable), R"(<root docname="Scores" school="North"/>)");
    EXPECT_EQ(b.pages, 0);

    CBuildPrintData builder;
    int e = 7, s = 7, p = 7;
    TXml* printable = nullptr;
    EXPECT_EQ(builder.BuildPrintable(nullptr, "", layout.get(), &e, &s, &p, &printable), 0);
    EXPECT_EQ(printable, nullptr);
    EXPECT_EQ(e + s + p, 21);
}

TEST(BuildPrintData, BuildLoadsTheTemplateFile) {
    auto data = LoadData("three_records.xml");
    CBuildPrintData builder;
    int e = 7, s = 7, p = 7;
    TXml* printable = nullptr;
    EXPECT_EQ(builder.Build(data.get(), "", TW_TEST_DATA_DIR "/no_such_layout.xml", &e, &s, &p,
                            &printable),
              -1001);
    EXPECT_EQ(printable, nullptr);
    EXPECT_EQ(e + s + p, 21);

    EXPECT_EQ(
        builder.Build(data.get(), "", TW_TEST_DATA_DIR "/pages_ab.xml", &e, &s, &p, &printable), 0);
    ASSERT_NE(printable, nullptr);
    EXPECT_EQ(printable->ChildCount(), 6);
    EXPECT_EQ(p, 6);
    delete printable;
}

TEST(BuildPrintData, TheTemplateTreeIsLeftUnchanged) {
    auto data = Parse(Records(2));
    auto layout =
        Parse(Layout("<page envelope=\"true\"><reporttable><text value=\"E\"/>"
                     "</reporttable></page>" +
                     RecordPage("A", "print_once=\"true\"") + RecordPage("B", "")));
    const std::string before = Dump(layout.get());
    Built b;
    BuildTree(&b, data.get(), layout.get());
    EXPECT_EQ(Dump(layout.get()), before);
}

TEST(BuildPrintData, FirstEnvelopeTemplateIsUsedAndNoneEntersThePageLoop) {
    auto data = Parse(Records(7));
    auto layout = Parse(Layout(
        "<page desc=\"env\" envelope=\"true\"><reporttable><text value=\"E1\"/><envelope/>"
        "</reporttable></page>" +
        RecordPage("A", "continue=\"true\"") +
        "<page desc=\"env\" envelope=\"true\"><reporttable><text value=\"E2\"/></reporttable>"
        "</page>"));
    Built b;
    BuildTree(&b, data.get(), layout.get());
    EXPECT_EQ(Pages(b.printable), (Strings{"env:E1|1", "A:r0", "A:r1", "A:r2", "A:r3", "A:r4",
                                           "env:E1|2", "A:r5", "A:r6"}));
    EXPECT_EQ(b.envelopes, 2);
    EXPECT_EQ(b.sheets, 7);
    EXPECT_EQ(b.pages, 7);
}

TEST(BuildPrintData, EnvelopeSizeComesFromTheSettingsFile) {
    QTemporaryDir dir;
    const std::string ini = dir.filePath("print.ini").toStdString();
    buildtest::WriteFile(ini, "[Envelope]\r\nMaxPages=3\r\n");
    auto data = Parse(Records(7));
    auto layout = Parse(
        Layout("<page envelope=\"true\"><reporttable><text value=\"E\"/></reporttable></page>" +
               RecordPage("A", "continue=\"true\"")));
    Built b;
    BuildTree(&b, data.get(), layout.get(), ini);
    EXPECT_EQ(b.envelopes, 3);
    EXPECT_EQ(b.printable->ChildCount(), 10);
}

TEST(BuildPrintData, EnvelopeShowsTheFirstRecordThatYieldsSomething) {
    auto data = Parse(R"(<data><record><tr/><tr><name value="second"/></tr></record></data>)");
    auto layout = Parse(
        Layout("<page desc=\"env\" envelope=\"true\"><reporttable><record><row><field>name</field>"
               "</row></record></reporttable></page>" +
               RecordPage("A", "continue=\"true\"")));
    Built b;
    BuildTree(&b, data.get(), layout.get());
    EXPECT_EQ(Pages(b.printable), (Strings{"env:second", "A:second"}));
}

// Templates whose elements never move a cursor on must not keep the loop going.
TEST(BuildPrintData, StaticPagesEndThePageLoop) {
    auto data = Parse(Records(3));
    const std::string staticPage =
        "<page desc=\"S\"><reporttable><text value=\"static\"/></reporttable></page>";
    {
        auto layout = Parse(Layout(staticPage));
        Built b;
        BuildTree(&b, data.get(), layout.get());
        EXPECT_EQ(Pages(b.printable), (Strings{"S:static"}));
    }
    {
        auto layout = Parse(
            Layout("<page desc=\"T\" continue=\"true\"><reporttable><textbox><f>name</f></textbox>"
                   "</reporttable></page>"));
        Built b;
        BuildTree(&b, data.get(), layout.get());
        EXPECT_EQ(b.printable->ChildCount(), 1);
    }
    {
        // A static page beside a record page takes its turn in each round; the loop ends when
        // only the static page would go on, after its last turn.
        auto layout = Parse(Layout(staticPage + RecordPage("R", "")));
        Built b;
        BuildTree(&b, data.get(), layout.get());
        EXPECT_EQ(Pages(b.printable), (Strings{"S:static", "R:r0", "S:static", "R:r1", "S:static",
                                               "R:r2", "S:static"}));
    }
    {
        // An envelope template that finds nothing and does not move on.
        auto empty = Parse("<data><record><tr/><tr/></record></data>");
        auto layout = Parse(Layout(
            "<page envelope=\"true\"><reporttable><textbox><f>name</f></textbox></reporttable>"
            "</page>" +
            staticPage));
        Built b;
        BuildTree(&b, empty.get(), layout.get());
        EXPECT_EQ(Pages(b.printable), (Strings{"S:static"}));
    }
}

TEST(BuildPrintData, TemplateNeverReachedStartsAtTheFirstRecord) {
    // A uses every record and hands its cursor to B; C was never reached and has no cursor.
    auto data = Parse(Records(2));
    auto layout = Parse(
        Layout("<page desc=\"A\" record_continue=\"true\"><reporttable><record scope=\"1\"><row>"
               "<field>name</field></row></record></reporttable></page>" +
               RecordPage("B", "") + RecordPage("C", "")));
    Built b;
    BuildTree(&b, data.get(), layout.get());
    EXPECT_EQ(Pages(b.printable), (Strings{"A:r0", "C:r0", "C:r1"}));
}

TEST(BuildPrintData, DeeplyNestedTemplatesBuild) {
    // 100,000 nested elements beside "pages", where the builder never looks, and as many in a
    // page template, which is copied with "pages" but has nothing there the page uses.
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<n>";
    for (int i = 0; i < 100000; ++i) deep += "</n>";
    auto data = Parse(Records(2));
    auto layout = Parse("<layout>" + deep + "<pages><page desc=\"A\" continue=\"true\">" + deep +
                        "<reporttable><record><row><field>name</field></row></record>"
                        "</reporttable></page></pages></layout>");
    Built b;
    BuildTree(&b, data.get(), layout.get());
    EXPECT_EQ(Pages(b.printable), (Strings{"A:r0", "A:r1"}));
}

TEST(BuildPrintData, AJobBeyondThePageLimitFailsWithThePagesBuiltSoFar) {
    const int limit = CBuildPrintData::kPageBuildLimit;
    auto data = Parse(Records(limit + 5));
    auto layout = Parse(Layout(RecordPage("A", "continue=\"true\"")));
    CBuildPrintData builder;
    int envelopes = -1, sheets = -1, pages = -1;
    TXml* printable = nullptr;
    const int status = builder.BuildPrintable(data.get(), "", layout.get(), &envelopes, &sheets,
                                              &pages, &printable);
    XmlPtr owned(printable);
    EXPECT_EQ(status, VOSTRIN_PRINT_FAILED);
    ASSERT_NE(printable, nullptr);
    EXPECT_EQ(printable->ChildCount(), limit);
    EXPECT_EQ(pages, limit);
    EXPECT_EQ(sheets, limit);
    XmlPtr last(printable->ChildAt(limit - 1));
    EXPECT_EQ(buildtest::PageValues(last.get()), "r" + std::to_string(limit - 1));
}

// Thousands of page templates over a few records, static pages among them: the loop's memory
// and time follow the pages it builds, not templates times pages: four times the templates cost
// about four times as much, not sixteen (the bound on time leaves room for a busy machine).
TEST(BuildPrintData, ManyTemplatesCostInProportionToThePagesTheyBuild) {
    const auto cost = [](int templates) {
        std::string pages;
        for (int t = 0; t < templates; ++t)
            pages += t % 2 ? RecordPage("R", "")
                           : "<page desc=\"S\"><reporttable><text value=\"s\"/></reporttable>"
                             "</page>";
        auto data = Parse(Records(3));
        auto layout = Parse(Layout(pages));
        return testcost::CostInChild([&] {
            CBuildPrintData builder;
            int e = 0, s = 0, p = 0;
            TXml* printable = nullptr;
            const int status =
                builder.BuildPrintable(data.get(), "", layout.get(), &e, &s, &p, &printable);
            delete printable;
            return status == 0 ? p : -1;
        });
    };
    const testcost::ChildCost small = cost(2000);
    const testcost::ChildCost large = cost(8000);
    ASSERT_TRUE(small.ran && large.ran);
    // Every record template prints each record once; the static ones print in every round.
    EXPECT_GT(small.result, 2000);
    EXPECT_NEAR(large.result, 4.0 * small.result, 8);
    EXPECT_LT(large.peakMb, 6 * std::max(small.peakMb, 8.0)) << small.peakMb;
    EXPECT_LT(large.cpuMs, 8 * std::max(small.cpuMs, 50.0 * testtiming::kSlowdown)) << small.cpuMs;
}

// 1,000 texts on each page of 1,500 records: a million and a half elements, more than one build
// makes. The build stops at its budget with the pages made so far, whole and in order, and
// fails as at the page limit; its memory stays a few hundred MB.
TEST(BuildPrintData, AJobBeyondItsBudgetFailsWithThePagesBuiltSoFar) {
    std::string texts;
    for (int i = 0; i < 1000; ++i) texts += "<text x=\"" + std::to_string(i) + "\" value=\"t\"/>";
    auto layout = Parse(Layout("<page desc=\"A\" continue=\"true\"><reporttable>" + texts +
                               "<record><row><field>name</field></row></record></reporttable>"
                               "</page>"));
    auto data = Parse(Records(1500));
    const testcost::ChildCost cost = testcost::CostInChild([&] {
        CBuildPrintData builder;
        int e = 0, s = 0, p = 0;
        TXml* printable = nullptr;
        const int status =
            builder.BuildPrintable(data.get(), "", layout.get(), &e, &s, &p, &printable);
        XmlPtr owned(printable);
        if (status != VOSTRIN_PRINT_FAILED) return -1;
        if (!printable || p < 1 || p >= 1500 || printable->ChildCount() != p) return -2;
        for (int k = 0; k < p; ++k) {
            XmlPtr page(printable->ChildAt(k));
            XmlPtr table(page->FirstChildByTag("reporttable"));
            XmlPtr last(table ? table->ChildAt(1000) : nullptr);
            if (!last || table->ChildCount() != 1001 ||
                last->AttributeValue("value") != "r" + std::to_string(k))
                return -3;
        }
        return p;
    });
    ASSERT_TRUE(cost.ran);
    EXPECT_GT(cost.result, 0);
#ifndef __SANITIZE_ADDRESS__
    EXPECT_LT(cost.peakMb, 400);
#endif
}

TEST(PageLoop, HardPageCapStopsTheLoop) {
    ASSERT_EQ(BindExpressionLibrary(), 0);
    auto data = Parse(Records(10));
    auto layout = Parse(Layout(RecordPage("A", "continue=\"true\"")));
    XmlPtr pages(layout->FindNodeByTag(nullptr, "pages"));
    PageList built;
    EXPECT_FALSE(RunPageLoop(pages.get(), data.get(), 10, built, 4));
    // A job that needs just the limit is complete.
    PageList exact;
    EXPECT_TRUE(RunPageLoop(pages.get(), data.get(), 4, exact, 4));
    ReleaseExpressionLibrary();
    XmlPtr root(new TXml());
    while (!built.Empty()) root->AppendSubtree(built.TakeFirst().get());
    EXPECT_EQ(Pages(root.get()), (Strings{"A:r0", "A:r1", "A:r2", "A:r3"}));
    EXPECT_EQ(exact.Count(), 4);
}
