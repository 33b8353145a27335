// OpenDb / CloseDb and the shipped database file.
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "AppTestSupport.h"

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
