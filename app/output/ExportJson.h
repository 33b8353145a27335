// The export data file "export_data.json": the timetable rows of one export, handed to the
// workbook script. One line of GBK text ending in CR LF:
//   [[{"school_name":"...","class_name":"...","course_name11":"...","teacher_name11":"..."},...]]
// one object per run of rows with the same Name, members in row order ("course_name" + lesson +
// day, then the partner of the slot). Values are escaped as JSON requires; CR LF pairs inside a
// value are dropped.
#pragma once

#include <QString>

namespace tw::db {
class Recordset;
}

namespace tw::output {

// Each reads rows (columns Name, LessonNo, Day, CourseName and TeacherShortName or
// ClassShortName) from the current row to the end and writes fileName; rows outside the week
// grid (GridRows.h) are left out, so a class or teacher with none inside it gets no object.
// Returns 0 when the file was written, -1 on any failure, with its description in *error when
// error is given; on failure an existing file keeps its old content.
int WriteClassJson(const QString& fileName, tw::db::Recordset& rows, int lessonOfDay,
                   QString* error = nullptr);
int WriteTeacherJson(const QString& fileName, tw::db::Recordset& rows, int lessonOfDay,
                     QString* error = nullptr);
int WriteTotalJson(const QString& fileName, tw::db::Recordset& rows, int lessonOfDay,
                   QString* error = nullptr);

// One JSON string literal (with its quotes) for a value: CR LF pairs removed, quote, backslash
// and control characters escaped, and characters that GBK cannot hold written as \uXXXX.
QString JsonString(const QString& value);

}  // namespace tw::output
