// Builds on generated schools with several random sequences: the timetable always keeps the
// rules, whatever the draws; and so does every later pre-set and hand edit.
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QListWidget>
#include <QSet>
#include <QTreeWidget>
#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "BuilderTestSupport.h"
#include "HandEditTestSupport.h"
#include "SchoolGen.h"
#include "ScriptedRandomTestSupport.h"
#include "StatementLogTestSupport.h"
#include "TranscribedBuildTestSupport.h"
#include "data/frmClassInput.h"
#include "db/CodeOrder.h"
#include "store/BuildCount.h"
#include "store/Invariants.h"
#include "store/Names.h"
#include "timetable/GridMarks.h"
#include "timetable/frmManualSetLesson.h"
#include "timetable/frmSetLesson.h"
#include "ui/Combo.h"

using tw::data::frmClassInput;
using tw::shell::ShownNames;
using tw::timetable::frmManualSetLesson;
using tw::timetable::frmSetLesson;

namespace {

struct Case {
    int lessonsPerDay;
    unsigned schoolSeed;
    unsigned drawSeed;
    long long statements;  // that the build sends
    const char* digest;    // of their texts in order
};

class GeneratedSchoolTest : public BuildTest, public ::testing::WithParamInterface<Case> {};

TEST_P(GeneratedSchoolTest, EveryBuildKeepsTheTimetableRules) {
    const Case c = GetParam();
    tw::timetable::demo::SchoolParams p;
    p.classes = 12;
    p.lessonsPerDay = c.lessonsPerDay;
    p.lessonsPerWeek = c.lessonsPerDay == 6 ? 28 : 32;
    p.sharedCourses = 2;
    p.sharedClasses = 5;
    p.fixedLessons = 25;
    p.staleLessons = 12;
    p.seed = c.schoolSeed;
    tw::timetable::demo::SchoolSummary school = tw::timetable::demo::WriteSchool(db(), p);
    ASSERT_GT(school.fixedLessons, 10);
    twtest::State().lessonOfDay = c.lessonsPerDay;

    const QString fixedSql =
        "select ClassCode, Day, LessonNo, CourseCode, TeacherCode from LessonListtb where "
        "SetFlag=0 order by ClassCode, Day, LessonNo";
    const QStringList fixedBefore = Rows(fixedSql);
    ASSERT_EQ(fixedBefore.size(), school.fixedLessons);
    ASSERT_GT(Int("select count(*) from LessonListtb where SetFlag=2"), 0);

    RunStatements sent;
    const int percent = sent.Record(db(), [&] { return Build(SeededRandom(c.drawSeed)); });
    ASSERT_GE(percent, 0);
    EXPECT_EQ(sent.Count(), c.statements);
    EXPECT_EQ(sent.Digest(), c.digest);

    // Fixed lessons unchanged, nothing placed by hand left, the rest placed by the builder.
    EXPECT_EQ(Rows(fixedSql), fixedBefore);
    EXPECT_EQ(Int("select count(*) from LessonListtb where SetFlag not in (0,1)"), 0);
    // No class and no teacher twice in one slot.
    EXPECT_EQ(Rows("select ClassCode, Day, LessonNo from LessonListtb group by ClassCode, Day, "
                   "LessonNo having count(*)>1"),
              QStringList());
    EXPECT_EQ(Rows("select TeacherCode, Day, LessonNo from LessonListtb group by TeacherCode, "
                   "Day, LessonNo having count(*)>1"),
              QStringList());
    // Inside the week and the day.
    EXPECT_EQ(Int("select count(*) from LessonListtb where Day<1 or Day>5 or LessonNo<1 or "
                  "LessonNo>" +
                  QString::number(c.lessonsPerDay)),
              0);
    // Progress counters match the lessons, and every row is finished.
    EXPECT_EQ(Rows("select p.ClassCode, p.CourseCode, p.BuildCount, (select count(*) from "
                   "LessonListtb l where l.ClassCode=p.ClassCode and l.CourseCode=p.CourseCode "
                   "and l.TeacherCode=p.TeacherCode) as n from ClassPlantb p where "
                   "p.BuildCount <> (select count(*) from LessonListtb l where "
                   "l.ClassCode=p.ClassCode and l.CourseCode=p.CourseCode and "
                   "l.TeacherCode=p.TeacherCode)"),
              QStringList());
    EXPECT_EQ(Int("select count(*) from ClassPlantb where IsAutoBuild<>1"), 0);
    // No builder lesson in a never slot of its course.
    EXPECT_EQ(Int("select count(*) from LessonListtb l, Limittb m where l.SetFlag=1 and "
                  "m.Kind=1 and m.Code=l.CourseCode and m.Day=l.Day and m.LessonNo=l.LessonNo "
                  "and m.Attr=3"),
              0);
    // A shared-resource course in one class per slot.
    EXPECT_EQ(Rows("select CourseCode, Day, LessonNo from LessonListtb where CourseCode in "
                   "(select CourseCode from CourseAttrtb) group by CourseCode, Day, LessonNo "
                   "having count(*)>1"),
              QStringList());
    // The daily bound Count/5+1 per class, course and day.
    EXPECT_EQ(Rows("select l.ClassCode, l.CourseCode, l.Day from LessonListtb l, ClassPlantb p "
                   "where p.ClassCode=l.ClassCode and p.CourseCode=l.CourseCode group by "
                   "l.ClassCode, l.CourseCode, l.Day, p.Count having count(*) > p.Count/5+1"),
              QStringList());
    // The percentage is the share of planned lessons that stand.
    const long long planned = Int("select sum(Count) from ClassPlantb");
    const long long built = Int("select sum(BuildCount) from ClassPlantb");
    EXPECT_EQ(planned, school.plannedLessons);
    EXPECT_EQ(percent, static_cast<int>(std::nearbyint(built * 100.0 / planned)));
    EXPECT_GE(percent, 90);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedSchoolTest,
                         ::testing::Values(Case{6, 1, 11, 774, "9bc7127bba1da055"},
                                           Case{6, 2, 12, 782, "7b4079c9bc43f8df"},
                                           Case{6, 3, 13, 780, "be00919a196a1615"},
                                           Case{7, 4, 14, 888, "da8a5845e08f331d"},
                                           Case{7, 5, 15, 884, "4c5906e6f5f7d074"},
                                           Case{7, 6, 16, 886, "4954c261e4dbc850"}));

// Odd school data: codes in two spellings and missing codes, two rows of one class and course,
// negative and missing counts, lessons outside the week or the day or without a number, limits
// of every kind and value. A run that answers from its memo writes what a run that asks the
// database every question writes, lesson by lesson and in the same order.
TEST_F(BuildTest, TheRunsMemoAnswersAsTheDatabaseDoesOnOddData) {
    RunStatements sent;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        auto oneOf = [&](const QStringList& values) { return values[pick(values.size())]; };
        const QStringList classes = {"'101'", "'1a'", "'1A'", "null"};
        const QStringList courses = {"'01'", "'ab'", "'AB'", "''", "null"};
        const QStringList teachers = {"'T1'", "'t1'", "'T2'", "'O''B'", "null"};
        const QStringList counts = {"-1", "0", "1", "2", "3", "4", "5", "6", "8", "null"};
        const QStringList days = {"1", "1", "1", "1", "2", "2", "3", "4", "5", "0", "6", "null"};
        const QStringList lessons = {"1", "2", "3", "4", "1",    "2",   "5",
                                     "6", "7", "0", "9", "null", "null"};
        QStringList fill;
        for (int i = 0, n = 6 + pick(10); i < n; ++i)
            fill << "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (" +
                        oneOf(classes) + "," + oneOf(courses) + "," + oneOf(teachers) + "," +
                        oneOf(counts) + ")";
        for (int i = 0, n = pick(16); i < n; ++i)
            fill << "insert into LessonListtb values(" + oneOf(classes) + "," + oneOf(days) + "," +
                        oneOf(lessons) + "," + oneOf(courses) + "," + oneOf(teachers) + "," +
                        oneOf({"0", "0", "0", "1", "2", "null"}) + ")";
        for (int i = 0, n = pick(30); i < n; ++i)
            fill << "insert into Limittb values(" + oneOf({"1", "1", "1", "1", "0", "2", "null"}) +
                        "," + oneOf(courses) + "," + oneOf(days) + "," + oneOf(lessons) + "," +
                        oneOf({"0", "0", "2", "2", "1", "3", "5", "-1", "null"}) + ")";
        for (int i = 0, n = pick(3); i < n; ++i)
            fill << "insert into CourseAttrtb (CourseCode) values (" + oneOf(courses) + ")";
        const int lessonOfDay = 6 + pick(2);

        auto build = [&](bool memo) {
            Refill(fill);
            tw::timetable::Builder builder(db(), lessonOfDay, SeededRandom(seed));
            builder.UseRunMemo(memo);
            return Outcome(sent.Record(db(), [&] { return builder.AutoBuildLessons(); }));
        };
        EXPECT_EQ(build(true), build(false)) << "seed " << seed << "\n"
                                             << fill.join('\n').toStdString();
    }
    // The statements of both kinds of run, the database's questions one by one included.
    EXPECT_EQ(sent.Count(), 18978);
    EXPECT_EQ(sent.Digest(), "5ffb4579e8185838");
}

