// The whole print road: lessons in the database, the print dialog's command, the real print
// library from the program folder with the shipped templates, the CUPS queue "PDF" (which keeps
// each job as /var/spool/tw-pdf/job-<id>.pdf), and the printed PDF read back. Skips when the
// queue or the built libraries are not there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>

#include "AppTestEnv.h"
#include "output/frmPrint.h"

namespace {

const QString kSpool = QStringLiteral("/var/spool/tw-pdf");

QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool QueueReady() {
    return QDir(kSpool).exists() && Run("lpstat", {"-p", "PDF"}).contains("PDF") &&
           !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

// The first new job whose text holds marker, with its text; empty when none comes in time.
QString WaitForJobText(const QStringList& before, const QString& marker) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 90000) {
        for (const QString& f : QDir(kSpool).entryList({"job-*.pdf"}, QDir::Files)) {
            if (before.contains(f)) continue;
            const QString text = Run("pdftotext", {"-layout", kSpool + "/" + f, "-"});
            if (text.contains(marker)) return text;
        }
        QThread::msleep(200);
    }
    return {};
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
        before = QDir(kSpool).entryList({"job-*.pdf"}, QDir::Files);
    }
    void Print(const char* button) {
        frmPrint f;
        f.findChild<QPushButton*>(button)->click();
        ASSERT_EQ(env.calls.size(), 1u);
        EXPECT_EQ(env.calls[0].text.toStdString(), "打印完成");
    }
    twtest::AppTestEnv env;
    QString school;
    QStringList before;
};

// One test: the program keeps the library it loaded first, and the library finds the expression
// library beside itself, so both prints share one program folder.
TEST_F(PrintEndToEndTest, ClassAndWholeSchoolTimetablesArePrinted) {
    Print("cmdPrintClass");
    QString text = WaitForJobText(before, school);
    ASSERT_FALSE(text.isEmpty()) << "no printed class timetable";
    EXPECT_TRUE(text.contains("一(1)班"));
    EXPECT_TRUE(text.contains("星期三"));
    EXPECT_TRUE(text.contains("语文"));
    EXPECT_TRUE(text.contains("数学"));
    EXPECT_TRUE(text.contains("李老师"));

    env.calls.clear();
    before = QDir(kSpool).entryList({"job-*.pdf"}, QDir::Files);
    Print("CmdPrintTotal");
    text = WaitForJobText(before, school);
    ASSERT_FALSE(text.isEmpty()) << "no printed whole-school timetable";
    EXPECT_TRUE(text.contains("学年度第"));
    EXPECT_TRUE(text.contains("一1"));
    EXPECT_TRUE(text.contains("张老师"));
}

}  // namespace
