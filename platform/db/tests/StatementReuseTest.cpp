// Statements that differ only in their values share one prepared statement. These cases check
// that every value still reaches its own statement, that kept statements are reset after
// failures, and that closing or changing the schema leaves nothing stale behind.
#include <QDir>

#include "DbTestSupport.h"

using namespace tw::db;
using dbtest::DbTest;

namespace {

QString InsertTeacher(const QString& code, const QString& name) {
    return "Insert Into Teachertb ( Code,Name,FullName,ShortName) Values ('" + SqlQ(code) + "','" +
           SqlQ(name) + "','','')";
}

}  // namespace

TEST_F(DbTest, EachValueReachesItsOwnStatement) {
    // Awkward values: quotes, parameter marks, brackets, the empty text, Chinese, digit text
    // with a leading zero, and a private-use character.
    const QStringList names = {"O'Brien",
                               "a?b",
                               ":x",
                               "@y",
                               "$z",
                               "a]b[c",
                               "",
                               "张老师",
                               "007",
                               "'' or ''='",
                               QString(QChar(0xE000)) + "s1"};
    for (int i = 0; i < names.size(); ++i)
        db_->Execute(InsertTeacher(QString("T%1").arg(i), names[i]));
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(Text("select Name from Teachertb where Code='" + QString("T%1").arg(i) + "'"),
                  names[i])
            << i;
        EXPECT_EQ(Text("select Code from Teachertb where Name='" + SqlQ(names[i]) + "'"),
                  QString("T%1").arg(i))
            << i;
    }
    // Bracketed names stay names, whatever quotes they hold.
    EXPECT_EQ(Rows("select [Code] as [Teacher's code] from [Teachertb] where [Name]='O''Brien'"),
              "T0");
    EXPECT_EQ(db_->OpenRecordset("select [Code] as [Teacher's code] from Teachertb")->FieldName(0),
              "Teacher's code");
    // Jet's double-quoted text is a value too.
    EXPECT_EQ(Text("select Code from Teachertb where Name=\"" + SqlDQ("O'Brien") + "\""), "T0");
    EXPECT_EQ(Count("select count(*) from Teachertb where Name=\"O'Brien\" or Name='007'"), 2);

    // Numbers: the same shape with other numbers, leading zeros, negatives.
    for (int day = 1; day <= 5; ++day)
        for (int lesson = 1; lesson <= 7; ++lesson)
            db_->Execute(QString("insert into LessonListtb values('11',%1,%2,'C%1','T%2',1)")
                             .arg(day)
                             .arg(lesson));
    for (int day = 1; day <= 5; ++day)
        for (int lesson = 1; lesson <= 7; ++lesson)
            EXPECT_EQ(Rows(QString("select CourseCode,TeacherCode from LessonListtb where "
                                   "Day=%1 and LessonNo=%2")
                               .arg(day)
                               .arg(lesson)),
                      QString("C%1|T%2").arg(day).arg(lesson));
    EXPECT_EQ(Count("select count(*) from LessonListtb where LessonNo=007"), 5);
    EXPECT_EQ(Count("select count(*) from LessonListtb where Day > -1 and Day < 3"), 14);
    EXPECT_EQ(Count("select count(*) from LessonListtb where Day > 99999999999999999999"), 0);
}

TEST_F(DbTest, NumbersGluedToNamesAndLongListsStayAsWritten) {
    auto rs = db_->OpenRecordset("select 1e1+0x10 as v, 2.5 as d, 4 as n, '4' as t");
    EXPECT_DOUBLE_EQ(rs->Fields("v").Double(), 26.0);
    EXPECT_DOUBLE_EQ(rs->Fields("d").Double(), 2.5);
    EXPECT_EQ(rs->Fields("n").Value().typeId(), QMetaType::LongLong);
    EXPECT_EQ(rs->Fields("t").Value().typeId(), QMetaType::QString);
    // More values than one statement can bind.
    QStringList list;
    for (int i = 1; i <= 1200; ++i) list << QString::number(i);
    db_->Execute("insert into LessonListtb values('11',1,1200,'C','T',1)");
    EXPECT_EQ(Count("select count(*) from LessonListtb where LessonNo in (" + list.join(',') + ")"),
              1);
    // A parameter the caller wrote itself is unbound, so it is Null, as before.
    EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode=?"), 0);
}

TEST_F(DbTest, ColumnNumbersInOrderByStayColumnNumbers) {
    for (const char* c : {"3|a", "1|c", "2|b"}) {
        const QStringList p = QString(c).split('|');
        db_->Execute(InsertTeacher(p[0], p[1]));
    }
    EXPECT_EQ(Rows("select Code, Name from Teachertb order by 2"), "3|a;2|b;1|c");
    EXPECT_EQ(Rows("select Code, Name from Teachertb order by 1"), "1|c;2|b;3|a");
    EXPECT_EQ(Rows("select Code, Name from Teachertb order by 2 desc"), "1|c;2|b;3|a");
    // Grouping on a function of a number keeps key order; values in HAVING are compared.
    for (const char* c : {"11", "12", "21", "31", "32", "33"})
        db_->Execute(QString("insert into LessonListtb values('%1',1,1,'C','T',1)").arg(c));
    EXPECT_EQ(Rows("select left(ClassCode,1) as g, count(*) as n from LessonListtb group by "
                   "left(ClassCode,1) having count(*) > 1"),
              "1|2;3|3");
    EXPECT_EQ(Rows("select left(ClassCode,1) as g, count(*) as n from LessonListtb group by "
                   "left(ClassCode,1) having count(*) > 2"),
              "3|3");
}

