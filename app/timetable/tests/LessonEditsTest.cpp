// The stored actions of pre-setting and hand editing: what each writes to the lessons and the
// plan's progress counts, what it refuses, and that a failing action leaves the database as it
// was. Also that fixed lessons outlive an automatic build.
#include "HandEditTestSupport.h"
#include "store/Invariants.h"
#include "store/Lessons.h"
#include "timetable/mdlBuildKb.h"

using tw::store::kFlagBuilt;
using tw::store::kFlagByHand;
using tw::store::kFlagPreset;

namespace {

// The actions on the test's open database: true when done.
bool WritePresetLesson(const QString& cls, const QString& course, const QString& teacher, int day,
                       int lesson) {
    return tw::store::WritePresetLesson(twtest::State().Db(), cls, course, teacher, day, lesson)
        .Done();
}
bool RemovePresetLesson(const QString& cls, int day, int lesson) {
    return tw::store::RemovePresetLesson(twtest::State().Db(), cls, day, lesson).Done();
}
bool PlaceHandLesson(const QString& cls, const QString& course, const QString& teacher, int day,
                     int lesson) {
    return tw::store::PlaceHandLesson(twtest::State().Db(), cls, course, teacher, day, lesson)
        .Done();
}
bool RemoveHandLesson(const QString& cls, int day, int lesson) {
    return tw::store::RemoveHandLesson(twtest::State().Db(), cls, day, lesson).Done();
}
bool SwapClassLessons(const QString& cls, int selDay, int selLesson, int day, int lesson) {
    return tw::store::SwapClassLessons(twtest::State().Db(), cls, selDay, selLesson, day, lesson)
        .Done();
}
bool CanTradeSlots(const QString& cls, const QString& selTeacher, int selDay, int selLesson,
                   const QString& teacher, int day, int lesson) {
    const tw::store::Read<bool> read = tw::store::CanTradeSlots(
        twtest::State().Db(), cls, selTeacher, selDay, selLesson, teacher, day, lesson);
    return read.Done() && read.value;
}

class LessonEditsTest : public HandEditTest {
  public:
    void SetUp() override {
        HandEditTest::SetUp();
        AddPlan("101", "01", "T1", 5);
        AddPlan("101", "02", "T2", 4);
        AddPlan("102", "01", "T1", 5);
        AddPlan("102", "03", "T3", 3);
    }
};

TEST_F(LessonEditsTest, PresetIntoAnEmptySlotInsertsAFixedLessonAndCountsIt) {
    EXPECT_TRUE(WritePresetLesson("101", "01", "T1", 5, 6));
    EXPECT_EQ(Slot("101", 5, 6), "01|T1|0");
    EXPECT_EQ(BuildCount("101", "01"), 1);
    EXPECT_EQ(BuildCount("102", "01"), 0);
}

TEST_F(LessonEditsTest, PresetOverABuiltLessonTurnsItIntoTheFixedOneInPlace) {
    AddLesson("101", 2, 3, "02", "T2", kFlagBuilt);
    Exec("update ClassPlantb set BuildCount=1 where ClassCode='101' and CourseCode='02'");
    EXPECT_TRUE(WritePresetLesson("101", "01", "T1", 2, 3));
    EXPECT_EQ(Slot("101", 2, 3), "01|T1|0");
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 1);
    EXPECT_EQ(BuildCount("101", "02"), 0);
    EXPECT_EQ(BuildCount("101", "01"), 1);
}

TEST_F(LessonEditsTest, PresetIsRefusedWhereAFixedLessonAlreadyBlocksClassOrTeacher) {
    AddLesson("101", 1, 1, "02", "T2", kFlagPreset);
    AddLesson("102", 1, 2, "01", "T1", kFlagPreset);
    const QString before = AllLessons() + "/" + AllPlans();
    EXPECT_FALSE(WritePresetLesson("101", "01", "T1", 1, 1));  // class has a fixed lesson
    EXPECT_FALSE(WritePresetLesson("101", "01", "T1", 1, 2));  // teacher fixed in 102
    EXPECT_FALSE(WritePresetLesson("101", "", "", 1, 3));      // no course chosen
    EXPECT_EQ(AllLessons() + "/" + AllPlans(), before);
    // A teacher who only has a built lesson elsewhere does not block a fixed one.
    AddLesson("102", 1, 4, "01", "T1", kFlagBuilt);
    EXPECT_TRUE(WritePresetLesson("101", "01", "T1", 1, 4));
}

