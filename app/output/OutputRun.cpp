#include "output/OutputRun.h"

#include <QComboBox>

#include "db/Database.h"
#include "output/DataFolder.h"
#include "output/GridRows.h"
#include "output/OutputStatus.h"
#include "shell/AppState.h"
#include "shell/FailureText.h"
#include "shell/OpenDatabase.h"
#include "ui/Combo.h"
#include "ui/MsgBox.h"

namespace tw::output {

const QComboBox* ChoiceList(tw::store::OutputTimetable timetable, const QComboBox* classes,
                            const QComboBox* teachers) {
    switch (timetable) {
        case tw::store::OutputTimetable::OneClass:
            return classes;
        case tw::store::OutputTimetable::OneTeacher:
            return teachers;
        default:
            return nullptr;
    }
}

tw::store::OutputChoice ChoiceFrom(tw::store::OutputTimetable timetable, const QComboBox* list) {
    if (!list) return {timetable, {}, {}};
    return {timetable, tw::ui::ComboName(list), tw::ui::ComboCode(list)};
}

CommandRun WriteChosenRows(tw::shell::AppState& state, tw::store::OutputFile file,
                           const tw::store::OutputChoice& choice, const QString& name,
                           const DataWriter& writer, QString* dataFile) {
    const auto read = OnOpenDatabase(
        state, [&](tw::db::Database& db) { return tw::store::ReadOutputRows(db, file, choice); });
    CommandRun run;
    if (!read.Done()) {
        run.stopped = true;
        run.failure = shell::ReasonText(read.outcome);
        return run;
    }
    tw::db::Recordset& rows = *read.value;
    if (!AnyRowInGrid(rows, state.lessonOfDay)) {
        // Nothing would be printed or exported, so saying it was done would be untrue.
        run.status = kNoTimetableData;
    } else {
        *dataFile = DataFile(name, &run.reason);
        run.status = dataFile->isEmpty() ? kDataFileNotWritten
                                         : writer(*dataFile, rows, state.lessonOfDay, &run.reason);
    }
    rows.Close();
    return run;
}

QString NoTimetableText(tw::store::OutputTimetable timetable) {
    switch (timetable) {
        case tw::store::OutputTimetable::OneClass:
            return QStringLiteral("该班级没有课表数据");
        case tw::store::OutputTimetable::OneTeacher:
            return QStringLiteral("该教师没有课表数据");
        default:
            return QStringLiteral("没有课表数据");
    }
}

void ShowCommandRun(const CommandRun& run, tw::store::OutputTimetable timetable,
                    const QString& title, const QString& failText, const QString& doneText) {
    if (run.stopped) {
        tw::ui::MsgBox(failText + run.failure, tw::ui::vbCritical, title);
    } else if (run.status == 0) {
        tw::ui::MsgBox(doneText, tw::ui::vbInformation, title);
    } else if (run.status == kNoTimetableData) {
        tw::ui::MsgBox(NoTimetableText(timetable), tw::ui::vbInformation, title);
    } else {
        QString text =
            failText + QStringLiteral("(ret = ") + QString::number(run.status) + QLatin1Char(')');
        if (!run.reason.isEmpty()) text += QLatin1Char('\n') + run.reason;
        tw::ui::MsgBox(text, tw::ui::vbCritical, title);
    }
}

}  // namespace tw::output