// Writes let in while the run lets window messages through (lessons placed and removed, counts,
// limits and shared-resource courses changed): the run that answers from its memo still writes
// what a run asking the database every question writes, and puts no class and no teacher twice
// into one slot.
TEST_F(BuildTest, TheRunsMemoTakesInWhatIsWrittenBetweenRows) {
    const tw::timetable::demo::SchoolParams params{.classes = 6,
                                                   .courses = 8,
                                                   .lessonsPerWeek = 26,
                                                   .lessonsPerDay = 6,
                                                   .sharedClasses = 3,
                                                   .fixedLessons = 6,
                                                   .staleLessons = 0,
                                                   .seed = 9};
    // What the runs send, the writes let in between rows included.
    RunStatements sent;
    auto build = [&](bool memo) {
        for (const char* table : {"Classtb", "Coursetb", "Teachertb", "ClassRoomtb", "ClassPlantb",
                                  "LessonListtb", "Limittb", "CourseAttrtb"})
            Exec(QString("delete from ") + table);
        tw::timetable::demo::WriteSchool(db(), params);
        const QStringList plan =
            Rows("select ClassCode, CourseCode, TeacherCode from ClassPlantb order by rowid");
        std::mt19937 rng(9);
        auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        auto q = [](const QString& code) { return "'" + tw::db::SqlQ(code) + "'"; };
        tw::timetable::Builder builder(db(), 6, SeededRandom(9), [&] {
            if (below(3) != 0) return;
            const QStringList row = plan[below(plan.size())].split('|');
            const QString day = QString::number(1 + below(5));
            const QString lesson = QString::number(1 + below(6));
            const QString slot = " and Day=" + day + " and LessonNo=" + lesson;
            switch (std::max(0, below(8) - 3)) {
                case 0:  // a lesson of the teacher in a class outside the plan
                    if (Int("select count(*) from LessonListtb where (TeacherCode=" + q(row[2]) +
                            " or ClassCode='99')" + slot) == 0)
                        Exec("insert into LessonListtb values('99'," + day + "," + lesson + "," +
                             q(row[1]) + "," + q(row[2]) + "," + QString::number(below(3)) + ")");
                    break;
                case 1:
                    Exec("delete from LessonListtb where SetFlag<>0" + slot);
                    break;
                case 2:
                    Exec("update ClassPlantb set Count=Count+" + QString::number(below(3) - 1) +
                         " where ClassCode=" + q(row[0]) + " and CourseCode=" + q(row[1]));
                    break;
                case 3:
                    Exec("insert into Limittb values(1," + q(row[1]) + "," + day + "," + lesson +
                         "," + QString::number(below(4)) + ")");
                    break;
                default:
                    Exec("insert into CourseAttrtb (CourseCode) values (" + q(row[1]) + ")");
            }
        });
        builder.UseRunMemo(memo);
        const QStringList outcome =
            Outcome(sent.Record(db(), [&] { return builder.AutoBuildLessons(); }));
        EXPECT_EQ(Rows("select TeacherCode, Day, LessonNo from LessonListtb group by "
                       "TeacherCode, Day, LessonNo having count(*)>1"),
                  QStringList());
        EXPECT_EQ(Rows("select ClassCode, Day, LessonNo from LessonListtb group by ClassCode, "
                       "Day, LessonNo having count(*)>1"),
                  QStringList());
        return outcome;
    };
    const QStringList asked = build(false);
    EXPECT_EQ(build(true).join('\n').toStdString(), asked.join('\n').toStdString());
    EXPECT_EQ(sent.Count(), 2953);
    EXPECT_EQ(sent.Digest(), "4486a525f73f8c48");
}

