// The words for a failed open.
#include "OpenFailureText.h"

namespace tw::shell {

QString OpenFailureText(const tw::db::OpenFailure& failure) {
    using tw::db::OpenError;
    switch (failure.error) {
        case OpenError::Missing:
            return QStringLiteral("文件不存在");
        case OpenError::NoAccess:
            return QStringLiteral("无权进入文件所在的文件夹");
        case OpenError::NotAFile:
            return QStringLiteral("不是文件");
        case OpenError::CannotRead:
            return QStringLiteral("无法读取文件");
        case OpenError::ReadOnlyFile:
            return QStringLiteral("文件只读，不能写入");
        case OpenError::ReadOnlyFolder:
            return QStringLiteral("文件所在的文件夹只读，不能保存修改（") + failure.detail +
                   QStringLiteral("）");
        case OpenError::CannotWrite:
            return QStringLiteral("文件或其所在的文件夹不能写入");
        case OpenError::TooShort:
            return QStringLiteral("文件太短，不是数据库");
        case OpenError::NotEncrypted:
            return QStringLiteral("数据库未加密");
        case OpenError::NotADatabase:
            return QStringLiteral("不是数据库文件");
        case OpenError::WrongPassword:
            return QStringLiteral("密码不对，或文件已损坏");
        case OpenError::Damaged:
            return QStringLiteral("文件已损坏");
        case OpenError::InUse:
            return QStringLiteral("文件正被另一个程序使用");
        case OpenError::MissingTable:
            return QStringLiteral("缺少数据表 ") + failure.detail;
        case OpenError::IoError:
            return QStringLiteral("读写磁盘时出错");
        case OpenError::DiskFull:
            return QStringLiteral("磁盘已满");
        case OpenError::None:
        case OpenError::Other:
            break;
    }
    return QStringLiteral("无法打开数据库");
}

QString OpenDbFailureLine(const QString& path, const tw::db::OpenFailure& failure) {
    return path + QStringLiteral("：") + OpenFailureText(failure);
}

}  // namespace tw::shell