TEST_F(LessonEditsTest, AFailingPresetLeavesTheReplacedLessonAndBothCountsAsTheyWere) {
    AddLesson("101", 2, 3, "02", "T2", kFlagByHand);
    Exec("update ClassPlantb set BuildCount=1 where ClassCode='101' and CourseCode='02'");
    FailPlanUpdatesOf("01");  // the last of the three statements fails
    const QString before = AllLessons() + "/" + AllPlans();
    EXPECT_FALSE(WritePresetLesson("101", "01", "T1", 2, 3));
    EXPECT_EQ(AllLessons() + "/" + AllPlans(), before);
    EXPECT_FALSE(twtest::State().Db().InTransaction());
}

TEST_F(LessonEditsTest, RemovingAFixedLessonDeletesItAndLowersTheStoredCoursesCount) {
    AddLesson("101", 3, 2, "02", "T2", kFlagPreset);
    Exec("update ClassPlantb set BuildCount=1 where ClassCode='101' and CourseCode='02'");
    EXPECT_TRUE(RemovePresetLesson("101", 3, 2));
    EXPECT_EQ(Slot("101", 3, 2), "");
    EXPECT_EQ(BuildCount("101", "02"), 0);
    // Nothing fixed there any more, and a built lesson is no fixed one.
    EXPECT_FALSE(RemovePresetLesson("101", 3, 2));
    AddLesson("101", 3, 3, "02", "T2", kFlagBuilt);
    EXPECT_FALSE(RemovePresetLesson("101", 3, 3));
    EXPECT_EQ(Slot("101", 3, 3), "02|T2|1");
}

TEST_F(LessonEditsTest, PlacingByHandWritesFlagTwoAndRaisesTheCountOfThatPlanRow) {
    EXPECT_TRUE(PlaceHandLesson("101", "02", "T2", 4, 5));
    EXPECT_EQ(Slot("101", 4, 5), "02|T2|2");
    EXPECT_EQ(BuildCount("101", "02"), 1);
}

TEST_F(LessonEditsTest, PlacingIntoATakenSlotOrOverABusyTeacherIsRefused) {
    AddLesson("101", 1, 1, "01", "T1", kFlagBuilt);
    AddLesson("102", 1, 2, "03", "T3", kFlagBuilt);
    AddPlan("101", "04", "T3", 2);
    const QString before = AllLessons() + "/" + AllPlans();
    EXPECT_FALSE(PlaceHandLesson("101", "02", "T2", 1, 1));  // class taken
    EXPECT_FALSE(PlaceHandLesson("101", "04", "T3", 1, 2));  // T3 teaches 102 then
    EXPECT_EQ(AllLessons() + "/" + AllPlans(), before);
}

TEST_F(LessonEditsTest, AFailingPlacementLeavesNoLesson) {
    FailPlanUpdatesOf("02");
    EXPECT_FALSE(PlaceHandLesson("101", "02", "T2", 4, 5));
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);
    EXPECT_EQ(BuildCount("101", "02"), 0);
}

// Only the removed lesson's own plan row gives it back, also where an older file holds a second
// row of the class and course with another teacher.
TEST_F(LessonEditsTest, RemovingByHandTakesAnyFlagAndLowersTheStoredCourse) {
    AddLesson("101", 1, 1, "01", "T1", kFlagPreset);
    AddLesson("101", 1, 2, "02", "T2", kFlagBuilt);
    Exec("update ClassPlantb set BuildCount=1 where ClassCode='101'");
    AddPlan("101", "01", "T9", 2, 1);
    AddLesson("101", 4, 4, "01", "T9", kFlagPreset);
    EXPECT_TRUE(RemoveHandLesson("101", 1, 1));
    EXPECT_TRUE(RemoveHandLesson("101", 1, 2));
    EXPECT_EQ(Count("select BuildCount from ClassPlantb where TeacherCode='T9'"), 1);
    EXPECT_TRUE(RemovePresetLesson("101", 4, 4));
    EXPECT_EQ(Count("select BuildCount from ClassPlantb where TeacherCode='T9'"), 0);
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);
    EXPECT_EQ(BuildCount("101", "01"), 0);
    EXPECT_EQ(BuildCount("101", "02"), 0);
    EXPECT_EQ(BuildCount("102", "01"), 0);
    EXPECT_FALSE(RemoveHandLesson("101", 1, 1));  // nothing left to remove
}