// Schools whose codes the database orders otherwise than UTF-16 does (full-width letters and
// digits beside characters above U+FFFF), with ASCII case variants that are one code to the
// database, numeric-looking texts, quotes, and many ties among the teachers' and the courses'
// class counts. The builder places every lesson where the plain statement-by-statement build
// places it, under the same draws, whether its memo knows the plan or not.
TEST_F(BuildTest, TheBuilderPlacesWhereItsStatementsReadOnCodesOfEveryKind) {
    const QStringList atoms = {"a",
                               "A",
                               "b",
                               "1",
                               "01",
                               "1.0",
                               "_",
                               "'",
                               u"Ａ"_qs,
                               u"ａ"_qs,
                               u"Ｂ"_qs,
                               u"１"_qs,
                               u"张"_qs,
                               u"\U0001D400"_qs,
                               u"\U00020000"_qs,
                               u"\U0001F600"_qs,
                               u"\uFFFD"_qs,
                               u"\uE000"_qs};
    db().OpenRecordset("PRAGMA synchronous=OFF")->Close();
    RunStatements sent;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        // Codes distinct to the database, written in any ASCII case.
        auto codes = [&](int n) {
            QStringList out;
            QSet<QByteArray> keys;
            while (out.size() < n) {
                QString code;
                for (int i = 0, k = 1 + below(3); i < k; ++i) code += atoms[below(atoms.size())];
                if (!keys.contains(tw::db::CodeKey(code))) {
                    keys.insert(tw::db::CodeKey(code));
                    out << code;
                }
            }
            return out;
        };
        const bool variants = below(2) == 0;
        auto spell = [&](QString code) {
            if (variants && below(4) == 0)
                for (QChar& c : code)
                    if (c.isLetter() && c.unicode() < 128 && below(2) == 0)
                        c = c.isUpper() ? c.toLower() : c.toUpper();
            return "'" + tw::db::SqlQ(code) + "'";
        };
        const int lessonOfDay = 6 + below(2);
        const QStringList classes = codes(2 + below(3)), courses = codes(2 + below(5)),
                          teachers = codes(2 + below(4));
        std::vector<QStringList> courseTeachers;
        for (int k = 0; k < courses.size(); ++k)
            courseTeachers.push_back(
                {teachers[below(teachers.size())], teachers[below(teachers.size())]});
        struct Row {
            QString cls, course, teacher;
        };
        std::vector<Row> plan;
        QStringList fill;
        for (const QString& cls : classes)
            for (int k = 0; k < courses.size(); ++k)
                if (below(10) < 7) {
                    plan.push_back({cls, courses[k], courseTeachers[k][below(2)]});
                    fill << "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) "
                            "values (" +
                                spell(cls) + "," + spell(courses[k]) + "," +
                                spell(plan.back().teacher) + "," + QString::number(1 + below(7)) +
                                ")";
                }
        std::shuffle(fill.begin(), fill.end(), rng);
        // Pre-set lessons where class and teacher are free; lessons of earlier builds and of
        // hand editing anywhere.
        QSet<QByteArray> taken;
        for (int i = 0, n = below(6); i < n && !plan.empty(); ++i) {
            const Row& r = plan[static_cast<size_t>(below(static_cast<int>(plan.size())))];
            const QString slot = QString("|%1|%2").arg(1 + below(5)).arg(1 + below(lessonOfDay));
            const QByteArray c = tw::db::CodeKey("c" + r.cls + slot),
                             t = tw::db::CodeKey("t" + r.teacher + slot);
            if (taken.contains(c) || taken.contains(t)) continue;
            taken << c << t;
            const QStringList at = slot.split('|');
            fill << "insert into LessonListtb values(" + spell(r.cls) + "," + at[1] + "," + at[2] +
                        "," + spell(r.course) + "," + spell(r.teacher) + ",0)";
        }
        for (int i = 0, n = below(3); i < n && !plan.empty(); ++i) {
            const Row& r = plan[static_cast<size_t>(below(static_cast<int>(plan.size())))];
            fill << QString("insert into LessonListtb values(%1,%2,%3,%4,%5,%6)")
                        .arg(spell(r.cls))
                        .arg(1 + below(5))
                        .arg(1 + below(lessonOfDay))
                        .arg(spell(r.course), spell(r.teacher))
                        .arg(1 + below(2));
        }
        // Course limits, one a slot, and limits of the other kinds, which the build ignores.
        QSet<QByteArray> limited;
        for (int i = 0, n = below(14); i < n; ++i) {
            const QString course = courses[below(courses.size())];
            const int day = 1 + below(5), lesson = 1 + below(lessonOfDay);
            const int kind = below(5) == 0 ? below(4) : 1;
            const QByteArray slot =
                tw::db::CodeKey(QString("%1|%2|%3").arg(course).arg(day).arg(lesson));
            if (kind == 1 && limited.contains(slot)) continue;
            limited << slot;
            fill << QString("insert into Limittb values(%1,%2,%3,%4,%5)")
                        .arg(kind)
                        .arg(spell(course))
                        .arg(day)
                        .arg(lesson)
                        .arg(below(4));
        }
        for (int i = 0, n = below(3); i < n; ++i)
            fill << "insert into CourseAttrtb (CourseCode) values (" +
                        spell(courses[below(courses.size())]) + ")";

        auto build = [&](bool builder) {
            Refill(fill);
            if (builder)
                return Outcome(sent.Record(db(), [&] {
                    return tw::timetable::Builder(db(), lessonOfDay, SeededRandom(seed))
                        .AutoBuildLessons();
                }));
            tw::db::Transaction transaction(db());  // only to spare the disk
            return Outcome(TranscribedBuild(db(), lessonOfDay, SeededRandom(seed))
                               .AutoBuildLessons(static_cast<int>(plan.size())));
        };
        const std::string transcribed = build(false).join('\n').toStdString();
        ASSERT_EQ(build(true).join('\n').toStdString(), transcribed)
            << "seed " << seed << "\n"
            << fill.join('\n').toStdString();
    }
    // The builder's own statements.
    EXPECT_EQ(sent.Count(), 28300);
    EXPECT_EQ(sent.Digest(), "aa3b4f28eccb4636");
}

