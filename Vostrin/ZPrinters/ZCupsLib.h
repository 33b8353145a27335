// The few libcups calls the CUPS printing layer needs that Qt does not offer, loaded at run time
// (the library ships with Qt's print support; no development headers are needed).
#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace Zprinters {

class TZCupsLib {
  public:
    // The loaded library, or null when libcups is not available.
    static const TZCupsLib* Get();

    // A local copy of the queue's PPD file; empty when the queue has none. Delete the file
    // with ReleasePpd.
    QString GetPpd(const QString& queue) const;
    void ReleasePpd(const QString& path) const;
    // Submits a file as one job; the job id, or 0 on failure (LastError tells why).
    int PrintFile(const QString& queue, const QString& file, const QString& title,
                  const std::vector<std::pair<QString, QString>>& options) const;
    QString LastError() const;

  private:
    TZCupsLib() = default;
    bool Load();

    struct Option {
        char* name;
        char* value;
    };
    using GetPpdFn = const char* (*)(const char*);
    using PrintFileFn = int (*)(const char*, const char*, const char*, int, Option*);
    using AddOptionFn = int (*)(const char*, const char*, int, Option**);
    using FreeOptionsFn = void (*)(int, Option*);
    using LastErrorFn = const char* (*)();

    GetPpdFn getPpd_ = nullptr;
    PrintFileFn printFile_ = nullptr;
    AddOptionFn addOption_ = nullptr;
    FreeOptionsFn freeOptions_ = nullptr;
    LastErrorFn lastError_ = nullptr;
};

}  // namespace Zprinters
