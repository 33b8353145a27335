// A printed class timetable through the real print library, the shipped template and the CUPS
// queue "PDF" (jobs kept as job-<id>.pdf in its folder): a course name of the longest length
// the forms accept stays inside its own cell. Skips when the queue or the libraries are missing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cstdlib>
#include <vector>

#include "AppTestSupport.h"
#include "PdfSpoolTestSupport.h"
#include "PrintedCellsTestSupport.h"
#include "output/frmPrint.h"

namespace {

using pdfspool::RunTool;

struct Box {
    double xMin = -1, xMax = -1;
};

// Horizontal extent, in points, of the printed words that make up text (pdftotext -bbox).
Box WordsOf(const QString& pdf, const QString& text) {
    const QString html = RunTool("pdftotext", {"-bbox", pdf, "-"});
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    Box box;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(3).isEmpty() || !text.contains(m.captured(3))) continue;
        const double x0 = m.captured(1).toDouble(), x1 = m.captured(2).toDouble();
        if (box.xMin < 0 || x0 < box.xMin) box.xMin = x0;
        if (x1 > box.xMax) box.xMax = x1;
    }
    return box;
}

// The print road of the test below; failures are reported through GoogleTest as usual.
void PrintLongCourseName() {
    twtest::AppTestEnv env;
    for (const char* f : {"libVostrin.so", "libCalvorix.so", "ClassSchd6.xml"}) {
        const QString src = QStringLiteral(TW_DIST_DIR "/") + f;
        ASSERT_TRUE(QFile::copy(src, env.FilePath(f)));
    }
    const QString school = QString("宽度%1中学").arg(QCoreApplication::applicationPid());
    env.SetIni("USERINFO", "USER", school);
    const QString longName = QStringLiteral("信息技术与通用技术课");  // 10 characters
    env.Exec("insert into Classtb values ('11','一(1)班','一年级一班','一1')");
    env.Exec("insert into Coursetb values ('01','" + longName + "','信息','信')");
    env.Exec("insert into Coursetb values ('02','数学','数学','数')");
    env.Exec("insert into Teachertb values ('T1','欧阳明月','','')");
    env.Exec("insert into LessonListtb values ('11',2,1,'01','T1',1)");
    env.Exec("insert into LessonListtb values ('11',3,1,'02','T1',1)");
    const QSet<QString> before = pdfspool::SpooledJobs();
    {
        frmPrint f;
        f.findChild<QPushButton*>("cmdPrintClass")->click();
    }
    ASSERT_EQ(env.calls.size(), 1u);
    EXPECT_EQ(env.calls[0].text.toStdString(), "打印完成");
    const QString pdf = pdfspool::WaitForJobWithText(before, school);
    ASSERT_FALSE(pdf.isEmpty()) << "no printed class timetable";

    // Tuesday's column of the A4 timetable runs from 67 mm to 99 mm of the page.
    const double mm = 72.0 / 25.4;
    const Box course = WordsOf(pdf, longName);
    ASSERT_GE(course.xMin, 0) << "course name not printed";
    EXPECT_GE(course.xMin, 67 * mm);
    EXPECT_LE(course.xMax, 99 * mm);
    // An ordinary name keeps its normal size, centred in Wednesday's column (99 mm to 131 mm).
    const Box math = WordsOf(pdf, QStringLiteral("数学"));
    EXPECT_GT(math.xMax - math.xMin, 9.0);
    EXPECT_NEAR((math.xMin + math.xMax) / 2, 115 * mm, 2.0);
}