TEST_F(BuildTest, TheSameDrawsGiveTheSameTimetable) {
    tw::timetable::demo::SchoolParams p;
    p.classes = 6;
    p.lessonsPerDay = 7;
    tw::timetable::demo::WriteSchool(db(), p);
    twtest::State().lessonOfDay = 7;
    const QString all =
        "select ClassCode, Day, LessonNo, CourseCode from LessonListtb order by "
        "ClassCode, Day, LessonNo";
    const int first = Build(SeededRandom(7));
    const QStringList week = Rows(all);
    EXPECT_EQ(Build(SeededRandom(7)), first);
    EXPECT_EQ(Rows(all), week);
}

}  // namespace

namespace {

// A fixed school and a fixed random sequence always get the same timetable: its digest was
// recorded from the builder before any rework of its statements, so a faster builder that
// places even one lesson elsewhere shows here. The schools and draws are those of the build
// benchmark ("bench_build --classes 24", "--classes 12 --lessons-day 6 --lessons-week 28
// --seed 3", and a course system of teachers with several courses: "--course-system --classes 30
// --courses 150 --teachers 30 --school-lessons 720 --lessons-day 6 --shared 2"), whose --dump
// writes the lines digested here.
struct Recorded {
    int classes;
    int lessonsPerDay;
    int lessonsPerWeek;
    unsigned schoolSeed;
    int percent;
    int lessons;
    const char* sha256;  // of the lines "class day lesson course teacher flag", each ended by \n
    int courses = 15;
    int courseTeachers = 0;  // a course system's teachers, 0 for the common school
    int schoolLessons = 0;
    int sharedCourses = 1;
    long long statements = 0;  // that the build sends
    const char* digest = "";   // of their texts in order
};

class RecordedTimetableTest : public BuildTest, public ::testing::WithParamInterface<Recorded> {};

TEST_P(RecordedTimetableTest, AFixedSchoolAndDrawsGiveTheRecordedTimetable) {
    const Recorded r = GetParam();
    tw::timetable::demo::SchoolParams p = tw::timetable::demo::BenchmarkSchool(r.classes);
    p.courses = r.courses;
    p.lessonsPerWeek = r.lessonsPerWeek;
    p.lessonsPerDay = r.lessonsPerDay;
    p.courseTeachers = r.courseTeachers;
    p.schoolLessons = r.schoolLessons;
    p.sharedCourses = r.sharedCourses;
    p.seed = r.schoolSeed;
    tw::timetable::demo::WriteSchool(db(), p);
    twtest::State().lessonOfDay = r.lessonsPerDay;

    RunStatements sent;
    EXPECT_EQ(sent.Record(db(), [&] { return Build(SeededRandom(r.schoolSeed * 1000u)); }),
              r.percent);
    EXPECT_EQ(sent.Count(), r.statements);
    EXPECT_EQ(sent.Digest(), r.digest);
    const QStringList rows = Rows(
        "select ClassCode, Day, LessonNo, CourseCode, TeacherCode, SetFlag from "
        "LessonListtb order by ClassCode, Day, LessonNo");
    EXPECT_EQ(rows.size(), r.lessons);
    QByteArray text;
    for (const QString& row : rows) text += QString(row).replace('|', ' ').toUtf8() + '\n';
    EXPECT_EQ(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex(),
              QByteArray(r.sha256));
}

INSTANTIATE_TEST_SUITE_P(
    Schools, RecordedTimetableTest,
    ::testing::Values(Recorded{24, 7, 34, 1, 97, 789,
                               "c0f98e82027281c6c35b3efee62e0765618a0e46a4ef7e3f9b6574602ddadfd9",
                               15, 0, 0, 1, 1891, "c54603e330f5dd17"},
                      Recorded{12, 6, 28, 3, 93, 313,
                               "a37944c1c8c4d244a69119f64489589e791ec0f41fa323cb6a6f28591ce4465e",
                               15, 0, 0, 1, 771, "8dd85b7b24c0f721"},
                      Recorded{30, 6, 34, 1, 96, 693,
                               "e085950ce78857bad4b9b9345e6c2b8e79c9a3161b31066ce959f0f94e289e2e",
                               150, 30, 720, 2, 1515, "5cea7f421b551260"}));

}  // namespace

