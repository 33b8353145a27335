// OpenDb / CloseDb and the shipped database file.
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "AppTestSupport.h"
#include "shell/FailureText.h"
#include "shell/OpenFailureText.h"

using tw::shell::kDbPassword;
using tw::shell::OpenDbFailureLine;
using tw::shell::OpenFailureText;

TEST(Connection, OpenFailuresLeaveTheOpenDatabaseAlone) {
    twtest::AppTestEnv env;
    ASSERT_TRUE(twtest::State().IsOpen());
    tw::db::Database* before = twtest::State().OpenDatabase();
    EXPECT_FALSE(twtest::State().Open(env.FilePath("missing.mdb")));
    EXPECT_FALSE(QFileInfo::exists(env.FilePath("missing.mdb")));
    EXPECT_EQ(twtest::State().OpenDatabase(), before);
    EXPECT_EQ(twtest::State().Path(), env.DbPath());
    // The same file held by this connection cannot be opened twice.
    EXPECT_FALSE(twtest::State().Open(env.DbPath()));
    EXPECT_EQ(twtest::State().OpenDatabase(), before);
}

TEST(Connection, CloseDbTwiceIsHarmless) {
    twtest::AppTestEnv env;
    twtest::State().Close();
    EXPECT_FALSE(twtest::State().IsOpen());
    EXPECT_EQ(twtest::State().Path(), "");
    twtest::State().Close();
    EXPECT_TRUE(twtest::State().Open(env.DbPath()));
}

TEST(Connection, RefusesOtherPasswordsAndFilesWithoutTheTables) {
    twtest::AppTestEnv env(false);
    const QString other = env.FilePath("other.mdb");
    ASSERT_TRUE(tw::db::Database::Create(other, "123456", twtest::SchemaSql()));
    EXPECT_FALSE(twtest::State().Open(other));
    const QString bare = env.FilePath("bare.mdb");
    ASSERT_TRUE(tw::db::Database::Create(bare, kDbPassword, "create table Classtb(Code)"));
    EXPECT_FALSE(twtest::State().Open(bare));
    EXPECT_FALSE(twtest::State().IsOpen());
    // A failed open does not hold the file: it opens right after.
    EXPECT_TRUE(twtest::State().Open(env.DbPath()));
}

TEST(Connection, TableNamesInAnyCaseReachTheSameTable) {
    twtest::AppTestEnv env;
    env.Exec("insert into Lessonlisttb values('11',1,1,'M','T',2)");
    EXPECT_EQ(env.Count("select count(*) from LessonListtb"), 1);
}

TEST(ShippedDatabase, OnlyReadableWithThePassword) {
    const QString shipped = TW_SHIPPED_DIR "/kb.mdb";
    if (!QFileInfo::exists(shipped)) GTEST_SKIP() << "kb.mdb not built";
    twtest::AppTestEnv env(false);
    const QString copy = env.FilePath("shipped.mdb");
    ASSERT_TRUE(QFile::copy(shipped, copy));
    ASSERT_TRUE(twtest::State().Open(copy));
    EXPECT_EQ(env.Count("select count(*) from sqlite_master where type='table'"), 8);
    EXPECT_EQ(env.Count("select count(*) from LessonListtb"), 0);
    twtest::State().Close();

    const QString sqlite3 = QStandardPaths::findExecutable("sqlite3");
    const QString sqlcipher = QStandardPaths::findExecutable("sqlcipher");
    if (sqlite3.isEmpty() || sqlcipher.isEmpty()) GTEST_SKIP() << "sqlite3/sqlcipher missing";
    QProcess plain;
    plain.start(sqlite3, {copy, "select count(*) from sqlite_master;"});
    ASSERT_TRUE(plain.waitForFinished(10000));
    EXPECT_NE(plain.exitCode(), 0);
    EXPECT_TRUE(plain.readAllStandardError().contains("not a database"));
    QProcess keyed;
    keyed.start(sqlcipher, {copy});
    keyed.write(
        "PRAGMA key='731946';\nselect name from sqlite_master where name='LessonListtb';\n");
    keyed.closeWriteChannel();
    ASSERT_TRUE(keyed.waitForFinished(10000));
    EXPECT_TRUE(keyed.readAllStandardOutput().contains("LessonListtb"));
}

// True when text holds a Latin letter, as the engine's English words and a statement do.
static bool HasLatinLetters(const QString& text) {
    for (const QChar c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    }
    return false;
}

static bool HasChinese(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    }
    return false;
}