// The program loads the print library once and keeps it; another test of this program may have
// loaded it from a program folder that is gone by now. The print therefore runs in a fresh copy
// of this test program, which loads the library from this test's own program folder.
TEST(PrintedCellWidthTest, LongestCourseNameStaysInsideItsCell) {
    if (!pdfspool::HasPdfQueue() || QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "no PDF print queue";
    for (const char* f : {"libVostrin.so", "libCalvorix.so", "ClassSchd6.xml"})
        if (!QFile::exists(QStringLiteral(TW_DIST_DIR "/") + f)) GTEST_SKIP() << "not built: " << f;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            PrintLongCourseName();
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

// The longest names the forms accept (ten characters: course names and short names, teacher
// names, class short names; Chinese and wide Latin letters), in every slot of the week, for six
// and seven lessons a day: on the class, teacher and whole-school timetables each name stays
// inside its own cell, word box inside cell box.
void PrintLongestNames() {
    twtest::AppTestEnv env;
    printedcells::CopyProgramFiles(env);
    const QString school = QString("最长%1中学").arg(QCoreApplication::applicationPid());
    env.SetIni("USERINFO", "USER", school);
    const QStringList course = {"信息技术与通用技术课", "MMMMMMMMMM", "高中物理实验探究课"};
    const QStringList courseShort = {"信息技术与通用技术课", "WWWWWWWWWW", "物理实验探究选修课"};
    const QStringList teacher = {"欧阳明月司马长风老师", "上官云飞慕容雪老师W",
                                 "诸葛青云令狐冲老师"};
    const QStringList classShort = {"高一理科实验一班实验", "高一理科实验二班实验"};
    for (int i = 0; i < 3; ++i) {
        env.Exec(QString("insert into Coursetb values ('0%1','%2','','%3')")
                     .arg(i)
                     .arg(course[i], courseShort[i]));
        env.Exec(QString("insert into Teachertb values ('T%1','%2','','')").arg(i).arg(teacher[i]));
    }
    env.Exec("insert into Classtb values ('101','高一理科实验一班实验','','" + classShort[0] +
             "')");
    env.Exec("insert into Classtb values ('102','高一理科实验二班实验','','" + classShort[1] +
             "')");
    for (int s = 0; s < 35; ++s) {
        const int c = s % 3;
        env.Exec(QString("insert into LessonListtb values ('101',%1,%2,'0%3','T%3',1)")
                     .arg(s % 5 + 1)
                     .arg(s / 5 + 1)
                     .arg(c));
    }
    env.Exec("insert into LessonListtb values ('102',2,1,'02','T0',1)");  // slot 1: Tuesday
    for (int n : {6, 7}) {
        LessonOfDay = n;
        std::vector<QStringList> classTexts, teacherTexts;
        std::vector<std::vector<QStringList>> total(2, std::vector<QStringList>(5 * n));
        for (int s = 0; s < 5 * n; ++s) {
            const int c = s % 3;
            classTexts.push_back({course[c] + teacher[c]});
            teacherTexts.push_back({c == 0   ? course[0] + classShort[0]
                                    : s == 1 ? course[2] + classShort[1]
                                             : QString()});
            total[0][s] = {courseShort[c] + teacher[c]};
            total[1][s] = {s == 1 ? courseShort[2] + teacher[0] : QString()};
        }
        const QString name = QString::number(n);
        QString pdf = printedcells::Print(env, "cmdPrintClass", school);
        ASSERT_FALSE(pdf.isEmpty()) << "no class timetable";
        printedcells::ExpectCells(
            printedcells::WordsOf(pdf),
            printedcells::TimetableCells(
                printedcells::GridOf(env.FilePath("ClassSchd" + name + ".xml")), n, classTexts));
        pdf = printedcells::Print(env, "cmdPrintTeacher", school);
        ASSERT_FALSE(pdf.isEmpty()) << "no teacher timetable";
        printedcells::ExpectCells(
            printedcells::WordsOf(pdf),
            printedcells::TimetableCells(
                printedcells::GridOf(env.FilePath("TeacherSchd" + name + ".xml")), n,
                teacherTexts));
        pdf = printedcells::Print(env, "CmdPrintTotal", school);
        ASSERT_FALSE(pdf.isEmpty()) << "no whole-school timetable";
        printedcells::ExpectCells(
            printedcells::WordsOf(pdf),
            printedcells::WholeSchoolCells(
                printedcells::GridOf(env.FilePath("TotalSchd" + name + "A3.xml")), n, classShort,
                total));
    }
}

TEST(PrintedCellWidthTest, LongestNamesStayInsideTheirCells) {
    const QString reason = printedcells::CannotPrint();
    if (!reason.isEmpty()) GTEST_SKIP() << reason.toStdString();
    printedcells::RunInFreshProgram(&PrintLongestNames);
}

}  // namespace
