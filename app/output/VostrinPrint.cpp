#include "VostrinPrint.h"

#include <dlfcn.h>

#include <QFile>

#include "shell/ProgramFolder.h"

namespace tw::output {

namespace {
PrintOneCustomXmlFn g_testFn = nullptr;
PrintOneCustomXmlFn g_loadedFn = nullptr;

// The function to call; nullptr, with the reason in *error, when it cannot be found.
PrintOneCustomXmlFn Resolve(QString* error) {
    if (g_testFn) return g_testFn;
    if (g_loadedFn) return g_loadedFn;
    const QByteArray lib = QFile::encodeName(shell::ProgramFile("libVostrin.so"));
    void* handle = dlopen(lib.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* err = dlerror();
        *error = QString::fromUtf8(err ? err : "libVostrin.so cannot be loaded");
        return nullptr;
    }
    void* sym = dlsym(handle, "PrintOneCustomXml");
    if (!sym) {
        *error = QStringLiteral("libVostrin.so has no PrintOneCustomXml");
        return nullptr;
    }
    g_loadedFn = reinterpret_cast<PrintOneCustomXmlFn>(sym);
    return g_loadedFn;
}
}  // namespace

void SetPrintOneCustomXmlForTest(PrintOneCustomXmlFn fn) {
    g_testFn = fn;
}

bool CallPrintOneCustomXml(const QString& dataFile, const QString& templateFile, int* status,
                           QString* error) {
    PrintOneCustomXmlFn fn = Resolve(error);
    if (!fn) return false;
    const QByteArray data = QFile::encodeName(dataFile);
    const QByteArray tmpl = QFile::encodeName(templateFile);
    int envelopes = 0;
    int sheets = 0;
    int pages = 0;
    *status = fn(data.constData(), "", tmpl.constData(), &envelopes, &sheets, &pages, "", 'T');
    return true;
}

}  // namespace tw::output
