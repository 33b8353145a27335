// Charset names, conversions and whole-file loading.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "CharsetConvert.h"
#include "CharsetTable.h"
#include "Logger.h"
#include "StringBuffer.h"

using namespace velmarq;

namespace {

std::string Bytes(const DataBuffer& b) {
    return std::string(reinterpret_cast<const char*>(b.Data()), static_cast<size_t>(b.Size()));
}

std::string WriteFile(const QTemporaryDir& dir, const char* name, const std::string& bytes) {
    std::string path = dir.filePath(name).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

int CodePage(const char* name) {
    CharsetConvert c;
    return c.SetToCharset(name, nullptr) ? c.ToCodePage() : 0;
}

}  // namespace

TEST(CharsetNames, NormalizationAndCodePages) {
    EXPECT_EQ(CharsetTableSize(), 398);
    CharsetConvert c;
    EXPECT_TRUE(c.SetToCharset(" UTF_8 ", nullptr));
    EXPECT_EQ(c.ToCodePage(), 65001);
    EXPECT_STREQ(c.ToCharset().Data(), " UTF_8 ");
    EXPECT_EQ(CodePage("latin1"), 28591);
    EXPECT_EQ(CodePage("koi"), 20866);
    EXPECT_EQ(CodePage("windows-949"), 949);
    EXPECT_EQ(CodePage("x-cp20936"), 20936);
    EXPECT_EQ(CodePage("cp367"), 1252);
    EXPECT_EQ(CodePage("GBK"), 936);
    EXPECT_EQ(CodePage("iso-8859-8 visual"), 28598);
    EXPECT_EQ(CodePage("Shift_JIS"), 932);
    EXPECT_EQ(CodePage("x-euc-jp"), 51932);
    EXPECT_EQ(CodePage("thai-whatever"), 874);
    Logger log;
    CharsetConvert d;
    EXPECT_FALSE(d.SetToCharset("klingon", &log));
    EXPECT_EQ(d.ToCodePage(), 28591);
    StringBuffer errors;
    StringBuffer xml;
    log.Log().Render(0, log.Log().EntryCount() - 1, false, "\n", xml);
    EXPECT_NE(std::string(xml.Data()).find("TO Charset not recognized"), std::string::npos);
    EXPECT_NE(std::string(xml.Data()).find("<charset>klingon</charset>"), std::string::npos);
}

TEST(CharsetConvert, FromUtf16) {
    CharsetConvert c;
    DataBuffer out;
    const unsigned char in[] = {0xFF, 0xFE, '<', 0, 'a', 0, 0x2D, 0x4E};
    EXPECT_TRUE(c.Convert(in, 0, out, nullptr));
    EXPECT_EQ(out.Size(), 0);
    ASSERT_TRUE(c.SetToCharset("unicode", nullptr));
    EXPECT_TRUE(c.Convert(in, 8, out, nullptr));
    EXPECT_EQ(Bytes(out), std::string(reinterpret_cast<const char*>(in), 8));
    out.Clear();
    ASSERT_TRUE(c.SetToCharset("utf-8", nullptr));
    EXPECT_TRUE(c.Convert(in, 8, out, nullptr));
    EXPECT_EQ(Bytes(out), "\xEF\xBB\xBF<a\xE4\xB8\xAD");
    out.Clear();
    ASSERT_TRUE(c.SetToCharset("gbk", nullptr));
    EXPECT_TRUE(c.Convert(in, 8, out, nullptr));
    EXPECT_EQ(Bytes(out), "<a\xD6\xD0");  // the byte-order mark is dropped on this route
    out.Clear();
    const unsigned char lone[] = {0x00, 0xD8, 'x', 0};  // an unpaired surrogate
    ASSERT_TRUE(c.SetToCharset("utf-8", nullptr));
    EXPECT_TRUE(c.Convert(lone, 4, out, nullptr));
    EXPECT_EQ(Bytes(out), "\xEF\xBF\xBDx");
}

TEST(CharsetConvert, FullWidthBig5) {
    DataBuffer b;
    b.Append("A.\r\n", 4);
    CharsetConvert::ToFullWidthBig5(b);
    EXPECT_EQ(Bytes(b), "\xA2\xCF\r\n");
    DataBuffer c;
    c.Append("z9 \xA4\x40\xB1", 6);
    CharsetConvert::ToFullWidthBig5(c);
    EXPECT_EQ(Bytes(c), "\xA3\x43\xA2\xB8\xA1\x40\xA4\x40\xB1");
}

TEST(LoadFile, BytesStayAsStored) {
    QTemporaryDir dir;
    StringBuffer b;
    EXPECT_TRUE(b.LoadFile(WriteFile(dir, "empty", "").c_str(), false, nullptr));
    EXPECT_EQ(b.Length(), 0);
    Logger log;
    EXPECT_FALSE(b.LoadFile(dir.filePath("missing").toStdString().c_str(), false, &log));
    EXPECT_FALSE(b.LoadFile("", false, &log));
    EXPECT_FALSE(b.LoadFile(nullptr, false, nullptr));
    StringBuffer xml;
    log.Log().Render(0, log.Log().EntryCount() - 1, false, "\n", xml);
    EXPECT_NE(std::string(xml.Data()).find("<error>Failed to open file</error>"),
              std::string::npos);
    EXPECT_NE(std::string(xml.Data()).find("<error>filename is missing</error>"),
              std::string::npos);
    std::string gbk("pre\xD6\xD0\x01\x00post", 11);
    b.Assign("kept:");
    EXPECT_TRUE(b.LoadFile(WriteFile(dir, "gbk", gbk).c_str(), false, nullptr));
    EXPECT_EQ(std::string(b.Data(), b.Length()), "kept:" + gbk);
    StringBuffer s;
    EXPECT_TRUE(s.LoadFile(WriteFile(dir, "gbk2", gbk).c_str(), true, nullptr));
    EXPECT_EQ(std::string(s.Data(), s.Length()), "pre\xD6\xD0post");
}

TEST(LoadFile, Utf16WithByteOrderMark) {
    QTemporaryDir dir;
    StringBuffer b;
    std::string u16("\xFF\xFE\x3C\x00\x61\x00\x2F\x00\x3E\x00", 10);
    EXPECT_TRUE(b.LoadFile(WriteFile(dir, "u16", u16).c_str(), true, nullptr));
    EXPECT_EQ(std::string(b.Data(), b.Length()), "\xEF\xBB\xBF<a/>");
    StringBuffer odd;
    EXPECT_TRUE(odd.LoadFile(WriteFile(dir, "odd", u16 + "x").c_str(), false, nullptr));
    EXPECT_EQ(std::string(odd.Data(), odd.Length()), "\xEF\xBB\xBF<a/>");
}

TEST(LoadFile, RefusesFilesOfTwoGigabytes) {
    QTemporaryDir dir;
    std::string path = dir.filePath("huge").toStdString();
    { std::ofstream f(path, std::ios::binary); }
    ASSERT_EQ(truncate(path.c_str(), 1LL << 31), 0);  // sparse: nothing is written
    Logger log;
    StringBuffer b("kept");
    EXPECT_FALSE(b.LoadFile(path.c_str(), false, &log));
    EXPECT_EQ(std::string(b.Data()), "kept");
    StringBuffer xml;
    log.Log().Render(0, log.Log().EntryCount() - 1, false, "\n", xml);
    EXPECT_NE(std::string(xml.Data()).find("File is too large"), std::string::npos);
}
