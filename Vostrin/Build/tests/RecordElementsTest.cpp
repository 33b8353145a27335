#include <gtest/gtest.h>

#include "Build/CBuildElement.h"
#include "BuildTestSupport.h"

using namespace TVostrin;
using buildtest::Compact;
using buildtest::Dump;
using buildtest::Parse;

namespace {

class RecordElementsTest : public buildtest::BoundLibrary {
  protected:
    int Build(const std::string& xml, const TXml* data, int* cursor, std::string* out) {
        auto node = Parse(Compact(xml));
        XmlPtr table(new TXml());
        table->SetTag("reporttable");
        std::unique_ptr<CBuildElement> element(CreateElement(node.get()));
        const int status = element->Build(const_cast<TXml*>(data), cursor, table.get());
        *out = Dump(table.get());
        return status;
    }

    // Records 0..4 with a name each; record 2 has only a note that is not main data.
    XmlPtr data_ = Parse(Compact(R"(<data><record>
        <tr><name value="r0"/></tr>
        <tr><name value="r1"/></tr>
        <tr><note value="n2"/></tr>
        <tr><name value="r3"/></tr>
        <tr><name value="r4"/></tr>
        </record></data>)"));
};

}  // namespace

TEST_F(RecordElementsTest, RowSlotsAreShiftedByTheirSteps) {
    int cursor = 0;
    std::string out;
    EXPECT_EQ(Build(R"(<record><row repeatnum="3" ystep="40" xstep="5">
            <field x="10" y="100" font="A">name</field></row></record>)",
                    data_.get(), &cursor, &out),
              0);
    EXPECT_EQ(out, Compact(R"(<reporttable>
        <text x="10" y="100" font="A" value="r0"/>
        <text x="15" y="140" font="A" value="r1"/>
        <text x="20" y="180" font="A" value="r3"/></reporttable>)"));
    // Record 2 printed nothing and took no slot, but the cursor passed it.
    EXPECT_EQ(cursor, 4);
}

TEST_F(RecordElementsTest, SecondRowGoesOnWithTheFollowingRecords) {
    int cursor = 0;
    std::string out;
    EXPECT_EQ(Build(R"(<record>
            <row repeatnum="2"><field y="1">name</field></row>
            <row repeatnum="1"><field y="2">name</field></row></record>)",
                    data_.get(), &cursor, &out),
              0);
    EXPECT_EQ(out, Compact(R"(<reporttable><text y="1" value="r0"/><text y="1" value="r1"/>
        <text y="2" value="r3"/></reporttable>)"));
    EXPECT_EQ(cursor, 4);
}

TEST_F(RecordElementsTest, MainDataFalseFieldsPrintOnlyBesideMainData) {
    int cursor = 2;
    std::string out;
    EXPECT_EQ(Build(R"(<record><row repeatnum="1">
            <field maindata="false" y="1">note</field><field y="2">name</field>
            <line xfrom="0" yfrom="9"/></row></record>)",
                    data_.get(), &cursor, &out),
              0);
    // Record 2 has only the note: skipped; record 3 prints its name and the empty-content line.
    EXPECT_EQ(out, Compact(R"(<reporttable><text y="2" value="r3"/>
        <line xfrom="0" yfrom="9" value=""/></reporttable>)"));
    EXPECT_EQ(cursor, 4);
}

TEST_F(RecordElementsTest, NoRecordsLeftMeansNothingToPrint) {
    int cursor = 5;
    std::string out;
    EXPECT_EQ(Build("<record><row><field>name</field></row></record>", data_.get(), &cursor, &out),
              99);
    EXPECT_EQ(out, "<reporttable/>");
    EXPECT_EQ(cursor, 5);

    auto noRecords = Parse("<data><other/></data>");
    cursor = 0;
    for (const char* xml :
         {"<record><row><field>name</field></row></record>", "<textbox><f>name</f></textbox>",
          "<scrolltext><text>name</text></scrolltext>"}) {
        EXPECT_EQ(Build(xml, noRecords.get(), &cursor, &out), 0) << xml;
        EXPECT_EQ(out, "<reporttable/>");
        EXPECT_EQ(cursor, 0);
    }
}

TEST_F(RecordElementsTest, ScopeOneUsesUpAllRecords) {
    int cursor = 0;
    std::string out;
    EXPECT_EQ(Build(R"(<record scope="1"><row repeatnum="1"><field>name</field></row></record>)",
                    data_.get(), &cursor, &out),
              0);
    EXPECT_EQ(out, R"(<reporttable><text value="r0"/></reporttable>)");
    EXPECT_EQ(cursor, 5);
}

TEST_F(RecordElementsTest, OnlyRecordsWithoutMainDataGive99) {
    int cursor = 2;
    std::string out;
    EXPECT_EQ(Build(R"(<record><row repeatnum="1"><field>note</field></row></record>)", data_.get(),
                    &cursor, &out),
              0);
    cursor = 2;
    EXPECT_EQ(Build(R"(<record><row repeatnum="1"><field maindata="false">note</field></row>
                    </record>)",
                    data_.get(), &cursor, &out),
              99);
}

