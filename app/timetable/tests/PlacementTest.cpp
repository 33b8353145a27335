// Where the builder puts a plan row's lessons, with a scripted random source.
#include "BuilderTestSupport.h"
#include "ScriptedRandomTestSupport.h"

namespace {

using PlacementTest = BuildTest;

TEST_F(PlacementTest, FiveLessonsFillMondayToFridayFirstLessonWhenEveryDrawIsZero) {
    AddPlan("101", "01", "T1", 5);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.1", "2.1", "3.1", "4.1", "5.1"}));
    EXPECT_EQ(Int("select count(*) from LessonListtb where SetFlag<>1"), 0);
    EXPECT_EQ(Int("select BuildCount from ClassPlantb"), 5);
    EXPECT_EQ(Int("select IsAutoBuild from ClassPlantb"), 1);
}

TEST_F(PlacementTest, ThreeLessonsSpreadOverTheWeekAndADrawMovesASecondHalfDay) {
    // Cursor 1, then 2.67 (a draw decides Tuesday or Wednesday), then 4.33 (no draw).
    AddPlan("101", "01", "T1", 3);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.1", "2.1", "4.1"}));

    AddPlan("102", "01", "T2", 3);
    Exec("delete from ClassPlantb where ClassCode='101'");
    ScriptedRandom moveOnce({0.0, 0.5});
    EXPECT_EQ(Build(moveOnce.Source()), 100);
    EXPECT_EQ(Slots("102", "01"), QStringList({"1.1", "3.1", "4.1"}));
}

TEST_F(PlacementTest, ACursorAtExactlyHalfADayMakesADraw) {
    // Two lessons: Monday, then cursor 3.5; a draw of 0.5 moves the lesson to Thursday.
    AddPlan("101", "01", "T1", 2);
    ScriptedRandom rnd({0.0, 0.5});
    EXPECT_EQ(Build(rnd.Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.1", "4.1"}));
    EXPECT_EQ(rnd.state->draws, 3);
}

TEST_F(PlacementTest, ATeacherWithoutAWeeklyTotalIsPlacedFromFridayBackwards) {
    // Weekly total 0: every day counts as full, so only the backward walk places lessons.
    AddPlan("101", "01", "T1", 2);
    AddPlan("102", "02", "T1", -2);
    // Another teacher's row gives the plan a total of 1, so the run has a percentage and stands.
    AddPlan("103", "03", "T2", 1);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 300);  // 3 lessons placed for 1 planned
    EXPECT_EQ(Slots("101", "01"), QStringList({"4.1", "5.1"}));
    EXPECT_EQ(Int("select count(*) from ClassPlantb where IsAutoBuild=1"), 3);
}

TEST_F(PlacementTest, TheDrawPicksAmongTheQualifyingLessonsInOrder) {
    AddPlan("101", "01", "T1", 1);
    EXPECT_EQ(Build(ScriptedRandom({0.99}).Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.6"}));
    EXPECT_EQ(Build(ScriptedRandom({0.5}).Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.4"}));
    // A source that misbehaves with 1.0 still picks a lesson of the day.
    EXPECT_EQ(Build(ScriptedRandom({1.0}).Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.6"}));
}

TEST_F(PlacementTest, BestSlotsComeBeforeNormalOnesAndAvoidOnesLast) {
    AddPlan("101", "01", "T1", 2);
    for (int d = 1; d <= 5; ++d) AddCourseLimit("01", d, 4, 0);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.4", "3.4"}));

    // Lessons 1 to 5 of Monday to be avoided: the normal lesson 6 is taken.
    Exec("delete from Limittb");
    Exec("update ClassPlantb set Count=1");
    for (int l = 1; l <= 5; ++l) AddCourseLimit("01", 1, l, 2);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.6"}));

    // Only an avoid slot on the due day: it comes before any slot on a later day.
    Exec("delete from Limittb");
    for (int l = 1; l <= 5; ++l) AddCourseLimit("01", 1, l, 3);
    AddCourseLimit("01", 1, 6, 2);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.6"}));
}

TEST_F(PlacementTest, NeverSlotsGetNoLessonEvenWhenTheRowStaysIncomplete) {
    AddPlan("101", "01", "T1", 8);
    for (int d = 1; d <= 5; ++d)
        for (int l = 2; l <= 6; ++l) AddCourseLimit("01", d, l, 3);
    // Lesson 1 of each day is left: 5 of 8 placed, 62.5 rounds to the even 62.
    EXPECT_EQ(Build(ScriptedRandom().Source()), 62);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.1", "2.1", "3.1", "4.1", "5.1"}));
    EXPECT_EQ(Int("select BuildCount from ClassPlantb"), 5);
    EXPECT_EQ(Int("select IsAutoBuild from ClassPlantb"), 1);

    Exec("update Limittb set Attr=3");
    for (int d = 1; d <= 5; ++d) AddCourseLimit("01", d, 1, 3);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 0);
    EXPECT_EQ(Int("select count(*) from LessonListtb"), 0);
    EXPECT_EQ(Int("select IsAutoBuild from ClassPlantb"), 1);
}

TEST_F(PlacementTest, LessonNumbersStayWithinTheDay) {
    // A best-slot row for lesson 7 on a day of 6 lessons is passed over.
    AddPlan("101", "01", "T1", 1);
    AddCourseLimit("01", 1, 7, 0);
    AddCourseLimit("01", 1, 0, 0);
    twtest::State().lessonOfDay = 6;
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.1"}));
    // On a day of 7 lessons it is the best slot.
    twtest::State().lessonOfDay = 7;
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.7"}));
}

TEST_F(PlacementTest, TheTeachersDailyMaximumPushesALessonToALaterDay) {
    // Weekly total 5: one lesson a day. A fixed lesson elsewhere fills Monday, so the lessons
    // start on Tuesday and the fifth goes back to Friday, where the maximum is not looked at.
    AddPlan("101", "01", "T1", 5);
    AddLesson("102", 1, 3, "02", "T1", 0);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"2.1", "3.1", "4.1", "5.1", "5.2"}));
    EXPECT_EQ(Slots("102", "02"), QStringList({"1.3"}));
}

TEST_F(PlacementTest, ATeacherIsNeverInTwoClassesAtOnce) {
    // T1's weekly total 10 allows two lessons a day; lesson 1 of Monday is taken in 101.
    AddPlan("101", "01", "T1", 1);
    AddPlan("102", "01", "T1", 1);
    AddPlan("104", "04", "T1", 8);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.1"}));
    EXPECT_EQ(Slots("102", "01"), QStringList({"1.2"}));
    EXPECT_EQ(Int("select count(*) from LessonListtb where TeacherCode='T1' and Day=1"), 2);
}

TEST_F(PlacementTest, ASharedResourceCourseRunsInOneClassPerSlot) {
    AddPlan("101", "09", "T1", 1);
    AddPlan("102", "09", "T2", 1);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "09"), QStringList({"1.1"}));
    EXPECT_EQ(Slots("102", "09"), QStringList({"1.1"}));

    Exec("insert into CourseAttrtb (CourseCode) values ('09')");
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "09"), QStringList({"1.1"}));
    EXPECT_EQ(Slots("102", "09"), QStringList({"1.2"}));
}

