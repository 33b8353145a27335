// Opening, locking, record sets, statements and transactions.
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <algorithm>
#include <random>

#include "DbTestSupport.h"
#include "ReadOnlyInstallTestSupport.h"
#include "db/CodeOrder.h"

using namespace tw::db;
using dbtest::DbTest;

TEST_F(DbTest, OpenNeverCreatesAndRefusesWrongFiles) {
    const QString missing = dir_.filePath("none.mdb");
    EXPECT_FALSE(Database::Open(missing, "731946"));
    EXPECT_FALSE(QFile::exists(missing));
    db_.reset();
    EXPECT_FALSE(Database::Open(path_, "123456"));
    EXPECT_FALSE(Database::Open(path_, ""));
    const QString text = dir_.filePath("notes.txt");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not a database, only some text that is long enough to be a header\n");
    }
    EXPECT_FALSE(Database::Open(text, "731946"));
    EXPECT_FALSE(Database::Open(dir_.path(), "731946"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2);  // no journal left behind
    EXPECT_TRUE(Database::Open(path_, "731946"));
}

TEST_F(DbTest, RefusedOpensLeaveTheFileAsItWasAndSayWhy) {
    db_.reset();
    const QStringList tables = {"Classtb", "LessonListtb"};
    // Files of random length and content (empty ones included), every one refused untouched:
    // before, an empty file was keyed and locked into a one-page database.
    std::mt19937 rng(20240611);
    for (int round = 0; round < 40; ++round) {
        const int length = round < 4 ? round : static_cast<int>(rng() % 4096);
        QByteArray bytes(length, '\0');
        for (char& b : bytes) b = static_cast<char>(rng());
        if (round % 3 == 0) bytes.fill('x');  // text, not noise
        const QString file = dir_.filePath(QString("f%1.mdb").arg(round));
        {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        OpenFailure why;
        EXPECT_FALSE(Database::Open(file, "731946", true, &why, tables)) << round;
        EXPECT_NE(why.error, OpenError::None) << round;
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), bytes) << round << " (" << length << " bytes)";
        EXPECT_FALSE(QFile::exists(file + "-journal")) << round;
    }
    // A database without the tables asked for is refused before it is locked, and unchanged.
    const QString bare = dir_.filePath("bare.mdb");
    ASSERT_TRUE(Database::Create(bare, "731946", "create table Classtb(Code TEXT)"));
    QFile b(bare);
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    const QByteArray before = b.readAll();
    b.close();
    OpenFailure why;
    EXPECT_FALSE(Database::Open(bare, "731946", true, &why, tables));
    EXPECT_EQ(why.error, OpenError::MissingTable);
    EXPECT_EQ(why.detail, "LessonListtb");
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    EXPECT_EQ(b.readAll(), before);
    EXPECT_TRUE(Database::Open(bare, "731946", true, &why, {"classTB"}));
}

TEST_F(DbTest, EachFailedOpenNamesItsCause) {
    db_.reset();
    const QString empty = dir_.filePath("empty.mdb");
    const QString text = dir_.filePath("notes.txt");
    {
        QFile e(empty);
        ASSERT_TRUE(e.open(QIODevice::WriteOnly));
        QFile t(text);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write(QByteArray(3000, 'n'));
    }
    auto why = [](const QString& path, const QString& password) {
        OpenFailure reason;
        EXPECT_FALSE(Database::Open(path, password, true, &reason)) << path.toStdString();
        return reason.error;
    };
    EXPECT_EQ(why(dir_.filePath("none.mdb"), "731946"), OpenError::Missing);
    EXPECT_EQ(why(dir_.filePath("none/kb.mdb"), "731946"), OpenError::Missing);
    EXPECT_EQ(why(dir_.path(), "731946"), OpenError::NotAFile);
    EXPECT_EQ(why(empty, "731946"), OpenError::TooShort);
    EXPECT_EQ(why(text, "731946"), OpenError::NotADatabase);
    EXPECT_EQ(why(path_, "123456"), OpenError::WrongPassword);
    auto held = Database::Open(path_, "731946");
    ASSERT_TRUE(held);
    EXPECT_EQ(why(path_, "731946"), OpenError::InUse);
    held.reset();
    // A school's file cut short: before, the engine's own English text was the reason.
    {
        auto school = Database::Open(path_, "731946");
        ASSERT_TRUE(school);
        Transaction rows(*school);
        for (int i = 0; i < 300; ++i)
            school->Execute(QString("insert into LessonListtb values('%1',1,1,'C','T',1)").arg(i));
        rows.Commit();
    }
    QFile whole(path_);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QString cut = dir_.filePath("cut.mdb");
    QFile part(cut);
    ASSERT_TRUE(part.open(QIODevice::WriteOnly));
    part.write(whole.read(8192));
    part.close();
    EXPECT_EQ(why(cut, "731946"), OpenError::Damaged);
}

