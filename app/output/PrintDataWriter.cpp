#include "PrintDataWriter.h"

#include <QStringList>
#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#include "db/Database.h"
#include "output/DataFolder.h"
#include "output/GridRows.h"
#include "output/OutputStatus.h"
#include "shell/Settings.h"
#include "text/Gbk.h"

namespace tw::output {

namespace {

// A value inside value="...": the reader decodes these four entities, so names holding
// quotes, ampersands or angle brackets arrive intact instead of breaking the file.
QString Attr(const QString& v) {
    static constexpr std::pair<char16_t, const char*> kEntities[] = {
        {u'&', "&amp;"}, {u'"', "&quot;"}, {u'<', "&lt;"}, {u'>', "&gt;"}};
    QString out;
    out.reserve(v.size());
    for (QChar c : v) {
        const auto* entity = std::find_if(std::begin(kEntities), std::end(kEntities),
                                          [c](const auto& e) { return e.first == c.unicode(); });
        if (entity != std::end(kEntities)) {
            out += QLatin1String(entity->second);
        } else {
            out += c;
        }
    }
    return out;
}

// The lines of the data file, gathered with their CR LF ends before the file is written: the
// root and record lines around the timetable lines. The bytes are GB18030, which is GBK for
// every character GBK has, so a name holding any other character reaches the page whole.
class LineFile {
  public:
    LineFile() {
        Line(QStringLiteral("<root docname=\"Korvel排课\">"));
        Line(QStringLiteral("<record>"));
    }
    void Line(const QString& text) {
        bytes_ += tw::text::ToGb18030(text);
        bytes_ += "\r\n";
    }
    void Field(const QString& tag, const QString& value) {
        Line("<" + tag + " value=\"" + Attr(value) + "\"></" + tag + ">");
    }
    // Ends the lines and writes them to the file: 0 when written, else kDataFileNotWritten with
    // the reason in *error.
    short Save(const QString& fileName, QString* error) {
        Line(QStringLiteral("</record>"));
        Line(QStringLiteral("</root>"));
        return WriteDataFileBytes(fileName, bytes_, error) ? 0 : kDataFileNotWritten;
    }