namespace {

// Thousands of random clicks of pre-setting and hand editing, valid and invalid, on a built
// school that holds what older files hold too (two lessons of a class in one slot, two plan rows
// of a class and course, Null flags); after each one the timetable keeps its rules (no class but
// in the older file's slots and no teacher twice in one slot, every lesson inside the week and
// with its plan row, every plan row's BuildCount its own lessons), and hand editing shows what
// is stored: the class grid the week of the class chosen,
// the owed list the plan rows that still owe lessons, and the teacher grid the week of the
// teacher chosen (found by the entry's code: teachers may share a name). The two forms are
// modal, so one of them is open at a time, for a run of clicks.
class EditedSchoolTest : public BuildTest {
  public:
    // "" when hand editing shows the stored class week, owed lessons and teacher week; else the
    // first thing that differs.
    QString HandEditingDiffers(frmManualSetLesson& f) {
        const auto weekDiffers = [this](tw::ui::WeekGrid& grid, const QString& sql,
                                        const auto& cellText) -> QString {
            std::map<std::pair<int, int>, QString> stored;
            for (const QString& r : Rows(sql)) {
                const QStringList c = r.split('|');
                stored[{c[0].toInt(), c[1].toInt()}] = cellText(c[2], c[3]);
            }
            for (int day = 1; day <= 5; ++day) {
                for (int lesson = 1; lesson <= twtest::State().lessonOfDay; ++lesson) {
                    const QString shown = grid.TextMatrix(tw::ui::WeekGridRowOfLesson(lesson), day);
                    const auto it = stored.find({day, lesson});
                    const QString want = it == stored.end() ? QString() : it->second;
                    if (shown != want)
                        return QString("%1 day %2 lesson %3 shows \"%4\", stored \"%5\"")
                            .arg(grid.objectName())
                            .arg(day)
                            .arg(lesson)
                            .arg(shown, want);
                }
            }
            return {};
        };
        // Namesakes show apart, as every list of the program shows them.
        const ShownNames classes = ShownNames::OfClasses(db()).value;
        const ShownNames courses = ShownNames::OfCourses(db()).value;
        const QString cls = tw::ui::ComboCode(f.CmbClass);
        if (QString d = weekDiffers(
                *f.MSFlexGrid1,
                "select Day, LessonNo, CourseCode, ClassCode from LessonListtb "
                "where ClassCode='" +
                    tw::db::SqlQ(cls) + "'",
                [&](const QString& course, const QString&) { return courses.Of(course); });
            !d.isEmpty())
            return d;
        // No teacher chosen: the teacher grid is empty.
        const QString ofTeacher =
            f.CmbTeacher->currentIndex() < 0
                ? QStringLiteral("0=1")
                : "TeacherCode='" + tw::db::SqlQ(tw::ui::ComboCode(f.CmbTeacher)) + "'";
        if (QString d = weekDiffers(*f.grdTeacher,
                                    "select Day, LessonNo, CourseCode, ClassCode from LessonListtb "
                                    "where " +
                                        ofTeacher,
                                    [&](const QString& course, const QString& classCode) {
                                        return courses.Of(course) + '\n' +
                                               tw::store::GetClassShortName(db(), classCode).value;
                                    });
            !d.isEmpty())
            return d;
        // Two rows of one class and course (an older file) each name their teacher.
        const ShownNames teachers = ShownNames::OfTeachers(db()).value;
        QStringList owed, shown;
        const QStringList owing = Rows(
            "select ClassCode, CourseCode, TeacherCode, Count-BuildCount from ClassPlantb "
            "where Count<>BuildCount order by ClassCode, CourseCode");
        for (const QString& r : owing) {
            const QStringList c = r.split('|');
            const auto sameCourse = [&c](const QString& other) {
                const QStringList o = other.split('|');
                return tw::db::SameCode(o[0], c[0]) && tw::db::SameCode(o[1], c[1]);
            };
            const QString teacher =
                std::count_if(owing.begin(), owing.end(), sameCourse) > 1
                    ? QStringLiteral("（") + teachers.Of(c[2]) + QStringLiteral("）")
                    : QString();
            owed << classes.Of(c[0]) + "|" + courses.Of(c[1]) + teacher + "|" + c[3];
        }
        for (int i = 0; i < f.lstCourse->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* it = f.lstCourse->topLevelItem(i);
            shown << it->text(0) + "|" + it->text(1) + "|" + it->text(2);
        }
        if (shown != owed) return "owed list " + shown.join(',') + ", stored " + owed.join(',');
        return {};
    }