TEST_F(RecordElementsTest, ScrollTextDropsEmptyLines) {
    int cursor = 0;
    std::string out;
    EXPECT_EQ(Build(R"(<scrolltext ystart="200" ystep="30">
            <text x="7" y="999">note</text><text x="7" f="1">name</text><text x="8">"C"</text>
            <other>name</other></scrolltext>)",
                    data_.get(), &cursor, &out),
              0);
    EXPECT_EQ(out, Compact(R"(<reporttable><text y="200" x="7" f="1" value="r0"/>
        <text y="230" x="8" value="C"/></reporttable>)"));
    cursor = 5;
    EXPECT_EQ(Build("<scrolltext><text>name</text></scrolltext>", data_.get(), &cursor, &out), 99);
}

TEST_F(RecordElementsTest, TextBoxPrintsEveryFieldOfOneRecord) {
    int cursor = 1;
    std::string out;
    EXPECT_EQ(Build(R"(<textbox x1="1" y1="2" x2="3" y2="4" border="1">
            <f x="9">name</f><g maindata="false">"  pad  "</g><h/></textbox>)",
                    data_.get(), &cursor, &out),
              0);
    EXPECT_EQ(out, Compact(R"(<reporttable><textbox x1="1" y1="2" x2="3" y2="4" border="1">
        <f x="9" value="r1"/><g maindata="false" value="pad"/><h value=""/></textbox>
        </reporttable>)"));
    // A box without main data is still appended, but reports nothing to print.
    cursor = 2;
    EXPECT_EQ(Build("<textbox><f>name</f></textbox>", data_.get(), &cursor, &out), 99);
    EXPECT_EQ(out, R"(<reporttable><textbox><f value=""/></textbox></reporttable>)");
    cursor = 5;
    EXPECT_EQ(Build("<textbox><f>name</f></textbox>", data_.get(), &cursor, &out), 99);
    EXPECT_EQ(out, "<reporttable/>");
}

TEST_F(RecordElementsTest, BoxesAndColumnsInARowMoveWithTheirSlot) {
    int cursor = 0;
    std::string out;
    EXPECT_EQ(Build(R"(<record><row repeatnum="2" xstep="100" ystep="50">
            <textbox x1="10" y1="20" x2="30" y2="40"><f x="1" y="2">name</f></textbox>
            <scrolltext ystart="5"><text x="3">name</text></scrolltext></row></record>)",
                    data_.get(), &cursor, &out),
              0);
    EXPECT_EQ(out, Compact(R"(<reporttable>
        <textbox x1="10" y1="20" x2="30" y2="40"><f x="1" y="2" value="r0"/></textbox>
        <text y="5" x="3" value="r0"/>
        <textbox x1="110" y1="70" x2="130" y2="90"><f x="1" y="2" value="r1"/></textbox>
        <text y="55" x="103" value="r1"/></reporttable>)"));
    EXPECT_EQ(cursor, 2);
}
