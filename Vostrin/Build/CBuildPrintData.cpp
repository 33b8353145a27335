#include "CBuildPrintData.h"

#include <exception>

#include "BuildBudget.h"
#include "ExpressionBinding.h"
#include "PageFinishing.h"
#include "PageLoop.h"
#include "RecordFields.h"

namespace TVostrin {
namespace {

// Keeps the expression library bound for one build and releases it however the build ends.
class LibraryBinding {
  public:
    LibraryBinding() : status_(BindExpressionLibrary()) {}
    ~LibraryBinding() { ReleaseExpressionLibrary(); }
    LibraryBinding(const LibraryBinding&) = delete;
    LibraryBinding& operator=(const LibraryBinding&) = delete;
    int Status() const { return status_; }

  private:
    int status_;
};

}  // namespace

int CBuildPrintData::Build(TXml* data, const std::string& iniFile, const std::string& templateFile,
                           int* envelopes, int* sheets, int* pages, TXml** printable) {
    try {
        XmlPtr layout(new TXml());
        if (!layout->LoadXmlFile(templateFile)) {
            return VOSTRIN_XML_NOT_LOADED;
        }
        return BuildPrintable(data, iniFile, layout.get(), envelopes, sheets, pages, printable);
    } catch (const std::exception& e) {
        return VOSTRIN_PRINT_FAILED;
    }
}

int CBuildPrintData::BuildPrintable(TXml* data, const std::string& iniFile, TXml* layout,
                                    int* envelopes, int* sheets, int* pages, TXml** printable) {
    if (data == nullptr) return 0;
    LibraryBinding library;
    if (library.Status() != 0) {
        return library.Status();
    }
    try {
        *envelopes = 0;
        *sheets = 0;
        *pages = 0;
        duplex_ = false;
        XmlPtr layoutPages(layout ? layout->FirstChildByTag("pages") : nullptr);
        XmlPtr root(new TXml());
        bool complete = true;
        XmlPtr records = RecordList(data);
        const int n = records ? records->ChildCount() : 0;
        if (n > 0) {
            root->SetTag("root");
            for (int a = 0; a < data->AttributeCount(); ++a)
                root->AddAttribute(data->AttributeNameAt(a), data->AttributeValueAt(a));

            XmlPtr envelopePage;
            PageList built;
            if (layoutPages && layoutPages->ChildCount() > 0) {
                duplex_ = layoutPages->AttributeValue("duplix") == "true";
                root->AddAttribute("duplix", duplex_ ? "true" : "false");
                BuildBudget budget;
                // The first envelope template, breadth first, makes the envelope page; none of
                // them takes part in the page loop. Only the page templates are used, and the
                // loop detaches some of them: a copy of "pages" without the envelope templates
                // is all it needs, whatever else the template holds.
                XmlPtr envelopeTemplate(layoutPages->FindNodeByAttribute(layoutPages.get(), "page",
                                                                         "envelope", "true"));
                envelopePage = BuildEnvelopePage(envelopeTemplate.get(), data, n, &budget);
                XmlPtr pagesNode(CopyTree(layoutPages.get(), IsEnvelopeTemplate));
                budget.ExpectFinishing(duplex_, GetMaxPages(iniFile) * (duplex_ ? 2 : 1),
                                       envelopePage.get());
                complete = !budget.Spent() &&
                           RunPageLoop(pagesNode.get(), data, n, built, kPageBuildLimit, &budget);
            }

            TXml* finished = root.release();
            try {
                FinishPages(duplex_, iniFile, envelopePage.get(), built, &finished, envelopes,
                            sheets, pages);
            } catch (...) {
                root.reset(finished);
                throw;
            }
            root.reset(finished);
        }
        *printable = root.release();
        return complete ? 0 : VOSTRIN_PRINT_FAILED;
    } catch (const std::exception& e) {
        return VOSTRIN_PRINT_FAILED;
    }
}

}  // namespace TVostrin
