#include "FailureText.h"

#include "OpenFailureText.h"
#include "db/Database.h"
#include "store/MasterData.h"

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
    static const QString days = QStringLiteral("一二三四五");
    const QString day =
        slot.day >= 1 && slot.day <= 5 ? QString(days.at(slot.day - 1)) : QString::number(slot.day);
    return QStringLiteral("星期") + day + QStringLiteral("第") + QString::number(slot.lesson) +
           QStringLiteral("节");
}

QString ReasonText(const tw::store::Outcome& outcome) {
    switch (outcome.reason) {
        case Reason::Done:
            return QStringLiteral("已完成");
        case Reason::NoDatabase:
            return QStringLiteral("没有打开的数据库");
        case Reason::DatabaseError:
            return StatementFailureText(outcome.engine);
        case Reason::NotFound:
            return QStringLiteral("数据库中没有这条记录，或它已被改动");
        case Reason::CodeTaken:
            return QStringLiteral("代码已被使用");
        case Reason::TooLong:
            return QStringLiteral("内容不能超过") + QString::number(tw::store::kMasterTextLength) +
                   QStringLiteral("个字符");
        case Reason::BadCount:
            return QStringLiteral("节数必须是 %1 到 %2 之间的整数")
                .arg(outcome.lowest)
                .arg(outcome.highest);
        case Reason::OtherTeacher:
            return QStringLiteral("不允许一门课多个老师");
        case Reason::CourseChanged:
            return QStringLiteral("只允许修改老师和节数");
        case Reason::FixedInTheWay:
            if (outcome.slot.day > 0) {
                return QStringLiteral("新老师") + SlotText(outcome.slot) + QStringLiteral("已在") +
                       outcome.detail +
                       QStringLiteral("上课，本班这节是预先安排的固定课程，不能换老师");
            }
            return QStringLiteral("该课时已有预先安排的固定课程");
        case Reason::SlotTaken:
            return QStringLiteral("该课时已经有课");
        case Reason::TeacherBusy:
            return QStringLiteral("老师在该课时已在其他班级上课");
        case Reason::EmptySlot:
            return QStringLiteral("该课时没有课");
        case Reason::SameCourse:
            return QStringLiteral("两个课时是同一门课程");
        case Reason::NotGraded:
            return QStringLiteral("班级代码“") + outcome.detail +
                   QStringLiteral("”的第一位不是年级数字，无法升级");
        case Reason::BadLimit:
            return QStringLiteral("没有选定项目，或课时不在一周之内");
        case Reason::EmptyPlan:
            return QStringLiteral("教学计划中没有要排的课");
        case Reason::SlotDoubled:
            return QStringLiteral("该课时存有本班两节课（旧数据），无法分辨是哪一节");
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