    // What older files hold beside the program's own writes, added to a built school: two
    // lessons of a class in one slot (a built pair and a fixed pair, each lesson with its own
    // plan row and teacher), a second plan row of a class and course with another teacher and a
    // lesson of it, and built lessons with a Null flag. Returns the rules the school keeps: each
    // plan row's BuildCount its own lessons, only these slots doubled, only this plan shared.
    tw::store::TimetableRules AddOlderFileShapes() {
        tw::store::TimetableRules rules{twtest::State().lessonOfDay, {}, {}};
        // A lesson of the class's other plan row beside a stored one, where that row's teacher
        // is free.
        const QString beside =
            "select l.ClassCode, l.Day, l.LessonNo, p.CourseCode, p.TeacherCode, l.SetFlag from "
            "LessonListtb l, ClassPlantb p where p.ClassCode=l.ClassCode and "
            "p.CourseCode<>l.CourseCode and p.TeacherCode<>l.TeacherCode and not exists (select "
            "1 from LessonListtb t where t.TeacherCode=p.TeacherCode and t.Day=l.Day and "
            "t.LessonNo=l.LessonNo) and l.SetFlag=%1 and l.ClassCode not in (select ClassCode "
            "from LessonListtb group by ClassCode, Day, LessonNo having count(*)>1) order by "
            "l.ClassCode, l.Day, l.LessonNo, p.CourseCode";
        for (const int flag :
             {tw::store::kFlagBuilt, tw::store::kFlagPreset, tw::store::kFlagBuilt}) {
            const QStringList found = Rows(beside.arg(flag));
            if (found.isEmpty()) continue;
            const QStringList f = found.first().split('|');
            Exec(QString("insert into LessonListtb values('%1',%2,%3,'%4','%5',%6)")
                     .arg(f[0], f[1], f[2], f[3], f[4], f[5]));
            Exec(QString("update ClassPlantb set BuildCount=BuildCount+1 where ClassCode='%1' "
                         "and CourseCode='%2' and TeacherCode='%3'")
                     .arg(f[0], f[3], f[4]));
            rules.doubledSlots << f[0] + "|" + f[1] + "|" + f[2];
        }
        // A second teacher of a class's course with one lesson placed, in a slot where both the
        // class and the teacher are free.
        const QStringList shared = Rows(
            "select p.ClassCode, p.CourseCode, t.Code, s.Day, s.LessonNo from ClassPlantb p, "
            "Teachertb t, (select distinct Day, LessonNo from LessonListtb) s where "
            "t.Code<>p.TeacherCode and not exists (select 1 from LessonListtb l where "
            "(l.ClassCode=p.ClassCode or l.TeacherCode=t.Code) and l.Day=s.Day and "
            "l.LessonNo=s.LessonNo) order by p.ClassCode, p.CourseCode, t.Code, s.Day, s.LessonNo");
        if (!shared.isEmpty()) {
            const QStringList f = shared.first().split('|');
            Exec(QString("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count,"
                         "BuildCount) values ('%1','%2','%3',2,1)")
                     .arg(f[0], f[1], f[2]));
            Exec(QString("insert into LessonListtb values('%1',%2,%3,'%4','%5',2)")
                     .arg(f[0], f[3], f[4], f[1], f[2]));
            rules.sharedCourses << f[0] + "|" + f[1];
        }
        Exec("update LessonListtb set SetFlag=null where SetFlag=1 and Day=2 and LessonNo=3");
        return rules;
    }

