// The whole print road: lessons in the database, the print dialog's command, the real print
// library from the program folder with the shipped templates, the CUPS queue "PDF" (which keeps
// each job as job-<id>.pdf in its folder), and the printed PDF read back. Skips when the
// queue or the built libraries are not there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointF>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "AppTestSupport.h"
#include "PdfSpoolTestSupport.h"
#include "PrintedCellsTestSupport.h"
#include "output/frmExport.h"
#include "output/frmPrint.h"
#include "ui/MsgBox.h"

using tw::output::frmExport;
using tw::output::frmPrint;

namespace {

using pdfspool::PageSizes;
using pdfspool::RunTool;
using pdfspool::SpooledJobs;
using pdfspool::WaitForJobWithText;

bool QueueReady() {
    return pdfspool::HasPdfQueue() && !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

QString Text(const QString& pdf) {
    return RunTool("pdftotext", {"-layout", pdf, "-"});
}

// Centre, in millimetres from the page's top-left corner, of the first word on page 1 that
// equals word; (-1, -1) when there is none.
QPointF WordCentreMm(const QString& pdf, const QString& word) {
    const QString xml = RunTool("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
    static const QRegularExpression re(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
        "yMax=\"([0-9.]+)\">([^<]*)</word>");
    for (auto it = re.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(5) != word) continue;
        const double mm = 25.4 / 72.0;
        return {(m.captured(1).toDouble() + m.captured(3).toDouble()) / 2 * mm,
                (m.captured(2).toDouble() + m.captured(4).toDouble()) / 2 * mm};
    }
    return {-1, -1};
}

class PrintEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!QueueReady()) GTEST_SKIP() << "no PDF print queue";
        for (const char* f : {"libVostrin.so", "libCalvorix.so", "ClassSchd6.xml",
                              "TeacherSchd6.xml", "TotalSchd6A3.xml"}) {
            const QString src = QStringLiteral(TW_DIST_DIR "/") + f;
            if (!QFile::exists(src)) GTEST_SKIP() << "not built: " << f;
            ASSERT_TRUE(QFile::copy(src, env.FilePath(f)));
        }
        school = QString("实验%1小学").arg(QCoreApplication::applicationPid());
        // The school's name as a Linux editor saves the settings file: UTF-8 without the mark.
        QFile ini(env.FilePath("kbxt.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[USERINFO]\nUSER=" + school.toUtf8() + "\n");
        ini.close();
        env.Exec("insert into Classtb values ('11','一(1)班','一年级一班','一1')");
        env.Exec("insert into Coursetb values ('01','语文','语文','语')");
        env.Exec("insert into Coursetb values ('02','数学','数学','数')");
        env.Exec("insert into Teachertb values ('T1','张老师','','')");
        env.Exec("insert into Teachertb values ('T2','李老师','','')");
        env.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1)");
        env.Exec("insert into LessonListtb values ('11',3,2,'02','T2',1)");
        before = SpooledJobs();
    }
    void Print(const char* button) {
        frmPrint f(twtest::State());
        f.findChild<QPushButton*>(button)->click();
        ASSERT_EQ(env.calls.size(), 1u);
        EXPECT_EQ(env.calls[0].text.toStdString(), "打印完成");
    }
    twtest::AppTestEnv env;
    QString school;
    QSet<QString> before;
};

// One test: the program keeps the library it loaded first, and the library finds the expression
// library beside itself, so all prints share one program folder.
TEST_F(PrintEndToEndTest, ClassesAndTheWholeSchoolArePrinted) {
    env.Exec("insert into Classtb values ('12','一(2)班','一年级二班','一2')");
    env.Exec("insert into Classtb values ('21','二(1)班','二年级一班','二1')");
    env.Exec("insert into LessonListtb values ('12',1,1,'02','T2',1)");
    env.Exec("insert into LessonListtb values ('21',5,6,'01','T1',1)");

    Print("cmdPrintAllClass");
    QString pdf = WaitForJobWithText(before, school);
    ASSERT_FALSE(pdf.isEmpty()) << "no printed class timetables";
    EXPECT_EQ(PageSizes(pdf), QStringList({"595 x 842", "595 x 842", "595 x 842"}));
    const QString text = Text(pdf);
    for (const char* s : {"一(1)班", "一(2)班", "二(1)班", "星期三", "第六节", "李老师"}) {
        EXPECT_TRUE(text.contains(QString(s))) << s;
    }
    // Page 1 is class 11: Chinese on Monday lesson 1, in the cell from 35 to 67 mm across and
    // 52 to 89 mm down.
    const QPointF chinese = WordCentreMm(pdf, QString("语文"));
    EXPECT_GT(chinese.x(), 35);
    EXPECT_LT(chinese.x(), 67);
    EXPECT_GT(chinese.y(), 52);
    EXPECT_LT(chinese.y(), 89);

    env.calls.clear();
    before = SpooledJobs();
    Print("CmdPrintTotal");
    pdf = WaitForJobWithText(before, school);
    ASSERT_FALSE(pdf.isEmpty()) << "no printed whole-school timetable";
    EXPECT_EQ(PageSizes(pdf), QStringList({"1191 x 842"}));  // A3 landscape
    const QString total = Text(pdf);
    for (const char* s : {"学年度第", "一1", "一2", "二1", "张老师"}) {
        EXPECT_TRUE(total.contains(QString(s))) << s;
    }
}

