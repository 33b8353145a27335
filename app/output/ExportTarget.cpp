#include "output/ExportTarget.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "output/DataFolder.h"
#include "shell/ProgramFolder.h"

namespace tw::output {

namespace {

// The absolute path with the symbolic links of its existing part resolved, so that another
// spelling of a folder (a link, "..") compares equal.
QString ResolvedPath(const QString& path) {
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!QFileInfo::exists(existing) && existing != QDir::rootPath()) {
        rest = QLatin1Char('/') + QFileInfo(existing).fileName() + rest;
        existing = QFileInfo(existing).absolutePath();
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    return QDir::cleanPath((canonical.isEmpty() ? existing : canonical) + rest);
}

// The path of target below folder ("a/b.xlsx"), or empty text when it lies elsewhere.
QString Below(const QString& target, const QString& folder) {
    const QString f = ResolvedPath(folder);
    return target.startsWith(f + QLatin1Char('/')) ? target.mid(f.size() + 1) : QString();
}

QString Refusal(const QString& what) {
    return QStringLiteral("不能保存为") + what + QStringLiteral("，请选择其他文件名");
}

// What a file of the program folder, given by its path below the folder, is to the program;
// empty text for a file of the user's.
QString ProgramFolderFile(const QString& below) {
    const QString top = below.section(QLatin1Char('/'), 0, 0);
    const bool inFolder = below.contains(QLatin1Char('/'));
    if (inFolder) {
        if (top == QLatin1String("node")) return QStringLiteral("程序的 Node.js 运行程序");
        if (top == QLatin1String("node_modules")) return QStringLiteral("程序的导出脚本文件");
        if (top == QStringLiteral("使用手册")) return QStringLiteral("程序的使用手册");
        return {};
    }
    static const QRegularExpression program(
        QStringLiteral(R"(^(Tarnwick395|lib\w+\.so(\.\d+)*|HomePage\.jpg)$)"));
    static const QRegularExpression templates(QStringLiteral(
        R"(^(export_(class|teacher|all)_kb\d+\.xlsx|(Class|Teacher)Schd\d+\.xml|TotalSchd\d+A3\.xml)$)"));
    static const QRegularExpression scripts(
        QStringLiteral(R"(^(export\.js|layout\.js|package\.json|package-lock\.json)$)"));
    static const QRegularExpression data(
        QStringLiteral(R"(^(export_data\.json|tmp\.xml|kbxt\.ini|Errlog\.txt)$)"));
    static const QRegularExpression databases(QStringLiteral(R"(^(kb|demo)\.mdb$)"));
    if (program.match(below).hasMatch()) return QStringLiteral("程序文件");
    if (templates.match(below).hasMatch()) return QStringLiteral("程序的课表模板文件");
    if (scripts.match(below).hasMatch()) return QStringLiteral("程序的导出脚本文件");
    if (data.match(below).hasMatch()) return QStringLiteral("程序的数据文件");
    if (databases.match(below).hasMatch()) return QStringLiteral("程序的数据库文件");
    return {};
}

}  // namespace

QString RefusedExportTarget(const QString& path, const QString& openDatabase) {
    if (!openDatabase.isEmpty() && shell::SameFile(path, openDatabase))
        return Refusal(QStringLiteral("正在使用的数据库文件"));
    const QString target = ResolvedPath(path);
    const QString inProgramFolder = Below(target, shell::ProgramFolder());
    if (!inProgramFolder.isEmpty()) {
        const QString what = ProgramFolderFile(inProgramFolder);
        return what.isEmpty() ? QString() : Refusal(what);
    }
    // The data files written where the program folder may not be written.
    const QString inCache = Below(target, CacheDataFolder());
    if (inCache == QLatin1String("export_data.json") || inCache == QLatin1String("tmp.xml"))
        return Refusal(QStringLiteral("程序的数据文件"));
    return {};
}

QString ProposedExportFile(tw::store::OutputTimetable timetable, const QString& listedName) {
    using tw::store::OutputTimetable;
    QString name;
    switch (timetable) {
        case OutputTimetable::AllClasses:
            name = QStringLiteral("全部班级");
            break;
        case OutputTimetable::AllTeachers:
            name = QStringLiteral("全部教师");
            break;
        case OutputTimetable::WholeSchool:
            name = QStringLiteral("全校总");
            break;
        default:
            name = listedName;
            break;
    }
    // A name holds no folder of its own, nor characters file names avoid.
    static const QRegularExpression unsafe(QStringLiteral(R"([/\\:*?"<>|\x00-\x1f])"));
    name.replace(unsafe, QStringLiteral("_"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder =
        !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
    return folder + QLatin1Char('/') + name + QStringLiteral("课程表.xlsx");
}

}  // namespace tw::output
