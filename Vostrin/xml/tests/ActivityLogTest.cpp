// The activity log: entries, contexts, the XML rendering and saving.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ActivityLog.h"
#include "Logger.h"

using namespace velmarq;

namespace {

std::string Render(ActivityLog& log) {
    StringBuffer out;
    log.Render(0, log.EntryCount() - 1, false, "\n", out);
    return out.Data();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const std::string kDecl = "<?xml version=\"1.0\"  encoding=\"utf-8\" standalone=\"yes\" ?>\n";

}  // namespace

TEST(ActivityLog, EmptyContextLeavesNoTrace) {
    QTemporaryDir dir;
    std::string path = dir.filePath("log.xml").toStdString();
    Logger logger;
    EXPECT_TRUE(logger.EnterContext("LoadXmlFile", true));
    EXPECT_TRUE(logger.LeaveContext());
    EXPECT_EQ(logger.Log().EntryCount(), 0);
    EXPECT_TRUE(logger.SaveLogXml(false, path.c_str()));
    EXPECT_EQ(ReadFile(path), kDecl + "<VelmarqLog>The log is empty</VelmarqLog>");
    EXPECT_FALSE(logger.SaveLogXml(false, nullptr));
    EXPECT_FALSE(logger.SaveLogXml(false, (path + "/missing/x.xml").c_str()));
}

TEST(ActivityLog, MessagesSplitIntoLines) {
    ActivityLog log;
    EXPECT_FALSE(log.LogError(""));
    EXPECT_FALSE(log.LogInfo(nullptr));
    EXPECT_TRUE(log.LogError("first\r\n\nsecond"));
    ASSERT_EQ(log.EntryCount(), 2);
    EXPECT_TRUE(log.ErrorFlag());
    EXPECT_EQ(Render(log),
              "<VelmarqLog>\n<error><![CDATA[first\n  second]]></error>\n</VelmarqLog>\n");
    EXPECT_EQ(std::string(log.ErrorText().Data()), "first\n      second");
}

TEST(ActivityLog, CdataOnlyWhenNeeded) {
    ActivityLog log;
    log.LogInfo("a & b");
    log.LogInfo("plain");
    log.LogDebug("has <![CDATA[x]]> & more");
    EXPECT_EQ(Render(log),
              "<VelmarqLog>\n<info><![CDATA[a & b]]></info>\n<info>plain</info>\n"
              "<debug>has &lt;![CDATA[x]]&gt; &amp; more</debug>\n</VelmarqLog>\n");
    EXPECT_EQ(log.ErrorText().Length(), 0);
}

TEST(ActivityLog, DataItems) {
    ActivityLog log;
    EXPECT_FALSE(log.LogData("  ", "x"));
    EXPECT_TRUE(log.LogData(" a b ", "x<y"));
    EXPECT_TRUE(log.LogDataLong("n", -5));
    EXPECT_TRUE(log.LogData("multi", "l1\nl2"));
    log.LogXml("<raw/>");
    EXPECT_EQ(log.EntryAt(0)->name, "a_b");
    EXPECT_EQ(Render(log),
              "<VelmarqLog>\n<a_b>x&lt;y</a_b>\n<n>-5</n>\n<multi><![CDATA[l1\nl2]]></multi>\n"
              "<raw/>\n</VelmarqLog>\n");
    EXPECT_EQ(std::string(log.ErrorText().Data()), "a_b: x<y\nn: -5\nmulti: l1\nl2");
}

// Texts built at random from markup pieces always render as well-formed XML that reads back as
// the text: data values, and message groups (lines after the first indented by two blanks). A
// text holding "]]>" cannot go into a section, which it would end early: it is escaped.
TEST(ActivityLog, TextsHoldingASectionAreNotWrappedAgain) {
    const std::vector<std::string> pieces = {"a", " ",  "\n",        "\t",  "&", "<",
                                             ">", "\"", "<![CDATA[", "]]>", "x"};
    std::mt19937 random(7);
    for (int round = 0; round < 4000; ++round) {
        std::string value;
        for (int n = 1 + static_cast<int>(random() % 8); n > 0; --n)
            value += pieces[random() % pieces.size()];
        ActivityLog log;
        std::string expected = value;
        if (round % 2 == 0) {
            log.LogData("v", value.c_str());
        } else {
            log.LogInfo(value.c_str());
            std::string line;
            expected.clear();
            std::istringstream lines(value);
            while (std::getline(lines, line)) {
                if (line.empty()) continue;
                expected += expected.empty() ? line : "\n  " + line;
            }
            if (expected.empty()) continue;  // a message of no lines logs nothing
        }
        QXmlStreamReader xml(QByteArray::fromStdString(Render(log)));
        ASSERT_TRUE(xml.readNextStartElement());  // VelmarqLog
        ASSERT_TRUE(xml.readNextStartElement()) << value;
        EXPECT_EQ(xml.readElementText().toStdString(), expected) << Render(log);
        ASSERT_FALSE(xml.hasError()) << value << ": " << Render(log);
    }
    ActivityLog log;
    log.LogInfo("<![CDATA[x]]>\ny");
    EXPECT_EQ(Render(log), "<VelmarqLog>\n<info>&lt;![CDATA[x]]&gt;\n  y</info>\n</VelmarqLog>\n");
}

TEST(ActivityLog, ContextsIndentAndCloseAtTheEnd) {
    ActivityLog log;
    log.EnterContext("outer", false);
    log.EnterContext("inner", false);
    log.LogInfo("x");
    log.LeaveContext();
    log.EnterContext("open", false);
    log.LogInfo("y");
    EXPECT_EQ(Render(log),
              "<VelmarqLog>\n<outer>\n    <inner>\n        <info>x</info>\n    </inner>\n"
              "    <open>\n        <info>y</info>\n</open>\n</outer>\n</VelmarqLog>\n");
    EXPECT_FALSE(log.EnterContext("", false));
}

TEST(ActivityLog, ErrorsRenderIntoTheFlaggedContext) {
    ActivityLog log;
    log.EnterContext("job", true);
    log.EnterContext("step", false);
    log.LogError("broken");
    log.LeaveContext();  // step does not render: the flag stays for job
    EXPECT_TRUE(log.ErrorFlag());
    EXPECT_EQ(log.LastErrorXml().Length(), 0);
    log.LeaveContext();
    EXPECT_FALSE(log.ErrorFlag());
    EXPECT_EQ(std::string(log.LastErrorXml().Data()),
              "<VelmarqLog>\n<job>\n    <step>\n        <error>broken</error>\n    </step>\n"
              "</job>\n</VelmarqLog>\n");
}

TEST(ActivityLog, TrimDropsEverythingOverTheLimit) {
    ActivityLog log;
    log.SetMaxEntries(2);
    log.LogInfo("1");
    log.LogInfo("2");
    log.TrimLog();
    EXPECT_EQ(log.EntryCount(), 2);
    log.LogInfo("3");
    log.TrimLog();
    EXPECT_EQ(log.EntryCount(), 0);
}

TEST(ActivityLog, SaveWithDates) {
    QTemporaryDir dir;
    std::string path = dir.filePath("log.xml").toStdString();
    ActivityLog log;
    log.LogInfo("hello");
    ASSERT_TRUE(log.SaveLogXml(true, path.c_str()));
    std::string text = ReadFile(path);
    ASSERT_EQ(text.rfind(kDecl + "<VelmarqLog>\n<info date=\"", 0), 0u) << text;
    // date="MM/DD/YYYY HH:MM:SS"
    size_t q = text.find("date=\"") + 6;
    std::string date = text.substr(q, 19);
    EXPECT_EQ(date[2], '/');
    EXPECT_EQ(date[5], '/');
    EXPECT_EQ(date[10], ' ');
    EXPECT_NE(text.find("\">hello</info>\n</VelmarqLog>\n"), std::string::npos);
}

TEST(ActivityLog, MirrorModeReportsAndKeepsLogging) {
    ActivityLog log;
    log.SetMirror(3, "tw-xml-test", "test");
    EXPECT_TRUE(log.LogError("mirrored error"));
    EXPECT_TRUE(log.LogData("item", "value"));
    EXPECT_EQ(log.EntryCount(), 2);
    log.SetMirror(0, "", "");
    EXPECT_TRUE(log.LogInfo("not mirrored"));
    EXPECT_EQ(log.EntryCount(), 3);
}
