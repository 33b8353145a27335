#include "VostrinPrint.h"

#include <dlfcn.h>

#include <QFile>
#include <stdexcept>
#include <string>

#include "shell/mdlPublic.h"

namespace {
PrintOneCustomXmlFn g_testFn = nullptr;
PrintOneCustomXmlFn g_loadedFn = nullptr;

PrintOneCustomXmlFn Resolve() {
    if (g_testFn) return g_testFn;
    if (g_loadedFn) return g_loadedFn;
    const QByteArray lib = QFile::encodeName(ProgramFile("libVostrin.so"));
    void* handle = dlopen(lib.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* err = dlerror();
        throw std::runtime_error(err ? err : "libVostrin.so cannot be loaded");
    }
    void* sym = dlsym(handle, "PrintOneCustomXml");
    if (!sym) throw std::runtime_error("libVostrin.so has no PrintOneCustomXml");
    g_loadedFn = reinterpret_cast<PrintOneCustomXmlFn>(sym);
    return g_loadedFn;
}
}  // namespace

void SetPrintOneCustomXmlForTest(PrintOneCustomXmlFn fn) {
    g_testFn = fn;
}

int CallPrintOneCustomXml(const QString& dataFile, const QString& templateFile) {
    PrintOneCustomXmlFn fn = Resolve();
    const QByteArray data = QFile::encodeName(dataFile);
    const QByteArray tmpl = QFile::encodeName(templateFile);
    int envelopes = 0;
    int sheets = 0;
    int pages = 0;
    return fn(data.constData(), "", tmpl.constData(), &envelopes, &sheets, &pages, "", 'T');
}
