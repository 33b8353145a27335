#include "PkgDoc.h"

#include <QCoreApplication>
#include <QString>
#include <map>
#include <memory>

#include "PrintCallFrames.h"
#include "PrintElement/Print.h"
#include "TXml.h"
#include "Vostrin.h"
#include "ZPrinters/ZPrintDevices.h"
#include "ZPrinters/ZPrintSystem.h"
#include "ZPrinters/ZPrinter.h"
#include "text/Gbk.h"

namespace TVostrin {

namespace {

using Zprinters::TZPrinter;

// Printers by name, compared byte by byte; a null name is kept under "". Ending a document
// draws, which needs the application object: documents still open when the application goes
// are ended just before (EndOpenPackages). When the library is unloaded, a document still open
// is ended while an application exists (the library's own one never goes); without one, it is
// left unended, and its printer, which could not be taken down without one either, is let go.
struct PackageTable {
    PackageTable() {
        // The printer unit's own process-wide objects must outlive this table, whose printers
        // use them when they are deleted: made first, they are destroyed last.
        Zprinters::LivePrinterCount();
        Zprinters::PrintSystem();
        Zprinters::FreePrintDevices();
    }
    ~PackageTable() {
        if (QCoreApplication::instance()) return;
        for (auto& entry : printers) static_cast<void>(entry.second.release());  // never deleted
    }
    PackageTable(const PackageTable&) = delete;
    PackageTable& operator=(const PackageTable&) = delete;
    std::map<std::string, std::unique_ptr<TZPrinter>> printers;
};

std::map<std::string, std::unique_ptr<TZPrinter>>& PackagePrinters() {
    static PackageTable table;
    return table.printers;
}

// The renderer shared by every package call.
TPrint& PackageRenderer() {
    static TPrint renderer;
    return renderer;
}

std::string Key(const char* printerName) {
    return printerName ? printerName : "";
}

// Called by Qt while the application object is being destroyed, before it is gone: ends every
// document still open (as EndPkgDoc would) and removes its printer, so that nothing is left to
// draw once drawing is no longer possible.
void EndOpenPackages() {
    auto& printers = PackagePrinters();
    for (auto& entry : printers) {
        try {
            if (entry.second && entry.second->GetPrinting()) entry.second->EndDoc();
        } catch (...) {
            // The other documents are still ended.
        }
    }
    printers.clear();
}

// Appends the printable tree's pages to the open document of printer.
PrintStep AppendTo(TZPrinter* printer, char reserved) {
    return [printer, reserved](TXml* printable) {
        return PackageRenderer().PrintOn(printable, printer, static_cast<unsigned char>(reserved));
    };
}

}  // namespace

Zprinters::TZPrinter* FindPackagePrinter(const char* printerName) {
    auto it = PackagePrinters().find(Key(printerName));
    if (it == PackagePrinters().end() || !it->second) return nullptr;
    // A name whose BeginPkgDoc failed keeps its entry but has no document to add pages to.
    return it->second->GetPrinting() ? it->second.get() : nullptr;
}

int PackagePrinterCount() {
    return static_cast<int>(PackagePrinters().size());
}

}  // namespace TVostrin

using namespace TVostrin;