TEST_F(DbTest, ExclusiveOpenLocksOutAnotherProcess) {
    db_->Execute("insert into CourseAttrtb values('M')");
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    db_.reset();  // the child takes the file
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        auto child = Database::Open(path_, "731946");
        const char ok = child ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        char c;
        (void)!read(done[0], &c, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, 'y');
    EXPECT_TRUE(Database::IsLockedByAnotherProcess(path_));
    EXPECT_FALSE(Database::Open(path_, "731946"));
    (void)!write(done[1], "x", 1);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_FALSE(Database::IsLockedByAnotherProcess(path_));
    EXPECT_FALSE(Database::IsLockedByAnotherProcess(dir_.filePath("none.mdb")));
    auto again = Database::Open(path_, "731946");
    ASSERT_TRUE(again);
    auto rs = again->OpenRecordset("select CourseCode from CourseAttrtb");
    EXPECT_FALSE(rs->Eof());
    for (int fd : {ready[0], ready[1], done[0], done[1]}) close(fd);
}

// Every change writes a journal beside the file, so a file whose folder the user may not write
// is refused with that folder as the reason; a folder that may not be entered hides whether the
// file is there, so it is not taken for a missing one. Runs in a child process that gives up
// its rights (root may write and enter anywhere).
TEST(DbOpen, AFolderTheUserMayNotWriteOrEnterIsTheReason) {
    readonlyinstall::ChildTemporaryFolders temporary;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QTemporaryDir dir;
            ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
            const QString readOnly = dir.filePath("readonly");
            const QString closed = dir.filePath("closed");
            const QString cache = dir.filePath("cache");
            for (const QString& folder : {readOnly, closed, cache})
                ASSERT_TRUE(QDir().mkdir(folder));
            const QString file = readOnly + "/kb.mdb";
            ASSERT_TRUE(Database::Create(file, "731946", dbtest::Schema()));
            ASSERT_TRUE(Database::Create(closed + "/kb.mdb", "731946", dbtest::Schema()));
            ASSERT_EQ(::chmod(QFile::encodeName(closed).constData(), 0700), 0);
            // The file itself stays the user's to write; only its folder is closed to them.
            ASSERT_TRUE(readonlyinstall::BecomeUserWithoutWriteAccess(readOnly, cache, {file}));
            OpenFailure why;
            EXPECT_FALSE(Database::Open(file, "731946", true, &why));
            EXPECT_EQ(why.error, OpenError::ReadOnlyFolder);
            EXPECT_EQ(why.detail, readOnly);
            EXPECT_FALSE(QFile::exists(file + "-journal"));
            EXPECT_FALSE(Database::Open(closed + "/kb.mdb", "731946", true, &why));
            EXPECT_EQ(why.error, OpenError::NoAccess);
            EXPECT_FALSE(Database::IsMissing(closed + "/kb.mdb"));
            EXPECT_TRUE(Database::IsMissing(dir.filePath("none.mdb")));
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(DbTest, SecondConnectionInTheSameProcessIsRefused) {
    EXPECT_FALSE(Database::Open(path_, "731946"));
    db_->Close();
    EXPECT_FALSE(db_->IsOpen());
    EXPECT_TRUE(Database::Open(path_, "731946"));
}

TEST_F(DbTest, ClosedFileIsCompleteForCopying) {
    db_->Execute("insert into CourseAttrtb values('Q')");
    db_.reset();
    const QString copy = dir_.filePath("copy.mdb");
    ASSERT_TRUE(QFile::copy(path_, copy));
    auto c = Database::Open(copy, "731946");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->OpenRecordset("select CourseCode from CourseAttrtb")->Fields(0).Text(), "Q");
}

