// A drawing or information context of a printer, as the printing layer hands it out. An
// information context only answers device capabilities; a device context also runs one print
// document and gives the painter of the page that is open.
#pragma once

#include <QString>
#include <QStringList>

#include "ZPrinters/ZTypes.h"

class QPainter;

namespace Zprinters {

class TZPrintContext;

// Called while a document spools; answers false to cancel the job.
using TZAbortProc = bool (*)(TZPrintContext* dc, int error);

class TZPrintContext {
  public:
    virtual ~TZPrintContext() = default;
    TZPrintContext(const TZPrintContext&) = delete;
    TZPrintContext& operator=(const TZPrintContext&) = delete;

    virtual bool IsDeviceContext() const = 0;
    // One of the TZDeviceCap values; 0 for an index the context does not know.
    virtual int GetDeviceCaps(int index) const = 0;
    // Face names of the fonts the device offers; false when they cannot be listed.
    virtual bool EnumFontFamilies(QStringList& out) const;

    // Document calls of a device context. The results follow the system's convention: above 0
    // for success, 0 or below for failure. An information context fails them all.
    virtual int StartDoc(const QString& docName, const QString& outputFile);
    virtual int StartPage();
    virtual int EndPage();
    virtual int EndDoc();
    virtual int AbortDoc();
    // New settings for the pages started from now on (paper, orientation, bin, duplex).
    virtual bool ResetDC(const TZDevMode& devMode);
    // The painter of the open page; null when no page is open.
    virtual QPainter* Painter();

    void SetAbortProc(TZAbortProc proc) { abortProc_ = proc; }

  protected:
    TZPrintContext() = default;
    // Asks the installed abort callback whether the job goes on; true without a callback.
    bool QueryAbortProc();

  private:
    TZAbortProc abortProc_ = nullptr;
};

using HDC = TZPrintContext*;

}  // namespace Zprinters
