// Statement shapes that the program sends, checked for their Jet meaning on real tables.
#include <random>

#include "DbTestSupport.h"

using dbtest::DbTest;
using tw::db::TranslateJetSql;

TEST(JetTranslate, RewritesFunctionsStringsAndDerivedTables) {
    EXPECT_EQ(TranslateJetSql("select left(Code,1), mid(Code, 2), mid(Code,2,3) from Classtb"),
              "select substr(Code,1,1), substr(Code, 2), substr(Code,2,3) from Classtb");
    EXPECT_EQ(TranslateJetSql("select \"a'b\" as Name, \"\" as X from T"),
              "select 'a''b' as Name, '' as X from T");
    EXPECT_EQ(TranslateJetSql("select * from [SELECT a From T GROUP BY a]. AS Temptb"),
              "select * from (SELECT a From T GROUP BY a) AS Temptb");
    EXPECT_EQ(TranslateJetSql("select Left (Code,1) from T where LEFT(Code, 1) = 6"),
              "select substr (Code,1,1) from T where CAST(substr(Code,1, 1) AS NUMERIC) = 6");
    // LEFT JOIN keeps its keyword.
    EXPECT_EQ(TranslateJetSql("select * from A LEFT JOIN B on A.x=B.x"),
              "select * from A LEFT JOIN B on A.x=B.x");
    // Text in quotes is never rewritten.
    EXPECT_EQ(TranslateJetSql("select 'left(x,1) & y' from T"), "select 'left(x,1) & y' from T");
}

TEST(JetTranslate, ConcatBindsLooserThanArithmetic) {
    EXPECT_EQ(TranslateJetSql("update T set C = left(C,1)+1 & mid(C, 2) where left(C,1)>'0'"),
              "update T set C = (substr(C,1,1)+1) || (substr(C, 2)) where substr(C,1,1)>'0'");
}

TEST(JetTranslate, GroupByGetsKeyOrderUnlessOrdered) {
    EXPECT_EQ(TranslateJetSql("select a from T group by a, b"),
              "select a from T group by a, b ORDER BY a, b");
    EXPECT_EQ(TranslateJetSql("select a from T group by a order by a desc"),
              "select a from T group by a order by a desc");
}

TEST(JetTranslate, WholeTableReadGetsStoredOrder) {
    EXPECT_EQ(TranslateJetSql("select Name from Classtb"),
              "select Name from Classtb ORDER BY rowid");
    EXPECT_EQ(TranslateJetSql("select Code, Name from Teachertb "),
              "select Code, Name from Teachertb ORDER BY rowid");
    for (const char* kept :
         {"select Name from Teachertb order by Code", "select Code from Classtb where Name='x'",
          "select count(*) from T", "select distinct Name from T",
          "select * from A LEFT JOIN B on A.x=B.x", "select a from T group by a ORDER BY a"}) {
        EXPECT_EQ(TranslateJetSql(kept), kept);
    }
}

// Names entered in a shuffled order, with repeats, come back in that order from every master
// table, although each table has an index on Name that holds everything the query asks for.
TEST_F(DbTest, WholeTableReadsComeInTheOrderEntered) {
    const QStringList pool = {"一（1）班", "一（10）班", "一（2）班", "三（10）班",   "二（1）班",
                              "张伟",      "Zhang",      "abc",       "学前（12）班", "语文"};
    std::mt19937 rng(21);
    for (const char* table : {"Classtb", "Coursetb", "Teachertb", "ClassRoomtb"}) {
        QStringList names;
        QStringList rows;
        for (int i = 0; i < 60; ++i) {
            const QString name = pool[static_cast<int>(rng() % pool.size())];
            const QString code = QString::number(rng() % 100000) + "c" + QString::number(i);
            db_->Execute(QString("insert into %1 values('%2','%3','','')").arg(table, code, name));
            names << name;
            rows << code + "|" + name;
        }
        EXPECT_EQ(Rows(QString("select Name from %1").arg(table)), names.join(';')) << table;
        EXPECT_EQ(Rows(QString("select Code,Name from %1").arg(table)), rows.join(';')) << table;
    }
}

