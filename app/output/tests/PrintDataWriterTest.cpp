// The bytes of tmp.xml as the print writers produce them.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <random>
#include <vector>

#include "db/Database.h"
#include "output/PrintDataWriter.h"
#include "shell/ProgramFolder.h"
#include "text/Gbk.h"

using tw::output::WriteScheduleXml;
using tw::output::WriteTotalXml;
using tw::shell::SetProgramFolder;

namespace {

using Row = std::vector<QVariant>;

tw::db::Recordset Rows(const std::vector<Row>& rows) {
    return tw::db::Recordset(
        {"Name", "CourseName", "ClassShortName", "TeacherName", "Day", "LessonNo"}, rows);
}

class PrintDataWriterTest : public ::testing::Test {
  protected:
    int lessonOfDay_ = 6;  // the lessons per day the writers are given
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetProgramFolder(dir_.path());
        lessonOfDay_ = 6;
        file_ = dir_.filePath("tmp.xml");
    }
    // The file as lines (GBK decoded), checking every line ends with CR LF.
    QStringList Lines() {
        QFile f(file_);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        QStringList lines = tw::text::FromGbk(bytes.toStdString()).split("\r\n");
        lines.removeLast();
        for (const QString& l : lines) EXPECT_FALSE(l.contains('\n')) << l.toStdString();
        return lines;
    }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir dir_;
    QString file_;
};

TEST_F(PrintDataWriterTest, ClassWithFirstAndLastSlotFillsTheWholeWeek) {
    auto rs = Rows({{"一(1)班", "语文", "", "张三", 1, 1}, {"一(1)班", "数学", "", "李四", 5, 6}});
    ASSERT_EQ(WriteScheduleXml(file_, rs, lessonOfDay_), 0);
    const QStringList lines = Lines();
    EXPECT_EQ(lines.first(), QString("<root docname=\"Korvel排课\">"));
    EXPECT_EQ(lines[1], "<record>");
    EXPECT_EQ(lines.count("<tr>"), 30);
    EXPECT_EQ(lines.count("</tr>"), 30);
    EXPECT_EQ(lines[2], "<tr>");
    EXPECT_EQ(lines[3], QString("<title value=\"     一(1)班\"></title>"));
    EXPECT_EQ(lines[4], QString("<coursename value=\"语文\"></coursename>"));
    EXPECT_EQ(lines[5], "<classname value=\" \"></classname>");
    EXPECT_EQ(lines[6], QString("<teachername value=\"张三\"></teachername>"));
    EXPECT_EQ(lines[7], "<totallesson value=\" 1 \"></totallesson>");
    EXPECT_EQ(lines[9], "<tr>");
    EXPECT_EQ(lines[10], "<coursename value=\" \"></coursename>");
    EXPECT_EQ(lines[13], "<totallesson value=\" 1 \"></totallesson>");
    EXPECT_EQ(lines.count("<totallesson value=\" 1 \"></totallesson>"), 29);
    EXPECT_EQ(lines[lines.size() - 4], "<totallesson value=\" 2 \"></totallesson>");
    EXPECT_EQ(lines[lines.size() - 3], "</tr>");
    EXPECT_EQ(lines[lines.size() - 2], "</record>");
    EXPECT_EQ(lines.last(), "</root>");
}

