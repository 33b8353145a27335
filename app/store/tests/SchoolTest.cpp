// The commands on the whole database: deleting all lessons, data maintenance and the
// school-year upgrade, each all or nothing, with the statements each sends.
#include "StatementLogTestSupport.h"
#include "StoreTestSupport.h"
#include "store/Invariants.h"
#include "store/School.h"

using tw::store::Reason;

namespace {

class SchoolTest : public storetest::StoreTest {
  protected:
    void Exec(const QString& sql) { db_->Execute(sql); }
    void AddMaster(const QString& table, const QString& code, const QString& name) {
        Exec("insert into " + table + "(Code,Name,FullName,ShortName) values('" + code + "','" +
             name + "','" + name + "','" + name + "')");
    }
    // Every table's rows in a fixed order, to tell whether anything changed.
    QString Everything() { return twtest::AllTables(*db_); }
    void AddClass(const QString& code, const QString& numeral) {
        Exec("insert into Classtb(Code,Name,FullName,ShortName) values('" + code + "','" + numeral +
             "年级" + code.mid(1) + "班','" + numeral + "年级(" + code.mid(1) + ")班','" + numeral +
             code.mid(1) + "')");
    }
    void AddLesson(const QString& cls, int day, int lesson, const QString& course,
                   const QString& teacher, int flag) {
        Exec(QString("insert into LessonListtb values('%1',%2,%3,'%4','%5',%6)")
                 .arg(cls)
                 .arg(day)
                 .arg(lesson)
                 .arg(course, teacher)
                 .arg(flag));
    }
    void AddPlan(const QString& cls, const QString& course, const QString& teacher, int count,
                 int isAuto, int built) {
        Exec(QString("insert into ClassPlantb(ClassCode,CourseCode,TeacherCode,Count,IsAutoBuild,"
                     "BuildCount) values('%1','%2','%3',%4,%5,%6)")
                 .arg(cls, course, teacher)
                 .arg(count)
                 .arg(isAuto)
                 .arg(built));
    }
    // Runs command and gives the number of statements it sent and their digest, as "n digest".
    template <class Command>
    std::string Sent(Command&& command) {
        twtest::StatementRecorder recorder(*db_);
        command();
        return std::to_string(recorder.Count()) + " " + recorder.Digest().toStdString();
    }
};

}  // namespace

TEST(NextGradeName, LeadingNumeralMovesUpOneGrade) {
    EXPECT_EQ(tw::store::NextGradeName("一年级1班"), "二年级1班");
    EXPECT_EQ(tw::store::NextGradeName("二(3)班"), "三(3)班");
    EXPECT_EQ(tw::store::NextGradeName("三"), "四");
    EXPECT_EQ(tw::store::NextGradeName("四1"), "五1");
    EXPECT_EQ(tw::store::NextGradeName("五年级"), "六年级");
    EXPECT_EQ(tw::store::NextGradeName("七年级2班"), "八年级2班");
    EXPECT_EQ(tw::store::NextGradeName("八年级"), "九年级");
    for (const QString same : {"六年级", "九年级", "学前1班", "", "Class 1", "十一"}) {
        EXPECT_EQ(tw::store::NextGradeName(same), same);
    }
}

TEST_F(SchoolTest, DeleteAllLessonsClearsFixedLessonsAndResetsProgress) {
    AddClass("11", "一");
    AddMaster("Coursetb", "C1", "语文");
    AddMaster("Teachertb", "T1", "张老师");
    AddPlan("11", "C1", "T1", 5, 1, 3);
    AddLesson("11", 1, 1, "C1", "T1", 0);
    AddLesson("11", 2, 1, "C1", "T1", 1);
    AddLesson("11", 3, 1, "C1", "T1", 2);
    Exec("insert into Limittb values(1,'C1',1,1,3)");

    EXPECT_EQ(Sent([&] { EXPECT_TRUE(tw::store::DeleteAllLessons(*db_).Done()); }),
              "2 09acacd5b31fc380");
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);
    EXPECT_EQ(Rows("select Count,IsAutoBuild,BuildCount from ClassPlantb"), "5|0|0");
    EXPECT_EQ(Rows("select * from Limittb"), "1|C1|1|1|3");
    EXPECT_EQ(Count("select count(*) from Classtb"), 1);
}

