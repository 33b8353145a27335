// Writers of the print data file "tmp.xml": the timetable of classes or teachers (one <tr> per
// time slot) and the whole-school timetable (one <tr> per class, three cells per slot).
// The file is GB18030 (GBK wherever GBK has the character), one element per line, CR LF line
// ends, no declaration. A value without text is written as a blank, like an empty slot; the
// lessons of one slot (a teacher in two classes at once) share it, their names joined.
#pragma once

#include <QString>

#include "db/Database.h"

namespace tw::output {

// Reads Name, LessonNo, Day, CourseName, ClassShortName and TeacherName, rows ordered by group,
// lesson, day; at least one row. 0 when written, -1 on any failure, with its description in
// *error when error is given; on failure an existing file keeps its old content.
short WriteScheduleXml(const QString& fileName, tw::db::Recordset& rs, int lessonOfDay,
                       QString* error = nullptr);
// Reads Name, LessonNo, Day, CourseName and ClassShortName; any number of rows.
short WriteTotalXml(const QString& fileName, tw::db::Recordset& rs, int lessonOfDay,
                    QString* error = nullptr);

}  // namespace tw::output
