#include "Command.h"

#include <QDebug>

namespace tw::store {

Outcome FailedStatement(const tw::db::DbError& error) {
    qWarning().noquote() << QStringLiteral("database:") << QString::fromUtf8(error.what());
    Outcome outcome = Outcome::Failed(Reason::DatabaseError, QString::fromUtf8(error.what()));
    outcome.engine = error.Why();
    return outcome;
}

}  // namespace tw::store
