#include "output/DataFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <cerrno>
#include <cstring>

#include "shell/ProgramFolder.h"

namespace tw::output {

namespace {

// Makes folder and the folders above it that are missing; false, with the system's reason for
// the first one that cannot be made, on failure.
bool MakeFolder(const QString& folder, QString* reason) {
    const QStringList parts = QDir::cleanPath(folder).split(QLatin1Char('/'));
    QString path;
    for (const QString& part : parts) {
        path += part;
        if (!path.isEmpty()) {
            const QByteArray name = QFile::encodeName(path);
            if (::mkdir(name.constData(), 0777) != 0) {
                const int made = errno;
                struct stat st {};
                if (made != EEXIST || ::stat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
                    *reason =
                        QString::fromLocal8Bit(std::strerror(made == EEXIST ? ENOTDIR : made));
                    return false;
                }
            }
        }
        path += QLatin1Char('/');
    }
    return true;
}

}  // namespace

QString CacheDataFolder() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.cache");
    return QDir::cleanPath(base + QStringLiteral("/Tarnwick395"));
}

QString DataFolder(QString* error) {
    const QString program = shell::ProgramFolder();
    if (::access(QFile::encodeName(program).constData(), W_OK) == 0) return program;
    const QString cache = CacheDataFolder();
    QString reason;
    if (!MakeFolder(cache, &reason)) {
        if (error)
            *error = QStringLiteral("无法建立文件夹 ") + cache + QStringLiteral("：") + reason;
        return {};
    }
    return cache;
}

QString DataFile(const QString& name, QString* error) {
    QString why;
    const QString folder = DataFolder(&why);
    if (folder.isEmpty()) {
        if (error) *error = CannotWriteText(CacheDataFolder() + QLatin1Char('/') + name, why);
        return {};
    }
    return folder + QLatin1Char('/') + name;
}

QString CannotWriteText(const QString& file, const QString& reason) {
    return QStringLiteral("无法写入数据文件 ") + file + QStringLiteral("：") + reason;
}

bool WriteDataFileBytes(const QString& fileName, const std::string& bytes, QString* error) {
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) &&
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
            static_cast<qint64>(bytes.size()) &&
        file.commit()) {
        return true;
    }
    if (error) *error = CannotWriteText(fileName, file.errorString());
    file.cancelWriting();
    return false;
}

}  // namespace tw::output
