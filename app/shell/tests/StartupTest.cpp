// Start-up: settings, the fallback to the program folder's kb.mdb, the lesson trim, the caption.
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>

#include "AppTestSupport.h"
#include "shell/MdlSubMain.h"
#include "shell/frmMain.h"
#include "text/Gbk.h"

namespace {

// Another program holding a database file open exclusively, for the life of this object.
class OtherProcess {
  public:
    explicit OtherProcess(const QString& path) {
        if (pipe(ready_) != 0 || pipe(done_) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            auto db = tw::db::Database::Open(path, kDbPassword);
            const char ok = db ? 'y' : 'n';
            (void)!write(ready_[1], &ok, 1);
            char c;
            (void)!read(done_[0], &c, 1);
            _exit(0);
        }
        char ok = 0;
        holding_ = pid_ > 0 && read(ready_[0], &ok, 1) == 1 && ok == 'y';
    }
    ~OtherProcess() {
        if (pid_ > 0) {
            (void)!write(done_[1], "x", 1);
            waitpid(pid_, nullptr, 0);
        }
        for (int fd : {ready_[0], ready_[1], done_[0], done_[1]}) close(fd);
    }
    bool holding() const { return holding_; }

  private:
    int ready_[2] = {-1, -1};
    int done_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool holding_ = false;
};

class Startup : public ::testing::Test {
  protected:
    Startup() : env_(false) {}
    QString Ini() const { return env_.FilePath("kbxt.ini"); }
    // Fills lessons 1..7 of Monday for class 11 and a plan row counting them.
    void SeedLessons() {
        ASSERT_TRUE(OpenDb(env_.DbPath()));
        for (int l = 1; l <= 7; ++l)
            env_.Exec(QString("insert into LessonListtb values('11',1,%1,'M','T',1)").arg(l));
        env_.Exec(
            "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values "
            "('11','M','T',' 7')");
        env_.Exec("update ClassPlantb set BuildCount=7");
        CloseDb();
    }
    QString Lessons() { return env_.Rows("select LessonNo from LessonListtb order by LessonNo"); }
    twtest::AppTestEnv env_;
};

}  // namespace

TEST_F(Startup, NoSettingsFileOpensTheProgramFoldersDatabase) {
    auto w = Main();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("排课软件系统 -- ") + env_.Folder() + "/kb.mdb");
    EXPECT_EQ(AppTitle, QStringLiteral("排课软件系统"));
    EXPECT_EQ(LessonOfDay, 6);
    EXPECT_EQ(OpenDbPath(), env_.Folder() + "/kb.mdb");
    EXPECT_FALSE(QFileInfo::exists(Ini()));  // nothing written
    EXPECT_TRUE(env_.calls.empty());
}

TEST_F(Startup, MissingConfiguredFileFallsBackAndRewritesTheSetting) {
    env_.SetIni("DB", "FILENAME", env_.Folder() + "/gone/old.mdb");
    auto w = Main();
    ASSERT_TRUE(w);
    const QString path = env_.Folder() + "/kb.mdb";
    EXPECT_EQ(tw::ini::ReadString(Ini(), "DB", "FILENAME", "", 255), path);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("排课软件系统 -- ") + path);
    EXPECT_EQ(OpenDbPath(), path);
}

TEST_F(Startup, ConfiguredDatabaseIsUsedAsItIs) {
    const QString other = env_.FilePath("school2.mdb");
    ASSERT_TRUE(twtest::CreateKbDatabase(other));
    env_.SetIni("DB", "FILENAME", other);
    env_.SetIni("USERINFO", "USER", QStringLiteral("北山中学"));
    auto w = Main();
    ASSERT_TRUE(w);
    EXPECT_EQ(OpenDbPath(), other);
    EXPECT_EQ(AppTitle, QStringLiteral("北山中学排课软件系统"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("北山中学排课软件系统 -- ") + other);
}

TEST_F(Startup, WrongFilesFallBackWithoutBeingChanged) {
    const QString text = env_.FilePath("notes.txt");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a database at all, just a line of text for the test\n");
    }
    env_.SetIni("DB", "FILENAME", text);
    auto w = Main();
    ASSERT_TRUE(w);
    EXPECT_EQ(OpenDbPath(), env_.Folder() + "/kb.mdb");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("not a database at all, just a line of text for the test\n"));
}

TEST_F(Startup, NoDatabaseAnywhereShowsTheMessageAndNoWindow) {
    QFile::remove(env_.DbPath());
    env_.SetIni("DB", "FILENAME", env_.Folder() + "/gone.mdb");
    env_.SetIni("USERINFO", "USER", QStringLiteral("北山中学"));
    auto w = Main();
    EXPECT_FALSE(w);
    ASSERT_EQ(env_.calls.size(), 1u);
    EXPECT_EQ(env_.calls[0].text, QStringLiteral("打开数据库失败！"));
    EXPECT_EQ(env_.calls[0].style, tw::ui::vbCritical);
    EXPECT_EQ(env_.calls[0].title, QStringLiteral("北山中学排课软件系统"));
    EXPECT_FALSE(KbDatabase);
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(top->inherits("frmMain") && top->isVisible());
    // Opening never creates a file.
    EXPECT_FALSE(QFileInfo::exists(env_.DbPath()));
    EXPECT_FALSE(QFileInfo::exists(env_.Folder() + "/gone.mdb"));
}