extern "C" {

int BeginPkgDoc(const char* docTitle, const char* printerName, char mode) {
    try {
        if (!EnsureApplication()) return VOSTRIN_PKGDOC_BEGIN_FAILED;
        // Once for the current application object (Qt forgets its routines after calling them).
        qRemovePostRoutine(EndOpenPackages);
        qAddPostRoutine(EndOpenPackages);
        std::unique_ptr<TZPrinter>& slot = PackagePrinters()[Key(printerName)];
        if (!slot) slot = std::make_unique<TZPrinter>();
        TZPrinter& printer = *slot;
        if (printer.GetPrinting()) printer.EndDoc();
        if (printerName)
            printer.SetDeviceName(tw::text::FromGbk(printerName));
        else
            printer.SetDeviceIndex(-1);
        const QString title = tw::text::FromGbk(docTitle ? docTitle : "");
        printer.SetTitle(title);
        QString outputFile;
        // A document sent to a file needs a file name.
        if (mode == 'T' && title.isEmpty()) return VOSTRIN_PKGDOC_BEGIN_FAILED;
        if (mode == 'T') outputFile = QString::fromStdString(HostProgramFolder()) + "/" + title;
        printer.StartDoc(outputFile);
        return VOSTRIN_OK;
    } catch (...) {
        return VOSTRIN_PKGDOC_BEGIN_FAILED;
    }
}

int EndPkgDoc(const char* printerName) {
    try {
        auto& printers = PackagePrinters();
        auto it = printers.find(Key(printerName));
        if (it == printers.end()) return VOSTRIN_OK;
        // The entry goes whatever happens to the document, so a failed end does not leave a
        // printer stuck under the name.
        std::unique_ptr<TZPrinter> printer = std::move(it->second);
        printers.erase(it);
        if (printer && printer->GetPrinting()) printer->EndDoc();
        return VOSTRIN_OK;
    } catch (...) {
        return VOSTRIN_PKGDOC_END_FAILED;
    }
}

int PrintOneCustomXml2(const char* dataXmlFile, const char* iniFile, const char* templateFile,
                       int* envelopeCount, int* sheetCount, int* pageCount, const char* printerName,
                       char reserved) {
    return PrintLoadedXml(dataXmlFile, [&](TXml* data) {
        return PrintOneCustomXmlEx2(data, iniFile, templateFile, envelopeCount, sheetCount,
                                    pageCount, printerName, reserved);
    });
}

int PrintOneCustomXmlEx2(TXml* data, const char* iniFile, const char* templateFile,
                         int* envelopeCount, int* sheetCount, int* pageCount,
                         const char* printerName, char reserved) {
    return PrintCounted(envelopeCount, sheetCount, pageCount, [&](PrintCounts& counts) {
        TZPrinter* printer = FindPackagePrinter(printerName);
        if (!printer) return static_cast<int>(VOSTRIN_PKGDOC_BEGIN_FAILED);
        return BuildAndPrint(data, iniFile, templateFile, nullptr, counts,
                             AppendTo(printer, reserved));
    });
}

int PrintOneCustomXmlEx3(TXml* data, const char* iniFile, TXml* layoutTemplate, int* envelopeCount,
                         int* sheetCount, int* pageCount, const char* printerName, char reserved) {
    return PrintCounted(envelopeCount, sheetCount, pageCount, [&](PrintCounts& counts) {
        TZPrinter* printer = FindPackagePrinter(printerName);
        if (!printer) return static_cast<int>(VOSTRIN_PKGDOC_BEGIN_FAILED);
        // Without a template tree there is nothing to build from.
        if (!layoutTemplate) return static_cast<int>(VOSTRIN_XML_NOT_LOADED);
        return BuildAndPrint(data, iniFile, nullptr, layoutTemplate, counts,
                             AppendTo(printer, reserved));
    });
}

int PrintOneCustom2(const char* customerFile, int index, int filePos, int* newFilePos,
                    const char* iniFile, const char* templateFile, int* envelopeCount,
                    int* sheetCount, int* pageCount, char doPrint, const char* printerName,
                    char reserved) {
    try {
        EnsureApplication();
        TZPrinter* printer = nullptr;
        if (doPrint) {
            printer = FindPackagePrinter(printerName);
            if (!printer) {
                PrintCounts().WriteTo(envelopeCount, sheetCount, pageCount);
                return VOSTRIN_PKGDOC_BEGIN_FAILED;
            }
        }
        return PrintCustomerPortion(customerFile, index, filePos, newFilePos, iniFile, templateFile,
                                    envelopeCount, sheetCount, pageCount, doPrint,
                                    AppendTo(printer, reserved));
    } catch (...) {
        return VOSTRIN_PRINT_FAILED;
    }
}

}  // extern "C"