// An older file may hold two lessons of a class in one slot. Each statement of an edit takes
// every lesson of its slot, and the two cannot be told apart: every edit that would take or
// change such a slot is refused and changes nothing, so no lesson is lost and no count is left
// too high. The other slots of the class are edited as ever.
TEST_F(LessonEditsTest, EditsOfASlotHoldingTwoLessonsOfTheClassAreRefused) {
    AddClass("101", "一（1）班");
    AddClass("102", "一（2）班");
    for (const char* course : {"01", "02", "03"}) AddCourse(course, course);
    for (const char* teacher : {"T1", "T2", "T3", "T9"}) AddTeacher(teacher, teacher);
    AddPlan("101", "01", "T9", 2);
    AddLesson("101", 1, 1, "01", "T1", kFlagBuilt);
    AddLesson("101", 1, 1, "02", "T2", kFlagByHand);
    AddLesson("101", 2, 2, "01", "T9", kFlagPreset);
    AddLesson("101", 2, 2, "01", "T1", kFlagPreset);
    AddLesson("101", 3, 3, "02", "T2", kFlagBuilt);
    Exec("update ClassPlantb set BuildCount=2 where ClassCode='101' and TeacherCode<>'T9'");
    Exec("update ClassPlantb set BuildCount=1 where TeacherCode='T9'");
    const tw::store::TimetableRules olderFile{6, {"101|01"}, {"101|1|1", "101|2|2"}};
    tw::db::Database& db = twtest::State().Db();
    ASSERT_EQ(tw::store::BrokenTimetableRule(db, olderFile), "");
    const QString before = AllLessons() + "/" + AllPlans();
    auto refused = [](const tw::store::Outcome& outcome) {
        return outcome.reason == tw::store::Reason::SlotDoubled;
    };
    EXPECT_TRUE(refused(tw::store::RemoveHandLesson(db, "101", 1, 1)));
    EXPECT_TRUE(refused(tw::store::RemoveHandLesson(db, "101", 2, 2)));
    EXPECT_TRUE(refused(tw::store::RemovePresetLesson(db, "101", 2, 2)));
    EXPECT_TRUE(refused(tw::store::WritePresetLesson(db, "101", "01", "T1", 1, 1)));
    EXPECT_TRUE(refused(tw::store::SwapClassLessons(db, "101", 1, 1, 4, 4)));  // a move
    EXPECT_TRUE(refused(tw::store::SwapClassLessons(db, "101", 3, 3, 2, 2)));  // a swap into
    EXPECT_TRUE(refused(tw::store::SwapClassLessons(db, "101", 2, 2, 3, 3)));  // a swap from
    EXPECT_EQ(AllLessons() + "/" + AllPlans(), before);
    EXPECT_TRUE(RemoveHandLesson("101", 3, 3));
    EXPECT_EQ(BuildCount("101", "02"), 1);
    EXPECT_EQ(tw::store::BrokenTimetableRule(db, olderFile), "");
}

TEST_F(LessonEditsTest, AFailingRemovalKeepsTheLesson) {
    AddLesson("101", 1, 1, "01", "T1", kFlagBuilt);
    Exec("update ClassPlantb set BuildCount=1 where ClassCode='101' and CourseCode='01'");
    FailPlanUpdatesOf("01");
    EXPECT_FALSE(RemoveHandLesson("101", 1, 1));
    EXPECT_EQ(Slot("101", 1, 1), "01|T1|1");
    EXPECT_EQ(BuildCount("101", "01"), 1);
}