TEST_F(Startup, ConfiguredFileHeldByAnotherProgramFallsBack) {
    const QString other = env_.FilePath("school2.mdb");
    ASSERT_TRUE(twtest::CreateKbDatabase(other));
    env_.SetIni("DB", "FILENAME", other);
    OtherProcess holder(other);
    ASSERT_TRUE(holder.holding());
    auto w = Main();
    ASSERT_TRUE(w);
    EXPECT_EQ(OpenDbPath(), env_.DbPath());
    EXPECT_EQ(tw::ini::ReadString(Ini(), "DB", "FILENAME", "", 255), env_.DbPath());
}

TEST_F(Startup, SecondCopyOnTheSameDatabaseEndsWithTheMessage) {
    OtherProcess firstCopy(env_.DbPath());
    ASSERT_TRUE(firstCopy.holding());
    auto w = Main();
    EXPECT_FALSE(w);
    ASSERT_EQ(env_.calls.size(), 1u);
    EXPECT_EQ(env_.calls[0].text, QStringLiteral("打开数据库失败！"));
    EXPECT_FALSE(QFileInfo::exists(Ini()));
}

TEST_F(Startup, SevenLessonsTrimsOnlyLessonsAboveSeven) {
    SeedLessons();
    env_.SetIni("LESSON", "LESSON_OF_DAY", "7abc");
    auto w = Main();
    ASSERT_TRUE(w);
    EXPECT_EQ(LessonOfDay, 7);
    EXPECT_EQ(Lessons(), "1;2;3;4;5;6;7");
}

TEST_F(Startup, SwitchingToSixRemovesLessonSevenAndKeepsCounters) {
    SeedLessons();
    env_.SetIni("LESSON", "LESSON_OF_DAY", "6");
    auto w = Main();
    ASSERT_TRUE(w);
    EXPECT_EQ(LessonOfDay, 6);
    EXPECT_EQ(Lessons(), "1;2;3;4;5;6");
    EXPECT_EQ(env_.Count("select BuildCount from ClassPlantb"), 7);
}

TEST_F(Startup, OddLessonSettingsReadAsSixAndNeverEmptyTheTimetable) {
    SeedLessons();
    for (const char* value : {"abc", "0", "9", "-1", " "}) {
        env_.SetIni("LESSON", "LESSON_OF_DAY", value);
        auto w = Main();
        ASSERT_TRUE(w) << value;
        EXPECT_EQ(LessonOfDay, 6) << value;
        EXPECT_EQ(Lessons(), "1;2;3;4;5;6") << value;
        CloseDb();
    }
}

TEST_F(Startup, LongSchoolNameIsCutToOneHundredBytes) {
    // 75 Chinese characters: 150 GBK bytes; the first 50 characters fill 100 bytes.
    const QString name = QString(75, QChar(0x4E2D));
    ASSERT_EQ(tw::text::ToGbk(name).size(), 150u);
    env_.SetIni("USERINFO", "USER", name);
    EXPECT_EQ(GetSchoolName(), QString(50, QChar(0x4E2D)));
    auto w = Main();
    ASSERT_TRUE(w);
    EXPECT_EQ(AppTitle, QString(50, QChar(0x4E2D)) + QStringLiteral("排课软件系统"));
    EXPECT_TRUE(w->windowTitle().startsWith(AppTitle + " -- "));
}

TEST_F(Startup, LongDatabasePathIsCutTo254Bytes) {
    const QString longPath = env_.Folder() + "/" + QString(300, 'd') + ".mdb";
    env_.SetIni("DB", "FILENAME", longPath);
    EXPECT_EQ(GetDbFileName().toUtf8().size(), 254);
    EXPECT_EQ(GetDbFileName(), longPath.left(254));
}

TEST_F(Startup, SettingsReadersHaveDefaultsAndReadAnew) {
    EXPECT_EQ(GetDbFileName(), env_.Folder() + "/kb.mdb");
    EXPECT_EQ(GetSchoolName(), "");
    EXPECT_EQ(GetLessonsOfDay(), "6");
    EXPECT_EQ(SettingsFile(), env_.Folder() + "/kbxt.ini");
    env_.SetIni("db", "filename", "/x/y.mdb");
    env_.SetIni("LESSON", "LESSON_OF_DAY", "7");
    EXPECT_EQ(GetDbFileName(), "/x/y.mdb");
    EXPECT_EQ(GetLessonsOfDay(), "7");
    env_.SetIni("DB", "FILENAME", "");
    EXPECT_EQ(GetDbFileName(), env_.Folder() + "/kb.mdb");
    EXPECT_EQ(RegisterControls(), 0);
}

TEST_F(Startup, TrimReportsFailureWithoutADatabase) {
    EXPECT_EQ(TrimLessonsToDay(), -1);
    ASSERT_TRUE(OpenDb(env_.DbPath()));
    EXPECT_EQ(TrimLessonsToDay(), 0);
}
