// The words for a database that does not open.
#pragma once

#include <QString>

#include "db/Database.h"

namespace tw::shell {

// The reason of a failed open as a short Chinese text for the user.
QString OpenFailureText(const tw::db::OpenFailure& failure);
// One line of a failed-open message: the file's path, "：" and the reason in words.
QString OpenDbFailureLine(const QString& path, const tw::db::OpenFailure& failure);

}  // namespace tw::shell
