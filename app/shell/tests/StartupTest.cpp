// Start-up: settings, the fallback to the program folder's kb.mdb, the lesson trim, the caption.
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <functional>
#include <random>

#include "AppTestSupport.h"
#include "ReadOnlyInstallTestSupport.h"
#include "SchoolDbTestSupport.h"
#include "StatementLogTestSupport.h"
#include "shell/MdlSubMain.h"
#include "shell/frmMain.h"
#include "store/Invariants.h"
#include "text/Gbk.h"

using tw::shell::frmMain;
using tw::shell::GetDbFileName;
using tw::shell::GetLessonsOfDay;
using tw::shell::GetSchoolName;
using tw::shell::RegisterControls;
using tw::shell::SetProgramFolder;
using tw::shell::SettingsFile;

namespace {

class StartupTest : public ::testing::Test {
  protected:
    StartupTest() : env_(false) {}
    QString Ini() const { return env_.FilePath("kbxt.ini"); }
    // Fills lessons 1..7 of Monday for class 11 and a plan row counting them.
    void SeedLessons() {
        ASSERT_TRUE(twtest::State().Open(env_.DbPath()));
        for (int l = 1; l <= 7; ++l)
            env_.Exec(QString("insert into LessonListtb values('11',1,%1,'M','T',1)").arg(l));
        env_.Exec(
            "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values "
            "('11','M','T',' 7')");
        env_.Exec("update ClassPlantb set BuildCount=7");
        twtest::State().Close();
    }
    QString Lessons() { return env_.Rows("select LessonNo from LessonListtb order by LessonNo"); }
    twtest::AppTestEnv env_;
};

}  // namespace

TEST_F(StartupTest, NoSettingsFileOpensTheProgramFoldersDatabase) {
    auto w = Main(twtest::State());
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("排课软件系统 -- ") + env_.Folder() + "/kb.mdb");
    EXPECT_EQ(twtest::State().title, QStringLiteral("排课软件系统"));
    EXPECT_EQ(twtest::State().lessonOfDay, 6);
    EXPECT_EQ(twtest::State().Path(), env_.Folder() + "/kb.mdb");
    EXPECT_FALSE(QFileInfo::exists(Ini()));  // nothing written
    EXPECT_TRUE(env_.calls.empty());
}

TEST_F(StartupTest, MissingConfiguredFileFallsBackAndRewritesTheSetting) {
    env_.SetIni("DB", "FILENAME", env_.Folder() + "/gone/old.mdb");
    auto w = Main(twtest::State());
    ASSERT_TRUE(w);
    const QString path = env_.Folder() + "/kb.mdb";
    EXPECT_EQ(tw::ini::ReadString(Ini(), "DB", "FILENAME", "", 255), path);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("排课软件系统 -- ") + path);
    EXPECT_EQ(twtest::State().Path(), path);
}

TEST_F(StartupTest, ConfiguredDatabaseIsUsedAsItIs) {
    const QString other = env_.FilePath("school2.mdb");
    ASSERT_TRUE(twtest::CreateKbDatabase(other));
    env_.SetIni("DB", "FILENAME", other);
    env_.SetIni("USERINFO", "USER", QStringLiteral("北山中学"));
    auto w = Main(twtest::State());
    ASSERT_TRUE(w);
    EXPECT_EQ(twtest::State().Path(), other);
    EXPECT_EQ(twtest::State().title, QStringLiteral("北山中学排课软件系统"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("北山中学排课软件系统 -- ") + other);
}

TEST_F(StartupTest, WrongFilesFallBackWithoutBeingChanged) {
    const QString text = env_.FilePath("notes.txt");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a database at all, just a line of text for the test\n");
    }
    env_.SetIni("DB", "FILENAME", text);
    auto w = Main(twtest::State());
    ASSERT_TRUE(w);
    EXPECT_EQ(twtest::State().Path(), env_.Folder() + "/kb.mdb");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("not a database at all, just a line of text for the test\n"));
}

