// Slot tests over the open database.
#include "AppTestSupport.h"
#include "shell/mdlPublic.h"

namespace {

class SlotsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        env_.Exec("insert into LessonListtb values('11',1,1,'M','T1',0)");  // fixed
        env_.Exec("insert into LessonListtb values('11',1,2,'E','T2',1)");  // built
        env_.Exec("insert into LessonListtb values('12',2,3,'P','T3',2)");  // by hand
    }
    twtest::AppTestEnv env_;
};

}  // namespace

TEST_F(SlotsTest, ClassSlots) {
    EXPECT_FALSE(IsClassSlotFree(twtest::State(), "11", 1, 1));
    EXPECT_FALSE(IsClassSlotFree(twtest::State(), "11", 1, 2));
    EXPECT_TRUE(IsClassSlotFree(twtest::State(), "11", 1, 3));
    EXPECT_TRUE(IsClassSlotFree(twtest::State(), "11", 2, 1));
    EXPECT_FALSE(IsClassSlotFreeOfPreset(twtest::State(), "11", 1, 1));
    EXPECT_TRUE(IsClassSlotFreeOfPreset(twtest::State(), "11", 1, 2));  // only fixed lessons count
}

TEST_F(SlotsTest, TeacherSlotsCountEveryClass) {
    EXPECT_FALSE(IsTeacherSlotFree(twtest::State(), "T3", 2, 3));
    EXPECT_TRUE(IsTeacherSlotFree(twtest::State(), "T3", 2, 4));
    EXPECT_TRUE(IsTeacherSlotFreeOfPreset(twtest::State(), "T3", 2, 3));
    EXPECT_FALSE(IsTeacherSlotFreeOfPreset(twtest::State(), "t1", 1, 1));
    // Class 13 is free at Tuesday 3, but its teacher T3 teaches class 12 then.
    EXPECT_FALSE(IsSlotFree(twtest::State(), "13", "X", "T3", 2, 3));
    EXPECT_TRUE(IsSlotFree(twtest::State(), "13", "X", "T4", 2, 3));
    EXPECT_TRUE(IsSlotFreeOfPreset(twtest::State(), "13", "X", "T3", 2, 3));
    EXPECT_FALSE(IsSlotFreeOfPreset(twtest::State(), "11", "X", "T9", 1, 1));
    EXPECT_FALSE(IsSlotFreeOfPreset(twtest::State(), "13", "X", "T1", 1, 1));
}

TEST_F(SlotsTest, QuoteInACodeIsAnsweredAndFailureCountsAsTaken) {
    env_.Exec("insert into LessonListtb values('A''1',3,3,'M','T''x',1)");
    EXPECT_FALSE(IsClassSlotFree(twtest::State(), "A'1", 3, 3));
    EXPECT_TRUE(IsClassSlotFree(twtest::State(), "A'1", 3, 4));
    EXPECT_FALSE(IsTeacherSlotFree(twtest::State(), "T'x", 3, 3));
    twtest::State().Close();
    EXPECT_FALSE(IsClassSlotFree(twtest::State(), "99", 5, 5));
    EXPECT_FALSE(IsSlotFree(twtest::State(), "99", "", "Z", 5, 5));
}
