#include "output/DataFolder.h"

#include <unistd.h>

#include <QDir>
#include <QFile>

#include "shell/mdlPublic.h"

namespace tw::output {

namespace {

QString CacheFolder() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/Tarnwick395");
}

}  // namespace

QString DataFolder() {
    const QString program = ProgramFolder();
    if (::access(QFile::encodeName(program).constData(), W_OK) == 0) return program;
    const QString cache = CacheFolder();
    QDir().mkpath(cache);  // a failure shows when the file is written
    return cache;
}

QString DataFile(const QString& name) {
    return DataFolder() + QLatin1Char('/') + name;
}

QString CannotWriteText(const QString& file, const QString& reason) {
    return QStringLiteral("无法写入数据文件 ") + file + QStringLiteral("：") + reason;
}

}  // namespace tw::output