// Every reason the data layer hands up has Chinese words of its own, and a failed statement is
// worded by the engine's reason code, never by its English text or the statement. Before, eight
// reasons were never worded and a failed statement showed the engine's text.
TEST(FailureText, EveryReasonIsSaidInChinese) {
    using tw::shell::ReasonText;
    using tw::store::Outcome;
    using tw::store::Reason;
    for (int r = static_cast<int>(Reason::Done); r <= static_cast<int>(Reason::SlotDoubled); ++r) {
        Outcome outcome = Outcome::Failed(static_cast<Reason>(r));
        const QString text = ReasonText(outcome);
        EXPECT_TRUE(HasChinese(text)) << r << " " << text.toStdString();
        EXPECT_FALSE(HasLatinLetters(text)) << r << " " << text.toStdString();
        EXPECT_EQ(tw::shell::FailureText("失败", outcome), r == 0 ? "失败" : "失败\n" + text);
        EXPECT_EQ(tw::shell::PanelFailureText("失败", outcome), r == 0 ? "失败" : "失败：" + text);
    }
    using tw::db::OpenError;
    const QString statement = "Statement failed: disk I/O error [insert into Limittb values(1)]";
    for (int e = static_cast<int>(OpenError::None); e <= static_cast<int>(OpenError::Other); ++e) {
        Outcome failed = Outcome::Failed(Reason::DatabaseError, statement);
        failed.engine = static_cast<OpenError>(e);
        const QString text = ReasonText(failed);
        EXPECT_TRUE(HasChinese(text)) << e;
        EXPECT_FALSE(HasLatinLetters(text)) << e << " " << text.toStdString();
    }
    auto engine = [](OpenError e) {
        Outcome failed = Outcome::Failed(Reason::DatabaseError, "disk I/O error");
        failed.engine = e;
        return ReasonText(failed);
    };
    EXPECT_EQ(engine(OpenError::DiskFull), "磁盘已满");
    EXPECT_EQ(engine(OpenError::CannotWrite), "文件或其所在的文件夹不能写入");
    EXPECT_EQ(engine(OpenError::IoError), "读写磁盘时出错");
    EXPECT_EQ(engine(OpenError::Damaged), "文件已损坏");
    EXPECT_EQ(engine(OpenError::InUse), "文件正被另一个程序使用");
    EXPECT_EQ(engine(OpenError::Other), "数据库出错");

    // What a reason names: the counts a row can take, a class code that has no grade, the slot
    // and the class where a new teacher already teaches.
    Outcome count = Outcome::Failed(Reason::BadCount);
    count.lowest = -32768;
    count.highest = 32767;
    EXPECT_EQ(ReasonText(count), "节数必须是 -32768 到 32767 之间的整数");
    EXPECT_EQ(ReasonText(Outcome::Failed(Reason::NotGraded, "A1")),
              "班级代码“A1”的第一位不是年级数字，无法升级");
    Outcome fixed = Outcome::Failed(Reason::FixedInTheWay, "一（2）班");
    fixed.slot = {5, 6};
    EXPECT_EQ(ReasonText(fixed),
              "新老师星期五第6节已在一（2）班上课，本班这节是预先安排的固定课程，不能换老师");
}

TEST(Connection, EveryOpenFailureIsSaidInChinese) {
    // The platform gives a reason code; every one reads as a short Chinese text, the read-only
    // folder and the missing table named in it. Before, the engine's English texts ("database
    // disk image is malformed", "disk I/O error") reached the user.
    using tw::db::OpenError;
    for (int e = static_cast<int>(OpenError::None); e <= static_cast<int>(OpenError::Other); ++e) {
        const QString text = OpenFailureText({static_cast<OpenError>(e), QString()});
        EXPECT_FALSE(text.isEmpty()) << e;
        EXPECT_LE(text.size(), 30) << e;
        for (const QChar c : text) EXPECT_FALSE(c.isLetter() && c.unicode() < 0x80) << e;
    }
    EXPECT_EQ(OpenFailureText({OpenError::ReadOnlyFolder, "/media/cd"}),
              QStringLiteral("文件所在的文件夹只读，不能保存修改（/media/cd）"));
    EXPECT_EQ(OpenFailureText({OpenError::MissingTable, "Limittb"}),
              QStringLiteral("缺少数据表 Limittb"));

    twtest::AppTestEnv env;
    {
        tw::db::Transaction school(twtest::State().Db());
        for (int i = 0; i < 300; ++i)
            env.Exec(QString("insert into LessonListtb values('%1',1,1,'M','T',1)").arg(i));
        school.Commit();
    }
    twtest::State().Close();
    QFile whole(env.DbPath());
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QString cut = env.FilePath("cut.mdb");
    QFile part(cut);
    ASSERT_TRUE(part.open(QIODevice::WriteOnly));
    part.write(whole.read(8192));
    part.close();
    tw::db::OpenFailure why;
    EXPECT_FALSE(twtest::State().Open(cut, &why));
    EXPECT_EQ(OpenDbFailureLine(cut, why), cut + QStringLiteral("：文件已损坏"));
}
