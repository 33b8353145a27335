#include "timetable/LessonEdits.h"

#include <exception>
#include <vector>

#include "db/CodeOrder.h"
#include "shell/mdlPublic.h"

using tw::db::SqlQ;

namespace tw::timetable {

namespace {

// A refused action: the slot is not as the action needs it. Rolls the transaction back like a
// failed statement.
struct Refused {};

QString Num(int n) {
    return QString::number(n);
}

QString SlotWhere(const QString& classCode, int day, int lesson) {
    return " where  ClassCode='" + SqlQ(classCode) + "' and Day=" + Num(day) +
           " and LessonNo=" + Num(lesson);
}

// The class's lesson in the slot, read inside the running action.
bool ReadLesson(const QString& classCode, int day, int lesson, StoredLesson& out) {
    auto rs = KbDb().OpenRecordset("select CourseCode,TeacherCode,SetFlag from Lessonlisttb" +
                                   SlotWhere(classCode, day, lesson));
    const bool found = !rs->Eof();
    if (found) {
        out.courseCode = rs->Fields("CourseCode").Text();
        out.teacherCode = rs->Fields("TeacherCode").Text();
        out.fixed = IsFixedFlag(rs->Fields("SetFlag"));
    }
    rs->Close();
    return found;
}

bool HasRows(const QString& sql) {
    auto rs = KbDb().OpenRecordset(sql);
    const bool rows = !rs->Eof();
    rs->Close();
    return rows;
}

// Runs a statement that must change at least one row.
void ExecChanging(const QString& sql) {
    KbDb().Execute(sql);
    if (KbDb().RecordsAffected() < 1) throw Refused{};
}

void AddToBuildCount(const QString& classCode, const QString& courseCode,
                     const QString& teacherCode, int delta) {
    KbDb().Execute(QString("Update ClassPlantb Set BuildCount=BuildCount") +
                   (delta > 0 ? "+1" : "-1") + " where  ClassCode = '" + SqlQ(classCode) +
                   "' and CourseCode = '" + SqlQ(courseCode) + "' and TeacherCode = '" +
                   SqlQ(teacherCode) + "'");
}

// Runs one action in a transaction; false (and nothing changed) when it throws.
template <class F>
bool InOneTransaction(F&& action) {
    try {
        tw::db::Transaction trans(KbDb());
        action();
        trans.Commit();
        return true;
    } catch (const Refused&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

// Removes the teacher's lessons of the builder and of hand editing in classes other than
// classCode at the slot, each given back to its plan row, so that a fixed lesson of the teacher
// can take the slot.
void FreeTeacherElsewhere(const QString& teacherCode, const QString& classCode, int day,
                          int lesson) {
    const QString where = " where  TeacherCode='" + SqlQ(teacherCode) + "' and ClassCode<>'" +
                          SqlQ(classCode) + "' and Day=" + Num(day) +
                          " and LessonNo=" + Num(lesson) + " and " + kNotFixedLesson;
    struct PlanKey {
        QString cls, course, teacher;
    };
    std::vector<PlanKey> given;
    auto rs =
        KbDb().OpenRecordset("select ClassCode,CourseCode,TeacherCode from Lessonlisttb" + where);
    while (!rs->Eof()) {
        given.push_back({rs->Fields("ClassCode").Text(), rs->Fields("CourseCode").Text(),
                         rs->Fields("TeacherCode").Text()});
        rs->MoveNext();
    }
    rs->Close();
    if (given.empty()) return;
    KbDb().Execute("delete from Lessonlisttb " + where);
    for (const PlanKey& k : given) AddToBuildCount(k.cls, k.course, k.teacher, -1);
}

// The flag a lesson moved by hand is written with: fixed stays fixed, anything else is now
// placed by hand.
int FlagOf(bool fixed) {
    return fixed ? kFlagPreset : kFlagByHand;
}
QString FlagSet(bool fixed) {
    return ",SetFlag=" + Num(FlagOf(fixed));
}

bool ValidSlot(int day, int lesson) {
    return day >= 1 && day <= 5 && lesson >= 1;
}

}  // namespace

bool ReadClassLesson(const QString& classCode, int day, int lesson, StoredLesson& out) {
    try {
        return ReadLesson(classCode, day, lesson, out);
    } catch (const std::exception&) {
        return false;
    }
}

bool WritePresetLesson(const QString& classCode, const QString& courseCode,
                       const QString& teacherCode, int day, int lesson) {
    if (courseCode.isEmpty() || !ValidSlot(day, lesson)) return false;
    return InOneTransaction([&] {
        StoredLesson old;
        const bool taken = ReadLesson(classCode, day, lesson, old);
        if (taken && old.fixed) throw Refused{};
        if (!IsTeacherSlotFreeOfPreset(teacherCode, static_cast<short>(day),
                                       static_cast<short>(lesson)))
            throw Refused{};
        FreeTeacherElsewhere(teacherCode, classCode, day, lesson);
        if (taken) {
            // The builder's or hand-placed lesson becomes the fixed one in place.
            AddToBuildCount(classCode, old.courseCode, old.teacherCode, -1);
            ExecChanging("update Lessonlisttb set  CourseCode = '" + SqlQ(courseCode) +
                         "', TeacherCode = '" + SqlQ(teacherCode) + "', SetFlag = 0" +
                         SlotWhere(classCode, day, lesson));
        } else {
            KbDb().Execute("insert into Lessonlisttb values('" + SqlQ(classCode) + "'," + Num(day) +
                           "," + Num(lesson) + ",'" + SqlQ(courseCode) + "','" + SqlQ(teacherCode) +
                           "',0)");
        }
        AddToBuildCount(classCode, courseCode, teacherCode, +1);
    });
}

bool RemovePresetLesson(const QString& classCode, int day, int lesson) {
    return InOneTransaction([&] {
        StoredLesson old;
        if (!ReadLesson(classCode, day, lesson, old) || !old.fixed) throw Refused{};
        ExecChanging("delete from Lessonlisttb " + SlotWhere(classCode, day, lesson) +
                     " and SetFlag=0");
        // Only the lesson's own plan row gives it back, also where an older file holds a second
        // row of the class and course with another teacher.
        AddToBuildCount(classCode, old.courseCode, old.teacherCode, -1);
    });
}

bool PlaceHandLesson(const QString& classCode, const QString& courseCode,
                     const QString& teacherCode, int day, int lesson) {
    if (courseCode.isEmpty() || !ValidSlot(day, lesson)) return false;
    return InOneTransaction([&] {
        StoredLesson old;
        if (ReadLesson(classCode, day, lesson, old)) throw Refused{};
        if (!IsTeacherSlotFree(teacherCode, static_cast<short>(day), static_cast<short>(lesson)))
            throw Refused{};
        KbDb().Execute("insert into Lessonlisttb values('" + SqlQ(classCode) + "'," + Num(day) +
                       "," + Num(lesson) + ",'" + SqlQ(courseCode) + "','" + SqlQ(teacherCode) +
                       "',2)");
        AddToBuildCount(classCode, courseCode, teacherCode, +1);
    });
}

bool RemoveHandLesson(const QString& classCode, int day, int lesson) {
    return InOneTransaction([&] {
        StoredLesson old;
        if (!ReadLesson(classCode, day, lesson, old)) throw Refused{};
        ExecChanging("delete from Lessonlisttb " + SlotWhere(classCode, day, lesson));
        AddToBuildCount(classCode, old.courseCode, old.teacherCode, -1);
    });
}

namespace {

// Whether the teacher teaches a class other than classCode in the slot.
bool TeachesOtherClass(const QString& teacherCode, const QString& classCode, int day, int lesson) {
    return HasRows("select CourseCode from Lessonlisttb where  TeacherCode='" + SqlQ(teacherCode) +
                   "' and ClassCode<>'" + SqlQ(classCode) + "' and Day=" + Num(day) +
                   " and LessonNo=" + Num(lesson));
}

bool TradeAllowed(const QString& classCode, const QString& selTeacher, int selDay, int selLesson,
                  const QString& teacher, bool slotEmpty, int day, int lesson) {
    if (TeachesOtherClass(selTeacher, classCode, day, lesson)) return false;
    // An empty slot sends no teacher back to the selected slot.
    return slotEmpty || !TeachesOtherClass(teacher, classCode, selDay, selLesson);
}

}  // namespace

bool CanTradeSlots(const QString& classCode, const QString& selTeacher, int selDay, int selLesson,
                   const QString& teacher, int day, int lesson) {
    try {
        return TradeAllowed(classCode, selTeacher, selDay, selLesson, teacher, teacher.isEmpty(),
                            day, lesson);
    } catch (const std::exception&) {
        return false;
    }
}

bool SwapClassLessons(const QString& classCode, int selDay, int selLesson, int day, int lesson) {
    if (!ValidSlot(day, lesson) || !ValidSlot(selDay, selLesson)) return false;
    if (day == selDay && lesson == selLesson) return false;
    return InOneTransaction([&] {
        StoredLesson s, t;
        if (!ReadLesson(classCode, selDay, selLesson, s)) throw Refused{};
        const bool targetTaken = ReadLesson(classCode, day, lesson, t);
        if (targetTaken && tw::db::SameCode(t.courseCode, s.courseCode)) throw Refused{};
        if (!TradeAllowed(classCode, s.teacherCode, selDay, selLesson, t.teacherCode, !targetTaken,
                          day, lesson))
            throw Refused{};
        if (targetTaken) {
            // The courses and teachers trade places. Each slot keeps its flag, unless only one
            // of the two lessons is fixed: that one stays fixed in its new slot and the other
            // counts as placed by hand.
            const QString toTarget = s.fixed == t.fixed ? QString() : FlagSet(s.fixed);
            const QString toSelected = s.fixed == t.fixed ? QString() : FlagSet(t.fixed);
            ExecChanging("Update Lessonlisttb  Set CourseCode='" + SqlQ(s.courseCode) +
                         "' ,TeacherCode='" + SqlQ(s.teacherCode) + "'" + toTarget +
                         SlotWhere(classCode, day, lesson));
            ExecChanging("Update Lessonlisttb  Set CourseCode='" + SqlQ(t.courseCode) +
                         "' ,TeacherCode='" + SqlQ(t.teacherCode) + "'" + toSelected +
                         SlotWhere(classCode, selDay, selLesson));
        } else {
            // A fixed lesson stays fixed where it moves; any other is now placed by hand.
            KbDb().Execute("insert into Lessonlisttb values('" + SqlQ(classCode) + "'," + Num(day) +
                           "," + Num(lesson) + ",'" + SqlQ(s.courseCode) + "','" +
                           SqlQ(s.teacherCode) + "'," + Num(FlagOf(s.fixed)) + ")");
            ExecChanging("delete from Lessonlisttb " + SlotWhere(classCode, selDay, selLesson));
        }
    });
}

}  // namespace tw::timetable