TEST_F(StartupTest, NoDatabaseAnywhereShowsTheMessageAndNoWindow) {
    QFile::remove(env_.DbPath());
    env_.SetIni("DB", "FILENAME", env_.Folder() + "/gone.mdb");
    env_.SetIni("USERINFO", "USER", QStringLiteral("北山中学"));
    auto w = Main(twtest::State());
    EXPECT_FALSE(w);
    ASSERT_EQ(env_.calls.size(), 1u);
    EXPECT_EQ(env_.calls[0].text, QStringLiteral("打开数据库失败！\n") + env_.Folder() +
                                      QStringLiteral("/gone.mdb：文件不存在\n") + env_.DbPath() +
                                      QStringLiteral("：文件不存在"));
    EXPECT_EQ(env_.calls[0].style, tw::ui::vbCritical);
    EXPECT_EQ(env_.calls[0].title, QStringLiteral("北山中学排课软件系统"));
    EXPECT_FALSE(twtest::State().IsOpen());
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(top->inherits("tw::shell::frmMain") && top->isVisible());
    // Opening never creates a file.
    EXPECT_FALSE(QFileInfo::exists(env_.DbPath()));
    EXPECT_FALSE(QFileInfo::exists(env_.Folder() + "/gone.mdb"));
}

TEST_F(StartupTest, ConfiguredFileThatExistsButFailsStaysConfiguredAndIsReported) {
    // Empty, held by another copy of the program, cut short, another password: this run falls
    // back to the program folder's kb.mdb, and the setting keeps naming the school's file.
    const QString other = env_.FilePath("school2.mdb");
    ASSERT_TRUE(twtest::CreateKbDatabase(other));
    const QByteArray whole = h2test::FileBytes(other);
    const QString otherKey = env_.FilePath("otherkey.mdb");
    ASSERT_TRUE(tw::db::Database::Create(otherKey, "123456", twtest::SchemaSql()));
    struct Case {
        QString file;
        QByteArray bytes;  // written first unless empty and the file exists
        QString why;
    };
    const std::vector<Case> cases = {
        {env_.FilePath("empty.mdb"), QByteArray(""), QStringLiteral("文件太短，不是数据库")},
        {other, {}, QStringLiteral("文件正被另一个程序使用")},
        {env_.FilePath("cut.mdb"), whole.left(700), QStringLiteral("文件太短，不是数据库")},
        {otherKey, {}, QStringLiteral("密码不对，或文件已损坏")},
    };
    for (const Case& c : cases) {
        if (!QFileInfo::exists(c.file)) {
            QFile f(c.file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes);
        }
        const QByteArray before = h2test::FileBytes(c.file);
        env_.SetIni("DB", "FILENAME", c.file);
        env_.calls.clear();
        std::unique_ptr<frmMain> w;
        {
            h2test::OtherProcess holder(other);
            ASSERT_TRUE(holder.holding());
            w = Main(twtest::State());
        }
        ASSERT_TRUE(w) << c.file.toStdString();
        EXPECT_EQ(h2test::FileBytes(c.file), before) << c.file.toStdString();
        EXPECT_EQ(twtest::State().Path(), env_.DbPath());
        EXPECT_EQ(tw::ini::ReadString(Ini(), "DB", "FILENAME", "", 255), c.file);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("排课软件系统 -- ") + env_.DbPath());
        ASSERT_EQ(env_.calls.size(), 1u) << c.file.toStdString();
        EXPECT_EQ(env_.calls[0].text,
                  QStringLiteral("打不开设置的数据库文件，本次改用程序目录中的 kb.mdb。\n") +
                      c.file + QStringLiteral("：") + c.why);
        EXPECT_EQ(env_.calls[0].style, tw::ui::vbCritical);
        twtest::State().Close();
    }
}