TEST_F(DbTest, RecordCountFollowsTheEngineRule) {
    auto empty = db_->OpenRecordset("select * from Coursetb");
    EXPECT_TRUE(empty->Eof());
    EXPECT_TRUE(empty->Bof());
    EXPECT_EQ(empty->RecordCount(), 0);
    empty->MoveLast();  // harmless on an empty set
    EXPECT_EQ(empty->RecordCount(), 0);
    EXPECT_THROW(empty->MoveNext(), DbError);
    EXPECT_THROW(empty->Fields("Code"), DbError);

    for (int i = 1; i <= 3; ++i)
        db_->Execute(QString("insert into LessonListtb values('11',%1,1,'M','T',1)").arg(i));
    auto rs = db_->OpenRecordset("select Day from LessonListtb order by Day");
    EXPECT_EQ(rs->RecordCount(), 1);
    rs->MoveNext();
    EXPECT_EQ(rs->RecordCount(), 2);
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(rs->Fields("day").Int(), 3);
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields("DAY").Int(), 1);

    auto walk = db_->OpenRecordset("select Day from LessonListtb");
    while (!walk->Eof()) walk->MoveNext();
    EXPECT_EQ(walk->RecordCount(), 3);
    EXPECT_THROW(walk->Fields("Day"), DbError);
    walk->Close();
}

TEST_F(DbTest, NullReadsAsEmptyTextAndUnknownFieldsThrow) {
    db_->Execute("insert into Classtb (Code) values('11')");
    auto rs = db_->OpenRecordset("select * from Classtb");
    EXPECT_TRUE(rs->Fields("Name").IsNull());
    EXPECT_EQ(rs->Fields("Name").Text(), "");
    EXPECT_EQ(rs->Fields("Name").Int(), 0);
    EXPECT_EQ(rs->Fields("Code").Text(), "11");
    EXPECT_EQ(rs->Fields("Code").Int(), 11);
    EXPECT_THROW(rs->Fields("Nope"), DbError);
    EXPECT_THROW(rs->Fields(9), DbError);
}

TEST_F(DbTest, QuotedValuesNeverChangeAStatement) {
    const QString name = "O'Brien";
    db_->Execute("Insert Into Teachertb ( Code,Name,FullName,ShortName) Values ('T1','" +
                 SqlQ(name) + "','','')");
    db_->Execute("Insert Into Teachertb ( Code,Name,FullName,ShortName) Values ('T2','B','','')");
    EXPECT_EQ(Text("select Code from Teachertb where Name='" + SqlQ(name) + "'"), "T1");
    db_->Execute("Delete From Teachertb Where Code = '" + SqlQ("' or ''='") + "'");
    EXPECT_EQ(db_->RecordsAffected(), 0);
    EXPECT_EQ(Count("select count(*) from Teachertb"), 2);
    // Unescaped, the same value breaks the statement instead of running it.
    EXPECT_THROW(db_->OpenRecordset("select Code from Teachertb where Name='" + name + "'"),
                 DbError);
    EXPECT_EQ(SqlDQ("a\"b"), "a\"\"b");
}

// Codes of every kind (ASCII letters in both cases, full-width letters and digits, characters
// above U+FFFF and in U+E000-U+FFFF, numeric-looking texts, a NUL inside): CompareCodes orders
// and matches them as the database sorts and groups its code columns.
TEST_F(DbTest, CodesCompareAsTheDatabaseSortsAndGroupsThem) {
    const QStringList atoms = {"",
                               "a",
                               "A",
                               "z",
                               "_",
                               "1",
                               "01",
                               "1.0",
                               "'",
                               u"Ａ"_qs,
                               u"ａ"_qs,
                               u"１"_qs,
                               u"é"_qs,
                               u"É"_qs,
                               u"张"_qs,
                               u"\uE000"_qs,
                               u"\uFFFD"_qs,
                               u"\U0001D400"_qs,
                               u"\U00020000"_qs,
                               QString(QChar(0))};
    std::mt19937 rng(7);
    QStringList codes;
    {
        Transaction t(*db_);
        for (int i = 0; i < 600; ++i) {
            QString code;
            for (int k = static_cast<int>(rng() % 4); k > 0; --k)
                code += atoms[static_cast<int>(rng() % static_cast<unsigned>(atoms.size()))];
            codes << code;
            db_->Execute("insert into CourseAttrtb (CourseCode) values ('" + SqlQ(code) + "')");
        }
        t.Commit();
    }
    auto rs = db_->OpenRecordset(
        "select CourseCode, count(*) as n from CourseAttrtb group by CourseCode order by "
        "CourseCode");
    QStringList groups;
    for (; !rs->Eof(); rs->MoveNext()) {
        const QString code = rs->Fields("CourseCode").Text();
        if (!groups.isEmpty()) {
            EXPECT_LT(CompareCodes(groups.back(), code), 0)
                << groups.back().toStdString() << " / " << code.toStdString();
        }
        EXPECT_EQ(std::count_if(codes.begin(), codes.end(),
                                [&](const QString& c) { return SameCode(c, code); }),
                  rs->Fields("n").Int())
            << code.toStdString();
        groups << code;
    }
    EXPECT_GT(groups.size(), 200);
}

