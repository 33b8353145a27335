#include "PrintElement/Print.h"

#include <memory>
#include <optional>
#include <string>

#include "PrintElement/PageSettings.h"
#include "PrintElement/PrintElementFactory.h"
#include "TXml.h"
#include "ZPrinters/ZPrinterCanvas.h"
#include "text/Gbk.h"

namespace TVostrin {

using Zprinters::TZPrinter;

int TPrint::Print(TXml* xml, const char* printerName, unsigned char reserved) {
    if (!xml) return VOSTRIN_OK;
    try {
        const std::string docName = xml->AttributeValue("docname");
        auto printer = std::make_unique<TZPrinter>();
        if (printerName)
            printer->SetDeviceName(tw::text::FromGbk(printerName));
        else
            printer->SetDeviceIndex(-1);
        printer->SetTitle(tw::text::FromGbk(docName));
        printer->StartDoc(QString());
        const int pages = PrintOn(xml, printer.get(), reserved);
        // Pages printed before a failure still go out with the document; the failure is
        // reported all the same.
        printer->EndDoc();
        return pages == VOSTRIN_OK ? VOSTRIN_OK : VOSTRIN_PRINT_FAILED;
    } catch (...) {
        return VOSTRIN_PRINT_FAILED;
    }
}

int TPrint::PrintOn(TXml* xml, TZPrinter* printer, unsigned char) {
    if (!xml) return VOSTRIN_OK;
    if (!printer) return VOSTRIN_PAGE_LOOP_FAILED;
    try {
        const bool duplex = xml->AttributeValue("duplix") == "true";
        TPageSettings settings;
        // The settings last applied to the printer; applying the same again would only look
        // the device up and merge its settings once more for every page.
        std::optional<TPageSettings> applied;
        bool refused = false;
        const int pageCount = xml->ChildCount();
        for (int p = 0; p < pageCount; ++p) {
            std::unique_ptr<TXml> page(xml->ChildAt(p));
            if (!page) continue;
            if (std::unique_ptr<TXml> setting{page->FirstChildByTag("pagesetting")}) {
                for (int i = 0; i < setting->ChildCount(); ++i) {
                    std::unique_ptr<TXml> item(setting->ChildAt(i));
                    if (item) settings.Update(item->GetTag(), item->GetContent());
                }
            }
            std::unique_ptr<TXml> table(page->FirstChildByTag("reporttable"));
            const int elementCount = table ? table->ChildCount() : 0;
            if (elementCount == 0) continue;  // nothing to print: no page is started

            const Zprinters::TPoint dpi = printer->GetResolution();
            if (applied != settings) {
                if (ApplyPageSettings(*printer, settings, duplex))
                    applied = settings;
                else
                    applied.reset();  // tried again on the next page
            }
            printer->StartPage();
            bool endPage = true;
            for (int e = 0; e < elementCount; ++e) {
                std::unique_ptr<TXml> node(table->ChildAt(e));
                std::unique_ptr<TPrintElement> element = CreatePrintElement(node.get());
                element->OffsetX = settings.OffsetX;
                element->OffsetY = settings.OffsetY;
                element->DpiX = dpi.X;
                element->DpiY = dpi.Y;
                element->PrinterHandle = printer->GetHandle();
                endPage = element->Print(printer->Canvas.get());
                refused = refused || element->Refused;
            }
            if (endPage) printer->EndPage();
        }
        // Every page went out, but a picture left out of one is not silently lost.
        if (refused) return VOSTRIN_PRINT_FAILED;
    } catch (...) {
        return VOSTRIN_PAGE_LOOP_FAILED;
    }
    return VOSTRIN_OK;
}

}  // namespace TVostrin
