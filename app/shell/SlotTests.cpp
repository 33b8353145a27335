// Slot tests: true when no lesson lies in the slot; false when one does or on any failure.
#include "mdlPublic.h"

using tw::db::SqlQ;

namespace {

bool NoRows(const QString& sql) {
    try {
        auto rs = KbDb().OpenRecordset(sql, tw::db::dbOpenSnapshot);
        const bool free = rs->Eof();
        rs->Close();
        return free;
    } catch (const tw::db::DbError&) {
        return false;
    }
}

QString Slot(short day, short lesson) {
    return " and Day= " + QString::number(day) + " and LessonNo=" + QString::number(lesson);
}

}  // namespace

bool IsClassSlotFree(const QString& classCode, short day, short lesson) {
    return NoRows("Select CourseCode from LessonListtb where ClassCode='" + SqlQ(classCode) + "'" +
                  Slot(day, lesson));
}

bool IsClassSlotFreeOfPreset(const QString& classCode, short day, short lesson) {
    return NoRows(QString("Select CourseCode from LessonListtb where SetFlag = 0") +
                  " and ClassCode='" + SqlQ(classCode) + "'" + Slot(day, lesson));
}

bool IsTeacherSlotFree(const QString& teacherCode, short day, short lesson) {
    return NoRows("Select CourseCode from LessonListtb where TeacherCode='" + SqlQ(teacherCode) +
                  "'" + Slot(day, lesson));
}

bool IsTeacherSlotFreeOfPreset(const QString& teacherCode, short day, short lesson) {
    return NoRows(QString("Select CourseCode from LessonListtb where  SetFlag = 0") +
                  " and TeacherCode='" + SqlQ(teacherCode) + "'" + Slot(day, lesson));
}

bool IsSlotFree(const QString& classCode, const QString& /*courseCode*/, const QString& teacherCode,
                short day, short lesson) {
    return IsClassSlotFree(classCode, day, lesson) && IsTeacherSlotFree(teacherCode, day, lesson);
}

bool IsSlotFreeOfPreset(const QString& classCode, const QString& /*courseCode*/,
                        const QString& teacherCode, short day, short lesson) {
    return IsClassSlotFreeOfPreset(classCode, day, lesson) &&
           IsTeacherSlotFreeOfPreset(teacherCode, day, lesson);
}
