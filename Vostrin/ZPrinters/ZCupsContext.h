// A context of a CUPS queue. As an information context it answers the capabilities of the
// current settings; as a device context it runs one document: a QPrinter writing PDF whose
// painter starts at the first page (a document without pages prints nothing), with each page's
// paper and orientation set through the page layout, handed to the queue when it ends.
#pragma once

#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <map>
#include <memory>

#include "ZPrinters/ZPrintContext.h"

namespace Zprinters {

struct TZCupsJob {
    QString queue;
    std::map<int, QPageSize> papers;  // paper code -> page size
    std::map<int, QString> binKeys;   // bin code -> paper-source keyword
};

class TZCupsContext : public TZPrintContext {
  public:
    TZCupsContext(TZCupsJob job, const TZDevMode& devMode, bool deviceContext);
    ~TZCupsContext() override;

    bool IsDeviceContext() const override { return deviceContext_; }
    int GetDeviceCaps(int index) const override;
    bool EnumFontFamilies(QStringList& out) const override;

    int StartDoc(const QString& docName, const QString& outputFile) override;
    int StartPage() override;
    int EndPage() override;
    int EndDoc() override;
    int AbortDoc() override;
    bool ResetDC(const TZDevMode& devMode) override;
    QPainter* Painter() override;

    // The page layout the settings give: the code's size (or the custom width and length),
    // oriented, without margins.
    QPageLayout LayoutOf(const TZDevMode& dm) const;
    int Resolution() const;

  private:
    void Discard();
    int Submit();

    TZCupsJob job_;
    TZDevMode devMode_;
    bool deviceContext_;
    bool docStarted_ = false;
    bool cancelled_ = false;
    int pages_ = 0;
    QString docName_;
    QString outputFile_;
    QString tempFile_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
};

}  // namespace Zprinters