TEST_F(StartupTest, SecondCopyOnTheSameDatabaseEndsWithTheMessage) {
    h2test::OtherProcess firstCopy(env_.DbPath());
    ASSERT_TRUE(firstCopy.holding());
    auto w = Main(twtest::State());
    EXPECT_FALSE(w);
    ASSERT_EQ(env_.calls.size(), 1u);
    EXPECT_EQ(env_.calls[0].text, QStringLiteral("打开数据库失败！\n") + env_.DbPath() +
                                      QStringLiteral("：文件正被另一个程序使用"));
    EXPECT_FALSE(QFileInfo::exists(Ini()));
}

TEST_F(StartupTest, SevenLessonsTrimsOnlyLessonsAboveSeven) {
    SeedLessons();
    env_.SetIni("LESSON", "LESSON_OF_DAY", "7abc");
    auto w = Main(twtest::State());
    ASSERT_TRUE(w);
    EXPECT_EQ(twtest::State().lessonOfDay, 7);
    EXPECT_EQ(Lessons(), "1;2;3;4;5;6;7");
}

TEST_F(StartupTest, SwitchingToSixAsksBeforeDeletingLessonSevenAndGivesTheirCountsBack) {
    // What the lessons-per-day dialog writes on 确定 after a fresh install, on a school of 7
    // lessons a day: the start asks, naming how many lessons would go, and by default keeps them.
    // Lessons deleted are given back to their own plan rows, so the owed list shows them owed.
    SeedLessons();
    ASSERT_TRUE(twtest::State().Open(env_.DbPath()));
    env_.Exec("insert into LessonListtb values('12',3,7,'M','T',1)");
    twtest::State().Close();
    env_.SetIni("LESSON", "LESSON_OF_DAY", "6");
    for (const int answer : {int(tw::ui::vbOK), int(tw::ui::vbNo)}) {
        env_.calls.clear();
        env_.answers = {answer};  // the box closed, or No
        auto w = Main(twtest::State());
        ASSERT_TRUE(w);
        EXPECT_EQ(twtest::State().lessonOfDay, 6);
        EXPECT_EQ(env_.Count("select count(*) from LessonListtb where LessonNo=7"), 2);
        ASSERT_EQ(env_.calls.size(), 1u);
        EXPECT_EQ(env_.calls[0].text,
                  QStringLiteral("课表中有2节课排在每天第6节以后，超出了每天课时数设置（6节）。\n"
                                 "要删除这2节课吗？选“否”则保留。"));
        EXPECT_EQ(env_.calls[0].style,
                  tw::ui::vbYesNo | tw::ui::vbQuestion | tw::ui::vbDefaultButton2);
        EXPECT_EQ(env_.calls[0].title, twtest::State().title);
        twtest::State().Close();
    }
    // Class 12's lesson has a plan row of its own; a second row of class 11's course with
    // another teacher (an older file) keeps its one lesson, which lies within the day.
    ASSERT_TRUE(twtest::State().Open(env_.DbPath()));
    for (const char* master :
         {"Classtb values('11','一（1）班','','')", "Classtb values('12','一（2）班','','')",
          "Coursetb values('M','数学','','')", "Teachertb values('T','张','','')",
          "Teachertb values('U','李','','')"}) {
        env_.Exec(QStringLiteral("insert into ") + QString::fromUtf8(master));
    }
    env_.Exec(
        "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count,BuildCount) Values "
        "('12','M','T',3,1)");
    env_.Exec("update LessonListtb set TeacherCode='U' where ClassCode='11' and LessonNo=2");
    env_.Exec(
        "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count,BuildCount) Values "
        "('11','M','U',1,1)");
    env_.Exec("update ClassPlantb set BuildCount=6 where ClassCode='11' and TeacherCode='T'");
    twtest::State().Close();
    env_.calls.clear();
    env_.answers = {tw::ui::vbYes};
    auto w = Main(twtest::State());
    ASSERT_TRUE(w);
    EXPECT_EQ(env_.calls.size(), 1u);
    EXPECT_EQ(Lessons(), "1;2;3;4;5;6");
    EXPECT_EQ(env_.Rows("select ClassCode, TeacherCode, BuildCount from ClassPlantb order by "
                        "ClassCode, TeacherCode"),
              "11|T|5;11|U|1;12|T|0");
    EXPECT_EQ(tw::store::BrokenTimetableRule(twtest::State().Db(), {6, {"11|M"}}), "");
    twtest::State().Close();
    // With nothing beyond the day, nothing is asked.
    env_.calls.clear();
    w = Main(twtest::State());
    ASSERT_TRUE(w);
    EXPECT_TRUE(env_.calls.empty());
}

