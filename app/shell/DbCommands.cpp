#include "DbCommands.h"

namespace tw::shell {

QString FailureText(const QString& text, const tw::store::Outcome& outcome) {
    if (outcome.reason == tw::store::Reason::NoDatabase) {
        return text + QStringLiteral("\n没有打开的数据库");
    }
    if (outcome.reason == tw::store::Reason::DatabaseError && !outcome.detail.isEmpty()) {
        return text + QStringLiteral("\n") + outcome.detail;
    }
    return text;
}

}  // namespace tw::shell