// A fixed lesson swapped or moved by hand stays fixed where it goes, so the next build keeps
// it there; when neither lesson of a swap is fixed each slot keeps its flag.
TEST_F(LessonEditsTest, ASwapTradesCoursesAndTeachersAndAFixedLessonStaysFixed) {
    AddLesson("101", 1, 1, "01", "T1", kFlagPreset);
    AddLesson("101", 2, 5, "02", "T2", kFlagBuilt);
    AddLesson("101", 4, 1, "01", "T1", kFlagBuilt);
    const QString plans = AllPlans();
    EXPECT_TRUE(SwapClassLessons("101", 1, 1, 2, 5));
    EXPECT_EQ(Slot("101", 1, 1), "02|T2|2");
    EXPECT_EQ(Slot("101", 2, 5), "01|T1|0");
    EXPECT_TRUE(SwapClassLessons("101", 1, 1, 4, 1));
    EXPECT_EQ(Slot("101", 1, 1), "01|T1|2");
    EXPECT_EQ(Slot("101", 4, 1), "02|T2|1");
    EXPECT_EQ(AllPlans(), plans);
}

TEST_F(LessonEditsTest, AMoveKeepsAFixedLessonFixedAndWritesAnyOtherWithFlagTwo) {
    AddLesson("101", 1, 1, "01", "T1", kFlagPreset);
    AddLesson("101", 1, 2, "02", "T2", kFlagBuilt);
    const QString plans = AllPlans();
    EXPECT_TRUE(SwapClassLessons("101", 1, 1, 3, 4));
    EXPECT_EQ(Slot("101", 1, 1), "");
    EXPECT_EQ(Slot("101", 3, 4), "01|T1|0");
    EXPECT_TRUE(SwapClassLessons("101", 1, 2, 3, 5));
    EXPECT_EQ(Slot("101", 3, 5), "02|T2|2");
    EXPECT_EQ(AllPlans(), plans);
    // The next build keeps the fixed lesson where it was moved to.
    tw::timetable::Builder builder(twtest::State().Db(), 6, [] { return 0.5; });
    builder.AutoBuildLessons();
    EXPECT_EQ(Slot("101", 3, 4), "01|T1|0");
}

TEST_F(LessonEditsTest, SwapsThatWouldMeetAnotherClassOrChangeNothingAreRefused) {
    AddLesson("101", 1, 1, "01", "T1", kFlagBuilt);
    AddLesson("101", 1, 2, "02", "T2", kFlagBuilt);
    AddLesson("101", 1, 3, "01", "T1", kFlagBuilt);
    AddLesson("102", 1, 2, "01", "T1", kFlagBuilt);  // T1 busy at 1.2
    AddLesson("102", 1, 1, "03", "T3", kFlagBuilt);  // T3 busy at 1.1
    AddLesson("101", 1, 5, "03", "T3", kFlagBuilt);
    AddLesson("102", 1, 6, "03", "T3", kFlagBuilt);  // T3 busy at 1.6
    const QString before = AllLessons();
    EXPECT_FALSE(CanTradeSlots("101", "T1", 1, 1, "T2", 1, 2));
    EXPECT_FALSE(SwapClassLessons("101", 1, 1, 1, 2));  // T1 would teach two classes
    EXPECT_FALSE(SwapClassLessons("101", 1, 1, 1, 3));  // the same course
    EXPECT_FALSE(SwapClassLessons("101", 1, 6, 1, 1));  // nothing selected there
    EXPECT_FALSE(CanTradeSlots("101", "T3", 1, 5, "T1", 1, 6));
    EXPECT_FALSE(SwapClassLessons("101", 1, 5, 1, 6));  // T3 teaches 102 at 1.6
    EXPECT_FALSE(CanTradeSlots("101", "T1", 1, 1, "T3", 1, 5));
    EXPECT_FALSE(SwapClassLessons("101", 1, 1, 1, 5));  // T3 would meet 102 at 1.1
    EXPECT_FALSE(SwapClassLessons("101", 1, 4, 1, 1));  // empty selected slot
    EXPECT_EQ(AllLessons(), before);
    // An empty slot sends no teacher back: only the selected teacher counts.
    EXPECT_TRUE(CanTradeSlots("101", "T2", 1, 2, "", 2, 1));
}

TEST_F(LessonEditsTest, AFailingMoveKeepsTheLessonWhereItWas) {
    AddLesson("101", 1, 1, "01", "T1", kFlagBuilt);
    FailLessonInserts();
    EXPECT_FALSE(SwapClassLessons("101", 1, 1, 2, 2));
    EXPECT_EQ(AllLessons(), "101|1|1|01|T1|1");
}