TEST_F(DbTest, DigitTextComparesWithNumbersAsJetDoes) {
    for (const char* c : {"61", "62", "91", "51", "01", "11"})
        db_->Execute(QString("insert into LessonListtb values('%1',1,1,'C','T',1)").arg(c));
    db_->Execute("delete from LessonListtb where left(ClassCode,1)=6 or left(ClassCode,1)=9");
    EXPECT_EQ(db_->RecordsAffected(), 3);
    EXPECT_EQ(Rows("select ClassCode from LessonListtb order by ClassCode"), "01;11;51");
    // Text against text stays a text comparison: grade 0 is not above '0'.
    db_->Execute(
        "update LessonListtb set ClassCode = left(ClassCode,1)+1 & mid(ClassCode, 2) where "
        "left(ClassCode,1)>'0'");
    EXPECT_EQ(db_->RecordsAffected(), 2);
    EXPECT_EQ(Rows("select ClassCode from LessonListtb order by ClassCode"), "01;21;61");
    EXPECT_EQ(Count("select count(*) from LessonListtb where 5<left(ClassCode,1)"), 1);
}

TEST_F(DbTest, SchoolYearUpgradeOfClassesMovesEveryGrade) {
    for (const char* c : {"01", "11", "12", "51", "61", "81", "91", "510"})
        db_->Execute(QString("Insert Into Classtb ( Code,Name,FullName,ShortName) Values "
                             "('%1','n%1','f%1','s%1')")
                         .arg(c));
    db_->Execute("delete from Classtb where left(Code,1)=6 or left(Code,1)=9");
    auto rs = db_->OpenRecordset(
        "select Code,Name,FullName,ShortName from Classtb  where left(Code,1)>'0' order by Code "
        "DESC");
    QStringList order;
    for (; !rs->Eof(); rs->MoveNext()) {
        const QString old = rs->Fields("Code").Text();
        order << old;
        // One grade up, row by row; each new code is free when it is written.
        db_->Execute("update Classtb Set Code='" + QString::number(old.left(1).toInt() + 1) +
                     old.mid(1) + "' WHERE Code='" + old + "'");
    }
    EXPECT_EQ(order.join(','), "81,510,51,12,11");
    EXPECT_EQ(Rows("select Code from Classtb order by Code"), "01;21;22;61;610;91");
}

TEST_F(DbTest, BuilderGroupQueriesComeInKeyOrder) {
    const char* plan[][5] = {{"12", "M", "t2", "4", "0"}, {"11", "M", "t2", "4", "0"},
                             {"11", "E", "T1", "5", "0"}, {"12", "E", "t1", "5", "0"},
                             {"13", "M", "t2", "2", "0"}, {"13", "P", "t2", "3", "1"}};
    for (auto& r : plan)
        db_->Execute(QString("Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) "
                             "Values ('%1','%2','%3',' %4')")
                         .arg(r[0], r[1], r[2], r[3]));
    db_->Execute("update ClassPlantb set IsAutoBuild=1 where CourseCode='P'");
    // Teacher codes differ only in case: Jet groups them together.
    EXPECT_EQ(Rows("select count(TeacherCode) as ClassCount,TeacherCode from  (select "
                   "ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0 Group by "
                   "TeacherCode,ClassCode)  Group by TeacherCode"),
              "2|t1;3|t2");
    EXPECT_EQ(Rows("SELECT Count(CourseCode) AS ClassCount, CourseCode, sum(SumCount) AS "
                   "SumSumCount FROM [SELECT ClassCode, CourseCode, sum(Count) AS SumCount From "
                   "ClassPlantb WHERE teachercode='t2' and IsAutoBuild=0  GROUP BY CourseCode, "
                   "ClassCode]. AS Temptb  GROUP BY CourseCode"),
              "3|M|10");
    EXPECT_EQ(Rows("select sum(Count) as SumCount, sum(BuildCount) as SumBuildCount from "
                   "ClassPlantb"),
              "23|0");
    // Defaults of a plan row inserted without the counters.
    EXPECT_EQ(Rows("select IsAutoBuild, BuildCount from ClassPlantb where ClassCode='11' and "
                   "CourseCode='E'"),
              "0|0");
}