// The user manual tells what the start does with lessons beyond the day: it asks, and keeps them
// unless told otherwise. It used to say they were deleted at the next start.
TEST_F(StartupTest, TheManualDescribesTheQuestionAboutLessonsBeyondTheDay) {
    QFile manual(QStringLiteral(TW_SOURCE_DIR "/app/shell/manual/使用手册.html"));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(manual.readAll());
    EXPECT_FALSE(text.contains(QStringLiteral("在下次启动时删除")));
    EXPECT_TRUE(text.contains(QStringLiteral(
        "下次启动时，程序说明有多少节这样的课并询问是否删除，默认的回答“否”保留它们")));
}

TEST_F(StartupTest, RefusedTrimSaysWhyAndKeepsTheLessons) {
    SeedLessons();
    ASSERT_TRUE(twtest::State().Open(env_.DbPath()));
    env_.Exec(
        "CREATE TRIGGER no_trim BEFORE DELETE ON LessonListtb BEGIN "
        "SELECT RAISE(ABORT, 'refused'); END");
    twtest::State().Close();
    env_.SetIni("LESSON", "LESSON_OF_DAY", "6");
    env_.answers = {tw::ui::vbYes};
    auto w = Main(twtest::State());
    ASSERT_TRUE(w);
    ASSERT_EQ(env_.calls.size(), 2u);
    EXPECT_EQ(env_.calls[1].text, QStringLiteral("删除课表失败！\n数据库出错"));
    EXPECT_EQ(env_.calls[1].style, tw::ui::vbCritical);
    EXPECT_EQ(env_.calls[1].title, twtest::State().title);
    EXPECT_EQ(Lessons(), "1;2;3;4;5;6;7");
}

TEST_F(StartupTest, MissingOrOddLessonSettingsRunWithSixAndDeleteNoLesson) {
    // A lost, empty, damaged or unreadable settings file, or a day length other than 6 or 7,
    // gives 6 lessons a day and leaves every placed lesson where it is.
    SeedLessons();
    auto writeIni = [this](const QByteArray& bytes) {
        QFile f(Ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    std::mt19937 rng(42);
    QByteArray noise(300, '\0');
    for (char& b : noise) b = static_cast<char>(rng());
    const std::vector<std::pair<QString, std::function<void()>>> settings = {
        {"missing file", [&] { QFile::remove(Ini()); }},
        {"empty file", [&] { writeIni(""); }},
        {"noise", [&] { writeIni(noise); }},
        {"a folder", [&] { ASSERT_TRUE(QFile::remove(Ini()) && QDir().mkdir(Ini())); }},
        {"七",
         [&] {
             QDir().rmdir(Ini());
             env_.SetIni("LESSON", "LESSON_OF_DAY", "七");
         }},
        {"abc", [&] { env_.SetIni("LESSON", "LESSON_OF_DAY", "abc"); }},
        {"0", [&] { env_.SetIni("LESSON", "LESSON_OF_DAY", "0"); }},
        {"9", [&] { env_.SetIni("LESSON", "LESSON_OF_DAY", "9"); }},
        {"-1", [&] { env_.SetIni("LESSON", "LESSON_OF_DAY", "-1"); }},
        {"blank", [&] { writeIni("[LESSON]\r\nLESSON_OF_DAY= \r\n"); }},
    };
    for (const auto& [name, make] : settings) {
        make();
        auto w = Main(twtest::State());
        ASSERT_TRUE(w) << name.toStdString();
        EXPECT_EQ(twtest::State().lessonOfDay, 6) << name.toStdString();
        EXPECT_EQ(Lessons(), "1;2;3;4;5;6;7") << name.toStdString();
        twtest::State().Close();
    }
}

TEST_F(StartupTest, CaptionNamesTheDatabaseOpenWhenTheSettingCannotBeRewritten) {
    // The program folder's path holds characters GBK lacks, so its kb.mdb cannot be written
    // to the settings: the caption must still name the file that is open.
    const QString folder = env_.Folder() + QStringLiteral("/Björn-학교");
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::rename(env_.DbPath(), folder + "/kb.mdb"));
    SetProgramFolder(folder);
    env_.SetIni("DB", "FILENAME", env_.Folder() + "/gone.mdb");
    const QByteArray iniBefore = h2test::FileBytes(SettingsFile());
    auto w = Main(twtest::State());
    ASSERT_TRUE(w);
    EXPECT_EQ(twtest::State().Path(), folder + "/kb.mdb");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("排课软件系统 -- ") + folder + "/kb.mdb");
    EXPECT_EQ(h2test::FileBytes(SettingsFile()), iniBefore);
    EXPECT_TRUE(env_.calls.empty());
}