TEST_F(DbTest, ExecuteReportsAffectedRowsAndRefusesQueriesAndExtras) {
    for (int i = 1; i <= 4; ++i)
        db_->Execute(QString("insert into LessonListtb values('11',1,%1,'M','T',1)").arg(i));
    db_->Execute("Delete from LessonListtb where LessonNo>2");
    EXPECT_EQ(db_->RecordsAffected(), 2);
    EXPECT_THROW(db_->Execute("select * from LessonListtb"), DbError);
    EXPECT_THROW(db_->Execute("delete from LessonListtb; delete from Classtb"), DbError);
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 2);
    EXPECT_THROW(db_->Execute("delete from NoSuchTable"), DbError);
    EXPECT_TRUE(db_->HasTable("lessonlisttb"));
    EXPECT_FALSE(db_->HasTable("Nope"));
}

// A failed statement tells why in the terms of a failed open, for the program to word; its text
// with the statement is for the log. A full disk (here the file's page limit) is DiskFull, a
// statement the engine refuses on its own terms Other.
TEST_F(DbTest, AFailedStatementSaysWhyTheEngineRefusedIt) {
    auto why = [this](const QString& sql) {
        try {
            db_->Execute(sql);
        } catch (const DbError& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(sql.left(20))) << e.what();
            return e.Why();
        }
        ADD_FAILURE() << "no failure: " << sql.toStdString();
        return tw::db::OpenError::None;
    };
    const long long pages = Count("PRAGMA page_count");
    ASSERT_GT(pages, 0);
    EXPECT_EQ(Count(QString("PRAGMA max_page_count=%1").arg(pages)), pages);
    EXPECT_EQ(why("insert into CourseAttrtb values('" + QString(20000, 'x') + "')"),
              tw::db::OpenError::DiskFull);
    EXPECT_EQ(Count("select count(*) from CourseAttrtb"), 0);
    EXPECT_EQ(why("delete from NoSuchTable"), tw::db::OpenError::Other);
}

TEST_F(DbTest, TransactionRollsBackUnlessCommitted) {
    {
        Transaction t(*db_);
        db_->Execute("insert into CourseAttrtb values('A')");
    }
    EXPECT_EQ(Count("select count(*) from CourseAttrtb"), 0);
    {
        Transaction t(*db_);
        db_->Execute("insert into CourseAttrtb values('B')");
        t.Commit();
    }
    EXPECT_FALSE(db_->InTransaction());
    EXPECT_EQ(Count("select count(*) from CourseAttrtb"), 1);
}

TEST_F(DbTest, ClosedDatabaseThrows) {
    db_->Close();
    EXPECT_THROW(db_->OpenRecordset("select * from Classtb"), DbError);
    EXPECT_THROW(db_->Execute("delete from Classtb"), DbError);
    EXPECT_FALSE(db_->HasTable("Classtb"));
}

TEST(DbCreate, RefusesAnExistingFileAndBadSchema) {
    QTemporaryDir dir;
    const QString p = dir.filePath("x.mdb");
    QString err;
    EXPECT_FALSE(Database::Create(p, "pw", "create table (", &err));
    EXPECT_FALSE(err.isEmpty());
    EXPECT_FALSE(QFile::exists(p));
    ASSERT_TRUE(Database::Create(p, "pw", "create table t(a)"));
    EXPECT_FALSE(Database::Create(p, "pw", "create table u(a)"));
}