TEST_F(SchoolTest, MaintainDataRemovesOrphansAndRecounts) {
    AddClass("11", "一");
    AddMaster("Coursetb", "C1", "语文");
    AddMaster("Teachertb", "T1", "张老师");
    AddMaster("Teachertb", "C9", "同码老师");  // a teacher whose code equals a deleted course's
    AddMaster("ClassRoomtb", "R1", "实验室");
    AddPlan("11", "C1", "T1", 5, 1, 0);  // stays, recounted to 2
    AddPlan("11", "C9", "T1", 2, 0, 2);  // course C9 no longer exists
    AddPlan("11", "C1", "TX", 2, 0, 0);  // teacher TX no longer exists (same class+course)
    AddLesson("11", 1, 1, "C1", "T1", 0);
    AddLesson("11", 1, 2, "C1", "T1", 1);
    AddLesson("11", 1, 3, "C9", "T1", 1);  // course gone
    AddLesson("99", 1, 1, "C1", "T1", 1);  // class gone
    AddLesson("11", 1, 4, "C1", "TX", 2);  // teacher gone
    Exec("insert into Limittb values(0,'11',1,1,0)");
    Exec("insert into Limittb values(0,'99',1,1,0)");
    Exec("insert into Limittb values(1,'C1',1,1,2)");
    Exec("insert into Limittb values(1,'C9',1,1,3)");
    Exec("insert into Limittb values(2,'C9',1,1,3)");  // teacher C9 exists: stays
    Exec("insert into Limittb values(2,'T9',1,1,3)");
    Exec("insert into Limittb values(3,'R1',1,1,1)");
    Exec("insert into Limittb values(3,'R9',1,1,1)");

    EXPECT_EQ(Sent([&] { EXPECT_TRUE(tw::store::MaintainData(*db_).Done()); }),
              "6 04c9622180dcdd8f");
    EXPECT_EQ(Rows("select ClassCode,Day,LessonNo,CourseCode,TeacherCode from LessonListtb "
                   "order by LessonNo"),
              "11|1|1|C1|T1;11|1|2|C1|T1");
    EXPECT_EQ(Rows("select ClassCode,CourseCode,TeacherCode,Count,IsAutoBuild,BuildCount from "
                   "ClassPlantb"),
              "11|C1|T1|5|1|2");
    EXPECT_EQ(Rows("select Kind,Code from Limittb order by Kind,Code"), "0|11;1|C1;2|C9;3|R1");
}

TEST_F(SchoolTest, MaintainDataOnConsistentDataOnlyRewritesCounts) {
    AddClass("11", "一");
    AddMaster("Coursetb", "C1", "语文");
    AddMaster("Teachertb", "T1", "张老师");
    AddPlan("11", "C1", "T1", 5, 0, 1);
    AddLesson("11", 2, 3, "C1", "T1", 0);
    Exec("insert into Limittb values(1,'C1',2,2,0)");
    const QString before = Everything();
    EXPECT_TRUE(tw::store::MaintainData(*db_).Done());
    EXPECT_EQ(Everything(), before);
}

TEST_F(SchoolTest, MaintainDataFailureChangesNothing) {
    AddClass("11", "一");
    AddMaster("Coursetb", "C1", "语文");
    AddMaster("Teachertb", "T1", "张老师");
    AddPlan("11", "C1", "T1", 5, 0, 4);
    AddLesson("99", 1, 1, "C1", "T1", 1);
    AddLesson("11", 1, 1, "C1", "T1", 1);
    // The recount of the plan row is refused by the database.
    Exec(
        "CREATE TRIGGER no_recount BEFORE UPDATE ON ClassPlantb BEGIN "
        "SELECT RAISE(ABORT, 'refused'); END");
    const QString before = Everything();
    tw::store::Outcome outcome;
    EXPECT_EQ(Sent([&] { outcome = tw::store::MaintainData(*db_); }), "5 9968816a57a32109");
    EXPECT_EQ(outcome.reason, Reason::DatabaseError);
    EXPECT_TRUE(outcome.detail.contains("refused")) << outcome.detail.toStdString();
    EXPECT_EQ(Everything(), before);
}

TEST_F(SchoolTest, UpgradeMovesEveryClassUpOneGrade) {
    for (const auto& [code, numeral] : std::vector<std::pair<QString, QString>>{
             {"11", "一"}, {"12", "一"}, {"21", "二"}, {"61", "六"}, {"71", "七"}, {"91", "九"}}) {
        AddClass(code, numeral);
    }
    Exec(
        "insert into Classtb(Code,Name,FullName,ShortName) values('01','学前1班','学前(1)班',"
        "'学前1')");
    AddMaster("Coursetb", "C1", "语文");
    AddMaster("Teachertb", "T1", "张老师");
    for (const QString cls : {"11", "12", "21", "61", "71", "91", "01"}) {
        AddPlan(cls, "C1", "T1", 4, 1, 1);
        AddLesson(cls, 1, 1, "C1", "T1", 1);
    }
    AddLesson("11", 2, 2, "C1", "T1", 0);
    Exec("insert into Limittb values(0,'11',1,1,3)");
    Exec("insert into Limittb values(0,'61',1,2,3)");
    const QString limits = Rows("select * from Limittb order by Code");

    EXPECT_EQ(Sent([&] { ASSERT_TRUE(tw::store::UpgradeSchoolYear(*db_).Done()); }),
              "15 aaf1e183cf8f6790");
    EXPECT_EQ(Rows("select Code,Name,FullName,ShortName from Classtb order by Code"),
              "01|学前1班|学前(1)班|学前1;"
              "11|一年级1班|一年级(1)班|一1;"
              "12|一年级2班|一年级(2)班|一2;"
              "21|二年级1班|二年级(1)班|二1;"
              "22|二年级2班|二年级(2)班|二2;"
              "31|三年级1班|三年级(1)班|三1;"
              "81|八年级1班|八年级(1)班|八1");
    EXPECT_EQ(Rows("select ClassCode,Day,LessonNo from LessonListtb order by ClassCode,Day"),
              "01|1|1;21|1|1;21|2|2;22|1|1;31|1|1;81|1|1");
    EXPECT_EQ(Rows("select ClassCode,Count,IsAutoBuild,BuildCount from ClassPlantb order by "
                   "ClassCode"),
              "01|4|1|1;21|4|1|1;22|4|1|1;31|4|1|1;81|4|1|1");
    EXPECT_EQ(Rows("select * from Limittb order by Code"), limits);
}

