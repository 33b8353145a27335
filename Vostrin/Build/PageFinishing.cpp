#include "PageFinishing.h"

#include <climits>
#include <vector>

#include "BlankPages.h"
#include "TreeUtils.h"
#include "ini/PrivateProfile.h"

namespace TVostrin {
namespace {

constexpr int kDefaultMaxPages = 5;
// Large enough to mean "one envelope", small enough to be doubled for duplex.
constexpr int kLargestMaxPages = INT_MAX / 4;

XmlPtr ReportTable(const TXml* page) {
    return XmlPtr(page->FirstChildByTag("reporttable"));
}

void ConvertOnPage(const TXml* page, const std::string& tag, int value) {
    XmlPtr table = ReportTable(page);
    if (table) ConvertPlaceholders(table.get(), tag, std::to_string(value));
}

// Page numbers and the page total on every page of the page loop.
void NumberPages(TXml* root, int count) {
    for (int k = 0; k < count; ++k) {
        XmlPtr page(root->ChildAt(k));
        ConvertOnPage(page.get(), "page", k + 1);
        ConvertOnPage(page.get(), "pages", count);
    }
}

// Inserts blank sides so that each run of pages with the same "desc" ends on a sheet's back:
// after the last page of a run of odd length comes a blank made from that page. The pages move
// once, in order, to a new root with the blanks between them, which replaces *root.
void InsertDuplexBlanks(TXml** root, int* total) {
    TXml* old = *root;
    const int count = old->ChildCount();
    std::vector<XmlPtr> pages;
    pages.reserve(static_cast<size_t>(count));
    for (int l = 0; l < count; ++l) pages.emplace_back(old->ChildAt(l));
    XmlPtr rebuilt = CopyNode(old);
    int run = 0;
    for (int l = 0; l < count; ++l) {
        const std::string desc = pages[l]->AttributeValue("desc");
        ++run;
        rebuilt->AppendSubtree(pages[l].get());
        const bool runEnds = l + 1 == count || pages[l + 1]->AttributeValue("desc") != desc;
        if (!runEnds) continue;
        if (run % 2 == 1) {
            XmlPtr blank(MakeMarkedBlankPage(pages[l].get()));
            rebuilt->AppendSubtree(blank.get());
            ++*total;
        }
        run = 0;
    }
    delete old;
    *root = rebuilt.release();
}

// Replaces each page's "linecode" by its "begin" or "end" lines and counts envelopes.
void MarkEnvelopes(TXml* root, bool duplex, int maxPages, int total, int* envelopes) {
    for (int m = 0; m < total; ++m) {
        XmlPtr page(root->ChildAt(m));
        XmlPtr table = ReportTable(page.get());
        if (!table) continue;
        XmlPtr lineCode(table->FirstChildByTag("linecode"));
        if (!lineCode) continue;
        ConvertPlaceholders(table.get(), "envelope", std::to_string(*envelopes + 1));
        std::string kind = "begin";
        if (m == total - 1 || m % maxPages == maxPages - 1) {
            kind = "end";
            ++*envelopes;
        }
        if (duplex && m % 2 == 0 && (m == total - 2 || m % maxPages == maxPages - 2)) kind = "end";
        XmlPtr marks(lineCode->FirstChildByTag(kind));
        if (marks) {
            const int count = marks->ChildCount();
            for (int c = 0; c < count; ++c) {
                XmlPtr line(marks->FirstChildByTag("line"));
                if (!line) break;
                table->AppendSubtree(line.get());
            }
        }
        lineCode->DetachFromTree();
    }
}

// A new root with an envelope page in front of every maxPages pages of the old one.
TXml* AddEnvelopePages(TXml* oldRoot, TXml* envelopePage, bool duplex, int maxPages, int total,
                       int* envelopes) {
    *envelopes = 0;
    XmlPtr root(new TXml());
    root->SetTag("root");
    for (int a = 0; a < oldRoot->AttributeCount(); ++a)
        root->AddAttribute(oldRoot->AttributeNameAt(a), oldRoot->AttributeValueAt(a));
    if (total == 0) {
        ConvertOnPage(envelopePage, "envelope", 1);
        root->AppendSubtree(envelopePage);
        *envelopes = 1;
        return root.release();
    }
    for (int c = 0; c < total; ++c) {
        if (c % maxPages == 0) {
            XmlPtr copy(CopyTree(envelopePage));
            ConvertOnPage(copy.get(), "envelope", *envelopes + 1);
            root->AppendSubtree(copy.get());
            if (duplex) {
                XmlPtr back(MakeBlankPage(copy.get()));
                root->AppendSubtree(back.get());
            }
            ++*envelopes;
        }
        XmlPtr page(oldRoot->ChildAt(0));
        if (!page) break;
        ConvertOnPage(page.get(), "envelope", *envelopes);
        root->AppendSubtree(page.get());
    }
    return root.release();
}

}  // namespace

int GetMaxPages(const std::string& iniFile) {
    if (iniFile.empty()) return kDefaultMaxPages;
    const unsigned value =
        tw::ini::GetPrivateProfileInt("Envelope", "MaxPages", kDefaultMaxPages, iniFile);
    if (value == 0 || value > static_cast<unsigned>(INT_MAX)) return kDefaultMaxPages;
    return value > static_cast<unsigned>(kLargestMaxPages) ? kLargestMaxPages
                                                           : static_cast<int>(value);
}

int FinishPages(bool duplex, const std::string& iniFile, TXml* envelopePage, TXml** root,
                int* envelopes, int* sheets, int* pages) {
    const int count = (*root)->ChildCount();
    const int maxPages = GetMaxPages(iniFile) * (duplex ? 2 : 1);
    *envelopes = 0;
    *sheets = 0;
    *pages = count;
    int total = count;

    NumberPages(*root, count);
    if (duplex) InsertDuplexBlanks(root, &total);
    MarkEnvelopes(*root, duplex, maxPages, total, envelopes);

    if (envelopePage != nullptr) {
        TXml* newRoot = AddEnvelopePages(*root, envelopePage, duplex, maxPages, total, envelopes);
        delete *root;
        *root = newRoot;
    }

    *sheets = duplex ? (total + 1) / 2 : total;
    if (*envelopes == 0) *envelopes = *sheets;

    int sheet = 1;
    const int all = (*root)->ChildCount();
    for (int q = 0; q < all; ++q) {
        XmlPtr page((*root)->ChildAt(q));
        ConvertOnPage(page.get(), "envelope", sheet);
        ConvertOnPage(page.get(), "envelopes", *envelopes);
        if (!duplex || q % 2 == 1) ++sheet;
    }
    return 0;
}

}  // namespace TVostrin
