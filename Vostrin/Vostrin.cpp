#include "Vostrin.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

#include "Build/CBuildPrintData.h"
#include "Customer/CBuildCustomerData.h"
#include "PrintCallFrames.h"
#include "PrintElement/Print.h"
#include "TXml.h"

namespace TVostrin {

namespace {

std::string Text(const char* bytes) {
    return bytes ? std::string(bytes) : std::string();
}

// The host binding: the application object the host handed over, and the one the library made
// itself when it had to print from a program without one.
struct HostBinding {
    bool bound = false;
    QCoreApplication* hostApp = nullptr;
    QGuiApplication* ownApp = nullptr;

    ~HostBinding() {
        // Unloading the library: the host's object is no longer used; the library's own one
        // stays for the rest of the process, as Qt does not allow a second one.
        hostApp = nullptr;
        bound = false;
    }
};

HostBinding& Host() {
    static HostBinding binding;
    return binding;
}

}  // namespace

void PrintCounts::WriteTo(int* envelopeCount, int* sheetCount, int* pageCount) const {
    if (envelopeCount) *envelopeCount = envelopes;
    if (sheetCount) *sheetCount = sheets;
    if (pageCount) *pageCount = pages;
}

bool EnsureApplication() {
    if (QCoreApplication::instance())
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    // Text layout and painting need a platform. The library only draws into documents, so its
    // own application takes the offscreen one, which needs no display: a display that is named
    // but cannot be reached (an old ssh session, a service) must not end the host. The
    // command-line option wins over QT_QPA_PLATFORM.
    static int argc = 3;
    static char name[] = "Vostrin";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platformOption, platform, nullptr};
    Host().ownApp = new QGuiApplication(argc, argv);
    return true;
}

std::string HostProgramFolder() {
    EnsureApplication();
    return QCoreApplication::applicationDirPath().toStdString();
}

int BuildAndPrint(TXml* data, const char* iniFile, const char* templateFile, TXml* layout,
                  PrintCounts& counts, const PrintStep& print) {
    TXml* printable = nullptr;
    std::unique_ptr<TXml> owned;
    try {
        CBuildPrintData builder;
        int status = layout
                         ? builder.BuildPrintable(data, Text(iniFile), layout, &counts.envelopes,
                                                  &counts.sheets, &counts.pages, &printable)
                         : builder.Build(data, Text(iniFile), Text(templateFile), &counts.envelopes,
                                         &counts.sheets, &counts.pages, &printable);
        owned.reset(printable);
        // A build that failed with a tree (a job cut short at the page limit) still prints
        // what it built, and its failure stands.
        if (printable) {
            const int printed = print(printable);
            if (status == 0) status = printed;
        }
        return status;
    } catch (...) {
        return VOSTRIN_PRINT_FAILED;
    }
}

int PrintCustomerPortion(const char* customerFile, int index, int filePos, int* newFilePos,
                         const char* iniFile, const char* templateFile, int* envelopeCount,
                         int* sheetCount, int* pageCount, char doPrint, const PrintStep& print) {
    PrintCounts counts;
    TXml* tree = nullptr;
    int position = filePos;
    int status;
    try {
        status =
            CBuildCustomerData().Build(Text(customerFile), index, &position, Text(iniFile), &tree);
    } catch (...) {
        status = VOSTRIN_CUSTOMER_READ_FAILED;
        tree = nullptr;
    }
    std::unique_ptr<TXml> data(tree);
    if (status == 0) {
        if (newFilePos) *newFilePos = position;
        if (doPrint && data)
            status = BuildAndPrint(data.get(), iniFile, templateFile, nullptr, counts, print);
    }
    counts.WriteTo(envelopeCount, sheetCount, pageCount);
    return status;
}

int PrintLoadedXml(const char* dataXmlFile, const std::function<int(TXml* data)>& printTree) {
    try {
        // The file variant is the tree variant after a load.
        auto data = std::make_unique<TXml>();
        if (!dataXmlFile || !data->LoadXmlFile(dataXmlFile)) return VOSTRIN_XML_NOT_LOADED;
        return printTree(data.get());
    } catch (...) {
        return VOSTRIN_PRINT_FAILED;
    }
}

int PrintCounted(int* envelopeCount, int* sheetCount, int* pageCount,
                 const std::function<int(PrintCounts& counts)>& print) {
    try {
        EnsureApplication();
        PrintCounts counts;
        const int status = print(counts);
        counts.WriteTo(envelopeCount, sheetCount, pageCount);
        return status;
    } catch (...) {
        return VOSTRIN_PRINT_FAILED;
    }
}

}  // namespace TVostrin

using namespace TVostrin;

namespace {

// The direct way out: one document on a printer of its own.
PrintStep DirectPrint(const char* printerName, char reserved) {
    return [printerName, reserved](TXml* printable) {
        if (!EnsureApplication()) return static_cast<int>(VOSTRIN_PRINT_FAILED);
        return TPrint().Print(printable, printerName, static_cast<unsigned char>(reserved));
    };
}

}  // namespace

extern "C" {

int PrintOneCustomXml(const char* dataXmlFile, const char* iniFile, const char* templateFile,
                      int* envelopeCount, int* sheetCount, int* pageCount, const char* printerName,
                      char reserved) {
    return PrintLoadedXml(dataXmlFile, [&](TXml* data) {
        return PrintOneCustomXmlEx(data, iniFile, templateFile, envelopeCount, sheetCount,
                                   pageCount, printerName, reserved);
    });
}

int PrintOneCustomXmlEx(TXml* data, const char* iniFile, const char* templateFile,
                        int* envelopeCount, int* sheetCount, int* pageCount,
                        const char* printerName, char reserved) {
    return PrintCounted(envelopeCount, sheetCount, pageCount, [&](PrintCounts& counts) {
        return BuildAndPrint(data, iniFile, templateFile, nullptr, counts,
                             DirectPrint(printerName, reserved));
    });
}

int PrintOneCustom(const char* customerFile, int index, int filePos, int* newFilePos,
                   const char* iniFile, const char* templateFile, int* envelopeCount,
                   int* sheetCount, int* pageCount, char doPrint, const char* printerName,
                   char reserved) {
    try {
        EnsureApplication();
        return PrintCustomerPortion(customerFile, index, filePos, newFilePos, iniFile, templateFile,
                                    envelopeCount, sheetCount, pageCount, doPrint,
                                    DirectPrint(printerName, reserved));
    } catch (...) {
        return VOSTRIN_PRINT_FAILED;
    }
}

int PrintPrintableXml(const char* printableXmlFile, const char* printerName, char reserved) {
    try {
        EnsureApplication();
        auto printable = std::make_unique<TXml>();
        if (!printableXmlFile || !printable->LoadXmlFile(printableXmlFile))
            return VOSTRIN_XML_NOT_LOADED;
        if (!EnsureApplication()) return VOSTRIN_PRINT_FAILED;
        return TPrint().Print(printable.get(), printerName, static_cast<unsigned char>(reserved));
    } catch (...) {
        return VOSTRIN_PRINT_FAILED;
    }
}

int PrintOneCustomPerPage(int, int, int, int, int, int, int, int) {
    return 0;
}

void SetVostrinDLLApp(void* hostApplication) {
    HostBinding& host = Host();
    if (host.bound) return;
    host.bound = true;
    host.hostApp = static_cast<QCoreApplication*>(hostApplication);
}

}  // extern "C"
