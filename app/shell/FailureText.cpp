#include "FailureText.h"

namespace tw::shell {

namespace {

// What the outcome says beyond the form's own text; empty when nothing.
QString ReasonOf(const tw::store::Outcome& outcome) {
    if (outcome.reason == tw::store::Reason::NoDatabase) return QStringLiteral("没有打开的数据库");
    if (outcome.reason == tw::store::Reason::DatabaseError) return outcome.detail;
    return {};
}

}  // namespace

QString FailureText(const QString& text, const tw::store::Outcome& outcome) {
    const QString reason = ReasonOf(outcome);
    return reason.isEmpty() ? text : text + QStringLiteral("\n") + reason;
}

QString PanelFailureText(const QString& text, const tw::store::Outcome& outcome) {
    const QString reason = ReasonOf(outcome);
    return reason.isEmpty() ? text : text + QStringLiteral("：") + reason;
}

}  // namespace tw::shell
