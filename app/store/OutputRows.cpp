#include "OutputRows.h"

#include "ClassOrder.h"
#include "Command.h"
#include "db/Database.h"

using tw::db::SqlQ;

namespace tw::store {

namespace {

QString PrintStatement(const OutputChoice& choice) {
    switch (choice.timetable) {
        case OutputTimetable::OneClass:
            return "select '" + SqlQ(choice.name) +
                   "' as Name,B.Name As CourseName, '' as ClassShortName, D.Name as TeacherName, "
                   "A.Day, A.LessonNo from LessonListtb A, Coursetb B,Teachertb D  where "
                   "A.CourseCode = B.Code and A.TeacherCode = D.Code and A.ClassCode = '" +
                   SqlQ(choice.code) + "' order by A.LessonNo, A.Day";
        case OutputTimetable::AllClasses:
            return "select C.Name as Name,B.Name As CourseName, '' as ClassShortName, D.Name as "
                   "TeacherName, A.Day, A.LessonNo, A.ClassCode as GroupCode from LessonListtb A, "
                   "Coursetb B,Classtb C,Teachertb D  where A.CourseCode = B.Code and A.ClassCode "
                   "= C.Code and A.TeacherCode = D.Code order by " +
                   ClassOrderBy("A.ClassCode") + ", A.LessonNo, A.Day";
        case OutputTimetable::OneTeacher:
            return "select '" + SqlQ(choice.name) +
                   "' as Name,B.Name As CourseName, C.ShortName As ClassShortName, '" +
                   SqlQ(choice.name) +
                   "' as TeacherName, A.Day, A.LessonNo from LessonListtb A, Coursetb B,Classtb C  "
                   "where A.CourseCode = B.Code and A.ClassCode = C.Code and A.TeacherCode = '" +
                   SqlQ(choice.code) + "' order by A.LessonNo, A.Day, " +
                   ClassOrderBy("A.ClassCode");
        case OutputTimetable::AllTeachers:
            return "select D.Name as Name,B.Name As CourseName, C.ShortName As ClassShortName, "
                   "D.Name as TeacherName, A.Day, A.LessonNo, A.TeacherCode as GroupCode from "
                   "LessonListtb A, Coursetb B,Classtb C,Teachertb D  where A.CourseCode = B.Code "
                   "and A.ClassCode = C.Code and A.TeacherCode = D.Code order by A.TeacherCode, "
                   "A.LessonNo, A.Day, " +
                   ClassOrderBy("A.ClassCode");
        case OutputTimetable::WholeSchool:
            // Name carries the class's short name, CourseName the course's and ClassShortName
            // the teacher's name.
            return "select C.ShortName as Name, B.ShortName As CourseName, D.Name as "
                   "ClassShortName, A.Day, A.LessonNo, A.ClassCode as GroupCode from LessonListtb "
                   "A, Coursetb B,Classtb C,Teachertb D  where A.CourseCode = B.Code and "
                   "A.ClassCode = C.Code and A.TeacherCode = D.Code order by " +
                   ClassOrderBy("A.ClassCode") + ",A.LessonNo, A.Day";
    }
    return {};
}

QString ExportStatement(const OutputChoice& choice) {
    switch (choice.timetable) {
        case OutputTimetable::OneClass:
            return QStringLiteral("select '") + SqlQ(choice.name) +
                   QStringLiteral(
                       "' as Name,B.Name As CourseName, D.Name as TeacherShortName,\"\" as "
                       "ClassShortName, A.Day, A.LessonNo from LessonListtb A, Coursetb "
                       "B,Teachertb D  where A.CourseCode = B.Code and A.ClassCode = '") +
                   SqlQ(choice.code) +
                   QStringLiteral("' and A.TeacherCode = D.Code order by A.LessonNo, A.Day");
        case OutputTimetable::AllClasses:
            return QStringLiteral(
                       "select C.Name as Name, B.Name As CourseName, \"\" as ClassShortName, "
                       "D.Name as TeacherShortName,A.Day, A.LessonNo, A.ClassCode as GroupCode "
                       "from LessonListtb A, Coursetb B,Classtb C,Teachertb D  where A.CourseCode "
                       "= B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code order by ") +
                   ClassOrderBy("A.ClassCode") + QStringLiteral(",A.LessonNo, A.Day");
        case OutputTimetable::OneTeacher:
            return QStringLiteral("select '") + SqlQ(choice.name) +
                   QStringLiteral(
                       "' as Name,B.Name As CourseName, C.ShortName As ClassShortName, A.Day, "
                       "A.LessonNo from LessonListtb A, Coursetb B,Classtb C  where A.CourseCode = "
                       "B.Code and A.ClassCode = C.Code and A.TeacherCode = '") +
                   SqlQ(choice.code) + QStringLiteral("' order by A.LessonNo, A.Day, ") +
                   ClassOrderBy("A.ClassCode");
        case OutputTimetable::AllTeachers:
            return QStringLiteral(
                       "select D.Name as Name, B.Name As CourseName, C.ShortName As "
                       "ClassShortName, A.Day, A.LessonNo, A.TeacherCode as GroupCode from "
                       "LessonListtb A, Coursetb B,Classtb C,Teachertb D  where A.CourseCode = "
                       "B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code order by "
                       "A.TeacherCode,A.LessonNo, A.Day, ") +
                   ClassOrderBy("A.ClassCode");
        case OutputTimetable::WholeSchool:
            return QStringLiteral(
                       "select C.ShortName as Name, B.ShortName As CourseName, D.Name as "
                       "TeacherShortName, A.Day, A.LessonNo, A.ClassCode as GroupCode from "
                       "LessonListtb A, Coursetb B,Classtb C,Teachertb D  where A.CourseCode = "
                       "B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code order by ") +
                   ClassOrderBy("A.ClassCode") + QStringLiteral(",A.LessonNo, A.Day");
    }
    return {};
}

}  // namespace

Read<std::unique_ptr<tw::db::Recordset>> ReadOutputRows(tw::db::Database& db, OutputFile file,
                                                        const OutputChoice& choice) {
    Read<std::unique_ptr<tw::db::Recordset>> read;
    read.outcome = RunGuarded([&] {
        read.value = db.OpenRecordset(file == OutputFile::Print ? PrintStatement(choice)
                                                                : ExportStatement(choice));
        return Outcome::Ok();
    });
    return read;
}

}  // namespace tw::store
