// Writers of the export data file.
#include "output/ExportJson.h"

#include <utility>

#include "db/Database.h"
#include "output/DataFolder.h"
#include "output/GridRows.h"
#include "output/OutputStatus.h"
#include "shell/Settings.h"
#include "text/Gbk.h"

namespace tw::output {
namespace {

enum class JsonForm { ByClass, ByTeacher };

void AppendUnicodeEscape(QString& out, char16_t unit) {
    out += QStringLiteral("\\u%1").arg(static_cast<unsigned>(unit), 4, 16, QLatin1Char('0'));
}

// Characters of s that do not survive a trip through GBK, by position.
QList<bool> LostInGbk(const QString& s) {
    QList<bool> lost(s.size(), false);
    if (tw::text::FromGbk(tw::text::ToGbk(s)) == s) {
        return lost;
    }
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.unicode() < 0x80) {
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            lost[i] = lost[i + 1] = true;  // GBK has no character outside the BMP
            ++i;
            continue;
        }
        const QString one(c);
        lost[i] = tw::text::FromGbk(tw::text::ToGbk(one)) != one;
    }
    return lost;
}

// The two-character escape JSON has for c, or nullptr.
const char* ShortEscape(char16_t c) {
    static constexpr std::pair<char16_t, const char*> kEscapes[] = {
        {u'"', "\\\""}, {u'\\', "\\\\"}, {u'\b', "\\b"}, {u'\f', "\\f"},
        {u'\n', "\\n"}, {u'\r', "\\r"},  {u'\t', "\\t"}};
    for (const auto& [ch, escape] : kEscapes) {
        if (ch == c) return escape;
    }
    return nullptr;
}

QString Member(const QString& key, const QString& value) {
    return JsonString(key) + QLatin1Char(':') + JsonString(value);
}

int WriteExportJson(const QString& fileName, tw::db::Recordset& rows, JsonForm form,
                    int lessonOfDay, QString* error) {
    const bool byClass = form == JsonForm::ByClass;
    const QString groupKey =
        byClass ? QStringLiteral("class_name") : QStringLiteral("teacher_name");
    const QString partnerKey =
        byClass ? QStringLiteral("teacher_name") : QStringLiteral("class_name");
    const char* const partnerColumn = byClass ? "TeacherShortName" : "ClassShortName";
    // Every column is there before a row is read, so a selection without one fails before the
    // file is touched and the previous file stays as it was.
    if (!rows.Eof() &&
        !HasColumns(rows, {"Name", "LessonNo", "Day", "CourseName", partnerColumn}, error)) {
        return kDataFileNotWritten;
    }
    const QString school = shell::GetSchoolName();
    QString text;
    const TimetableGroups groups(rows);
    SkipOutsideGrid(rows, lessonOfDay);
    while (!rows.Eof()) {
        const QString group = rows.Fields(QStringLiteral("Name")).Text();
        const QString groupId = groups.Of(rows);
        bool first = true;
        while (!rows.Eof() && groups.In(rows, groupId)) {
            if (first) {
                first = false;
                if (!text.isEmpty()) {
                    text += QStringLiteral("},");
                }
                text += QLatin1Char('{') + Member(QStringLiteral("school_name"), school) +
                        QLatin1Char(',') + Member(groupKey, group);
            }
            const QString slot = QString::number(rows.Fields(QStringLiteral("LessonNo")).Int()) +
                                 QString::number(rows.Fields(QStringLiteral("Day")).Int());
            text += QLatin1Char(',') +
                    Member(QStringLiteral("course_name") + slot,
                           rows.Fields(QStringLiteral("CourseName")).Text()) +
                    QLatin1Char(',') +
                    Member(partnerKey + slot, rows.Fields(QLatin1String(partnerColumn)).Text());
            rows.MoveNext();
            SkipOutsideGrid(rows, lessonOfDay);
        }
    }
    if (!text.isEmpty()) {
        text = QStringLiteral("[[") + text + QStringLiteral("}]]");
    }
    text += QStringLiteral("\r\n");
    return WriteDataFileBytes(fileName, tw::text::ToGbk(text), error) ? 0 : kDataFileNotWritten;
}

}  // namespace

QString JsonString(const QString& value) {
    QString v = value;
    v.remove(QStringLiteral("\r\n"));
    const QList<bool> lost = LostInGbk(v);
    QString out;
    out.reserve(v.size() + 2);
    out += QLatin1Char('"');
    for (qsizetype i = 0; i < v.size(); ++i) {
        const char16_t c = v.at(i).unicode();
        if (const char* escape = ShortEscape(c)) {
            out += QLatin1String(escape);
        } else if (c < 0x20 || lost[i]) {
            AppendUnicodeEscape(out, c);
        } else {
            out += QChar(c);
        }
    }
    out += QLatin1Char('"');
    return out;
}

int WriteClassJson(const QString& fileName, tw::db::Recordset& rows, int lessonOfDay,
                   QString* error) {
    return WriteExportJson(fileName, rows, JsonForm::ByClass, lessonOfDay, error);
}

int WriteTeacherJson(const QString& fileName, tw::db::Recordset& rows, int lessonOfDay,
                     QString* error) {
    return WriteExportJson(fileName, rows, JsonForm::ByTeacher, lessonOfDay, error);
}

int WriteTotalJson(const QString& fileName, tw::db::Recordset& rows, int lessonOfDay,
                   QString* error) {
    return WriteExportJson(fileName, rows, JsonForm::ByClass, lessonOfDay, error);
}

}  // namespace tw::output