TEST_F(DbTest, DigitTextAgainstNumbersWithManyValues) {
    for (const char* c : {"61", "62", "91", "51", "01", "11"})
        db_->Execute(QString("insert into LessonListtb values('%1',1,1,'C','T',1)").arg(c));
    for (int g = 0; g <= 9; ++g) {
        const int expected = g == 6 ? 2 : (g == 9 || g == 5 || g == 0 || g == 1) ? 1 : 0;
        EXPECT_EQ(
            Count(QString("select count(*) from LessonListtb where left(ClassCode,1)=%1").arg(g)),
            expected)
            << g;
    }
    EXPECT_EQ(Count("select count(*) from LessonListtb where left(ClassCode,1)>'0'"), 5);
    EXPECT_EQ(Count("select count(*) from LessonListtb where left(ClassCode,1)>'5'"), 3);
}

TEST_F(DbTest, DerivedTableValueMayHoldABracket) {
    db_->Execute(
        "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values "
        "('11','M','a]b',4)");
    db_->Execute(
        "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values "
        "('12','M','a]b',3)");
    EXPECT_EQ(Rows("SELECT Count(CourseCode) AS ClassCount, CourseCode, sum(SumCount) AS "
                   "SumSumCount FROM [SELECT ClassCode, CourseCode, sum(Count) AS SumCount From "
                   "ClassPlantb WHERE teachercode='a]b' and IsAutoBuild=0  GROUP BY CourseCode, "
                   "ClassCode]. AS Temptb  GROUP BY CourseCode"),
              "2|M|7");
}

TEST_F(DbTest, FailuresLeaveTheSharedStatementReady) {
    const QString insert =
        "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values "
        "('11','%1','T','%2')";
    EXPECT_THROW(db_->Execute(insert.arg("M", "4x")), DbError);
    db_->Execute(insert.arg("M", "4"));
    EXPECT_EQ(db_->RecordsAffected(), 1);
    EXPECT_THROW(db_->Execute(insert.arg("E", "x")), DbError);
    db_->Execute(insert.arg("E", "5"));
    EXPECT_EQ(Rows("select CourseCode, Count from ClassPlantb order by CourseCode"), "E|5;M|4");

    // A failure message names the statement with its values.
    try {
        db_->Execute("Update ClassPlantb set Count = 'abc' where CourseCode='M'");
        ADD_FAILURE() << "no failure";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("'abc'"), std::string::npos) << e.what();
    }
    // Syntax errors, extra statements and queries given to Execute are refused as before.
    EXPECT_THROW(db_->OpenRecordset("select Code from Teachertb where Name='O'Brien'"), DbError);
    EXPECT_THROW(db_->Execute("delete from LessonListtb where Day=1; delete from Classtb"),
                 DbError);
    EXPECT_THROW(db_->Execute("select * from ClassPlantb where Count=4"), DbError);
    EXPECT_EQ(Count("select count(*) from ClassPlantb where Count=4"), 1);
    EXPECT_THROW(db_->Execute(""), DbError);
}

TEST_F(DbTest, TransactionsSpanSharedStatements) {
    {
        Transaction t(*db_);
        for (int i = 1; i <= 5; ++i)
            db_->Execute(QString("insert into LessonListtb values('11',%1,1,'C','T',1)").arg(i));
        EXPECT_EQ(Count("select count(*) from LessonListtb where Day>2"), 3);
    }
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);
    {
        Transaction t(*db_);
        for (int i = 1; i <= 5; ++i)
            db_->Execute(QString("insert into LessonListtb values('11',%1,1,'C','T',1)").arg(i));
        EXPECT_EQ(Count("select count(*) from LessonListtb where Day>2"), 3);
        t.Commit();
    }
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 5);
}

TEST_F(DbTest, ClosingReleasesTheFileAfterManyStatements) {
    // More distinct statements than are kept, so some are dropped on the way.
    for (int i = 0; i < 300; ++i) {
        const QString col = i % 2 ? "Day" : "LessonNo";
        Count(QString("select count(*) from LessonListtb where %1=%2 and ClassCode%3='x'")
                  .arg(col)
                  .arg(i)
                  .arg(QString(i % 150, QChar(' '))));
    }
    db_->Execute("insert into CourseAttrtb values('Q')");
    db_->Close();
    // The exclusive lock is gone once Close returns, and the data is complete on disk.
    auto again = Database::Open(path_, "731946");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->OpenRecordset("select CourseCode from CourseAttrtb")->Fields(0).Text(), "Q");
    again.reset();
    const QString copy = dir_.filePath("copy.mdb");
    ASSERT_TRUE(QFile::copy(path_, copy));
    EXPECT_TRUE(Database::Open(copy, "731946"));
}

TEST_F(DbTest, SchemaChangesReachKeptStatements) {
    db_->Execute("create table Extra (a TEXT)");
    db_->Execute("insert into Extra values('1')");
    auto rs = db_->OpenRecordset("select * from Extra where a='1'");
    ASSERT_EQ(rs->FieldCount(), 1);
    EXPECT_EQ(rs->FieldName(0), "a");
    db_->Execute("drop table Extra");
    EXPECT_THROW(db_->OpenRecordset("select * from Extra where a='1'"), DbError);
    db_->Execute("create table Extra (b TEXT, a TEXT)");
    db_->Execute("insert into Extra values('x', '1')");
    rs = db_->OpenRecordset("select * from Extra where a='1'");
    ASSERT_EQ(rs->FieldCount(), 2);
    EXPECT_EQ(rs->FieldName(0), "b");
    EXPECT_EQ(rs->Fields("a").Text(), "1");
    EXPECT_EQ(rs->Fields("b").Text(), "x");
    EXPECT_TRUE(db_->HasTable("extra"));
}