TEST_F(DbTest, PresetAndPrintQueriesRun) {
    db_->Execute(
        "Insert Into Classtb ( Code,Name,FullName,ShortName) Values ('11','一(1)班','f','s1')");
    db_->Execute(
        "Insert Into Coursetb ( Code,Name,FullName,ShortName) Values ('M','数学','f','数')");
    db_->Execute(
        "Insert Into Teachertb ( Code,Name,FullName,ShortName) Values ('T1','张三','f','张')");
    db_->Execute(
        "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values "
        "('11','M','T1',' 5')");
    db_->Execute("insert into Lessonlisttb values('11',1,2,'M','T1',0)");
    db_->Execute("insert into LessonListtb values( '11',3,1,'M','T1',1)");
    EXPECT_EQ(Rows("select a.CourseCode,a.Count-b.PreSetCount as RemainCount from ClassPlantb a,  "
                   "(select ClassCode, CourseCode, count(CourseCode) as PreSetCount from "
                   "Lessonlisttb where  SetFlag=0 and ClassCode='11' group by ClassCode, "
                   "CourseCode) b where a.ClassCode = b.ClassCode and a.CourseCode = b.CourseCode "
                   "and a.classcode='11' order by a.CourseCode"),
              "M|4");
    EXPECT_EQ(
        Rows("select \"一(1)班\" as Name,B.Name As CourseName, \"\" as ClassShortName, D.Name "
             "as TeacherName, A.Day, A.LessonNo from LessonListtb A, Coursetb B,Teachertb D "
             " where A.CourseCode = B.Code and A.TeacherCode = D.Code and A.ClassCode = "
             "'11' order by A.LessonNo, A.Day"),
        "一(1)班|数学||张三|3|1;一(1)班|数学||张三|1|2");
    auto named = db_->OpenRecordset(
        "select C.ShortName as Name, B.ShortName As CourseName, D.Name as ClassShortName, A.Day, "
        "A.LessonNo from LessonListtb A, Coursetb B,Classtb C,Teachertb D  where A.CourseCode = "
        "B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code order by "
        "A.ClassCode,A.LessonNo, "
        "A.Day");
    EXPECT_EQ(named->Fields("Day").Int(), 3);
    EXPECT_EQ(named->Fields("lessonno").Int(), 1);
    EXPECT_EQ(named->Fields("Name").Text(), "s1");
    auto rs = db_->OpenRecordset("select * from LessonListtb where  ClassCode='11'");
    EXPECT_EQ(rs->FieldName(5), "SetFlag");
    EXPECT_EQ(Count("Select tbA.LessonNo from Limittb tbA where tbA.Kind=1 and tbA.Code ='M' and "
                    "tbA.Attr=0 and tbA.day=1 and tbA.LessonNo not in (Select tbB.LessonNo from "
                    "LessonListtb tbB where tbB.ClassCode ='11' and tbB.Day=1)"),
              -1);
    EXPECT_EQ(Count("select LessonNo from LessonListtb where  Day=1 and LessonNo=2 and "
                    "CourseCode='M' and CourseCode in(select CourseCode from CourseAttrtb)"),
              -1);
    EXPECT_EQ(Rows("select classcode,CourseCode,(Count-BuildCount) as RemainCount from "
                   "ClassPlantb  where Count<> BuildCount  order by classcode,CourseCode"),
              "11|M|5");
}

TEST_F(DbTest, NamesAndTextMatchWithoutCase) {
    db_->Execute("insert into Lessonlisttb values('a1',1,1,'m','t',2)");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM LESSONLISTTB WHERE classcode='A1' AND CourseCode='M'"),
              1);
    EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='a1'"), 1);
}

TEST_F(DbTest, NumberColumnsRefuseText) {
    EXPECT_THROW(db_->Execute("Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) "
                              "Values ('11','M','T','4x')"),
                 tw::db::DbError);
    db_->Execute(
        "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values "
        "('11','M','T','-3')");
    EXPECT_EQ(Count("select Count from ClassPlantb"), -3);
    EXPECT_THROW(db_->Execute("Update ClassPlantb set Count = 4.5"), tw::db::DbError);
    EXPECT_THROW(db_->Execute("Update ClassPlantb set Count = 'abc'"), tw::db::DbError);
}
