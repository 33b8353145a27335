#include "ZPrinters/ZCupsLib.h"

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Zprinters {

const TZCupsLib* TZCupsLib::Get() {
    static TZCupsLib* lib = [] {
        auto* l = new TZCupsLib;
        if (!l->Load()) {
            delete l;
            return static_cast<TZCupsLib*>(nullptr);
        }
        return l;
    }();
    return lib;
}

bool TZCupsLib::Load() {
    void* h = dlopen("libcups.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!h) return false;
    getPpd_ = reinterpret_cast<GetPpdFn>(dlsym(h, "cupsGetPPD"));
    printFile_ = reinterpret_cast<PrintFileFn>(dlsym(h, "cupsPrintFile"));
    addOption_ = reinterpret_cast<AddOptionFn>(dlsym(h, "cupsAddOption"));
    freeOptions_ = reinterpret_cast<FreeOptionsFn>(dlsym(h, "cupsFreeOptions"));
    lastError_ = reinterpret_cast<LastErrorFn>(dlsym(h, "cupsLastErrorString"));
    return getPpd_ && printFile_ && addOption_ && freeOptions_ && lastError_;
}

QString TZCupsLib::GetPpd(const QString& queue) const {
    const char* path = getPpd_(queue.toUtf8().constData());
    return path ? QString::fromLocal8Bit(path) : QString();
}

void TZCupsLib::ReleasePpd(const QString& path) const {
    // Only the copies libcups made in the temporary folder are ours to delete.
    if (path.isEmpty()) return;
    const QString tmp = QDir(qEnvironmentVariable("TMPDIR", QStringLiteral("/tmp"))).absolutePath();
    if (QFileInfo(path).absolutePath() == tmp) QFile::remove(path);
}

int TZCupsLib::PrintFile(const QString& queue, const QString& file, const QString& title,
                         const std::vector<std::pair<QString, QString>>& options) const {
    Option* opts = nullptr;
    int n = 0;
    for (const auto& [name, value] : options)
        n = addOption_(name.toUtf8().constData(), value.toUtf8().constData(), n, &opts);
    int job = printFile_(queue.toUtf8().constData(), QFile::encodeName(file).constData(),
                         title.toUtf8().constData(), n, opts);
    freeOptions_(n, opts);
    return job;
}

QString TZCupsLib::LastError() const {
    const char* e = lastError_();
    return e ? QString::fromUtf8(e) : QString();
}

}  // namespace Zprinters
