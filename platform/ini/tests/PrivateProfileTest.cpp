#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "ini/PrivateProfile.h"
#include "text/Gbk.h"

using namespace tw::ini;

namespace {

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    std::string Path() const { return dir_.filePath("kbxt.ini").toStdString(); }
    void Put(const std::string& bytes) {
        QFile f(QString::fromStdString(Path()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    std::string Bytes() const {
        QFile f(QString::fromStdString(Path()));
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll().toStdString();
    }
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(IniFileTest, MissingFileGivesDefaults) {
    EXPECT_EQ(GetPrivateProfileString("DB", "FILENAME", "", 255, Path()), "");
    EXPECT_EQ(GetPrivateProfileString("DB", "FILENAME", "dflt", 255, Path()), "dflt");
    EXPECT_EQ(GetPrivateProfileInt("LESSON", "LESSON_OF_DAY", 6, Path()), 6u);
    EXPECT_EQ(Bytes(), "<missing>");  // reading never creates the file
}

TEST_F(IniFileTest, NamesMatchWithoutCaseAndFirstMatchWins) {
    Put("; comment\r\n[db]\r\n  filename = /a/kb.mdb  "
        "\r\nFileName=/second\r\n[DB]\r\nFILENAME=/third\r\n");
    EXPECT_EQ(GetPrivateProfileString("DB", "FILENAME", "", 255, Path()), "/a/kb.mdb");
    EXPECT_EQ(GetPrivateProfileString("Db", "Missing", "x", 255, Path()), "x");
    EXPECT_EQ(GetPrivateProfileString("Other", "FILENAME", "", 255, Path()), "");
}

TEST_F(IniFileTest, KeysOfOtherSectionsAreNotSeen) {
    Put("[A]\nk=1\n[B]\nj=2\n");
    EXPECT_EQ(GetPrivateProfileString("A", "j", "none", 255, Path()), "none");
    EXPECT_EQ(GetPrivateProfileString("B", "j", "none", 255, Path()), "2");
    Put("k=0\n[A]\nk=1\n");  // a key before any section belongs to none
    EXPECT_EQ(GetPrivateProfileString("A", "k", "", 255, Path()), "1");
}

TEST_F(IniFileTest, QuotedValuesLoseTheirQuotes) {
    Put("[S]\na=\"x y\"\nb='z'\nc=\"half\n");
    EXPECT_EQ(GetPrivateProfileString("S", "a", "", 255, Path()), "x y");
    EXPECT_EQ(GetPrivateProfileString("S", "b", "", 255, Path()), "z");
    EXPECT_EQ(GetPrivateProfileString("S", "c", "", 255, Path()), "\"half");
}

TEST_F(IniFileTest, BufferLimitCutsOnACharacterBoundary) {
    std::string longAscii(300, 'p');
    Put("[DB]\r\nFILENAME=" + longAscii + "\r\n");
    EXPECT_EQ(GetPrivateProfileString("DB", "FILENAME", "", 255, Path()).size(), 254u);
    // 99 ASCII bytes then a Chinese character: the 100-byte cut must not split it.
    const std::string user = std::string(99, 'a') + tw::text::ToGbk(QString::fromUtf8("中学中学"));
    Put("[USERINFO]\r\nUSER=" + user + "\r\n");
    const std::string got = GetPrivateProfileString("USERINFO", "USER", "", 101, Path());
    EXPECT_EQ(got, std::string(99, 'a'));
    EXPECT_EQ(GetPrivateProfileString("USERINFO", "USER", "", 1, Path()), "");
    EXPECT_EQ(GetPrivateProfileString("USERINFO", "USER", "", 0, Path()), "");
}

TEST_F(IniFileTest, IntReadsLeadingDigits) {
    Put("[LESSON]\nA=7abc\nB=abc\nC=\nD= 12 \nE=-1\nF=+5\n");
    EXPECT_EQ(GetPrivateProfileInt("LESSON", "A", 6, Path()), 7u);
    EXPECT_EQ(GetPrivateProfileInt("LESSON", "B", 6, Path()), 0u);
    EXPECT_EQ(GetPrivateProfileInt("LESSON", "C", 6, Path()), 6u);  // empty reads as missing
    EXPECT_EQ(GetPrivateProfileInt("LESSON", "D", 6, Path()), 12u);
    EXPECT_EQ(GetPrivateProfileInt("LESSON", "E", 6, Path()), 0xFFFFFFFFu);
    EXPECT_EQ(GetPrivateProfileInt("LESSON", "F", 6, Path()), 5u);
    EXPECT_EQ(GetPrivateProfileInt("LESSON", "G", 6, Path()), 6u);
}

TEST_F(IniFileTest, WriteCreatesFileAndSection) {
    ASSERT_TRUE(WritePrivateProfileString("DB", "FILENAME", "/x/kb.mdb", Path()));
    EXPECT_EQ(Bytes(), "[DB]\r\nFILENAME=/x/kb.mdb\r\n");
    ASSERT_TRUE(WritePrivateProfileString("LESSON", "LESSON_OF_DAY", "7", Path()));
    EXPECT_EQ(Bytes(), "[DB]\r\nFILENAME=/x/kb.mdb\r\n[LESSON]\r\nLESSON_OF_DAY=7\r\n");
}

TEST_F(IniFileTest, WriteKeepsEveryOtherLine) {
    const std::string before =
        "; set up by the installer\n[USERINFO]\nUSER=Korvel\n\n[db]\nfilename = old\n; tail\n"
        "other=1\n\n[LESSON]\nLESSON_OF_DAY=6";
    Put(before);
    ASSERT_TRUE(WritePrivateProfileString("DB", "FILENAME", "/new/kb.mdb", Path()));
    EXPECT_EQ(Bytes(),
              "; set up by the installer\n[USERINFO]\nUSER=Korvel\n\n[db]\nfilename=/new/kb.mdb\n"
              "; tail\nother=1\n\n[LESSON]\nLESSON_OF_DAY=6");
    // A new key goes after the section's last line, before its blank lines.
    ASSERT_TRUE(WritePrivateProfileString("USERINFO", "PHONE", "1", Path()));
    EXPECT_EQ(Bytes().substr(0, 60),
              std::string("; set up by the installer\n[USERINFO]\nUSER=Korvel\nPHONE=1\r\n\n[db]\n")
                  .substr(0, 60));
    // A key in the last section, whose last line has no line end.
    ASSERT_TRUE(WritePrivateProfileString("LESSON", "X", "2", Path()));
    const std::string b = Bytes();
    EXPECT_EQ(b.substr(b.size() - 22), "LESSON_OF_DAY=6\r\nX=2\r\n");
}

TEST_F(IniFileTest, WriteRefusesLineBreaks) {
    EXPECT_FALSE(WritePrivateProfileString("DB", "FILENAME", "a\r\n[X]\r\nk=v", Path()));
    EXPECT_FALSE(WritePrivateProfileString("DB", "a=b", "v", Path()));
    EXPECT_EQ(Bytes(), "<missing>");
    EXPECT_FALSE(WritePrivateProfileString("DB", "K", "v", "/nonexistent-dir/x/kbxt.ini"));
}

TEST_F(IniFileTest, QStringApiConvertsGbk) {
    const QString path = QString::fromStdString(Path());
    ASSERT_TRUE(WriteString(path, "USERINFO", "USER", QString::fromUtf8("北山中学")));
    EXPECT_EQ(Bytes(),
              "[USERINFO]\r\nUSER=" + tw::text::ToGbk(QString::fromUtf8("北山中学")) + "\r\n");
    EXPECT_EQ(ReadString(path, "userinfo", "user", "", 101), QString::fromUtf8("北山中学"));
    EXPECT_EQ(ReadString(path, "userinfo", "user", "", 5), QString::fromUtf8("北山"));
    ASSERT_TRUE(WriteString(path, "LESSON", "LESSON_OF_DAY", "7"));
    EXPECT_EQ(ReadInt(path, "LESSON", "LESSON_OF_DAY", 6), 7u);
}

TEST_F(IniFileTest, AWrittenValueReadsBackWholeOrIsRefusedUntouched) {
    // Texts drawn from characters GBK holds and ones it lacks (accented Latin, Hangul, emoji),
    // blanks, tabs, control characters and quotes, untrimmed: before, the missing characters
    // were stored as '?', and blanks at an end or enclosing quotes were stored and read back
    // without them, each write reporting success.
    const QString pool = QString::fromUtf8("ab/_.-7 北山中学第二学期öé학교ß€·—　\t\x01\x1f\"'=[]");
    const QString emoji = QString::fromUtf8("😀");
    const QString path = QString::fromStdString(Path());
    // A GBK file, as the program writes it: Chinese that is no valid UTF-8 keeps it GBK.
    Put("[USERINFO]\r\nUSER=" + tw::text::ToGbk(QString::fromUtf8("北山中学")) + "\r\n");
    std::mt19937 rng(7);
    for (int round = 0; round < 400; ++round) {
        QString value;
        const int length = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < length; ++i) {
            if (rng() % 20 == 0)
                value += emoji;
            else
                value += pool[static_cast<qsizetype>(rng() % static_cast<unsigned>(pool.size()))];
        }
        if (round % 5 == 0) value = "\"" + value + "\"";
        const size_t buffer = round % 3 == 0 ? 8 : 0;  // a small reader's buffer, or none
        const std::string before = Bytes();
        if (WriteString(path, "DB", "FILENAME", value, buffer)) {
            EXPECT_EQ(ReadString(path, "DB", "FILENAME", "", buffer ? buffer : 1000), value)
                << round;
        } else {
            EXPECT_EQ(Bytes(), before) << round;
            // Refused only for a reason: GBK lacks a character, the reader would trim or
            // unquote it, or its buffer would cut it.
            const std::string gbk = tw::text::ToGbk(value);
            const auto blank = [](QChar c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
            const bool quoted = value.size() >= 2 &&
                                (value.front() == '"' || value.front() == '\'') &&
                                value.back() == value.front();
            EXPECT_TRUE(tw::text::FromGbk(gbk) != value || blank(value.front()) ||
                        blank(value.back()) || quoted || (buffer && gbk.size() >= buffer))
                << round;
        }
    }
    EXPECT_FALSE(
        WriteString(path, "DB", "FILENAME", QString::fromUtf8("/home/x/Björn-학교/a.mdb")));
    EXPECT_FALSE(WriteString(path, QString::fromUtf8("학교"), "K", "v"));
    EXPECT_FALSE(WritePrivateProfileString("DB", "FILENAME", "/school/kb.mdb ", Path()));
    EXPECT_FALSE(WritePrivateProfileString("DB", "FILENAME", "'/school/kb.mdb'", Path()));
}

TEST_F(IniFileTest, AFileThatBeginsWithTheUtf8MarkIsReadAndWrittenAsUtf8) {
    // As a Linux editor saves it: a Chinese path in UTF-8, behind the byte-order mark.
    const QString path = QString::fromStdString(Path());
    const QString school = QString::fromUtf8("/home/老师/第二学期/课表.mdb");
    Put("\xEF\xBB\xBF[DB]\nFILENAME=" + school.toUtf8().toStdString() +
        "\n[USERINFO]\nUSER=" + QString::fromUtf8("北山中学").toUtf8().toStdString() + "\n");
    EXPECT_EQ(ReadString(path, "DB", "FILENAME", "", 255), school);
    EXPECT_EQ(ReadString(path, "USERINFO", "USER", "", 101), QString::fromUtf8("北山中学"));
    // The limit counts the bytes as stored: 7 bytes hold two characters and a third's start.
    EXPECT_EQ(ReadString(path, "USERINFO", "USER", "", 8), QString::fromUtf8("北山"));
    // A write keeps the file UTF-8, so it holds what GBK lacks.
    const QString other = QString::fromUtf8("/home/Björn/학교.mdb");
    ASSERT_TRUE(WriteString(path, "DB", "FILENAME", other, 255));
    EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[DB]\nFILENAME=" + other.toUtf8().toStdString() +
                           "\n[USERINFO]\nUSER=" +
                           QString::fromUtf8("北山中学").toUtf8().toStdString() + "\n");
    EXPECT_EQ(ReadString(path, "db", "filename", "", 255), other);
}

// Linux editors save UTF-8 without the mark: a file whose bytes are all valid UTF-8 and hold
// characters beyond ASCII reads as UTF-8, every key of it, and a write keeps it UTF-8. GBK text
// with Chinese in it is no valid UTF-8 and reads as GBK, as does a file of ASCII alone.
TEST_F(IniFileTest, AFileOfValidUtf8WithoutTheMarkIsReadAndWrittenAsUtf8) {
    const QString path = QString::fromStdString(Path());
    const QString school = QString::fromUtf8("/home/老师/第二学期/课表.mdb");
    const QString name = QString::fromUtf8("北山中学");
    Put("[DB]\nFILENAME=" + school.toUtf8().toStdString() +
        "\n[USERINFO]\nUSER=" + name.toUtf8().toStdString() + "\n");
    EXPECT_EQ(ReadString(path, "DB", "FILENAME", "", 255), school);
    EXPECT_EQ(ReadString(path, "USERINFO", "USER", "", 101), name);
    EXPECT_EQ(ReadString(path, "USERINFO", "USER", "", 8), QString::fromUtf8("北山"));
    const QString other = QString::fromUtf8("/home/Björn/学校.mdb");
    ASSERT_TRUE(WriteString(path, "DB", "FILENAME", other, 255));
    EXPECT_EQ(Bytes(), "[DB]\nFILENAME=" + other.toUtf8().toStdString() +
                           "\n[USERINFO]\nUSER=" + name.toUtf8().toStdString() + "\n");
    EXPECT_EQ(ReadString(path, "USERINFO", "USER", "", 101), name);
    // A file that now holds ASCII alone reads the same either way.
    ASSERT_TRUE(WriteString(path, "USERINFO", "USER", "School"));
    ASSERT_TRUE(WriteString(path, "DB", "FILENAME", "/x/kb.mdb"));
    EXPECT_EQ(Bytes(), "[DB]\nFILENAME=/x/kb.mdb\n[USERINFO]\nUSER=School\n");

    // GBK stays GBK, and a file of ASCII alone takes GBK, the program's own encoding.
    Put("[DB]\nFILENAME=" + tw::text::ToGbk(school) +
        "\n[USERINFO]\nUSER=" + tw::text::ToGbk(name) + "\n");
    EXPECT_EQ(ReadString(path, "DB", "FILENAME", "", 255), school);
    EXPECT_EQ(ReadString(path, "USERINFO", "USER", "", 101), name);
    Put("[LESSON]\nLESSON_OF_DAY=7\n");
    ASSERT_TRUE(WriteString(path, "USERINFO", "USER", name));
    EXPECT_EQ(Bytes(),
              "[LESSON]\nLESSON_OF_DAY=7\n[USERINFO]\r\nUSER=" + tw::text::ToGbk(name) + "\r\n");
    EXPECT_EQ(ReadString(path, "USERINFO", "USER", "", 101), name);
    // GBK bytes written into a UTF-8 file (through the byte interface) would make it read as
    // GBK, every value with it: refused, the file untouched.
    Put("[USERINFO]\nUSER=" + name.toUtf8().toStdString() + "\n");
    EXPECT_FALSE(WritePrivateProfileString("DB", "FILENAME", tw::text::ToGbk(school), Path()));
    EXPECT_EQ(Bytes(), "[USERINFO]\nUSER=" + name.toUtf8().toStdString() + "\n");
    // A value whose GBK bytes happen to be valid UTF-8 ("山" is C9 BD in GBK, "ɽ" in UTF-8) goes
    // into a file of ASCII alone as UTF-8, which reads back as written.
    Put("[LESSON]\nLESSON_OF_DAY=7\n");
    const QString mountain = QString::fromUtf8("/home/山/kb.mdb");
    ASSERT_EQ(tw::text::ToGbk(QString::fromUtf8("山")), "\xC9\xBD");
    ASSERT_TRUE(WriteString(path, "DB", "FILENAME", mountain, 255));
    EXPECT_EQ(Bytes(), "[LESSON]\nLESSON_OF_DAY=7\n[DB]\r\nFILENAME=" +
                           mountain.toUtf8().toStdString() + "\r\n");
    EXPECT_EQ(ReadString(path, "DB", "FILENAME", "", 255), mountain);
}

TEST_F(IniFileTest, AByteOrderMarkBeforeTheFirstSectionIsSkipped) {
    Put("\xEF\xBB\xBF[DB]\r\nFILENAME=/school/kb.mdb\r\n[LESSON]\r\nLESSON_OF_DAY=7\r\n");
    EXPECT_EQ(GetPrivateProfileString("DB", "FILENAME", "", 255, Path()), "/school/kb.mdb");
    EXPECT_EQ(GetPrivateProfileInt("LESSON", "LESSON_OF_DAY", 6, Path()), 7u);
    // A write finds the same section and keeps the mark.
    ASSERT_TRUE(WritePrivateProfileString("DB", "FILENAME", "/other.mdb", Path()));
    EXPECT_EQ(Bytes(),
              "\xEF\xBB\xBF[DB]\r\nFILENAME=/other.mdb\r\n[LESSON]\r\nLESSON_OF_DAY=7\r\n");
}
