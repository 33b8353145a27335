// Opening a file or a web address with the program the desktop has for it.
#include "ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace tw::shell {

void OpenWithShell(const QString& target) {
    const QUrl url = target.contains("://") ? QUrl(target) : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
}

}  // namespace tw::shell
