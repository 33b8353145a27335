// Which plan row the builder takes next, the percentage it reports, and how a run ends.
#include "BuilderTestSupport.h"
#include "ScriptedRandomTestSupport.h"

namespace {

using SelectionTest = BuildTest;

// Plan rows "class/course" in the order the run finished them, seen at every cycle.
QStringList FinishOrder(BuildTest& t, const std::function<QStringList()>& finished) {
    QStringList order;
    tw::timetable::Builder builder(t.db(), 6, ScriptedRandom().Source(), [&] {
        for (const QString& row : finished())
            if (!order.contains(row)) order << row;
    });
    EXPECT_GE(builder.AutoBuildLessons(), 0);
    return order;
}

TEST_F(SelectionTest, TeacherWithMostClassesFirstTiesToTheSmallerCode) {
    AddPlan("103", "02", "T1", 1);
    AddPlan("101", "01", "T2", 1);
    AddPlan("102", "01", "T2", 1);
    tw::timetable::Builder builder(db(), 6, ScriptedRandom().Source());
    builder.PrepareBuild();
    QString teacher = "old";
    EXPECT_EQ(builder.PickTeacherAndCourse(teacher), std::optional<QString>("01"));
    EXPECT_EQ(teacher, "T2");

    // Equal class counts: T1 before T3, whatever the order of the rows.
    Exec("delete from ClassPlantb");
    AddPlan("201", "05", "T3", 1);
    AddPlan("202", "04", "T1", 1);
    EXPECT_EQ(builder.PickTeacherAndCourse(teacher), std::optional<QString>("04"));
    EXPECT_EQ(teacher, "T1");

    // Nothing unfinished: no course and the teacher emptied.
    Exec("update ClassPlantb set IsAutoBuild=1");
    EXPECT_EQ(builder.PickTeacherAndCourse(teacher), std::nullopt);
    EXPECT_EQ(teacher, "");
}

TEST_F(SelectionTest, CourseWithMostClassesThenMostLessonsThenSmallerCode) {
    AddPlan("101", "05", "T1", 1);
    AddPlan("102", "05", "T1", 1);
    AddPlan("101", "03", "T1", 2);
    AddPlan("102", "03", "T1", 2);
    AddPlan("103", "01", "T1", 9);  // one class only
    tw::timetable::Builder builder(db(), 6, ScriptedRandom().Source());
    QString teacher;
    EXPECT_EQ(builder.PickTeacherAndCourse(teacher), std::optional<QString>("03"));

    // Equal in classes and lessons: the smaller code.
    AddPlan("101", "02", "T1", 2);
    AddPlan("102", "02", "T1", 2);
    EXPECT_EQ(builder.PickTeacherAndCourse(teacher), std::optional<QString>("02"));
}

TEST_F(SelectionTest, PickClassTakesTheTeachersRowsFirstThenAnyTeacher) {
    AddPlan("101", "01", "T2", 1);
    AddPlan("102", "01", "T1", 1);
    AddPlan("103", "01", "T1", 1);
    tw::timetable::Builder builder(db(), 6, ScriptedRandom().Source());
    QString teacher = "T1";
    EXPECT_EQ(builder.PickClass("01", teacher), std::optional<QString>("102"));
    builder.MarkPlanBuilt("102", "01", "T1");
    builder.MarkPlanBuilt("103", "01", "T1");
    EXPECT_EQ(builder.PickClass("01", teacher), std::optional<QString>("101"));
    EXPECT_EQ(teacher, "T2");
    builder.MarkPlanBuilt("101", "01", "T2");
    EXPECT_EQ(builder.PickClass("01", teacher), std::nullopt);
}

TEST_F(SelectionTest, ARunBuildsEveryRowOfACourseBeforeTheNextCourse) {
    AddPlan("101", "02", "T2", 1);
    AddPlan("102", "02", "T2", 1);
    AddPlan("103", "02", "T2", 1);
    AddPlan("103", "01", "T2", 1);
    AddPlan("101", "01", "T1", 1);
    AddPlan("102", "01", "T1", 1);
    AddPlan("104", "03", "T3", 1);
    AddPlan("105", "03", "T3", 1);
    QStringList order = FinishOrder(*this, [this] {
        QStringList rows;
        for (const QString& r :
             Rows("select ClassCode, CourseCode from ClassPlantb where IsAutoBuild=1"))
            rows << r;
        return rows;
    });
    // T2 has three classes; its course 02 goes first. Then T1 (two classes, before T3) with
    // course 01, including T2's row of 01, before T3's course 03.
    EXPECT_EQ(order, QStringList({"101|02", "102|02", "103|02", "101|01", "102|01", "103|01",
                                  "104|03", "105|03"}));
}

TEST_F(SelectionTest, PercentageRoundsHalvesToEven) {
    tw::timetable::Builder builder(db(), 6, ScriptedRandom().Source());
    EXPECT_EQ(builder.GetBuildPercent(), -1);  // no plan
    AddPlan("101", "01", "T1", 8);
    const std::pair<int, int> cases[] = {{1, 12}, {3, 38}, {5, 62}, {7, 88}, {0, 0}, {8, 100}};
    for (auto [built, percent] : cases) {
        Exec("update ClassPlantb set BuildCount=" + QString::number(built));
        EXPECT_EQ(builder.GetBuildPercent(), percent) << built << " of 8";
    }
    Exec("update ClassPlantb set Count=3, BuildCount=2");
    EXPECT_EQ(builder.GetBuildPercent(), 67);
    Exec("update ClassPlantb set Count=0, BuildCount=0");
    EXPECT_EQ(builder.GetBuildPercent(), -1);
}

TEST_F(SelectionTest, AnEmptyPlanStillClearsTheOldLessonsAndHasNoPercentage) {
    AddLesson("101", 1, 1, "01", "T1", 1);
    AddLesson("101", 1, 2, "01", "T1", 2);
    AddLesson("101", 1, 3, "01", "T1", 0);
    EXPECT_EQ(Build(ScriptedRandom().Source()), -1);
    EXPECT_EQ(Rows("select LessonNo, SetFlag from LessonListtb"), QStringList({"3|0"}));
}

TEST_F(SelectionTest, ADatabaseErrorEndsTheBuildAndKeepsThePreviousTimetable) {
    AddPlan("101", "01", "T1", 2);
    AddLesson("101", 2, 2, "01", "T1", 1);
    AddLesson("101", 3, 3, "01", "T1", 2);
    Exec("update ClassPlantb set BuildCount=2, IsAutoBuild=1");
    Exec("drop table CourseAttrtb");
    EXPECT_EQ(Build(ScriptedRandom().Source()), -1);
    EXPECT_EQ(Rows("select Day, LessonNo, SetFlag from LessonListtb order by Day"),
              QStringList({"2|2|1", "3|3|2"}));
    EXPECT_EQ(Rows("select BuildCount, IsAutoBuild from ClassPlantb"), QStringList({"2|1"}));
}

TEST_F(SelectionTest, RowsThatNameNothingEndTheRunInsteadOfRepeating) {
    AddPlan("101", "01", "T1", 2);
    try {
        Exec(
            "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values "
            "(null,'01','T1',3)");
        Exec(
            "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values "
            "('102',null,'T1',3)");
        Exec(
            "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values "
            "('103','01',null,3)");
    } catch (const tw::db::DbError&) {
        GTEST_SKIP() << "the schema refuses empty codes";
    }
    ScriptedRandom rnd;
    EXPECT_EQ(Build(rnd.Source()), 18);  // 2 of 11
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.1", "3.1"}));
    EXPECT_EQ(Int("select count(*) from ClassPlantb where IsAutoBuild=0"), 0);
}

TEST_F(SelectionTest, TheProgramsBuildUsesTheOpenDatabase) {
    AddPlan("101", "01", "T1", 5);
    EXPECT_EQ(
        tw::timetable::AutoBuildLessons(twtest::State().OpenDatabase(), twtest::State().lessonOfDay)
            .value,
        100);
    EXPECT_EQ(Int("select count(*) from LessonListtb where SetFlag=1"), 5);
    // The program-wide sequence starts from a fixed state and repeats its last number for 0.
    float a = tw::timetable::ProgramRnd(0);
    EXPECT_EQ(tw::timetable::ProgramRnd(0), a);
    float b = tw::timetable::ProgramRnd(1);
    EXPECT_GE(b, 0.0f);
    EXPECT_LT(b, 1.0f);
    EXPECT_EQ(tw::timetable::ProgramRnd(0), b);
}

}  // namespace