    std::mt19937 rng{20240601u};
    int Below(int n) { return n > 0 ? static_cast<int>(rng() % static_cast<unsigned>(n)) : 0; }
    bool Chance(int percent) { return Below(100) < percent; }
    // Any cell of a grid, the heading row, the label column and the separator included.
    void ClickAnywhere(tw::ui::WeekGrid& grid, Qt::MouseButton button) {
        HandEditTest::Release(grid, Below(grid.rowCount()), Below(6), button);
    }
    // A lesson cell painted in the colour, else any cell.
    void ClickMarked(tw::ui::WeekGrid& grid, unsigned int colour, Qt::MouseButton button) {
        std::vector<std::pair<int, int>> cells;
        for (int day = 1; day <= 5; ++day)
            for (int lesson = 1; lesson <= twtest::State().lessonOfDay; ++lesson)
                if (tw::timetable::CellMark(grid, tw::ui::WeekGridRowOfLesson(lesson), day) ==
                    colour)
                    cells.emplace_back(day, lesson);
        if (cells.empty()) {
            ClickAnywhere(grid, button);
            return;
        }
        const auto [day, lesson] =
            cells[static_cast<size_t>(Below(static_cast<int>(cells.size())))];
        HandEditTest::ReleaseSlot(grid, day, lesson, button);
    }

    void HandEditStep(frmManualSetLesson& f) {
        const int r = Below(100);
        if (r < 15) {
            if (QTreeWidgetItem* item =
                    f.lstCourse->topLevelItem(Below(f.lstCourse->topLevelItemCount())))
                f.lstCourse_ItemClick(item);
        } else if (r < 30) {
            ClickMarked(*f.MSFlexGrid1, tw::ui::kVbCyan, Qt::LeftButton);  // place
        } else if (r < 50) {
            ClickMarked(*f.MSFlexGrid1, tw::ui::kVbWhite, Qt::LeftButton);  // select
        } else if (r < 65) {
            ClickMarked(*f.MSFlexGrid1, tw::ui::kVbYellow, Qt::RightButton);  // swap or move
        } else if (r < 75) {
            ClickMarked(*f.MSFlexGrid1, tw::ui::kVbWhite, Qt::RightButton);  // remove
        } else if (r < 85) {
            ClickAnywhere(*f.MSFlexGrid1, Chance(50) ? Qt::LeftButton : Qt::RightButton);
        } else if (r < 90) {
            f.CmbClass->setCurrentIndex(Below(f.CmbClass->count()));
            f.CmbClass_Click();
        } else if (r < 95) {
            f.CmbTeacher->setCurrentIndex(Below(f.CmbTeacher->count() + 1) - 1);
            f.CmbTeacher_Click();
        } else {
            ClickAnywhere(*f.grdTeacher, Qt::LeftButton);
        }
    }