TEST_F(StartupTest, LongSchoolNameIsCutToOneHundredBytes) {
    // 75 Chinese characters: 150 GBK bytes; the first 50 characters fill 100 bytes.
    const QString name = QString(75, QChar(0x4E2D));
    ASSERT_EQ(tw::text::ToGbk(name).size(), 150u);
    env_.SetIni("USERINFO", "USER", name);
    EXPECT_EQ(GetSchoolName(), QString(50, QChar(0x4E2D)));
    auto w = Main(twtest::State());
    ASSERT_TRUE(w);
    EXPECT_EQ(twtest::State().title, QString(50, QChar(0x4E2D)) + QStringLiteral("排课软件系统"));
    EXPECT_TRUE(w->windowTitle().startsWith(twtest::State().title + " -- "));
}

TEST_F(StartupTest, LongDatabasePathIsCutTo254Bytes) {
    const QString longPath = env_.Folder() + "/" + QString(300, 'd') + ".mdb";
    env_.SetIni("DB", "FILENAME", longPath);
    EXPECT_EQ(GetDbFileName().toUtf8().size(), 254);
    EXPECT_EQ(GetDbFileName(), longPath.left(254));
}

TEST_F(StartupTest, SettingsReadersHaveDefaultsAndReadAnew) {
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

TEST_F(StartupTest, TrimReportsFailureWithoutADatabase) {
    EXPECT_EQ(TrimLessonsToDay(twtest::State()).reason, tw::store::Reason::NoDatabase);
    SeedLessons();
    ASSERT_TRUE(twtest::State().Open(env_.DbPath()));
    twtest::State().lessonOfDay = 6;
    {
        // The lessons' plan rows read, the delete, one count given back.
        twtest::StatementRecorder recorder(twtest::State().Db());
        EXPECT_TRUE(TrimLessonsToDay(twtest::State()).Done());
        EXPECT_EQ(recorder.Count(), 3);
        EXPECT_EQ(recorder.Digest().toStdString(), "b1d6eab2dfd3a5fe");
    }
    EXPECT_EQ(Lessons(), "1;2;3;4;5;6");
    EXPECT_EQ(env_.Count("select BuildCount from ClassPlantb"), 6);
}

TEST_F(StartupTest, ASettingsFileInUtf8OpensTheSchoolsDatabaseAndKeepsTheSetting) {
    // Saved by an editor as UTF-8, with or without the byte-order mark: a Chinese path and
    // school name read as they were written (the caption, and the printouts and workbooks that
    // read the same name), and FILENAME is not replaced by the empty kb.mdb.
    ASSERT_TRUE(QDir().mkdir(env_.FilePath(QStringLiteral("第二学期"))));
    const QString school = env_.FilePath(QStringLiteral("第二学期/课表.mdb"));
    ASSERT_TRUE(twtest::CreateKbDatabase(school));
    for (const QByteArray& mark : {QByteArray("\xEF\xBB\xBF"), QByteArray()}) {
        const QByteArray ini = mark + "[DB]\nFILENAME=" + school.toUtf8() +
                               "\n[USERINFO]\nUSER=" + QStringLiteral("北山中学").toUtf8() + "\n";
        {
            QFile f(Ini());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(ini);
        }
        env_.calls.clear();
        auto w = Main(twtest::State());
        ASSERT_TRUE(w);
        EXPECT_EQ(twtest::State().Path(), school) << mark.size();
        EXPECT_TRUE(env_.calls.empty());
        EXPECT_EQ(h2test::FileBytes(Ini()), ini);
        EXPECT_EQ(GetSchoolName(), QStringLiteral("北山中学")) << mark.size();
        EXPECT_EQ(twtest::State().title, QStringLiteral("北山中学排课软件系统"));
        EXPECT_EQ(w->windowTitle(), QStringLiteral("北山中学排课软件系统 -- ") + school);
        twtest::State().Close();
    }
}

// A relative FILENAME names a file of the program folder, wherever the program is started from
// (a desktop launcher, a terminal in another folder): the school's file opens and the setting
// stays as it is.
TEST_F(StartupTest, ARelativeDatabasePathIsTakenInTheProgramFolder) {
    const QString school = env_.FilePath("school.mdb");
    ASSERT_TRUE(twtest::CreateKbDatabase(school));
    ASSERT_TRUE(QDir(env_.Folder()).mkdir("sub"));
    ASSERT_TRUE(twtest::CreateKbDatabase(env_.FilePath("sub/term2.mdb")));
    QTemporaryDir elsewhere;
    struct StartedElsewhere {
        const QString started = QDir::currentPath();
        ~StartedElsewhere() { QDir::setCurrent(started); }
    } startedElsewhere;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    const std::vector<std::pair<QString, QString>> cases = {
        {"school.mdb", school},
        {"./sub/../school.mdb", school},
        {"sub/term2.mdb", env_.FilePath("sub/term2.mdb")},
    };
    for (const auto& [setting, file] : cases) {
        env_.SetIni("DB", "FILENAME", setting);
        auto w = Main(twtest::State());
        ASSERT_TRUE(w) << setting.toStdString();
        EXPECT_EQ(twtest::State().Path(), file) << setting.toStdString();
        EXPECT_EQ(w->windowTitle(), QStringLiteral("排课软件系统 -- ") + file);
        EXPECT_EQ(tw::ini::ReadString(Ini(), "DB", "FILENAME", "", 255), setting);
        EXPECT_TRUE(env_.calls.empty());
        twtest::State().Close();
    }
}

// A configured file in a folder the user may not enter is not a missing file: it is reported
// as not openable and stays configured. Runs in a child process that gives up its rights.
TEST_F(StartupTest, AConfiguredFileBehindAClosedFolderStaysConfigured) {
    readonlyinstall::ChildTemporaryFolders temporary;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QTemporaryDir closed;  // root's, 0700: another user may not enter it
            const QString school = closed.filePath("school.mdb");
            ASSERT_TRUE(twtest::CreateKbDatabase(school));
            env_.SetIni("DB", "FILENAME", school);
            // The program folder and its files stay the user's to write.
            QTemporaryDir cache;
            ASSERT_TRUE(readonlyinstall::BecomeUserWithoutWriteAccess(
                env_.Folder(), cache.path(), {env_.Folder(), env_.DbPath(), Ini()}));
            ASSERT_EQ(::chmod(QFile::encodeName(env_.Folder()).constData(), 0755), 0);
            auto w = Main(twtest::State());
            ASSERT_TRUE(w);
            EXPECT_EQ(twtest::State().Path(), env_.DbPath());
            EXPECT_EQ(tw::ini::ReadString(Ini(), "DB", "FILENAME", "", 255), school);
            ASSERT_EQ(env_.calls.size(), 1u);
            EXPECT_EQ(env_.calls[0].text,
                      QStringLiteral("打不开设置的数据库文件，本次改用程序目录中的 kb.mdb。\n") +
                          school + QStringLiteral("：无权进入文件所在的文件夹"));
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}