// A Null SetFlag (an older file, another program) is no fixed lesson: pre-setting takes such a
// lesson of the teacher away elsewhere, replaces one of the class in place and does not remove
// it as a fixed one; hand editing moves it as placed by hand; the build removes it.
TEST_F(LessonEditsTest, ALessonWithANullFlagIsNotFixed) {
    Exec("insert into LessonListtb values('102',1,1,'01','T1',null)");
    Exec("insert into LessonListtb values('102',2,2,'03','T3',null)");
    Exec("insert into LessonListtb values('101',3,3,'02','T2',null)");
    Exec("update ClassPlantb set BuildCount=1 where CourseCode<>'01' or ClassCode='102'");
    EXPECT_TRUE(WritePresetLesson("101", "01", "T1", 1, 1));
    EXPECT_EQ(Slot("102", 1, 1), "");
    EXPECT_EQ(BuildCount("102", "01"), 0);
    EXPECT_FALSE(RemovePresetLesson("102", 2, 2));
    EXPECT_TRUE(WritePresetLesson("102", "01", "T1", 2, 2));
    EXPECT_EQ(Slot("102", 2, 2), "01|T1|0");
    EXPECT_EQ(BuildCount("102", "03"), 0);
    EXPECT_TRUE(SwapClassLessons("101", 3, 3, 4, 4));
    EXPECT_EQ(Slot("101", 4, 4), "02|T2|2");
    Exec("update LessonListtb set SetFlag=null where ClassCode='101' and Day=4");
    tw::timetable::Builder builder(twtest::State().Db(), 6, [] { return 0.5; });
    builder.AutoBuildLessons();
    EXPECT_EQ(Count("select count(*) from LessonListtb where SetFlag is null"), 0);
    EXPECT_EQ(Count("select count(*) from ClassPlantb p where BuildCount<>(select count(*) from "
                    "LessonListtb l where l.ClassCode=p.ClassCode and l.CourseCode=p.CourseCode "
                    "and l.TeacherCode=p.TeacherCode)"),
              0);
}

TEST_F(LessonEditsTest, QuotesInCodesAreStoredAndFoundAsTheyAre) {
    AddPlan("1'1", "0'1", "T'1", 2);
    EXPECT_TRUE(WritePresetLesson("1'1", "0'1", "T'1", 1, 1));
    EXPECT_TRUE(PlaceHandLesson("1'1", "0'1", "T'1", 1, 2));
    EXPECT_EQ(BuildCount("1'1", "0'1"), 2);
    EXPECT_TRUE(SwapClassLessons("1'1", 1, 2, 1, 3));
    EXPECT_TRUE(RemoveHandLesson("1'1", 1, 3));
    EXPECT_TRUE(RemovePresetLesson("1'1", 1, 1));
    EXPECT_EQ(BuildCount("1'1", "0'1"), 0);
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);
}

TEST_F(LessonEditsTest, FixedLessonsOutliveAnAutomaticBuildAndCountInItsPercentage) {
    // Class 101 needs 5 + 4 lessons; two of them are fixed beforehand, one placed by hand.
    ASSERT_TRUE(WritePresetLesson("101", "01", "T1", 5, 6));
    ASSERT_TRUE(WritePresetLesson("101", "02", "T2", 1, 1));
    ASSERT_TRUE(PlaceHandLesson("101", "02", "T2", 3, 3));
    // Every slot but the two fixed ones is closed to the builder for both courses.
    for (int d = 1; d <= 5; ++d)
        for (int l = 1; l <= 6; ++l)
            for (const char* course : {"01", "02", "03"})
                Exec(QString("insert into Limittb values(1,'%1',%2,%3,3)")
                         .arg(course)
                         .arg(d)
                         .arg(l));
    tw::timetable::Builder builder(twtest::State().Db(), 6, [] { return 0.5; });
    const int percent = builder.AutoBuildLessons();
    EXPECT_EQ(Slot("101", 5, 6), "01|T1|0");
    EXPECT_EQ(Slot("101", 1, 1), "02|T2|0");
    EXPECT_EQ(Slot("101", 3, 3), "");  // placed by hand: the build starts without it
    EXPECT_EQ(BuildCount("101", "01"), 1);
    EXPECT_EQ(BuildCount("101", "02"), 1);
    // 2 of the 17 planned lessons are placed: 11.8 per cent, rounded.
    EXPECT_EQ(percent, 12);
}

}  // namespace