// A school of 25 classes with lessons placed at random over a week of seven lessons, courses
// without a name among them (one empty, one Null, as a database from an older file holds them),
// and a teacher in two classes at once. Printed through the real library: a class timetable of
// seven lessons, a teacher timetable of six and the whole school (two A3 pages), each lesson
// found in its own cell by the position of its words.
void PrintEveryLessonInItsCell() {
    using printedcells::Cell;
    twtest::AppTestEnv env;
    printedcells::CopyProgramFiles(env);
    const QString school = QString("格子%1中学").arg(QCoreApplication::applicationPid());
    env.SetIni("USERINFO", "USER", school);

    struct Course {
        QString code, name, shortName;
    };
    const std::vector<Course> courses = {
        {"01", "语文", "语"}, {"02", "数学", "数"}, {"03", "英语", "英"}, {"04", "物理", "物"},
        {"05", "化学", "化"}, {"06", "体育", "体"}, {"07", "", ""},       {"08", "", ""}};
    for (const Course& c : courses) {
        const QString name = c.code == "08" ? "NULL" : "'" + c.name + "'";
        const QString shortName = c.code == "08" ? "NULL" : "'" + c.shortName + "'";
        env.Exec("insert into Coursetb values ('" + c.code + "'," + name + ",''," + shortName +
                 ")");
    }
    const int teachers = 14;
    for (int t = 1; t <= teachers; ++t)
        env.Exec(
            QString("insert into Teachertb values ('T%1','王%1','','')").arg(t, 2, 10, QChar('0')));
    const int classes = 25;
    QStringList classNames, shortNames;
    for (int k = 1; k <= classes; ++k) {
        classNames << QString("高一(%1)班").arg(k);
        shortNames << QString("一%1").arg(k);
        env.Exec(QString("insert into Classtb values ('%1','%2','','%3')")
                     .arg(100 + k)
                     .arg(classNames.last(), shortNames.last()));
    }

    // lesson[k][s]: course and teacher index of class k in slot s (lesson by lesson, day by
    // day), -1 for none; a teacher teaches one class at a time, but for the one double below.
    std::mt19937 random(2301);
    const int n = 7;
    std::vector<std::vector<std::pair<int, int>>> lesson(
        classes, std::vector<std::pair<int, int>>(5 * n, {-1, -1}));
    std::vector<std::set<int>> busy(5 * n);
    auto place = [&](int k, int s, int c, int t) {
        lesson[k][s] = {c, t};
        busy[s].insert(t);
        env.Exec(QString("insert into LessonListtb values ('%1',%2,%3,'%4','T%5',1)")
                     .arg(101 + k)
                     .arg(s % 5 + 1)
                     .arg(s / 5 + 1)
                     .arg(courses[c].code)
                     .arg(t + 1, 2, 10, QChar('0')));
    };
    place(0, 0, 6, 2);  // Monday lesson 1: the course with an empty name
    place(0, 5, 7, 3);  // Monday lesson 2: the course whose name is Null
    place(0, 7, 0, 0);  // Wednesday lesson 2: 王01 in class 1 ...
    place(1, 7, 0, 0);  // ... and in class 2 at the same time
    for (int k = 0; k < classes; ++k) {
        for (int s = 0; s < 5 * n; ++s) {
            if (lesson[k][s].first >= 0 || random() % 10 < 3) continue;
            const int c = static_cast<int>(random() % 6);
            const int t = (k + 3 * c) % teachers;
            if (!busy[s].count(t)) place(k, s, c, t);
        }
    }
    auto teacherName = [](int t) { return QString("王%1").arg(t + 1, 2, 10, QChar('0')); };

    // A class timetable of seven lessons: course and teacher.
    twtest::State().lessonOfDay = 7;
    QString pdf = printedcells::Print(env, "cmdPrintClass", school, "CmbClass", classNames[0]);
    ASSERT_FALSE(pdf.isEmpty()) << "no printed class timetable";
    std::vector<QStringList> texts;
    for (int s = 0; s < 5 * n; ++s) {
        const auto [c, t] = lesson[0][s];
        texts.push_back({c < 0 ? QString() : courses[c].name + teacherName(t)});
    }
    const auto words = printedcells::WordsOf(pdf);
    printedcells::ExpectCells(
        words, printedcells::TimetableCells(printedcells::GridOf(env.FilePath("ClassSchd7.xml")), n,
                                            texts));

    // The teacher timetable of 王01 with six lessons a day: course and classes, both classes
    // in the slot where he has two.
    twtest::State().lessonOfDay = 6;
    pdf = printedcells::Print(env, "cmdPrintTeacher", school, "CmbTeacher", teacherName(0));
    ASSERT_FALSE(pdf.isEmpty()) << "no printed teacher timetable";
    texts.clear();
    for (int s = 0; s < 5 * 6; ++s) {
        QStringList in;
        QString course;
        for (int k = 0; k < classes; ++k) {
            if (lesson[k][s].second != 0) continue;
            in << shortNames[k];
            course = courses[lesson[k][s].first].name;
        }
        if (in.size() == 2) {
            texts.push_back({course + in[0] + "、" + in[1], course + in[1] + "、" + in[0]});
        } else {
            texts.push_back({in.isEmpty() ? QString() : course + in[0]});
        }
    }
    ASSERT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const QStringList& t) { return t.size() == 2; }),
              1);
    printedcells::ExpectCells(
        printedcells::WordsOf(pdf),
        printedcells::TimetableCells(printedcells::GridOf(env.FilePath("TeacherSchd6.xml")), 6,
                                     texts));

    // The whole school, seven lessons a day: more classes than one A3 page holds.
    twtest::State().lessonOfDay = 7;
    pdf = printedcells::Print(env, "CmdPrintTotal", school);
    ASSERT_FALSE(pdf.isEmpty()) << "no printed whole-school timetable";
    EXPECT_EQ(pdfspool::PageSizes(pdf), QStringList({"1191 x 842", "1191 x 842"}));
    std::vector<std::vector<QStringList>> cells(classes);
    for (int k = 0; k < classes; ++k) {
        for (int s = 0; s < 5 * n; ++s) {
            const auto [c, t] = lesson[k][s];
            cells[k].push_back({c < 0 ? QString() : courses[c].shortName + teacherName(t)});
        }
    }
    printedcells::ExpectCells(
        printedcells::WordsOf(pdf),
        printedcells::WholeSchoolCells(printedcells::GridOf(env.FilePath("TotalSchd7A3.xml")), n,
                                       shortNames, cells));
}