    void PresetStep(frmSetLesson& f) {
        const int r = Below(100);
        if (r < 15) {
            f.CmbClass->setCurrentIndex(Below(f.CmbClass->count()));
            f.CmbClass_Click();
        } else if (r < 30) {
            f.lstCourse->setCurrentRow(Below(f.lstCourse->count()));
        } else if (r < 65) {
            ClickMarked(*f.MSFlexGrid1, tw::ui::kVbCyan, Qt::LeftButton);  // fix a lesson
        } else if (r < 80) {
            ClickMarked(*f.MSFlexGrid1, tw::ui::kVbWhite, Qt::RightButton);  // remove a fixed one
        } else {
            ClickAnywhere(*f.MSFlexGrid1, Chance(50) ? Qt::LeftButton : Qt::RightButton);
        }
    }
};

TEST_F(EditedSchoolTest, RandomPresetsAndHandEditsNeverBreakTheTimetable) {
    tw::timetable::demo::WriteSchool(db(), {.classes = 6,
                                            .courses = 12,
                                            .lessonsPerWeek = 26,
                                            .lessonsPerDay = 6,
                                            .sharedClasses = 3,
                                            .fixedLessons = 12,
                                            .staleLessons = 0,
                                            .seed = 5});
    twtest::State().lessonOfDay = 6;
    // Namesakes: the second teacher, class and course take the first one's name.
    for (const char* table : {"Teachertb", "Classtb", "Coursetb"}) {
        const QStringList codes = Rows(QString("select Code from %1 order by Code").arg(table));
        ASSERT_GE(codes.size(), 2);
        Exec(QString("update %1 set Name=(select Name from %1 where Code='%2') where Code='%3'")
                 .arg(table, codes[0], codes[1]));
    }
    // Thousands of small transactions: a test database need not reach the disk after each.
    db().OpenRecordset("PRAGMA synchronous=OFF")->Close();
    ASSERT_GE(Build(SeededRandom(5)), 90);
    const tw::store::TimetableRules rules = AddOlderFileShapes();
    ASSERT_EQ(rules.doubledSlots.size(), 3);
    ASSERT_EQ(rules.sharedCourses.size(), 1);
    ASSERT_GT(Int("select count(*) from LessonListtb where SetFlag is null"), 0);
    ASSERT_EQ(tw::store::BrokenTimetableRule(db(), rules).toStdString(), "");

    // Every statement the two forms send is recorded, the test's own reads kept out: the same
    // seed sends the same statements in the same order.
    auto unlogged = [this](auto read) {
        auto log = db().SetStatementLog({});
        auto value = read();
        db().SetStatementLog(std::move(log));
        return value;
    };
    twtest::StatementRecorder recorder(db());
    std::unique_ptr<frmManualSetLesson> hand;
    std::unique_ptr<frmSetLesson> preset;
    int left = 0;
    for (int step = 0; step < 3000; ++step) {
        if (left == 0) {
            hand.reset();
            preset.reset();
            if (Chance(70))
                hand = std::make_unique<frmManualSetLesson>(twtest::State());
            else
                preset = std::make_unique<frmSetLesson>(twtest::State());
            left = 1 + Below(40);
        }
        --left;
        if (hand)
            HandEditStep(*hand);
        else
            PresetStep(*preset);
        ASSERT_EQ(
            unlogged([&] { return tw::store::BrokenTimetableRule(db(), rules); }).toStdString(), "")
            << "after step " << step;
        if (hand) {
            ASSERT_EQ(unlogged([&] { return HandEditingDiffers(*hand); }).toStdString(), "")
                << "after step " << step;
        }
    }
    hand.reset();
    preset.reset();
    EXPECT_EQ(recorder.Count(), 91574);
    EXPECT_EQ(recorder.Digest().toStdString(), "84cb1485c4327dcd");
}

}  // namespace

namespace {

// The demo school the build ships: a school as typed in by hand, with its timetable built.
TEST_F(BuildTest, TheDemoSchoolHasItsTimetableBuiltAndClassesAsTheClassFormMakesThem) {
    twtest::State().Close();
    const QString path = env_->FilePath("demo.mdb");
    ASSERT_TRUE(QFile::copy(TW_SHIPPED_DIR "/demo.mdb", path));
    ASSERT_TRUE(twtest::State().Open(path));

    // Every plan row built, its progress matching its lessons, most lessons placed, all of
    // them within the 6 lessons a day of a new settings file.
    EXPECT_GT(Int("select count(*) from ClassPlantb"), 0);
    EXPECT_EQ(Int("select count(*) from ClassPlantb where IsAutoBuild<>1"), 0);
    EXPECT_EQ(Int("select count(*) from ClassPlantb p where p.BuildCount <> (select count(*) "
                  "from LessonListtb l where l.ClassCode=p.ClassCode and "
                  "l.CourseCode=p.CourseCode and l.TeacherCode=p.TeacherCode)"),
              0);
    EXPECT_GE(Int("select sum(BuildCount)*100/sum(Count) from ClassPlantb"), 90);
    EXPECT_GT(Int("select count(*) from LessonListtb where SetFlag=1"), 0);
    EXPECT_EQ(Int("select count(*) from LessonListtb where LessonNo>6"), 0);

    // Codes are grade and class number, names the class form's proposals.
    const QStringList classes = Rows("select Code, Name, FullName, ShortName from Classtb");
    EXPECT_EQ(classes.size(), 12);
    for (const QString& row : classes) {
        const QStringList f = row.split('|');
        const short grade = static_cast<short>(f[0].left(1).toInt());
        const QString n = f[0].mid(1);
        EXPECT_TRUE(grade >= 1 && grade <= 9 && n.toInt() >= 1 && n.toInt() <= 20 &&
                    n == QString::number(n.toInt()))
            << row.toStdString();
        const QString g = frmClassInput::GradeName(grade);
        EXPECT_EQ(f.mid(1), QStringList({g + "（" + n + "）班", g + "年级（" + n + "）班",
                                         g + "（" + n + "）"}))
            << row.toStdString();
    }
}

}  // namespace
