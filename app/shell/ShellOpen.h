// Opening a file or a web address with the program the desktop has for it.
#pragma once

#include <QString>

namespace tw::shell {

// A target with "://" is a web address, anything else a local file.
void OpenWithShell(const QString& target);

}  // namespace tw::shell