TEST_F(PrintDataWriterTest, GroupsStartWithTitleAndCountAgain) {
    QFile ini(dir_.filePath("kbxt.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(tw::text::ToGbk("[USERINFO]\r\nUSER=实验小学\r\n").c_str());
    ini.close();
    lessonOfDay_ = 7;
    auto rs = Rows({{"A", "语文", "", "T1", 3, 2}, {"B", "数学", "", "T2", 1, 1}});
    ASSERT_EQ(WriteScheduleXml(file_, rs, lessonOfDay_), 0);
    const QStringList lines = Lines();
    EXPECT_EQ(lines.count("<tr>"), 70);
    const int a = lines.indexOf(QString("<title value=\"实验小学     A\"></title>"));
    const int b = lines.indexOf(QString("<title value=\"实验小学     B\"></title>"));
    ASSERT_EQ(a, 3);
    ASSERT_GT(b, a);
    EXPECT_EQ(lines[a + 1], "<coursename value=\" \"></coursename>");  // lesson 1 day 1 empty
    EXPECT_EQ(lines[a + 4], "<totallesson value=\" 0 \"></totallesson>");
    EXPECT_EQ(lines[b + 4], "<totallesson value=\" 1 \"></totallesson>");
    // The lesson of A is slot (2, 3): the eighth slot of its group.
    const int course = lines.indexOf(QString("<coursename value=\"语文\"></coursename>"));
    EXPECT_EQ(lines.mid(a - 1, course - a + 1).count("<tr>"), 8);
}

TEST_F(PrintDataWriterTest, LessonsOutsideTheGridAreLeftOutAndTwoLessonsOfASlotShareIt) {
    auto rs = Rows({{"A", "甲", "", "T1", 2, 7},  // lesson 7 of a 6-lesson day
                    {"A", "乙", "", "T1", 0, 1},  // day 0
                    {"A", "丙", "", "T1", 6, 1},  // day 6
                    {"A", "语文", "", "T1", 3, 1},
                    {"A", "数学", "", "T2", 3, 1},  // the same slot again
                    {"A", "英语", "", "T3", 4, 1},
                    {"B", "丁", "", "T1", 1, 9}});  // a group of nothing but stray rows
    ASSERT_EQ(WriteScheduleXml(file_, rs, lessonOfDay_), 0);
    const QStringList lines = Lines();
    EXPECT_EQ(lines.count("<tr>"), 30);
    for (const char* absent : {"甲", "乙", "丙", "丁"}) {
        EXPECT_FALSE(lines.join("").contains(QString(absent))) << absent;
    }
    const int chinese = lines.indexOf(QString("<coursename value=\"语文/数学\"></coursename>"));
    EXPECT_EQ(lines.mid(0, chinese).count("<tr>"), 3);  // lesson 1, day 3
    EXPECT_EQ(lines[chinese + 2], QString("<teachername value=\"T1、T2\"></teachername>"));
    const int english = lines.indexOf(QString("<coursename value=\"英语\"></coursename>"));
    EXPECT_EQ(lines.mid(0, english).count("<tr>"), 4);
    EXPECT_EQ(lines[english + 3], "<totallesson value=\" 2 \"></totallesson>");
}

TEST_F(PrintDataWriterTest, OneLessonFileIsByteExact) {
    QFile ini(dir_.filePath("kbxt.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(tw::text::ToGbk("[USERINFO]\r\nUSER=实验小学\r\n").c_str());
    ini.close();
    auto one = Rows({{"一(1)班", "语文", "", "张三", 1, 1}});
    ASSERT_EQ(WriteScheduleXml(file_, one, lessonOfDay_), 0);
    EXPECT_EQ(Bytes(file_), Bytes(TW_TEST_DATA_DIR "/print_one_lesson.xml"));
    EXPECT_EQ(Lines().size(), 185);
    auto total = Rows({{"一1", "语", "张三", "", 1, 1}});
    ASSERT_EQ(WriteTotalXml(file_, total, lessonOfDay_), 0);
    EXPECT_EQ(Bytes(file_), Bytes(TW_TEST_DATA_DIR "/print_total_one_class.xml"));
}

TEST_F(PrintDataWriterTest, ValuesWithQuotesAndMarkupStayInsideTheAttribute) {
    auto rs = Rows({{"A&B", "\"<x>\"", "", "O'Brien", 1, 1}});
    ASSERT_EQ(WriteScheduleXml(file_, rs, lessonOfDay_), 0);
    const QStringList lines = Lines();
    EXPECT_EQ(lines[3], "<title value=\"     A&amp;B\"></title>");
    EXPECT_EQ(lines[4], "<coursename value=\"&quot;&lt;x&gt;&quot;\"></coursename>");
    EXPECT_EQ(lines[6], "<teachername value=\"O'Brien\"></teachername>");
}

TEST_F(PrintDataWriterTest, UnwritableFileFails) {
    auto rs = Rows({{"A", "语文", "", "T1", 1, 1}});
    EXPECT_EQ(WriteScheduleXml(dir_.filePath("missing/tmp.xml"), rs, lessonOfDay_), -1);
}

TEST_F(PrintDataWriterTest, WholeSchoolWithoutLessonsIsFourLines) {
    auto rs = Rows({});
    ASSERT_EQ(WriteTotalXml(file_, rs, lessonOfDay_), 0);
    EXPECT_EQ(Lines(),
              QStringList({"<root docname=\"Korvel排课\">", "<record>", "</record>", "</root>"}));
}

TEST_F(PrintDataWriterTest, WholeSchoolCellsBeforeBetweenAndAfterLessons) {
    auto rs = Rows({{"一1", "语", "张三", "", 2, 1}, {"一1", "数", "李四", "", 3, 2}});
    ASSERT_EQ(WriteTotalXml(file_, rs, lessonOfDay_), 0);
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 2 + 1 + 1 + 3 * 30 + 1 + 2);
    EXPECT_EQ(lines[3], QString("<title value=\" 20    -- 20   学年度第  学期总课程表\"></title>"));
    EXPECT_EQ(lines[4], "<coursenameL11 value=\" \"></coursename>");
    EXPECT_EQ(lines[5], QString("<classnameL11 value=\"一1\"></classname>"));
    EXPECT_EQ(lines[6], "<teachernameL11 value=\" \"></teachername>");
    EXPECT_EQ(lines[7], QString("<coursenameL12 value=\"语\"></coursename>"));
    EXPECT_EQ(lines[9], QString("<teachernameL12 value=\"张三\"></teachername>"));
    EXPECT_EQ(lines[10], "<coursenameL13 value=\" \"></coursename>");
    EXPECT_EQ(lines[11], QString("<classnameL13 value=\"一1\"></classname>"));
    EXPECT_EQ(lines[25], QString("<coursenameL23 value=\"数\"></coursename>"));
    EXPECT_EQ(lines[28], "<coursenameL24 value=\" \"></coursename>");  // after the last lesson
    EXPECT_EQ(lines[29], "<classnameL24 value=\"\"></classname>");
    EXPECT_EQ(lines[lines.size() - 4], "<teachernameL65 value=\" \"></teachername>");
    EXPECT_EQ(lines[lines.size() - 3], "</tr>");
}

TEST_F(PrintDataWriterTest, NamesakesWithTheirCodesGetAGroupEach) {
    // Two teachers called 张伟 (codes T1 and T2), as the all-teachers selection gives them: each
    // gets its own 30 slots and title, and each lesson stays in its own slot.
    tw::db::Recordset rs(
        {"Name", "CourseName", "ClassShortName", "TeacherName", "Day", "LessonNo", "GroupCode"},
        {{"张伟", "语文", "一1", "张伟", 2, 1, "T1"},
         {"张伟", "数学", "二1", "张伟", 1, 1, "T2"},
         {"李明", "英语", "一1", "李明", 1, 2, "T3"}});
    ASSERT_EQ(WriteScheduleXml(file_, rs, lessonOfDay_), 0);
    const QStringList lines = Lines();
    EXPECT_EQ(lines.count("<tr>"), 90);
    EXPECT_EQ(lines.count(QString("<title value=\"     张伟\"></title>")), 2);
    EXPECT_EQ(lines.count("<totallesson value=\" 2 \"></totallesson>"), 0);
    const int second = lines.lastIndexOf(QString("<title value=\"     张伟\"></title>"));
    EXPECT_EQ(lines[second + 1], QString("<coursename value=\"数学\"></coursename>"));

    // The whole-school table likewise keeps two classes of one short name apart.
    tw::db::Recordset total(
        {"Name", "CourseName", "ClassShortName", "Day", "LessonNo", "GroupCode"},
        {{"一1", "语", "张伟", 1, 1, "11"}, {"一1", "数", "李明", 1, 1, "12"}});
    ASSERT_EQ(WriteTotalXml(file_, total, lessonOfDay_), 0);
    const QStringList cells = Lines();
    EXPECT_EQ(cells.count("<tr>"), 2);
    EXPECT_EQ(cells.count(QString("<coursenameL11 value=\"数\"></coursename>")), 1);
}

}  // namespace

namespace {

// The text a cell of the data file should hold for the rows of one slot: the distinct non-empty
// values joined, or a blank when there is none.
QString Expected(const std::vector<QString>& values, const QString& separator) {
    QStringList distinct;
    for (const QString& v : values)
        if (!v.isEmpty() && !distinct.contains(v)) distinct << v;
    return distinct.isEmpty() ? QStringLiteral(" ") : distinct.join(separator);
}

// The value of the field line `tag` (start tag `tag`) in lines, from `from` on; "<none>" when
// there is no such line.
QString FieldValue(const QStringList& lines, int from, const QString& tag) {
    const QString start = "<" + tag + " value=\"";
    for (int i = from; i < lines.size(); ++i) {
        if (!lines[i].startsWith(start)) continue;
        const QString rest = lines[i].mid(start.size());
        return rest.left(rest.indexOf(QLatin1Char('"')));
    }
    return QStringLiteral("<none>");
}

}  // namespace

// Random timetables, with courses or teachers without a name (empty or Null) and teachers in
// two classes at once, checked against a plain model: every group has one <tr> per slot of the
// week; every slot holds the joined names of all its lessons, a blank where there are none, so
// no cell is ever empty; the whole-school file names each cell by its own slot.
TEST_F(PrintDataWriterTest, EverySlotKeepsItsPlaceAndHoldsAllItsLessons) {
    std::mt19937 random(7102);
    const QStringList names = {"语文", "数学", "一1", "张三", "李四", "O'Neil", "信息技术"};
    auto name = [&]() -> QVariant {
        const int pick = static_cast<int>(random() % (names.size() + 2));
        if (pick == names.size()) return QVariant();  // Null
        if (pick == names.size() + 1) return QString();
        return names[pick];
    };
    for (int round = 0; round < 30; ++round) {
        lessonOfDay_ = 6 + static_cast<int>(random() % 2);
        const int n = lessonOfDay_;
        std::vector<Row> rows;
        // slot index -> values of its rows, per group
        std::vector<std::map<int, std::vector<std::vector<QString>>>> model;
        const int groups = 1 + static_cast<int>(random() % 3);
        for (int g = 0; g < groups; ++g) {
            model.emplace_back();
            for (int slot = 0; slot < 5 * n; ++slot) {
                const int lessons = random() % 3 == 0 ? 1 + static_cast<int>(random() % 2) : 0;
                for (int k = 0; k < lessons; ++k) {
                    const Row row = {QString("G%1").arg(g), name(),      name(), name(),
                                     slot % 5 + 1,          slot / 5 + 1};
                    rows.push_back(row);
                    model[g][slot].push_back(
                        {row[1].toString(), row[2].toString(), row[3].toString()});
                }
            }
        }
        auto rs = Rows(rows);
        ASSERT_EQ(WriteScheduleXml(file_, rs, lessonOfDay_), 0);
        const QStringList lines = Lines();
        ASSERT_EQ(lines.count("<tr>"), groups * 5 * n);
        for (const QString& line : lines)
            EXPECT_FALSE(line.contains("value=\"\"")) << line.toStdString();
        int tr = -1;
        for (int g = 0; g < groups; ++g) {
            for (int slot = 0; slot < 5 * n; ++slot) {
                tr = static_cast<int>(lines.indexOf("<tr>", tr + 1));
                std::vector<QString> course, cls, teacher;
                for (const auto& v : model[g][slot]) {
                    course.push_back(v[0]);
                    cls.push_back(v[1]);
                    teacher.push_back(v[2]);
                }
                SCOPED_TRACE(QString("group %1 slot %2").arg(g).arg(slot).toStdString());
                EXPECT_EQ(FieldValue(lines, tr, "coursename"), Expected(course, "/"));
                EXPECT_EQ(FieldValue(lines, tr, "classname"), Expected(cls, "、"));
                EXPECT_EQ(FieldValue(lines, tr, "teachername"), Expected(teacher, "、"));
            }
        }

        // The whole school: Name is the class, ClassShortName carries the teacher.
        auto total = Rows(rows);
        ASSERT_EQ(WriteTotalXml(file_, total, lessonOfDay_), 0);
        const QStringList cells = Lines();
        ASSERT_EQ(cells.count("<tr>"), groups);
        tr = -1;
        for (int g = 0; g < groups; ++g) {
            tr = static_cast<int>(cells.indexOf("<tr>", tr + 1));
            for (const auto& [slot, values] : model[g]) {
                std::vector<QString> course, teacher;
                for (const auto& v : values) {
                    course.push_back(v[0]);
                    teacher.push_back(v[1]);
                }
                const QString at = QString("%1%2").arg(slot / 5 + 1).arg(slot % 5 + 1);
                EXPECT_EQ(FieldValue(cells, tr, "coursenameL" + at), Expected(course, "/"));
                EXPECT_EQ(FieldValue(cells, tr, "teachernameL" + at), Expected(teacher, "、"));
            }
        }
    }
}