TEST_F(PlacementTest, TheDailyBoundOfACourseHolds) {
    // Only Monday is free: Count 4 allows one lesson a day, Count 5 two.
    AddPlan("101", "01", "T1", 4);
    for (int d = 2; d <= 5; ++d)
        for (int l = 1; l <= 6; ++l) AddLesson("101", d, l, "02", "T9", 0);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 25);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.1"}));

    Exec("update ClassPlantb set Count=5");
    EXPECT_EQ(Build(ScriptedRandom().Source()), 40);
    EXPECT_EQ(Slots("101", "01"), QStringList({"1.1", "1.2"}));
}

TEST_F(PlacementTest, PresetLessonsCountAndStay) {
    // Fully pre-set: finished at once, no new lesson.
    AddPlan("101", "01", "T1", 2);
    AddLesson("101", 3, 2, "01", "T1", 0);
    AddLesson("101", 4, 5, "01", "T1", 0);
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("101", "01"), QStringList({"3.2", "4.5"}));
    EXPECT_EQ(Int("select count(*) from LessonListtb where SetFlag=1"), 0);
    EXPECT_EQ(Int("select IsAutoBuild from ClassPlantb"), 1);

    // More pre-set lessons than the row's count: above 100.
    Exec("update ClassPlantb set Count=1");
    EXPECT_EQ(Build(ScriptedRandom().Source()), 200);
    EXPECT_EQ(Int("select BuildCount from ClassPlantb"), 2);
}

TEST_F(PlacementTest, LessonsOfAnEarlierBuildAndHandPlacedOnesGo) {
    AddPlan("101", "01", "T1", 1);
    AddLesson("101", 1, 1, "01", "T1", 1);
    AddLesson("101", 5, 6, "02", "T2", 2);
    AddLesson("102", 5, 6, "02", "T2", 0);
    Exec("update ClassPlantb set BuildCount=1, IsAutoBuild=1");
    EXPECT_EQ(Build(ScriptedRandom({0.99}).Source()), 100);
    EXPECT_EQ(Rows("select ClassCode, Day, LessonNo, SetFlag from LessonListtb order by "
                   "ClassCode, Day, LessonNo"),
              QStringList({"101|1|6|1", "102|5|6|0"}));
}

TEST_F(PlacementTest, CodesWithQuotesAndEmptyCodesArePlaced) {
    AddPlan("1'A", "", "O'Brien", 2);
    AddPlan("' or ''='", "02", "O'Brien", 1);
    Exec("insert into CourseAttrtb (CourseCode) values ('')");
    EXPECT_EQ(Build(ScriptedRandom().Source()), 100);
    EXPECT_EQ(Slots("1'A", ""), QStringList({"1.1", "3.1"}));
    EXPECT_EQ(Slots("' or ''='", "02"), QStringList({"2.1"}));
    EXPECT_EQ(Int("select count(*) from ClassPlantb where IsAutoBuild=1"), 2);
}

}  // namespace
