// The timetable checker finds each broken rule, and the data layer's test program runs without
// any window.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "StoreTestSupport.h"
#include "db/Database.h"
#include "store/Invariants.h"

namespace {

class InvariantsTest : public storetest::StoreTest {
  protected:
    void SetUp() override {
        storetest::StoreTest::SetUp();
        ASSERT_TRUE(db_);
        // Two classes, one teacher each, one lesson each, counted, and a class limit.
        for (const char* sql :
             {"insert into Classtb(Code,Name,FullName,ShortName) values('11','c11','c11','c11')",
              "insert into Classtb(Code,Name,FullName,ShortName) values('12','c12','c12','c12')",
              "insert into Coursetb(Code,Name,FullName,ShortName) values('C1','c1','c1','c1')",
              "insert into Teachertb(Code,Name,FullName,ShortName) values('t1','t1','t1','t1')",
              "insert into Teachertb(Code,Name,FullName,ShortName) values('t2','t2','t2','t2')",
              "insert into Teachertb(Code,Name,FullName,ShortName) values('t3','t3','t3','t3')",
              "insert into Limittb values(0,'11',1,1,3)",
              "insert into ClassPlantb values('11','c1','t1',2,0,1)",
              "insert into ClassPlantb values('12','c1','t2',2,0,1)",
              "insert into LessonListtb values('11',1,1,'c1','t1',1)",
              "insert into LessonListtb values('12',1,1,'c1','t2',1)"}) {
            db_->Execute(sql);
        }
    }
    QString Broken(int lessonsPerDay = 6) {
        return tw::store::BrokenTimetableRule(*db_, {lessonsPerDay, {}});
    }
};

TEST_F(InvariantsTest, EachBrokenRuleIsNamed) {
    EXPECT_EQ(Broken(), "");
    struct Breach {
        const char* sql;
        const char* named;
    };
    // One break of each rule, and the number the checker names it by.
    const Breach breaches[] = {
        {"insert into LessonListtb values('11',1,1,'c1','t1',1)", "rule 1: a class twice"},
        {"update LessonListtb set TeacherCode='t1' where ClassCode='12'",
         "rule 2: a teacher twice"},
        {"update LessonListtb set LessonNo=7 where ClassCode='11'", "rule 3: a lesson outside"},
        {"update LessonListtb set CourseCode='C1X' where ClassCode='11'",
         "rule 4: a lesson without"},
        {"update ClassPlantb set BuildCount=2 where ClassCode='11'", "rule 5: BuildCount"},
        {"update ClassPlantb set BuildCount=null where ClassCode='11'", "rule 5: BuildCount"},
        {"insert into ClassPlantb(ClassCode,CourseCode,TeacherCode,Count,IsAutoBuild,BuildCount) "
         "select ClassCode,CourseCode,TeacherCode,Count,IsAutoBuild,BuildCount from ClassPlantb "
         "where ClassCode='11'",
         "rule 6: one plan row twice"},
        {"insert into ClassPlantb(ClassCode,CourseCode,TeacherCode,Count,IsAutoBuild,BuildCount) "
         "values('11','C1','t3',2,0,0)",
         "rule 7: a second plan row"},
        {"insert into Limittb values(0,'11',1,1,1)", "rule 8: one slot limit twice"},
        {"delete from Classtb where Code='12'", "rule 9: a code that names no stored"},
        {"delete from Coursetb", "rule 9: a code that names no stored"},
        {"delete from Teachertb where Code='t2'", "rule 9: a code that names no stored"},
        {"insert into Limittb values(2,'t9',1,1,3)", "rule 9: a code that names no stored"},
    };
    for (const Breach& b : breaches) {
        db_->BeginTrans();
        db_->Execute(b.sql);
        EXPECT_TRUE(Broken().startsWith(b.named)) << b.sql << " -> " << Broken().toStdString();
        db_->Rollback();
        EXPECT_EQ(Broken(), "");
    }
    // A classroom's limits stay until the data maintenance, a class's with its code through the
    // school-year upgrade: no broken rule.
    db_->Execute("insert into Limittb values(3,'R9',1,1,3)");
    db_->Execute("insert into Limittb values(0,'91',1,1,3)");
    EXPECT_EQ(Broken(), "");
    // A second row of a class and course that the caller allows (an older file) passes.
    db_->Execute(
        "insert into ClassPlantb(ClassCode,CourseCode,TeacherCode,Count,IsAutoBuild,BuildCount) "
        "values('11','C1','t3',2,0,0)");
    EXPECT_EQ(tw::store::BrokenTimetableRule(*db_, {6, {"11|C1"}}), "");
    // A table that cannot be read is no sound timetable.
    db_->Execute("drop table LessonListtb");
    EXPECT_TRUE(Broken().contains("cannot be read"));
}

// The data layer and its tests need the database layer and Qt Core, never Qt Widgets.
TEST(StoreTestProgram, LoadsNoWidgetLibrary) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        EXPECT_EQ(line.find("libQt6Widgets"), std::string::npos) << line;
        EXPECT_EQ(line.find("libQt6Gui"), std::string::npos) << line;
    }
}

}  // namespace
