#include <gtest/gtest.h>

#include "Build/CBuildElement.h"
#include "BuildTestSupport.h"

using namespace TVostrin;
using buildtest::Compact;
using buildtest::Dump;
using buildtest::Parse;

namespace {

class BuildElementsTest : public buildtest::BoundLibrary {
  protected:
    // Builds the template element at cursor 0 over data_ into a fresh "reporttable".
    int BuildOne(const std::string& xml, std::string* out, int* cursor = nullptr) {
        auto node = Parse(xml);
        XmlPtr table(new TXml());
        table->SetTag("reporttable");
        int own = 0;
        std::unique_ptr<CBuildElement> element(CreateElement(node.get()));
        const int status = element->Build(data_.get(), cursor ? cursor : &own, table.get());
        *out = Dump(table.get());
        return status;
    }

    XmlPtr data_ = Parse(R"(<data docname="d"><title value="Week 3"/>
        <record><tr><name value="Ann"/></tr><tr><name value="Bo"/></tr></record></data>)");
};

}  // namespace

TEST_F(BuildElementsTest, CopyElementsPassTheirNodeWithoutChildren) {
    for (const char* tag : {"text", "addition", "line", "image", "barcode", "tessorbar", "rect",
                            "worddoc", "prndoc", "circle", "page", "envelopes"}) {
        // Plain concatenation keeps the expected markup readable.
        // NOLINTBEGIN(performance-inefficient-string-concatenation)
        std::string out;
        const std::string t = tag;
        EXPECT_EQ(BuildOne("<" + t + R"( x="1" y="2" x="3"><child/></)" + t + ">", &out), 0);
        EXPECT_EQ(out, "<reporttable><" + t + R"( x="1" y="2" x="3"/></reporttable>)");
        EXPECT_EQ(BuildOne("<" + t + ">hi</" + t + ">", &out), 0);
        EXPECT_EQ(out, "<reporttable><" + t + ">hi</" + t + "></reporttable>");
        // NOLINTEND(performance-inefficient-string-concatenation)
    }
}

TEST_F(BuildElementsTest, LineCodeKeepsItsMarkLines) {
    std::string out;
    const std::string xml = Compact(R"(
        <linecode><begin><line xfrom="1"/></begin><end><line xfrom="2"/><line xfrom="3"/></end>
        </linecode>)");
    EXPECT_EQ(BuildOne(xml, &out), 0);
    EXPECT_EQ(out, "<reporttable>" + xml + "</reporttable>");
}

TEST_F(BuildElementsTest, VarTextComputesFromTheWholeDocument) {
    std::string out;
    EXPECT_EQ(BuildOne(R"(<vartext x="5" value="old">[title]&amp;"!"</vartext>)", &out), 0);
    EXPECT_EQ(out, R"(<reporttable><text x="5" value="old" value="Week 3!"/></reporttable>)");

    // The first "name" below the top element is in the first record.
    EXPECT_EQ(BuildOne("<vartext>name</vartext>", &out), 0);
    EXPECT_EQ(out, R"(<reporttable><text value="Ann"/></reporttable>)");
}

TEST_F(BuildElementsTest, VarTextEdgeCases) {
    std::string out;
    EXPECT_EQ(BuildOne("<vartext x=\"1\">  \n </vartext>", &out), 0);
    EXPECT_EQ(out, "<reporttable/>");

    // No variables: the library computes the text.
    EXPECT_EQ(BuildOne("<vartext>\"abc\"&amp;(2*3)</vartext>", &out), 0);
    EXPECT_EQ(out, R"(<reporttable><text value="abc6"/></reporttable>)");
    // A bare word is a variable name; none in the data gives the empty text.
    EXPECT_EQ(BuildOne("<vartext>abc</vartext>", &out), 0);
    EXPECT_EQ(out, R"(<reporttable><text value=""/></reporttable>)");

    // A field the data lacks still passes one empty value per variable.
    EXPECT_EQ(BuildOne("<vartext>[nosuch]&amp;[title]</vartext>", &out), 0);
    EXPECT_EQ(out, R"(<reporttable><text value="Week 3"/></reporttable>)");
}

TEST_F(BuildElementsTest, NoElementOfThisKindMovesTheCursor) {
    std::string out;
    int cursor = 1;
    for (const char* xml :
         {"<text/>", "<vartext>name</vartext>", "<linecode><begin/></linecode>",
          "<textbox><f>name</f></textbox>", "<scrolltext><text>name</text></scrolltext>"}) {
        EXPECT_EQ(BuildOne(xml, &out, &cursor), 0) << xml;
        EXPECT_EQ(cursor, 1) << xml;
    }
}