  private:
    std::string bytes_;
};

// Rows outside the week grid are passed over: written, they would shift every later slot of
// their group.

void EmptySlot(LineFile& f, int count) {
    f.Line(QStringLiteral("<coursename value=\" \"></coursename>"));
    f.Line(QStringLiteral("<classname value=\" \"></classname>"));
    f.Line(QStringLiteral("<teachername value=\" \"></teachername>"));
    f.Line("<totallesson value=\" " + QString::number(count) + " \"></totallesson>");
}

// One cell line of the whole-school file: start tag named with lesson and day digits, plain
// end tag (the reader closes the innermost element whatever the end tag's name).
void Cell(LineFile& f, const char* prefix, int lesson, int day, const QString& value,
          const char* endTag) {
    f.Line(QString("<%1%2%3 value=\"").arg(prefix).arg(lesson).arg(day) + Attr(value) +
           QString("\"></%1>").arg(endTag));
}

void TotalCells(LineFile& f, int lesson, int day, const QString& course, const QString& cls,
                const QString& teacher) {
    Cell(f, "coursenameL", lesson, day, course, "coursename");
    Cell(f, "classnameL", lesson, day, cls, "classname");
    Cell(f, "teachernameL", lesson, day, teacher, "teachername");
}

// A row for a slot already written: left out, as it would take the next slot's place and shift
// the rest of the group.
bool Behind(tw::db::Recordset& rs, int lesson, int day) {
    const long long rowLesson = rs.Fields("LessonNo").Int();
    return rowLesson < lesson || (rowLesson == lesson && rs.Fields("Day").Int() < day);
}

// Moves to the next row that belongs in the grid.
void Next(tw::db::Recordset& rs, int lessons) {
    rs.MoveNext();
    SkipOutsideGrid(rs, lessons);
}

// A value as it goes into a cell: an empty one (a course without a name, a Null) is written as
// a blank, like an empty slot, so that no slot record of the layout goes without main data.
QString Blank(const QString& value) {
    return value.isEmpty() ? QStringLiteral(" ") : value;
}

// The lessons of one slot of a group. A teacher may teach two classes at once: their rows come
// one after the other, and the slot shows every course and every class or teacher they name.
struct Slot {
    long long lesson = 0;
    long long day = 0;
    QStringList course, cls, teacher;
};

void AddDistinct(QStringList& list, const QString& value) {
    if (!value.isEmpty() && !list.contains(value)) list << value;
}

// Reads the current row and the rows after it that fall into the same slot of the same group,
// and moves past them.
Slot ReadSlot(tw::db::Recordset& rs, const TimetableGroups& groups, const QString& groupId,
              bool withTeacher, int lessons) {
    Slot slot;
    slot.lesson = rs.Fields("LessonNo").Int();
    slot.day = rs.Fields("Day").Int();
    do {
        AddDistinct(slot.course, rs.Fields("CourseName").Text());
        AddDistinct(slot.cls, rs.Fields("ClassShortName").Text());
        if (withTeacher) AddDistinct(slot.teacher, rs.Fields("TeacherName").Text());
        Next(rs, lessons);
    } while (!rs.Eof() && groups.In(rs, groupId) && rs.Fields("LessonNo").Int() == slot.lesson &&
             rs.Fields("Day").Int() == slot.day);
    return slot;
}

// The texts of a slot's cells: courses joined by "/", classes and teachers by "、".
QString Courses(const Slot& s) {
    return Blank(s.course.join(QLatin1Char('/')));
}
QString Joined(const QStringList& names) {
    return Blank(names.join(QStringLiteral("、")));
}

// The lessons of each timetable the rows hold, from the current row on, slot by slot: for every
// group begin(name) with the group's stored name, then cell(lesson, day, slot, afterLast) for
// every slot of its week in order, day 1 to 5 of lesson 1, then of lesson 2, up to `lessons`;
// slot is null for an empty slot, afterLast tells an empty slot after the group's last lesson.
// Then end().
template <class Begin, class Cell, class End>
void WalkWeeks(tw::db::Recordset& rs, int lessons, bool withTeacher, Begin&& begin, Cell&& cell,
               End&& end) {
    SkipOutsideGrid(rs, lessons);
    const TimetableGroups groups(rs);
    while (!rs.Eof()) {
        begin(rs.Fields("Name").Text());
        const QString groupId = groups.Of(rs);
        int lesson = 1;
        int day = 1;
        const auto advance = [&] {
            if (day >= 5) {
                day = 1;
                ++lesson;
            } else {
                ++day;
            }
        };
        while (!rs.Eof() && groups.In(rs, groupId)) {
            if (Behind(rs, lesson, day)) {
                Next(rs, lessons);
                continue;
            }
            const Slot slot = ReadSlot(rs, groups, groupId, withTeacher, lessons);
            for (; slot.lesson > lesson || slot.day > day; advance()) {
                cell(lesson, day, nullptr, false);
            }
            cell(lesson, day, &slot, false);
            advance();
        }
        for (; lesson <= lessons; advance()) cell(lesson, day, nullptr, true);
        end();
    }
}

}  // namespace

short WriteScheduleXml(const QString& fileName, tw::db::Recordset& rs, int lessonOfDay,
                       QString* error) {
    rs.MoveLast();
    rs.MoveFirst();
    if (!rs.Eof() &&
        !HasColumns(rs, {"Name", "LessonNo", "Day", "CourseName", "ClassShortName", "TeacherName"},
                    error))
        return kDataFileNotWritten;
    const QString school = shell::GetSchoolName();
    LineFile f;
    QString group;
    int count = 0;
    const auto begin = [&](const QString& name) {
        group = name;
        count = 0;
    };
    const auto cell = [&](int lesson, int day, const Slot* slot, bool) {
        f.Line(QStringLiteral("<tr>"));
        if (lesson == 1 && day == 1) f.Field("title", school + "     " + group);
        if (slot) {
            f.Field("coursename", Courses(*slot));
            f.Field("classname", Joined(slot->cls));
            f.Field("teachername", Joined(slot->teacher));
            ++count;
            f.Line("<totallesson value=\" " + QString::number(count) + " \"></totallesson>");
        } else {
            EmptySlot(f, count);
        }
        f.Line(QStringLiteral("</tr>"));
    };
    WalkWeeks(rs, lessonOfDay, true, begin, cell, [] {});
    return f.Save(fileName, error);
}

short WriteTotalXml(const QString& fileName, tw::db::Recordset& rs, int lessonOfDay,
                    QString* error) {
    if (!rs.Eof() &&
        !HasColumns(rs, {"Name", "LessonNo", "Day", "CourseName", "ClassShortName"}, error))
        return kDataFileNotWritten;
    const QString school = shell::GetSchoolName();
    const QString blank = QStringLiteral(" ");
    LineFile f;
    QString group;
    const auto begin = [&](const QString& name) {
        group = Blank(name);
        f.Line(QStringLiteral("<tr>"));
        f.Field("title", school + QStringLiteral(" 20    -- 20   学年度第  学期总课程表"));
    };
    // In this selection ClassShortName carries the teacher's name. An empty slot after the
    // group's last lesson names no class.
    const auto cell = [&](int lesson, int day, const Slot* slot, bool afterLast) {
        if (slot) {
            TotalCells(f, lesson, day, Courses(*slot), group, Joined(slot->cls));
        } else {
            TotalCells(f, lesson, day, blank, afterLast ? QString() : group, blank);
        }
    };
    WalkWeeks(rs, lessonOfDay, false, begin, cell, [&] { f.Line(QStringLiteral("</tr>")); });
    return f.Save(fileName, error);
}

}  // namespace tw::output
