// Code/name lookups and the name lists: codes and names both ways, the first matching row,
// quotes kept as data, and a failing read handing on the database's reason.
#include "StoreTestSupport.h"
#include "db/Database.h"
#include "store/Names.h"

using tw::db::SqlQ;
using tw::store::Reason;

namespace {

class NamesTest : public storetest::StoreTest {
  protected:
    void SetUp() override {
        storetest::StoreTest::SetUp();
        for (const char* t : {"Classtb", "Coursetb", "Teachertb", "ClassRoomtb"}) {
            Add(t, "A1", "甲", "甲全", "甲简");
            Add(t, "A2", "乙", "乙全", "乙简");
            Add(t, "A3", "乙", "乙全", "乙简2");  // a name used twice
        }
        Add("Teachertb", "T9", "O'Brien", "", "");
        db_->Execute(
            "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values "
            "('A1','A2','T9',' 3')");
    }
    void Add(const QString& table, const QString& code, const QString& name, const QString& full,
             const QString& shortName) {
        db_->Execute("Insert Into " + table + " ( Code,Name,FullName,ShortName) Values ('" +
                     SqlQ(code) + "','" + SqlQ(name) + "','" + SqlQ(full) + "','" +
                     SqlQ(shortName) + "')");
    }
};

}  // namespace

TEST_F(NamesTest, CodesAndNamesBothWays) {
    tw::db::Database& db = *db_;
    EXPECT_EQ(tw::store::GetClassName(db, "A1").value, QStringLiteral("甲"));
    EXPECT_EQ(tw::store::GetClassName(db, "a1").value, QStringLiteral("甲"));  // without case
    EXPECT_EQ(tw::store::GetClassShortName(db, "A2").value, QStringLiteral("乙简"));
    EXPECT_EQ(tw::store::GetCourseName(db, "A2").value, QStringLiteral("乙"));
    EXPECT_EQ(tw::store::GetTeacherName(db, "T9").value, "O'Brien");
    EXPECT_EQ(tw::store::GetClassCode(db, QStringLiteral("甲")).value, "A1");
    EXPECT_EQ(tw::store::GetCourseCode(db, QStringLiteral("甲")).value, "A1");
    EXPECT_EQ(tw::store::GetClassRoomCode(db, QStringLiteral("甲")).value, "A1");
    EXPECT_EQ(tw::store::GetTeacherCode(db, "O'Brien").value, "T9");
    EXPECT_EQ(tw::store::GetPlanTeacher(db, "A1", "A2").value, "T9");
    EXPECT_EQ(tw::store::GetPlanTeacher(db, "A1", "A1").value, "");
    EXPECT_TRUE(tw::store::GetPlanTeacher(db, "A1", "A1").Done());
}

TEST_F(NamesTest, SharedNameGivesTheFirstRowAndUnknownGivesEmpty) {
    tw::db::Database& db = *db_;
    EXPECT_EQ(tw::store::GetClassCode(db, QStringLiteral("乙")).value, "A2");
    EXPECT_EQ(tw::store::GetTeacherCode(db, QStringLiteral("乙")).value, "A2");
    EXPECT_EQ(tw::store::GetClassCode(db, QStringLiteral("丙")).value, "");
    EXPECT_EQ(tw::store::GetTeacherName(db, "").value, "");
    Add("Teachertb", "", "无码", "", "");
    EXPECT_EQ(tw::store::GetTeacherName(db, "").value, QStringLiteral("无码"));
}

TEST_F(NamesTest, QuotesInValuesAreDataNotStatement) {
    EXPECT_EQ(tw::store::GetClassCode(*db_, "' or ''='").value, "");
    EXPECT_EQ(tw::store::GetClassName(*db_, "x' or '1'='1").value, "");
    EXPECT_EQ(Count("select count(*) from Classtb"), 3);
}

// A lookup or list that cannot read tells why, in the database's words, with nothing read.
TEST_F(NamesTest, NullFieldGivesEmptyTextAndAFailingReadItsReason) {
    db_->Execute("insert into Classtb (Code) values('N1')");
    EXPECT_EQ(tw::store::GetClassName(*db_, "N1").value, "");
    EXPECT_TRUE(tw::store::GetClassName(*db_, "N1").Done());
    db_->Execute("drop table ClassPlantb");
    db_->Execute("drop table Classtb");
    for (const auto& read :
         {tw::store::GetPlanTeacher(*db_, "A1", "A2"), tw::store::GetClassName(*db_, "A1")}) {
        EXPECT_EQ(read.outcome.reason, Reason::DatabaseError);
        EXPECT_TRUE(read.outcome.detail.contains("no such table"))
            << read.outcome.detail.toStdString();
        EXPECT_EQ(read.value, "");
    }
    const auto classes = tw::store::ReadClassList(*db_);
    EXPECT_EQ(classes.outcome.reason, Reason::DatabaseError);
    EXPECT_TRUE(classes.outcome.detail.contains("Classtb")) << classes.outcome.detail.toStdString();
    EXPECT_TRUE(classes.value.isEmpty());
    EXPECT_EQ(tw::store::ReadTeacherList(*db_, tw::store::TeacherOrder::ByCode).value.size(), 4);
}
