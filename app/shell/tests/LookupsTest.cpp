// Code/name lookups and slot tests over the open database.
#include "AppTestSupport.h"

namespace {

class LookupsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* t : {"Classtb", "Coursetb", "Teachertb", "ClassRoomtb"}) {
            Add(t, "A1", "甲", "甲全", "甲简");
            Add(t, "A2", "乙", "乙全", "乙简");
            Add(t, "A3", "乙", "乙全", "乙简2");  // a name used twice
        }
        Add("Teachertb", "T9", "O'Brien", "", "");
        env_.Exec(
            "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values "
            "('A1','A2','T9',' 3')");
    }
    void Add(const QString& table, const QString& code, const QString& name, const QString& full,
             const QString& shortName) {
        env_.Exec("Insert Into " + table + " ( Code,Name,FullName,ShortName) Values ('" +
                  tw::db::SqlQ(code) + "','" + tw::db::SqlQ(name) + "','" + tw::db::SqlQ(full) +
                  "','" + tw::db::SqlQ(shortName) + "')");
    }
    twtest::AppTestEnv env_;
};

}  // namespace

TEST_F(LookupsTest, CodesAndNamesBothWays) {
    EXPECT_EQ(GetClassName("A1"), QStringLiteral("甲"));
    EXPECT_EQ(GetClassName("a1"), QStringLiteral("甲"));  // codes match without case
    EXPECT_EQ(GetClassShortName("A2"), QStringLiteral("乙简"));
    EXPECT_EQ(GetCourseName("A2"), QStringLiteral("乙"));
    EXPECT_EQ(GetTeacherName("T9"), "O'Brien");
    EXPECT_EQ(GetClassCode(QStringLiteral("甲")), "A1");
    EXPECT_EQ(GetCourseCode(QStringLiteral("甲")), "A1");
    EXPECT_EQ(GetClassRoomCode(QStringLiteral("甲")), "A1");
    EXPECT_EQ(GetTeacherCode("O'Brien"), "T9");
    EXPECT_EQ(GetPlanTeacher("A1", "A2"), "T9");
    EXPECT_EQ(GetPlanTeacher("A1", "A1"), "");
}

TEST_F(LookupsTest, SharedNameGivesTheFirstRowAndUnknownGivesEmpty) {
    EXPECT_EQ(GetClassCode(QStringLiteral("乙")), "A2");
    EXPECT_EQ(GetTeacherCode(QStringLiteral("乙")), "A2");
    EXPECT_EQ(GetClassCode(QStringLiteral("丙")), "");
    EXPECT_EQ(GetTeacherName(""), "");
    Add("Teachertb", "", "无码", "", "");
    EXPECT_EQ(GetTeacherName(""), QStringLiteral("无码"));
}

TEST_F(LookupsTest, QuotesInValuesAreDataNotStatement) {
    EXPECT_EQ(GetClassCode("' or ''='"), "");
    EXPECT_EQ(GetClassName("x' or '1'='1"), "");
    EXPECT_EQ(env_.Count("select count(*) from Classtb"), 3);
}

TEST_F(LookupsTest, NullFieldAndClosedDatabaseGiveEmptyText) {
    env_.Exec("insert into Classtb (Code) values('N1')");
    EXPECT_EQ(GetClassName("N1"), "");
    CloseDb();
    EXPECT_EQ(GetClassName("A1"), "");
    EXPECT_EQ(GetPlanTeacher("A1", "A2"), "");
}

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
    EXPECT_FALSE(IsClassSlotFree("11", 1, 1));
    EXPECT_FALSE(IsClassSlotFree("11", 1, 2));
    EXPECT_TRUE(IsClassSlotFree("11", 1, 3));
    EXPECT_TRUE(IsClassSlotFree("11", 2, 1));
    EXPECT_FALSE(IsClassSlotFreeOfPreset("11", 1, 1));
    EXPECT_TRUE(IsClassSlotFreeOfPreset("11", 1, 2));  // only fixed lessons count
}

TEST_F(SlotsTest, TeacherSlotsCountEveryClass) {
    EXPECT_FALSE(IsTeacherSlotFree("T3", 2, 3));
    EXPECT_TRUE(IsTeacherSlotFree("T3", 2, 4));
    EXPECT_TRUE(IsTeacherSlotFreeOfPreset("T3", 2, 3));
    EXPECT_FALSE(IsTeacherSlotFreeOfPreset("t1", 1, 1));
    // Class 13 is free at Tuesday 3, but its teacher T3 teaches class 12 then.
    EXPECT_FALSE(IsSlotFree("13", "X", "T3", 2, 3));
    EXPECT_TRUE(IsSlotFree("13", "X", "T4", 2, 3));
    EXPECT_TRUE(IsSlotFreeOfPreset("13", "X", "T3", 2, 3));
    EXPECT_FALSE(IsSlotFreeOfPreset("11", "X", "T9", 1, 1));
    EXPECT_FALSE(IsSlotFreeOfPreset("13", "X", "T1", 1, 1));
}

TEST_F(SlotsTest, QuoteInACodeIsAnsweredAndFailureCountsAsTaken) {
    env_.Exec("insert into LessonListtb values('A''1',3,3,'M','T''x',1)");
    EXPECT_FALSE(IsClassSlotFree("A'1", 3, 3));
    EXPECT_TRUE(IsClassSlotFree("A'1", 3, 4));
    EXPECT_FALSE(IsTeacherSlotFree("T'x", 3, 3));
    CloseDb();
    EXPECT_FALSE(IsClassSlotFree("99", 5, 5));
    EXPECT_FALSE(IsSlotFree("99", "", "Z", 5, 5));
}
