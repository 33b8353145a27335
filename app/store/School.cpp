#include "School.h"

#include <vector>

#include "BuildCount.h"
#include "Command.h"
#include "db/Database.h"

using tw::db::SqlQ;

namespace tw::store {

namespace {

bool StartsWithDigit(const QString& code) {
    return !code.isEmpty() && code.at(0) >= QLatin1Char('0') && code.at(0) <= QLatin1Char('9');
}

// True when every class code stored in the column of the table starts with a digit; else false
// with the first code that does not in *ungraded.
bool AllCodesStartWithDigit(tw::db::Database& db, const QString& column, const QString& table,
                            QString* ungraded) {
    auto rs = db.OpenRecordset("select " + column + " from " + table);
    bool ok = true;
    while (!rs->Eof()) {
        const QString code = rs->Fields(column).Text();
        if (ok && !StartsWithDigit(code)) {
            ok = false;
            *ungraded = code;
        }
        rs->MoveNext();
    }
    rs->Close();
    return ok;
}

// The condition shared by the clean-up of lessons and plan rows.
QString MissingMasterCondition() {
    return QStringLiteral(" ClassCode not in ( Select Code from Classtb)") +
           QStringLiteral(" or CourseCode not in (Select Code from Coursetb)") +
           QStringLiteral(" or TeacherCode not in (Select Code from Teachertb)");
}

}  // namespace

Outcome DeleteAllLessons(tw::db::Database& db) {
    return RunInTransaction(db, [&] {
        db.Execute(QStringLiteral("delete from LessonListtb"));
        ResetPlanProgress(db);
        return Outcome::Ok();
    });
}

Outcome MaintainData(tw::db::Database& db) {
    return RunInTransaction(db, [&] {
        db.Execute(QStringLiteral("Delete from LessonListtb where ") + MissingMasterCondition());
        db.Execute(QStringLiteral("Delete from ClassPlantb where ") + MissingMasterCondition());

        // Read the plan rows first; the updates below change the table being walked.
        std::vector<PlanKey> plan;
        {
            auto rs = db.OpenRecordset(QStringLiteral("Select * from ClassPlantb"));
            while (!rs->Eof()) {
                plan.push_back({rs->Fields("ClassCode").Text(), rs->Fields("CourseCode").Text(),
                                rs->Fields("TeacherCode").Text()});
                rs->MoveNext();
            }
            rs->Close();
        }
        for (const PlanKey& row : plan) RecountBuildCount(db, row);

        db.Execute(
            QStringLiteral("Delete from Limittb where ") +
            QStringLiteral(" (Kind = 0 and Code not in ( Select Code from Classtb))") +
            QStringLiteral(" or (Kind = 1 and Code not in ( Select Code from Coursetb))") +
            QStringLiteral(" or (Kind = 2 and Code not in ( Select Code from Teachertb))") +
            QStringLiteral(" or (Kind = 3 and Code not in ( Select Code from ClassRoomtb))"));
        return Outcome::Ok();
    });
}

QString NextGradeName(const QString& name) {
    static const QString from = QStringLiteral("一二三四五七八");
    static const QString to = QStringLiteral("二三四五六八九");
    if (name.isEmpty()) return name;
    const qsizetype i = from.indexOf(name.at(0));
    if (i < 0) return name;
    return to.at(i) + name.mid(1);
}

Outcome UpgradeSchoolYear(tw::db::Database& db) {
    return RunInTransaction(db, [&] {
        // A code without a grade digit cannot move up a grade: refuse before changing anything.
        QString ungraded;
        if (!AllCodesStartWithDigit(db, "Code", "Classtb", &ungraded) ||
            !AllCodesStartWithDigit(db, "ClassCode", "LessonListtb", &ungraded) ||
            !AllCodesStartWithDigit(db, "ClassCode", "ClassPlantb", &ungraded)) {
            return Outcome::Failed(Reason::NotGraded, ungraded);
        }

        db.Execute(QStringLiteral(
            "delete from LessonListtb where left(ClassCode,1)=6 or left(ClassCode,1)=9"));
        db.Execute(
            QStringLiteral("update LessonListtb set ClassCode = left(ClassCode,1)+1 & "
                           "mid(ClassCode, 2) where left(ClassCode,1)>'0'"));
        db.Execute(QStringLiteral(
            "delete from ClassPlantb where left(ClassCode,1)=6 or left(ClassCode,1)=9"));
        db.Execute(
            QStringLiteral("update ClassPlantb Set ClassCode = left(ClassCode,1)+1 & "
                           "mid(ClassCode, 2) where left(ClassCode,1)>'0'"));
        db.Execute(QStringLiteral("delete from Classtb where left(Code,1)=6 or left(Code,1)=9"));

        // Read every class first, highest code first, then move each one: every new code is
        // free when it is written and no row is moved twice.
        struct ClassRow {
            QString code, name, fullName, shortName;
        };
        std::vector<ClassRow> classes;
        {
            auto rs = db.OpenRecordset(QStringLiteral(
                "select Code,Name,FullName,ShortName from Classtb  where left(Code,1)>'0' order "
                "by Code DESC"));
            while (!rs->Eof()) {
                classes.push_back({rs->Fields("Code").Text(), rs->Fields("Name").Text(),
                                   rs->Fields("FullName").Text(), rs->Fields("ShortName").Text()});
                rs->MoveNext();
            }
            rs->Close();
        }
        for (const ClassRow& c : classes) {
            const QString newCode = QString::number(c.code.at(0).digitValue() + 1) + c.code.mid(1);
            db.Execute("update Classtb Set Code='" + SqlQ(newCode) + "',Name='" +
                       SqlQ(NextGradeName(c.name)) + "',FullName='" +
                       SqlQ(NextGradeName(c.fullName)) + "',ShortName='" +
                       SqlQ(NextGradeName(c.shortName)) + "'" + " WHERE Code='" + SqlQ(c.code) +
                       "'");
            if (c.code.at(0) == QLatin1Char('1')) {
                db.Execute("insert into Classtb(Code,Name,FullName,ShortName) values('" +
                           SqlQ(c.code) + "','" + SqlQ(c.name) + "','" + SqlQ(c.fullName) + "','" +
                           SqlQ(c.shortName) + "')");
            }
        }
        return Outcome::Ok();
    });
}

Read<long long> CountLessonsBeyondDay(tw::db::Database& db, int lessonsOfDay) {
    Read<long long> read;
    read.outcome = RunGuarded([&] {
        auto rs = db.OpenRecordset("select count(*) as n from LessonListtb where LessonNo>" +
                                   QString::number(lessonsOfDay));
        if (!rs->Eof()) read.value = rs->Fields("n").Int();
        rs->Close();
        return Outcome::Ok();
    });
    return read;
}

Outcome DeleteLessonsBeyondDay(tw::db::Database& db, int lessonsOfDay) {
    return RunInTransaction(db, [&] {
        return Outcome::Ok(DeleteLessons(db, QStringLiteral("Delete from LessonListtb"),
                                         " where LessonNo>" + QString::number(lessonsOfDay)));
    });
}

}  // namespace tw::store
