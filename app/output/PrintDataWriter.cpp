#include "PrintDataWriter.h"

#include <QFile>
#include <QStringList>
#include <exception>

#include "output/DataFolder.h"
#include "output/GridRows.h"
#include "output/OutputStatus.h"
#include "shell/mdlPublic.h"
#include "text/Gbk.h"

namespace {

// A value inside value="...": the reader decodes these four entities, so names holding
// quotes, ampersands or angle brackets arrive intact instead of breaking the file.
QString Attr(const QString& v) {
    QString out;
    out.reserve(v.size());
    for (QChar c : v) {
        switch (c.unicode()) {
            case '&':
                out += QStringLiteral("&amp;");
                break;
            case '"':
                out += QStringLiteral("&quot;");
                break;
            case '<':
                out += QStringLiteral("&lt;");
                break;
            case '>':
                out += QStringLiteral("&gt;");
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A failure to create or write the file, with the file's name and the system's reason.
struct WriteFailure {
    QString text;
};

class LineFile {
  public:
    explicit LineFile(const QString& name) : file_(name) {
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) Fail();
    }
    void Line(const QString& text) {
        std::string bytes = tw::text::ToGbk(text);
        bytes += "\r\n";
        if (file_.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size())) {
            Fail();
        }
    }
    void Field(const QString& tag, const QString& value) {
        Line("<" + tag + " value=\"" + Attr(value) + "\"></" + tag + ">");
    }
    void Close() {
        if (!file_.flush()) Fail();
        file_.close();
    }
    [[noreturn]] void Fail() const {
        throw WriteFailure{tw::output::CannotWriteText(file_.fileName(), file_.errorString())};
    }

  private:
    QFile file_;
};

const QString kRootLine = QStringLiteral("<root docname=\"Korvel排课\">");

// Rows outside the week grid are passed over: written, they would shift every later slot of
// their group.
using tw::output::SkipOutsideGrid;

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
Slot ReadSlot(tw::db::Recordset& rs, const tw::output::TimetableGroups& groups,
              const QString& groupId, bool withTeacher, int lessons) {
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

// Writes the data file: the root and record lines around what body writes. 0 when written,
// else kDataFileNotWritten with the reason in *error.
template <class Body>
short WriteDataFile(const QString& fileName, QString* error, Body&& body) {
    try {
        LineFile f(fileName);
        f.Line(kRootLine);
        f.Line(QStringLiteral("<record>"));
        body(f);
        f.Line(QStringLiteral("</record>"));
        f.Line(QStringLiteral("</root>"));
        f.Close();
        return 0;
    } catch (const WriteFailure& e) {
        if (error) *error = e.text;
    } catch (const std::exception& e) {
        if (error) *error = QString::fromUtf8(e.what());
    }
    return tw::output::kDataFileNotWritten;
}

}  // namespace

short WriteScheduleXml(const QString& fileName, tw::db::Recordset& rs, QString* error) {
    return WriteDataFile(fileName, error, [&](LineFile& f) {
        const QString school = GetSchoolName();
        const int n = LessonOfDay;
        rs.MoveLast();
        rs.MoveFirst();
        SkipOutsideGrid(rs, n);
        const tw::output::TimetableGroups groups(rs);
        while (!rs.Eof()) {
            const QString group = rs.Fields("Name").Text();
            const QString groupId = groups.Of(rs);
            int lesson = 1;
            int day = 1;
            int count = 0;
            while (!rs.Eof() && groups.In(rs, groupId)) {
                if (Behind(rs, lesson, day)) {
                    Next(rs, n);
                    continue;
                }
                f.Line(QStringLiteral("<tr>"));
                if (lesson == 1 && day == 1) f.Field("title", school + "     " + group);
                const Slot slot = ReadSlot(rs, groups, groupId, true, n);
                while (slot.lesson > lesson) {
                    for (; day <= 5; ++day) {
                        EmptySlot(f, count);
                        f.Line(QStringLiteral("</tr>"));
                        f.Line(QStringLiteral("<tr>"));
                    }
                    ++lesson;
                    day = 1;
                }
                while (slot.day > day) {
                    EmptySlot(f, count);
                    f.Line(QStringLiteral("</tr>"));
                    f.Line(QStringLiteral("<tr>"));
                    ++day;
                }
                f.Field("coursename", Courses(slot));
                f.Field("classname", Joined(slot.cls));
                f.Field("teachername", Joined(slot.teacher));
                ++count;
                f.Line("<totallesson value=\" " + QString::number(count) + " \"></totallesson>");
                f.Line(QStringLiteral("</tr>"));
                if (day >= 5) {
                    day = 1;
                    ++lesson;
                } else {
                    ++day;
                }
            }
            for (; lesson <= n; ++lesson, day = 1) {
                for (; day <= 5; ++day) {
                    f.Line(QStringLiteral("<tr>"));
                    EmptySlot(f, count);
                    f.Line(QStringLiteral("</tr>"));
                }
            }
        }
    });
}

short WriteTotalXml(const QString& fileName, tw::db::Recordset& rs, QString* error) {
    return WriteDataFile(fileName, error, [&](LineFile& f) {
        const QString school = GetSchoolName();
        const int n = LessonOfDay;
        const QString blank = QStringLiteral(" ");
        SkipOutsideGrid(rs, n);
        const tw::output::TimetableGroups groups(rs);
        while (!rs.Eof()) {
            const QString group = Blank(rs.Fields("Name").Text());
            const QString groupId = groups.Of(rs);
            int lesson = 1;
            int day = 1;
            f.Line(QStringLiteral("<tr>"));
            f.Field("title", school + QStringLiteral(" 20    -- 20   学年度第  学期总课程表"));
            while (!rs.Eof() && groups.In(rs, groupId)) {
                if (Behind(rs, lesson, day)) {
                    Next(rs, n);
                    continue;
                }
                // In this selection ClassShortName carries the teacher's name.
                const Slot slot = ReadSlot(rs, groups, groupId, false, n);
                while (slot.lesson > lesson) {
                    for (; day <= 5; ++day) TotalCells(f, lesson, day, blank, group, blank);
                    ++lesson;
                    day = 1;
                }
                while (slot.day > day) {
                    TotalCells(f, lesson, day, blank, group, blank);
                    ++day;
                }
                TotalCells(f, lesson, day, Courses(slot), group, Joined(slot.cls));
                if (day >= 5) {
                    day = 1;
                    ++lesson;
                } else {
                    ++day;
                }
            }
            for (; lesson <= n; ++lesson, day = 1) {
                for (; day <= 5; ++day) TotalCells(f, lesson, day, blank, QString(), blank);
            }
            f.Line(QStringLiteral("</tr>"));
        }
    });
}