TEST(PrintEndToEndCells, EveryLessonIsPrintedInItsCell) {
    const QString reason = printedcells::CannotPrint();
    if (!reason.isEmpty()) GTEST_SKIP() << reason.toStdString();
    printedcells::RunInFreshProgram(&PrintEveryLessonInItsCell);
}

// Whether one of the faces a PDF embeds has the character: a face's name there is its family
// without blanks, after a subset tag "ABCDEF+".
bool EmbedsFaceWith(const QString& pdf, char32_t character) {
    const QStringList lines = pdfspool::RunTool("pdffonts", {pdf}).split('\n');
    for (const QString& family : QFontDatabase::families()) {
        const QString name = QString(family).remove(' ');
        const bool embedded = std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
            return line.section(' ', 0, 0).section('+', -1) == name;
        });
        if (embedded && QRawFont::fromFont(QFont(family)).supportsCharacter(character)) return true;
    }
    return false;
}

// Names holding characters GBK lacks, 䶮 (U+4DAE) and 𠮷 (U+20BB7, above U+FFFF): a class, its
// short name and two teachers. The class and teacher timetables and the whole school print them
// whole, and their workbooks hold them. The PDF writer gives text only to characters up to
// U+FFFF, so the text read back from the PDF lacks 𠮷; that it was drawn shows in the face the
// page embeds for it.
void PrintAndExportNamesOutsideGbk() {
    twtest::AppTestEnv env;
    printedcells::CopyProgramFiles(env);
    const QString school = QString("罕字%1中学").arg(QCoreApplication::applicationPid());
    env.SetIni("USERINFO", "USER", school);
    const QString className = QStringLiteral("𠮷䶮（1）班");
    const QString shortName = QStringLiteral("䶮𠮷一");
    env.Exec("insert into Classtb values ('71','" + className + "','','" + shortName + "')");
    env.Exec("insert into Coursetb values ('01','语文','','语')");
    env.Exec("insert into Coursetb values ('02','数学','','数')");
    env.Exec(QStringLiteral("insert into Teachertb values ('T1','刘䶮','','')"));
    env.Exec(QStringLiteral("insert into Teachertb values ('T2','高𠮷','','')"));
    env.Exec("insert into LessonListtb values ('71',1,1,'01','T1',1)");
    env.Exec("insert into LessonListtb values ('71',2,3,'02','T2',1)");

    // Each name shows in the text (without 𠮷, and its lines run together), no character is
    // replaced, and 𠮷 is drawn.
    const auto expectPrinted = [](const QString& pdf, const QStringList& names) {
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        const QString text = pdfspool::RunTool("pdftotext", {pdf, "-"}).remove(blanks);
        EXPECT_FALSE(text.contains(QLatin1Char('?')) || text.contains(QChar(0xFFFD)))
            << text.toStdString();
        for (QString name : names) {
            name.remove(QStringLiteral("𠮷"));
            EXPECT_TRUE(text.contains(name)) << name.toStdString() << " in " << text.toStdString();
        }
        EXPECT_TRUE(EmbedsFaceWith(pdf, U'𠮷'));
    };
    QString pdf = printedcells::Print(env, "cmdPrintClass", school, "CmbClass", className);
    ASSERT_FALSE(pdf.isEmpty()) << "no printed class timetable";
    expectPrinted(pdf, {className, QStringLiteral("刘䶮"), QStringLiteral("高𠮷")});
    pdf = printedcells::Print(env, "cmdPrintTeacher", school, "CmbTeacher", QStringLiteral("高𠮷"));
    ASSERT_FALSE(pdf.isEmpty()) << "no printed teacher timetable";
    expectPrinted(pdf, {QStringLiteral("高𠮷"), shortName});
    pdf = printedcells::Print(env, "CmdPrintTotal", school);
    ASSERT_FALSE(pdf.isEmpty()) << "no printed whole-school timetable";
    expectPrinted(pdf, {shortName, QStringLiteral("刘䶮"), QStringLiteral("高𠮷")});

    // The workbooks of the class and the teacher, made by the real script and read back.
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    for (const char* f :
         {"export.js", "layout.js", "export_class_kb6.xlsx", "export_teacher_kb6.xlsx"}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(TW_DIST_DIR "/") + f, env.FilePath(f))) << f;
    }
    ASSERT_TRUE(
        QFile::link(QStringLiteral(TW_DIST_DIR "/node_modules"), env.FilePath("node_modules")));
    QTemporaryDir out;
    const auto exported = [&](const char* button, const QString& target) {
        tw::ui::SetFileDialogCallHandler([&](const tw::ui::FileDialogCall&) { return target; });
        env.calls.clear();
        {
            frmExport form(twtest::State());
            form.findChild<QPushButton*>(button)->click();
        }
        tw::ui::SetFileDialogCallHandler(nullptr);
        EXPECT_EQ(env.calls.size(), 1u);
        if (!env.calls.empty()) {
            EXPECT_EQ(env.calls[0].text, QStringLiteral("课表导出成功"));
        }
        QProcess read;
        read.start(node, {QStringLiteral(TW_TEST_DATA_DIR "/read_workbook.js"),
                          QStringLiteral(TW_DIST_DIR "/node_modules"), target});
        EXPECT_TRUE(read.waitForFinished(60000));
        return QJsonDocument::fromJson(read.readAllStandardOutput()).array();
    };
    const auto cell = [](const QJsonArray& sheets, const char* address) {
        const QJsonValue sheet = sheets.at(0);
        return sheet[QStringLiteral("cells")][QLatin1String(address)].toString();
    };
    QJsonArray sheets = exported("cmdExportClass", out.filePath("class.xlsx"));
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(cell(sheets, "A1"), school + className + "课程表");
    EXPECT_EQ(cell(sheets, "B3"), QStringLiteral("语文\n刘䶮"));
    EXPECT_EQ(cell(sheets, "C5"), QStringLiteral("数学\n高𠮷"));
    sheets = exported("cmdExportTeacher", out.filePath("teacher.xlsx"));  // 刘䶮, first by code
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(cell(sheets, "A1"), school + "刘䶮老师课程表");
    EXPECT_EQ(cell(sheets, "B3"), "语文\n" + shortName);
}

TEST(PrintEndToEndCells, NamesOutsideGbkArePrintedAndExportedWhole) {
    const QString reason = printedcells::CannotPrint();
    if (!reason.isEmpty()) GTEST_SKIP() << reason.toStdString();
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty() ||
        !QFile::exists(QStringLiteral(TW_DIST_DIR "/node_modules/exceljs")))
        GTEST_SKIP() << "node or the export script's modules are not installed";
    printedcells::RunInFreshProgram(&PrintAndExportNamesOutsideGbk);
}

}  // namespace