// A class's limits stay with their code through the upgrade, also where no class then holds
// it: the timetable keeps every rule.
TEST_F(SchoolTest, UpgradeOfASoundSchoolKeepsTheTimetableSound) {
    AddClass("11", "一");
    AddClass("91", "九");
    AddMaster("Coursetb", "C1", "语文");
    AddMaster("Teachertb", "T1", "张老师");
    AddPlan("11", "C1", "T1", 4, 0, 1);
    AddLesson("11", 1, 1, "C1", "T1", 1);
    Exec("insert into Limittb values(0,'91',1,1,3)");
    ASSERT_EQ(tw::store::BrokenTimetableRule(*db_, {6, {}}).toStdString(), "");
    ASSERT_TRUE(tw::store::UpgradeSchoolYear(*db_).Done());
    EXPECT_EQ(tw::store::BrokenTimetableRule(*db_, {6, {}}).toStdString(), "");
}

TEST_F(SchoolTest, UpgradeKeepsLongerCodesAndNamesWithQuotes) {
    Exec(
        "insert into Classtb(Code,Name,FullName,ShortName) values('512','五年级12班',"
        "'五年级''A''班','五''12')");
    AddLesson("512", 3, 4, "C1", "T1", 2);
    EXPECT_EQ(Sent([&] { ASSERT_TRUE(tw::store::UpgradeSchoolYear(*db_).Done()); }),
              "10 31506336a1d141a8");
    EXPECT_EQ(Rows("select * from Classtb"), "612|六年级12班|六年级'A'班|六'12");
    EXPECT_EQ(Rows("select ClassCode from LessonListtb"), "612");
}

TEST_F(SchoolTest, UpgradeRefusesCodeWithoutGradeDigit) {
    AddClass("11", "一");
    Exec("insert into Classtb(Code,Name,FullName,ShortName) values('A1','甲班','甲班','甲')");
    AddLesson("11", 1, 1, "C1", "T1", 1);
    AddPlan("11", "C1", "T1", 3, 0, 1);
    const QString before = Everything();
    EXPECT_EQ(
        Sent([&] { EXPECT_EQ(tw::store::UpgradeSchoolYear(*db_).reason, Reason::NotGraded); }),
        "1 9feab46d34cb2550");
    EXPECT_EQ(Everything(), before);
}

TEST_F(SchoolTest, UpgradeRefusesLessonOfClassCodeWithoutGradeDigit) {
    AddClass("11", "一");
    AddLesson("X1", 1, 1, "C1", "T1", 1);
    const QString before = Everything();
    EXPECT_EQ(
        Sent([&] { EXPECT_EQ(tw::store::UpgradeSchoolYear(*db_).reason, Reason::NotGraded); }),
        "2 2b6e8b6959625c8f");
    EXPECT_EQ(Everything(), before);
}

TEST_F(SchoolTest, UpgradeFailingHalfwayChangesNothing) {
    AddClass("11", "一");
    AddClass("21", "二");
    AddLesson("11", 1, 1, "C1", "T1", 1);
    AddPlan("21", "C1", "T1", 3, 0, 1);
    // The class walk is refused when it reaches the former grade-one class.
    Exec(
        "CREATE TRIGGER no_move BEFORE UPDATE ON Classtb WHEN OLD.Code = '11' BEGIN "
        "SELECT RAISE(ABORT, 'refused'); END");
    const QString before = Everything();
    tw::store::Outcome outcome;
    EXPECT_EQ(Sent([&] { outcome = tw::store::UpgradeSchoolYear(*db_); }), "11 7471f68ca71f1fe2");
    EXPECT_EQ(outcome.reason, Reason::DatabaseError);
    EXPECT_TRUE(outcome.detail.contains("refused")) << outcome.detail.toStdString();
    EXPECT_EQ(Everything(), before);
}
