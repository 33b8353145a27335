#include "FailureText.h"

#include "OpenFailureText.h"
#include "db/Database.h"
#include "store/MasterData.h"
#include "ui/WeekGrid.h"

namespace tw::shell {

namespace {

using tw::store::Reason;

// Why a statement failed: the words of a failed open for what the engine tells, else one
// catch-all.
QString StatementFailureText(tw::db::OpenError why) {
    using tw::db::OpenError;
    switch (why) {
        case OpenError::DiskFull:
        case OpenError::CannotWrite:
        case OpenError::IoError:
        case OpenError::Damaged:
        case OpenError::InUse:
            return OpenFailureText({why, {}});
        default:
            return QStringLiteral("数据库出错");
    }
}

}  // namespace

QString SlotText(const tw::store::WeekSlot& slot) {
    // The day as the week grids head its column ("星期三").
    const QString day = slot.day >= 1 && slot.day <= 5
                            ? tw::ui::WeekGridHeading(slot.day)
                            : QStringLiteral("星期") + QString::number(slot.day);
    return day + QStringLiteral("第") + QString::number(slot.lesson) + QStringLiteral("节");
}

QString ReasonText(const tw::store::Outcome& outcome) {
    // The reasons that say what the outcome names: the engine's reason, the longest text, the
    // counts allowed, the slot and class in the way, the class code.
    switch (outcome.reason) {
        case Reason::DatabaseError:
            return StatementFailureText(outcome.engine);
        case Reason::TooLong:
            return QStringLiteral("内容不能超过") + QString::number(tw::store::kMasterTextLength) +
                   QStringLiteral("个字符");
        case Reason::BadCount:
            return QStringLiteral("节数必须是 %1 到 %2 之间的整数")
                .arg(outcome.lowest)
                .arg(outcome.highest);
        case Reason::FixedInTheWay:
            if (outcome.slot.day <= 0) break;
            return QStringLiteral("新老师") + SlotText(outcome.slot) + QStringLiteral("已在") +
                   outcome.detail +
                   QStringLiteral("上课，本班这节是预先安排的固定课程，不能换老师");
        case Reason::NotGraded:
            return QStringLiteral("班级代码“") + outcome.detail +
                   QStringLiteral("”的第一位不是年级数字，无法升级");
        default:
            break;
    }
    // Every other reason in words of its own.
    struct Words {
        Reason reason;
        const char* text;
    };
    static const Words kWords[] = {
        {Reason::Done, "已完成"},
        {Reason::NoDatabase, "没有打开的数据库"},
        {Reason::NotFound, "数据库中没有这条记录，或它已被改动"},
        {Reason::CodeTaken, "代码已被使用"},
        {Reason::OtherTeacher, "不允许一门课多个老师"},
        {Reason::CourseChanged, "只允许修改老师和节数"},
        {Reason::FixedInTheWay, "该课时已有预先安排的固定课程"},
        {Reason::SlotTaken, "该课时已经有课"},
        {Reason::TeacherBusy, "老师在该课时已在其他班级上课"},
        {Reason::EmptySlot, "该课时没有课"},
        {Reason::SameCourse, "两个课时是同一门课程"},
        {Reason::BadLimit, "没有选定项目，或课时不在一周之内"},
        {Reason::EmptyPlan, "教学计划中没有要排的课"},
        {Reason::SlotDoubled, "该课时存有本班两节课（旧数据），无法分辨是哪一节"},
    };
    for (const Words& words : kWords) {
        if (words.reason == outcome.reason) return QString::fromUtf8(words.text);
    }
    return StatementFailureText(tw::db::OpenError::Other);
}

QString FailureText(const QString& text, const tw::store::Outcome& outcome) {
    return outcome.Done() ? text : text + QStringLiteral("\n") + ReasonText(outcome);
}

QString PanelFailureText(const QString& text, const tw::store::Outcome& outcome) {
    return outcome.Done() ? text : text + QStringLiteral("：") + ReasonText(outcome);
}

}  // namespace tw::shell
