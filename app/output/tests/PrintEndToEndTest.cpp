// The whole print road: lessons in the database, the print dialog's command, the real print
// library from the program folder with the shipped templates, the CUPS queue "PDF" (which keeps
// each job as job-<id>.pdf in its folder), and the printed PDF read back. Skips when the
// queue or the built libraries are not there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QPointF>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>

#include "AppTestSupport.h"
#include "PdfSpoolTestSupport.h"
#include "output/frmPrint.h"

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
        env.SetIni("USERINFO", "USER", school);
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
        frmPrint f;
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

}  // namespace
