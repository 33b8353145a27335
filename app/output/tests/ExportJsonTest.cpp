// The bytes of export_data.json as the three writers produce them.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "db/Database.h"
#include "ini/PrivateProfile.h"
#include "output/ExportJson.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"
#include "text/Gbk.h"

using tw::shell::SetProgramFolder;
using tw::shell::SettingsFile;

namespace {

using Row = std::vector<QVariant>;
using tw::output::WriteClassJson;
using tw::output::WriteTeacherJson;
using tw::output::WriteTotalJson;

// Rows as the class and total queries give them.
tw::db::Recordset ClassRows(const std::vector<Row>& rows) {
    return tw::db::Recordset(
        {"Name", "CourseName", "ClassShortName", "TeacherShortName", "Day", "LessonNo"}, rows);
}

// Rows as the teacher queries give them.
tw::db::Recordset TeacherRows(const std::vector<Row>& rows) {
    return tw::db::Recordset({"Name", "CourseName", "ClassShortName", "Day", "LessonNo"}, rows);
}

class ExportJsonTest : public ::testing::Test {
  protected:
    int lessonOfDay_ = 6;  // the lessons per day the writers are given
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetProgramFolder(dir_.path());
        file_ = dir_.filePath("export_data.json");
        SetSchool(QStringLiteral("第一中学"));
        lessonOfDay_ = 7;
    }
    void SetSchool(const QString& name) {
        ASSERT_TRUE(tw::ini::WriteString(SettingsFile(), "USERINFO", "USER", name));
    }
    QByteArray Bytes() const {
        QFile f(file_);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    // The written line decoded from GBK, checked to end with its single CR LF.
    QString Line() const {
        const QByteArray bytes = Bytes();
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_EQ(bytes.count("\r\n"), 1);
        return tw::text::FromGbk(bytes.chopped(2).toStdString());
    }
    // The objects of the written line, which must be valid JSON of the form [[{...},...]].
    QJsonArray Objects() const {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(Line().toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        EXPECT_TRUE(doc.isArray());
        EXPECT_EQ(doc.array().size(), 1);
        return doc.array().at(0).toArray();
    }

    QTemporaryDir dir_;
    QString file_;
};

TEST_F(ExportJsonTest, OneClassOneLessonIsByteExactGbkWithCrLf) {
    auto rows = ClassRows({{"初一(1)班", "语文", "", "张老师", 1, 1}});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    QFile expected(QStringLiteral(TW_TEST_DATA_DIR "/export_one_class.json"));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    EXPECT_EQ(Bytes(), expected.readAll());
    EXPECT_TRUE(rows.Eof()) << "the writer reads the rows to the end";
}

TEST_F(ExportJsonTest, GroupsFollowRunsOfEqualNamesInQueryOrder) {
    auto rows = ClassRows({{"A", "语文", "", "T1", 1, 1},
                           {"A", "数学", "", "T2", 2, 1},
                           {"B", "英语", "", "T3", 1, 2},
                           {"A", "体育", "", "T4", 5, 3}});
    ASSERT_EQ(WriteTotalJson(file_, rows, lessonOfDay_), 0);
    EXPECT_EQ(Line().toStdString(),
              QStringLiteral(
                  "[[{\"school_name\":\"第一中学\",\"class_name\":\"A\",\"course_name11\":\"语文\","
                  "\"teacher_name11\":\"T1\",\"course_name12\":\"数学\",\"teacher_name12\":\"T2\"},"
                  "{\"school_name\":\"第一中学\",\"class_name\":\"B\",\"course_name21\":\"英语\","
                  "\"teacher_name21\":\"T3\"},"
                  "{\"school_name\":\"第一中学\",\"class_name\":\"A\",\"course_name35\":\"体育\","
                  "\"teacher_name35\":\"T4\"}]]")
                  .toStdString());
}

// The settings file as a Linux editor saves it, UTF-8 without the mark: the workbook names the
// school as it was typed.
TEST_F(ExportJsonTest, ASettingsFileSavedAsUtf8NamesTheSchool) {
    QFile ini(SettingsFile());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[USERINFO]\nUSER=" + QStringLiteral("北山中学").toUtf8() + "\n");
    ini.close();
    auto rows = ClassRows({{"A", "语文", "", "T1", 1, 1}});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    EXPECT_EQ(Objects().at(0).toObject().value("school_name").toString(),
              QStringLiteral("北山中学"));
}

TEST_F(ExportJsonTest, GroupNamesCompareCaseSensitively) {
    auto rows = ClassRows({{"a", "X", "", "T", 1, 1}, {"A", "Y", "", "T", 1, 2}});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    EXPECT_EQ(Objects().size(), 2);
}

TEST_F(ExportJsonTest, TeachersSharingANameStayApartWhenTheRowsCarryTheirCodes) {
    // Two teachers called 张伟 with neighbouring codes, as the all-teachers selection gives them.
    tw::db::Recordset rows({"Name", "CourseName", "ClassShortName", "Day", "LessonNo", "GroupCode"},
                           {{"张伟", "语文", "一1", 1, 1, "T1"},
                            {"张伟", "语文", "一1", 2, 1, "T1"},
                            {"张伟", "数学", "二1", 1, 1, "T2"},
                            {"李明", "英语", "一1", 3, 1, "T3"}});
    ASSERT_EQ(WriteTeacherJson(file_, rows, lessonOfDay_), 0);
    const QJsonArray objects = Objects();
    ASSERT_EQ(objects.size(), 3);
    EXPECT_EQ(objects.at(0).toObject().value("course_name11").toString().toStdString(), "语文");
    EXPECT_EQ(objects.at(1).toObject().value("teacher_name").toString().toStdString(), "张伟");
    EXPECT_EQ(objects.at(1).toObject().value("course_name11").toString().toStdString(), "数学");
    EXPECT_EQ(objects.at(2).toObject().value("teacher_name").toString().toStdString(), "李明");
}

TEST_F(ExportJsonTest, TeacherFormNamesTheTeacherAndTheClassOfEachSlot) {
    auto rows = TeacherRows({{"王老师", "数学", "一1", 2, 1}, {"王老师", "数学", "一2", 2, 7}});
    ASSERT_EQ(WriteTeacherJson(file_, rows, lessonOfDay_), 0);
    EXPECT_EQ(Line().toStdString(),
              QStringLiteral("[[{\"school_name\":\"第一中学\",\"teacher_name\":\"王老师\","
                             "\"course_name12\":\"数学\",\"class_name12\":\"一1\","
                             "\"course_name72\":\"数学\",\"class_name72\":\"一2\"}]]")
                  .toStdString());
}

TEST_F(ExportJsonTest, SevenLessonsRunUpToLessonSevenFriday) {
    auto rows = ClassRows({{"A", "语文", "", "T", 5, 7}});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    const QJsonObject object = Objects().at(0).toObject();
    EXPECT_EQ(object.value("course_name75").toString(), QStringLiteral("语文"));
    EXPECT_EQ(object.value("teacher_name75").toString(), QStringLiteral("T"));
}

// A lesson outside the week grid (beyond the lessons per day, or on a day the week does not
// have) belongs to no timetable: it is left out, and a class with no other gets no object.
TEST_F(ExportJsonTest, RowsOutsideTheWeekGridAreLeftOut) {
    lessonOfDay_ = 6;
    auto rows = ClassRows({{"A", "语文", "", "T", 1, 7},
                           {"A", "数学", "", "T", 2, 1},
                           {"B", "英语", "", "T", 3, 7},
                           {"C", "音乐", "", "T", 6, 1},
                           {"C", "美术", "", "T", 0, 2},
                           {"D", "历史", "", "T", 1, 0},
                           {"D", "地理", "", "T", 5, 6}});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    EXPECT_EQ(Line().toStdString(),
              QStringLiteral("[[{\"school_name\":\"第一中学\",\"class_name\":\"A\","
                             "\"course_name12\":\"数学\",\"teacher_name12\":\"T\"},"
                             "{\"school_name\":\"第一中学\",\"class_name\":\"D\","
                             "\"course_name65\":\"地理\",\"teacher_name65\":\"T\"}]]")
                  .toStdString());
}

TEST_F(ExportJsonTest, CrLfPairsAreDroppedAndLoneCrOrLfKeptEscaped) {
    auto rows = ClassRows({{"A", "语\r\n文", "", "a\rb\nc", 1, 1}});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    EXPECT_TRUE(Line().contains(QStringLiteral("\"course_name11\":\"语文\",")));
    EXPECT_TRUE(Line().contains(QStringLiteral("\"teacher_name11\":\"a\\rb\\nc\"")));
    EXPECT_EQ(Objects().at(0).toObject().value("teacher_name11").toString(), "a\rb\nc");
}

TEST_F(ExportJsonTest, QuotesBackslashesAndControlCharactersAreEscapedAsJson) {
    SetSchool(QStringLiteral("\"实验\"中学\\"));
    auto rows = ClassRows({{"初一\"1\"班", "C\\D", "", QStringLiteral("T\tx\x01"), 1, 1}});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    EXPECT_EQ(Line().toStdString(),
              QStringLiteral("[[{\"school_name\":\"\\\"实验\\\"中学\\\\\",\"class_name\":"
                             "\"初一\\\"1\\\"班\",\"course_name11\":\"C\\\\D\","
                             "\"teacher_name11\":\"T\\tx\\u0001\"}]]")
                  .toStdString());
    const QJsonObject object = Objects().at(0).toObject();
    EXPECT_EQ(object.value("school_name").toString(), QStringLiteral("\"实验\"中学\\"));
    EXPECT_EQ(object.value("class_name").toString(), QStringLiteral("初一\"1\"班"));
}

TEST_F(ExportJsonTest, GbkTrailByte5CIsNotTakenForABackslash) {
    // 乗 is 81 5C in GBK: its second byte is the backslash's code, yet it stays one character.
    auto rows = ClassRows({{"乗", "语文", "", "T", 1, 1}});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    EXPECT_TRUE(Bytes().contains(QByteArray("\"class_name\":\"\x81\x5c\",")));
    EXPECT_EQ(Objects().at(0).toObject().value("class_name").toString(), QStringLiteral("乗"));
}

TEST_F(ExportJsonTest, CharactersOutsideGbkSurviveAsUnicodeEscapes) {
    auto rows = ClassRows({{QStringLiteral("A😀"), QStringLiteral("€语"), "", "T", 1, 1}});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    EXPECT_FALSE(Bytes().contains('?'));
    const QJsonObject object = Objects().at(0).toObject();
    EXPECT_EQ(object.value("class_name").toString(), QStringLiteral("A😀"));
    EXPECT_EQ(object.value("course_name11").toString(), QStringLiteral("€语"));
}

TEST_F(ExportJsonTest, NullColumnsAndAnEmptySchoolNameAreEmptyValues) {
    SetSchool(QString());
    auto rows = ClassRows({{"A", QVariant(), "", QVariant(), 1, 1}});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    EXPECT_EQ(Line().toStdString(),
              QStringLiteral("[[{\"school_name\":\"\",\"class_name\":\"A\","
                             "\"course_name11\":\"\",\"teacher_name11\":\"\"}]]")
                  .toStdString());
}

TEST_F(ExportJsonTest, NoRowsWritesOnlyCrLf) {
    auto rows = ClassRows({});
    ASSERT_EQ(WriteClassJson(file_, rows, lessonOfDay_), 0);
    EXPECT_EQ(Bytes(), QByteArray("\r\n"));
}

TEST_F(ExportJsonTest, FailuresReturnMinusOneAndKeepTheOldFile) {
    auto first = ClassRows({{"A", "语文", "", "T", 1, 1}});
    ASSERT_EQ(WriteClassJson(file_, first, lessonOfDay_), 0);
    const QByteArray old = Bytes();

    // The teacher form reads ClassShortName, which these rows have, but not the class rows'
    // missing column: a query without TeacherShortName fails on its first row.
    auto missingColumn = TeacherRows({{"A", "数学", "x", 1, 1}});
    EXPECT_EQ(WriteClassJson(file_, missingColumn, lessonOfDay_), -1);
    EXPECT_EQ(Bytes(), old);

    auto rows = ClassRows({{"A", "语文", "", "T", 1, 1}});
    EXPECT_EQ(WriteClassJson(dir_.filePath("no/such/folder/export_data.json"), rows, lessonOfDay_),
              -1);
}

}  // namespace
