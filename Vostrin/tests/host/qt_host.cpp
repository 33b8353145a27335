// A Qt program that prints through the library with its application object on the stack and
// returns from main while a package document is still open. Used by the print interface tests.
//
//   qt_host TITLE TEMPLATE DATA...
//
// Opens a package document in mode 'T' (the file TITLE in this program's folder) on the
// default printer, adds each data file, prints "begin=S" and one "status=S" line per data file,
// and returns without EndPkgDoc.
#include <QGuiApplication>
#include <cstdio>

#include "Vostrin.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 4) return 2;
    SetVostrinDLLApp(&app);
    std::printf("begin=%d\n", BeginPkgDoc(argv[1], nullptr, 'T'));
    for (int i = 3; i < argc; ++i) {
        int envelopes = 0, sheets = 0, pages = 0;
        const int status =
            PrintOneCustomXml2(argv[i], "", argv[2], &envelopes, &sheets, &pages, nullptr, 0);
        std::printf("status=%d\n", status);
    }
    std::fflush(stdout);
    return 0;
}
