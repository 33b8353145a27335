/* A plain C program that loads libVostrin.so at run time, as a host program without Qt does,
 * and prints through it. Used by the print interface tests.
 *
 *   c_host LIB xml DATA INI TEMPLATE PRINTER
 *   c_host LIB pkg TITLE PRINTER TEMPLATE DATA...
 *   c_host LIB pkg-open TITLE PRINTER TEMPLATE DATA...   (ends without EndPkgDoc)
 *
 * PRINTER "-" stands for a null printer name (the default printer). Prints one line
 * "status=S envelopes=E sheets=H pages=P" per print call (counts start at -77, so untouched
 * counts show), and "begin=S" / "end=S" for the package calls. Exit code 2 when the library or
 * a function cannot be found. */
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

#include "Vostrin.h"

/* The function types as the library's own header declares them. */
typedef __typeof__(&PrintOneCustomXml) PrintXmlFn;
typedef __typeof__(&BeginPkgDoc) BeginFn;
typedef __typeof__(&EndPkgDoc) EndFn;

static void* Symbol(void* lib, const char* name) {
    void* sym = dlsym(lib, name);
    if (!sym) fprintf(stderr, "missing %s\n", name);
    return sym;
}

static const char* Printer(const char* arg) {
    return strcmp(arg, "-") == 0 ? NULL : arg;
}

static void PrintXml(PrintXmlFn fn, const char* data, const char* ini, const char* layout,
                     const char* printer) {
    int envelopes = -77, sheets = -77, pages = -77;
    int status = fn(data, ini, layout, &envelopes, &sheets, &pages, printer, 0);
    printf("status=%d envelopes=%d sheets=%d pages=%d\n", status, envelopes, sheets, pages);
    fflush(stdout);
}

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    void* lib = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    if (strcmp(argv[2], "xml") == 0 && argc == 7) {
        PrintXmlFn fn = (PrintXmlFn)Symbol(lib, "PrintOneCustomXml");
        if (!fn) return 2;
        PrintXml(fn, argv[3], argv[4], argv[5], Printer(argv[6]));
        return 0;
    }
    const int keepOpen = strcmp(argv[2], "pkg-open") == 0;
    if ((strcmp(argv[2], "pkg") == 0 || keepOpen) && argc >= 7) {
        BeginFn begin = (BeginFn)Symbol(lib, "BeginPkgDoc");
        EndFn end = (EndFn)Symbol(lib, "EndPkgDoc");
        PrintXmlFn add = (PrintXmlFn)Symbol(lib, "PrintOneCustomXml2");
        if (!begin || !end || !add) return 2;
        const char* printer = Printer(argv[4]);
        printf("begin=%d\n", begin(argv[3], printer, 'P'));
        for (int i = 6; i < argc; ++i) PrintXml(add, argv[i], "", argv[5], printer);
        if (!keepOpen) printf("end=%d\n", end(printer));
        return 0;
    }
    return 2;
}
