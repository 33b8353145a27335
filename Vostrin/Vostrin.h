/* The print interface of libVostrin.so: flat C functions that print a data XML file, a data
 * tree, a portion of a customer text file or a ready printable page file through a layout
 * template, and that gather several of them into one package document on a printer.
 *
 * Text arguments are null-terminated GBK bytes; file paths are in the file system's encoding.
 * Out counts may be null and are then not written. Results are status codes: 0 success, the
 * negative values below on failure. Nothing is thrown across this interface. */
#ifndef VOSTRIN_PRINT_INTERFACE_H
#define VOSTRIN_PRINT_INTERFACE_H

#if defined(__GNUC__)
#define VOSTRIN_API __attribute__((visibility("default")))
#else
#define VOSTRIN_API
#endif

#ifdef __cplusplus
class TXml;
extern "C" {
#else
typedef struct TXml TXml;
#endif

/* Status codes. */
enum {
    VOSTRIN_OK = 0,
    VOSTRIN_XML_NOT_LOADED = -1001,
    VOSTRIN_PRINT_FAILED = -1003,
    VOSTRIN_PAGE_LOOP_FAILED = -1010,
    VOSTRIN_NO_EXPRESSION_LIBRARY = -1100,
    VOSTRIN_EXPRESSION_LIBRARY_INCOMPLETE = -1101,
    VOSTRIN_CUSTOMER_FILE_NOT_OPENED = -2001,
    VOSTRIN_CUSTOMER_SEEK_FAILED = -2002,
    VOSTRIN_CUSTOMER_READ_FAILED = -2003,
    VOSTRIN_PKGDOC_BEGIN_FAILED = -2201,
    VOSTRIN_PKGDOC_END_FAILED = -2202,
    VOSTRIN_NO_CUSTOMER_LEFT = -9000
};

/* One document on its own printer (null printerName: the default printer). The counts receive
 * envelopes, sheets and pages of the built tree; a data file that does not load gives -1001
 * and leaves them untouched. */
VOSTRIN_API int PrintOneCustomXml(const char* dataXmlFile, const char* iniFile,
                                  const char* templateFile, int* envelopeCount, int* sheetCount,
                                  int* pageCount, const char* printerName, char reserved);
/* The same with a data tree that the caller keeps. */
VOSTRIN_API int PrintOneCustomXmlEx(TXml* data, const char* iniFile, const char* templateFile,
                                    int* envelopeCount, int* sheetCount, int* pageCount,
                                    const char* printerName, char reserved);
/* One portion of a customer text file from filePos (its end goes to newFilePos), printed when
 * doPrint is non-zero. */
VOSTRIN_API int PrintOneCustom(const char* customerFile, int index, int filePos, int* newFilePos,
                               const char* iniFile, const char* templateFile, int* envelopeCount,
                               int* sheetCount, int* pageCount, char doPrint,
                               const char* printerName, char reserved);
/* A printable page file printed as it stands. */
VOSTRIN_API int PrintPrintableXml(const char* printableXmlFile, const char* printerName,
                                  char reserved);
/* Does nothing; always 0. */
VOSTRIN_API int PrintOneCustomPerPage(int a1, int a2, int a3, int a4, int a5, int a6, int a7,
                                      int a8);

/* Package documents: BeginPkgDoc opens a document on a printer name, the *2 / *Ex3 calls append
 * pages to it, EndPkgDoc ends it. mode 'T' sends the document to the file docTitle in the host
 * program's folder. A package call on a name without an open document returns -2201. */
VOSTRIN_API int BeginPkgDoc(const char* docTitle, const char* printerName, char mode);
VOSTRIN_API int EndPkgDoc(const char* printerName);
VOSTRIN_API int PrintOneCustomXml2(const char* dataXmlFile, const char* iniFile,
                                   const char* templateFile, int* envelopeCount, int* sheetCount,
                                   int* pageCount, const char* printerName, char reserved);
VOSTRIN_API int PrintOneCustomXmlEx2(TXml* data, const char* iniFile, const char* templateFile,
                                     int* envelopeCount, int* sheetCount, int* pageCount,
                                     const char* printerName, char reserved);
/* The layout template as a tree too (the caller keeps both trees). */
VOSTRIN_API int PrintOneCustomXmlEx3(TXml* data, const char* iniFile, TXml* layoutTemplate,
                                     int* envelopeCount, int* sheetCount, int* pageCount,
                                     const char* printerName, char reserved);
VOSTRIN_API int PrintOneCustom2(const char* customerFile, int index, int filePos, int* newFilePos,
                                const char* iniFile, const char* templateFile, int* envelopeCount,
                                int* sheetCount, int* pageCount, char doPrint,
                                const char* printerName, char reserved);

/* Binds the host program's application object (a QCoreApplication*); only the first call
 * counts. Without one the library makes its own QGuiApplication when it first prints, on the
 * offscreen platform (no display is ever used). Package documents still open when the
 * application object is destroyed are ended just before it goes. */
VOSTRIN_API void SetVostrinDLLApp(void* hostApplication);

#ifdef __cplusplus
}

/* What the direct and the package exports share (not part of the C interface). */
#include <functional>
#include <string>

namespace TVostrin {

/* The three counts of a build; zero until a build reports them. */
struct PrintCounts {
    int envelopes = 0;
    int sheets = 0;
    int pages = 0;
    /* Writes each count whose pointer is not null. */
    void WriteTo(int* envelopeCount, int* sheetCount, int* pageCount) const;
};

/* Makes the library's own QGuiApplication (offscreen platform) when the process has no
 * application object. True when the process then has a QGuiApplication, which drawing text
 * needs; a host that made a plain QCoreApplication has none, and the library cannot make a
 * second one. */
bool EnsureApplication();
/* The host program's folder, without a trailing separator. */
std::string HostProgramFolder();

/* Prints a built printable tree; answers the status of the call. */
using PrintStep = std::function<int(TXml* printable)>;

/* Builds the printable tree of data with the template file (or, when layout is not null, the
 * template tree) and hands the tree the build made to print. The counts get what the build
 * reports. A build that fails with a tree (a job cut short at the page limit) prints it and
 * answers its own status. Every exception becomes -1003; the printable tree is freed. */
int BuildAndPrint(TXml* data, const char* iniFile, const char* templateFile, TXml* layout,
                  PrintCounts& counts, const PrintStep& print);

/* The customer portion of PrintOneCustom and PrintOneCustom2 after any printer check: imports,
 * writes newFilePos on success, builds and prints when doPrint is set, writes the counts. */
int PrintCustomerPortion(const char* customerFile, int index, int filePos, int* newFilePos,
                         const char* iniFile, const char* templateFile, int* envelopeCount,
                         int* sheetCount, int* pageCount, char doPrint, const PrintStep& print);

}  // namespace TVostrin
#endif

#endif
