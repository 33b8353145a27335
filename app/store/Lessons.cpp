#include "Lessons.h"

#include "ClassOrder.h"
#include "Command.h"
#include "db/CodeOrder.h"
#include "db/Database.h"

using tw::db::SqlQ;

namespace tw::store {

namespace {

QString Num(int n) {
    return QString::number(n);
}

QString SlotWhere(const QString& classCode, int day, int lesson) {
    return " where  ClassCode='" + SqlQ(classCode) + "' and Day=" + Num(day) +
           " and LessonNo=" + Num(lesson);
}

bool ValidSlot(int day, int lesson) {
    return day >= 1 && day <= 5 && lesson >= 1;
}

// What a slot of a class holds: no lesson, one, or more (an older file's second lesson of the
// class in one slot).
enum class Holds { Nothing, One, More };

// The class's lesson in the slot (the first stored), read inside the running action.
Holds ReadLesson(tw::db::Database& db, const QString& classCode, int day, int lesson,
                 StoredLesson& out) {
    auto rs = db.OpenRecordset("select CourseCode,TeacherCode,SetFlag from Lessonlisttb" +
                               SlotWhere(classCode, day, lesson));
    Holds holds = Holds::Nothing;
    if (!rs->Eof()) {
        out.courseCode = rs->Fields("CourseCode").Text();
        out.teacherCode = rs->Fields("TeacherCode").Text();
        out.fixed = IsFixedLesson(rs->Fields("SetFlag"));
        rs->MoveNext();
        holds = rs->Eof() ? Holds::One : Holds::More;
    }
    rs->Close();
    return holds;
}

PlanKey RowOf(const QString& classCode, const StoredLesson& lesson) {
    return {classCode, lesson.courseCode, lesson.teacherCode};
}

bool HasRows(tw::db::Database& db, const QString& sql) {
    auto rs = db.OpenRecordset(sql);
    const bool rows = !rs->Eof();
    rs->Close();
    return rows;
}

// Runs a statement; false when it changed no row.
bool ExecChanging(tw::db::Database& db, const QString& sql) {
    db.Execute(sql);
    return db.RecordsAffected() >= 1;
}

// Removes the teacher's lessons of the builder and of hand editing in classes other than
// classCode at the slot, each given back to its plan row, so that a fixed lesson of the teacher
// can take the slot.
void FreeTeacherElsewhere(tw::db::Database& db, const QString& teacherCode,
                          const QString& classCode, int day, int lesson) {
    DeleteLessons(db, "delete from Lessonlisttb ",
                  " where  TeacherCode='" + SqlQ(teacherCode) + "' and ClassCode<>'" +
                      SqlQ(classCode) + "' and Day=" + Num(day) + " and LessonNo=" + Num(lesson) +
                      " and " + kNotFixedLesson);
}

// The flag a lesson moved by hand is written with: fixed stays fixed, anything else is now
// placed by hand.
int FlagOf(bool fixed) {
    return fixed ? kFlagPreset : kFlagByHand;
}
QString FlagSet(bool fixed) {
    return ",SetFlag=" + Num(FlagOf(fixed));
}

QString InsertLesson(const QString& classCode, int day, int lesson, const QString& courseCode,
                     const QString& teacherCode, int flag) {
    return "insert into Lessonlisttb values('" + SqlQ(classCode) + "'," + Num(day) + "," +
           Num(lesson) + ",'" + SqlQ(courseCode) + "','" + SqlQ(teacherCode) + "'," + Num(flag) +
           ")";
}

// Every row that sql reads from LessonListtb; the rows read before a failure stay.
Read<QList<PlacedLesson>> ReadLessons(tw::db::Database& db, const QString& sql) {
    return ReadRows<PlacedLesson>(db, sql, [](tw::db::Recordset& rs) {
        return PlacedLesson{rs.Fields("Day").Int(), rs.Fields("LessonNo").Int(),
                            rs.Fields("ClassCode").Text(), rs.Fields("CourseCode").Text(),
                            rs.Fields("TeacherCode").Text()};
    });
}

// True when sql reads no row; false when it reads one or fails.
Read<bool> NoRows(tw::db::Database& db, const QString& sql) {
    Read<bool> read;
    read.outcome = RunGuarded([&] {
        auto rs = db.OpenRecordset(sql, tw::db::dbOpenSnapshot);
        read.value = rs->Eof();
        rs->Close();
        return Outcome::Ok();
    });
    return read;
}

QString Slot(int day, int lesson) {
    return " and Day= " + Num(day) + " and LessonNo=" + Num(lesson);
}

// Whether the teacher teaches a class other than classCode in the slot.
bool TeachesOtherClass(tw::db::Database& db, const QString& teacherCode, const QString& classCode,
                       int day, int lesson) {
    return HasRows(db, "select CourseCode from Lessonlisttb where  TeacherCode='" +
                           SqlQ(teacherCode) + "' and ClassCode<>'" + SqlQ(classCode) +
                           "' and Day=" + Num(day) + " and LessonNo=" + Num(lesson));
}

bool TradeAllowed(tw::db::Database& db, const QString& classCode, const QString& selTeacher,
                  int selDay, int selLesson, const QString& teacher, bool slotEmpty, int day,
                  int lesson) {
    if (TeachesOtherClass(db, selTeacher, classCode, day, lesson)) return false;
    // An empty slot sends no teacher back to the selected slot.
    return slotEmpty || !TeachesOtherClass(db, teacher, classCode, selDay, selLesson);
}

}  // namespace

Read<QList<PlacedLesson>> ReadClassLessons(tw::db::Database& db, const QString& classCode) {
    return ReadLessons(db, "select * from LessonListtb where  ClassCode='" + SqlQ(classCode) + "'");
}

Read<QList<PlacedLesson>> ReadTeacherLessons(tw::db::Database& db, const QString& teacherCode) {
    return ReadLessons(db,
                       "select * from LessonListtb where  TeacherCode='" + SqlQ(teacherCode) + "'");
}

Read<QList<PlacedLesson>> ReadPresetLessons(tw::db::Database& db, const QString& classCode) {
    return ReadLessons(
        db, "select * from LessonListtb where  ClassCode='" + SqlQ(classCode) + "' and SetFlag=0");
}

Read<QList<OwedLessons>> ReadOwedLessons(tw::db::Database& db) {
    return ReadRows<OwedLessons>(
        db,
        "select classcode,CourseCode,TeacherCode,(Count-BuildCount) as RemainCount from "
        "ClassPlantb  where Count<> BuildCount  order by " +
            ClassOrderBy("classcode") + ",CourseCode",
        [](tw::db::Recordset& rs) {
            return OwedLessons{rs.Fields("ClassCode").Text(), rs.Fields("CourseCode").Text(),
                               rs.Fields("TeacherCode").Text(), rs.Fields("RemainCount").Int()};
        });
}

Read<QStringList> ReadPresetCourses(tw::db::Database& db, const QString& classCode) {
    Read<QStringList> read;
    const QString cls = SqlQ(classCode);
    read.outcome = RunGuarded([&] {
        auto rs = db.OpenRecordset(
            "select a.CourseCode,a.Count-b.PreSetCount as RemainCount from ClassPlantb a,  "
            "(select ClassCode, CourseCode, count(CourseCode) as PreSetCount from Lessonlisttb "
            "where  SetFlag=0 and ClassCode='" +
            cls +
            "' group by ClassCode, CourseCode) b where a.ClassCode = b.ClassCode and "
            "a.CourseCode = b.CourseCode and a.classcode='" +
            cls + "' order by a.CourseCode");
        QStringList partlyFixed;
        for (; !rs->Eof(); rs->MoveNext()) {
            const QString code = rs->Fields("CourseCode").Text();
            if (rs->Fields("RemainCount").Int() > 0) read.value << code;
            partlyFixed << "'" + SqlQ(code) + "'";
        }
        rs->Close();
        QString sql = "select CourseCode from ClassPlantb  where classcode='" + cls + "'";
        if (!partlyFixed.isEmpty()) sql += " and CourseCode not in (" + partlyFixed.join(',') + ")";
        rs = db.OpenRecordset(sql + " order by CourseCode");
        for (; !rs->Eof(); rs->MoveNext()) read.value << rs->Fields("CourseCode").Text();
        rs->Close();
        return Outcome::Ok();
    });
    return read;
}

Read<QString> ReadPresetCourse(tw::db::Database& db, const QString& classCode, int day,
                               int lesson) {
    Read<QString> read;
    read.outcome = RunGuarded([&] {
        auto rs = db.OpenRecordset("select CourseCode from LessonListtb where ClassCode='" +
                                   SqlQ(classCode) + "' and Day=" + Num(day) +
                                   " and LessonNo=" + Num(lesson) + " and SetFlag=0");
        if (!rs->Eof()) read.value = rs->Fields("CourseCode").Text();
        rs->Close();
        return Outcome::Ok();
    });
    return read;
}

Read<bool> ClassSlotFree(tw::db::Database& db, const QString& classCode, int day, int lesson) {
    return NoRows(db, "Select CourseCode from LessonListtb where ClassCode='" + SqlQ(classCode) +
                          "'" + Slot(day, lesson));
}

Read<bool> ClassSlotFreeOfPreset(tw::db::Database& db, const QString& classCode, int day,
                                 int lesson) {
    return NoRows(db, QString("Select CourseCode from LessonListtb where SetFlag = 0") +
                          " and ClassCode='" + SqlQ(classCode) + "'" + Slot(day, lesson));
}

Read<bool> TeacherSlotFree(tw::db::Database& db, const QString& teacherCode, int day, int lesson) {
    return NoRows(db, "Select CourseCode from LessonListtb where TeacherCode='" +
                          SqlQ(teacherCode) + "'" + Slot(day, lesson));
}

Read<bool> TeacherSlotFreeOfPreset(tw::db::Database& db, const QString& teacherCode, int day,
                                   int lesson) {
    return NoRows(db, QString("Select CourseCode from LessonListtb where  SetFlag = 0") +
                          " and TeacherCode='" + SqlQ(teacherCode) + "'" + Slot(day, lesson));
}

Read<bool> SlotFree(tw::db::Database& db, const QString& classCode, const QString& teacherCode,
                    int day, int lesson) {
    Read<bool> read = ClassSlotFree(db, classCode, day, lesson);
    if (!read.Done() || !read.value) return read;
    return TeacherSlotFree(db, teacherCode, day, lesson);
}

Read<bool> SlotFreeOfPreset(tw::db::Database& db, const QString& classCode,
                            const QString& teacherCode, int day, int lesson) {
    Read<bool> read = ClassSlotFreeOfPreset(db, classCode, day, lesson);
    if (!read.Done() || !read.value) return read;
    return TeacherSlotFreeOfPreset(db, teacherCode, day, lesson);
}

Read<bool> CanTradeSlots(tw::db::Database& db, const QString& classCode, const QString& selTeacher,
                         int selDay, int selLesson, const QString& teacher, int day, int lesson) {
    Read<bool> read;
    read.outcome = RunGuarded([&] {
        read.value = TradeAllowed(db, classCode, selTeacher, selDay, selLesson, teacher,
                                  teacher.isEmpty(), day, lesson);
        return Outcome::Ok();
    });
    return read;
}

Outcome WritePresetLesson(tw::db::Database& db, const QString& classCode, const QString& courseCode,
                          const QString& teacherCode, int day, int lesson) {
    if (courseCode.isEmpty() || !ValidSlot(day, lesson)) return Outcome::Failed(Reason::NotFound);
    return RunInTransaction(db, [&] {
        StoredLesson old;
        const Holds holds = ReadLesson(db, classCode, day, lesson, old);
        if (holds == Holds::More) return Outcome::Failed(Reason::SlotDoubled);
        const bool taken = holds == Holds::One;
        if (taken && old.fixed) return Outcome::Failed(Reason::FixedInTheWay);
        const Read<bool> teacherFree = TeacherSlotFreeOfPreset(db, teacherCode, day, lesson);
        if (!teacherFree.Done()) return teacherFree.outcome;
        if (!teacherFree.value) return Outcome::Failed(Reason::TeacherBusy);
        FreeTeacherElsewhere(db, teacherCode, classCode, day, lesson);
        if (taken) {
            // The builder's or hand-placed lesson becomes the fixed one in place.
            GiveLessonBack(db, RowOf(classCode, old));
            if (!ExecChanging(db, "update Lessonlisttb set  CourseCode = '" + SqlQ(courseCode) +
                                      "', TeacherCode = '" + SqlQ(teacherCode) + "', SetFlag = 0" +
                                      SlotWhere(classCode, day, lesson)))
                return Outcome::Failed(Reason::NotFound);
        } else {
            db.Execute(InsertLesson(classCode, day, lesson, courseCode, teacherCode, kFlagPreset));
        }
        CountLessonIn(db, {classCode, courseCode, teacherCode});
        return Outcome::Ok(1);
    });
}

namespace {

// Removes the lesson in the slot (with fixedOnly, only a fixed one) in one transaction. Only the
// lesson's own plan row gives it back, also where an older file holds a second row of the class
// and course with another teacher.
Outcome RemoveLesson(tw::db::Database& db, const QString& classCode, int day, int lesson,
                     bool fixedOnly) {
    return RunInTransaction(db, [&] {
        StoredLesson old;
        const Holds holds = ReadLesson(db, classCode, day, lesson, old);
        if (holds == Holds::More) return Outcome::Failed(Reason::SlotDoubled);
        if (holds == Holds::Nothing || (fixedOnly && !old.fixed))
            return Outcome::Failed(Reason::EmptySlot);
        if (!ExecChanging(db, "delete from Lessonlisttb " + SlotWhere(classCode, day, lesson) +
                                  (fixedOnly ? " and SetFlag=0" : "")))
            return Outcome::Failed(Reason::EmptySlot);
        GiveLessonBack(db, RowOf(classCode, old));
        return Outcome::Ok(1);
    });
}

}  // namespace

Outcome RemovePresetLesson(tw::db::Database& db, const QString& classCode, int day, int lesson) {
    return RemoveLesson(db, classCode, day, lesson, true);
}

Outcome PlaceHandLesson(tw::db::Database& db, const QString& classCode, const QString& courseCode,
                        const QString& teacherCode, int day, int lesson) {
    if (courseCode.isEmpty() || !ValidSlot(day, lesson)) return Outcome::Failed(Reason::NotFound);
    return RunInTransaction(db, [&] {
        StoredLesson old;
        if (ReadLesson(db, classCode, day, lesson, old) != Holds::Nothing)
            return Outcome::Failed(Reason::SlotTaken);
        const Read<bool> teacherFree = TeacherSlotFree(db, teacherCode, day, lesson);
        if (!teacherFree.Done()) return teacherFree.outcome;
        if (!teacherFree.value) return Outcome::Failed(Reason::TeacherBusy);
        db.Execute(InsertLesson(classCode, day, lesson, courseCode, teacherCode, kFlagByHand));
        CountLessonIn(db, {classCode, courseCode, teacherCode});
        return Outcome::Ok(1);
    });
}

Outcome RemoveHandLesson(tw::db::Database& db, const QString& classCode, int day, int lesson) {
    return RemoveLesson(db, classCode, day, lesson, false);
}

Outcome SwapClassLessons(tw::db::Database& db, const QString& classCode, int selDay, int selLesson,
                         int day, int lesson) {
    if (!ValidSlot(day, lesson) || !ValidSlot(selDay, selLesson))
        return Outcome::Failed(Reason::NotFound);
    if (day == selDay && lesson == selLesson) return Outcome::Failed(Reason::NotFound);
    return RunInTransaction(db, [&] {
        StoredLesson s, t;
        const Holds selected = ReadLesson(db, classCode, selDay, selLesson, s);
        if (selected == Holds::Nothing) return Outcome::Failed(Reason::EmptySlot);
        const Holds target = ReadLesson(db, classCode, day, lesson, t);
        // Each statement below takes every lesson of its slot.
        if (selected == Holds::More || target == Holds::More)
            return Outcome::Failed(Reason::SlotDoubled);
        const bool targetTaken = target == Holds::One;
        if (targetTaken && tw::db::SameCode(t.courseCode, s.courseCode))
            return Outcome::Failed(Reason::SameCourse);
        if (!TradeAllowed(db, classCode, s.teacherCode, selDay, selLesson, t.teacherCode,
                          !targetTaken, day, lesson))
            return Outcome::Failed(Reason::TeacherBusy);
        if (targetTaken) {
            // The courses and teachers trade places. Each slot keeps its flag, unless only one
            // of the two lessons is fixed: that one stays fixed in its new slot and the other
            // counts as placed by hand.
            const QString toTarget = s.fixed == t.fixed ? QString() : FlagSet(s.fixed);
            const QString toSelected = s.fixed == t.fixed ? QString() : FlagSet(t.fixed);
            if (!ExecChanging(db, "Update Lessonlisttb  Set CourseCode='" + SqlQ(s.courseCode) +
                                      "' ,TeacherCode='" + SqlQ(s.teacherCode) + "'" + toTarget +
                                      SlotWhere(classCode, day, lesson)))
                return Outcome::Failed(Reason::NotFound);
            if (!ExecChanging(db, "Update Lessonlisttb  Set CourseCode='" + SqlQ(t.courseCode) +
                                      "' ,TeacherCode='" + SqlQ(t.teacherCode) + "'" + toSelected +
                                      SlotWhere(classCode, selDay, selLesson)))
                return Outcome::Failed(Reason::NotFound);
        } else {
            // A fixed lesson stays fixed where it moves; any other is now placed by hand.
            db.Execute(
                InsertLesson(classCode, day, lesson, s.courseCode, s.teacherCode, FlagOf(s.fixed)));
            if (!ExecChanging(
                    db, "delete from Lessonlisttb " + SlotWhere(classCode, selDay, selLesson)))
                return Outcome::Failed(Reason::NotFound);
        }
        return Outcome::Ok();
    });
}

}  // namespace tw::store
