#include "PageFinishing.h"

#include <climits>

#include "BlankPages.h"
#include "ini/PrivateProfile.h"

namespace TVostrin {
namespace {

constexpr int kDefaultMaxPages = 5;
// Large enough to mean "one envelope", small enough to be doubled for duplex.
constexpr int kLargestMaxPages = INT_MAX / 4;

XmlPtr ReportTable(const TXml* page) {
    return XmlPtr(page->FirstChildByTag("reporttable"));
}

void Convert(TXml* page, const std::string& tag, int value) {
    ConvertPlaceholders(page, {{tag, std::to_string(value)}});
}

// Page numbers and the page total on every page of the page loop.
void NumberPages(const PageList& pages) {
    const int count = pages.Count();
    for (int k = 0; k < count; ++k)
        ConvertPlaceholders(pages.At(k).get(),
                            {{"page", std::to_string(k + 1)}, {"pages", std::to_string(count)}});
}

// Blank sides so that each run of pages with the same "desc" ends on a sheet's back: after the
// last page of a run of odd length comes a blank made from that page.
PageList WithDuplexBlanks(PageList& pages) {
    PageList sides;
    int run = 0;
    XmlPtr page = pages.TakeFirst();
    while (page) {
        const std::string desc = page->AttributeValue("desc");
        ++run;
        XmlPtr next = pages.TakeFirst();
        const bool runEnds = !next || next->AttributeValue("desc") != desc;
        sides.Add(page.get());
        if (runEnds) {
            if (run % 2 == 1) {
                XmlPtr blank(MakeMarkedBlankPage(page.get()));
                sides.Add(blank.get());
            }
            run = 0;
        }
        page = std::move(next);
    }
    return sides;
}

// Moves every "line" child of marks to the end of table, in order (copies where there are too
// many to move one by one: marks goes with its "linecode" afterwards).
void MoveLines(TXml* marks, TXml* table) {
    const int count = marks->ChildCount();
    std::vector<XmlPtr> lines;
    for (int c = 0; c < count; ++c) {
        XmlPtr child(marks->ChildAt(c));
        if (child && child->GetTag() == "line") lines.push_back(std::move(child));
    }
    const bool move = FewEnoughToMove(static_cast<long long>(lines.size()), count);
    for (XmlPtr& line : lines) {
        XmlPtr copy(move ? nullptr : CopyTree(line.get()));
        table->AppendSubtree(move ? line.get() : copy.get());
    }
}

// Replaces each page's "linecode" by its "begin" or "end" lines and counts envelopes.
void MarkEnvelopes(const PageList& pages, bool duplex, int maxPages, int* envelopes) {
    const int total = pages.Count();
    for (int m = 0; m < total; ++m) {
        XmlPtr page = pages.At(m);
        XmlPtr table = ReportTable(page.get());
        if (!table) continue;
        XmlPtr lineCode(table->FirstChildByTag("linecode"));
        if (!lineCode) continue;
        Convert(page.get(), "envelope", *envelopes + 1);
        // The conversion may have made the table anew.
        table = ReportTable(page.get());
        lineCode.reset(table->FirstChildByTag("linecode"));
        std::string kind = "begin";
        if (m == total - 1 || m % maxPages == maxPages - 1) {
            kind = "end";
            ++*envelopes;
        }
        if (duplex && m % 2 == 0 && (m == total - 2 || m % maxPages == maxPages - 2)) kind = "end";
        XmlPtr marks(lineCode->FirstChildByTag(kind));
        if (marks) MoveLines(marks.get(), table.get());
        lineCode->DetachFromTree();
    }
}

// The pages with a copy of the envelope page in front of every maxPages of them (and its blank
// back in duplex).
PageList WithEnvelopePages(PageList& pages, const TXml* envelopePage, bool duplex, int maxPages,
                           int* envelopes) {
    *envelopes = 0;
    PageList all;
    for (int c = 0; !pages.Empty(); ++c) {
        if (c % maxPages == 0) {
            XmlPtr copy(CopyTree(envelopePage));
            Convert(copy.get(), "envelope", *envelopes + 1);
            XmlPtr back(duplex ? MakeBlankPage(copy.get()) : nullptr);
            all.Add(copy.get());
            if (back) all.Add(back.get());
            ++*envelopes;
        }
        XmlPtr page = pages.TakeFirst();
        Convert(page.get(), "envelope", *envelopes);
        all.Add(page.get());
    }
    return all;
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

int FinishPages(bool duplex, const std::string& iniFile, TXml* envelopePage, PageList& list,
                TXml** root, int* envelopes, int* sheets, int* pages) {
    const int count = list.Count();
    const int maxPages = GetMaxPages(iniFile) * (duplex ? 2 : 1);
    *envelopes = 0;
    *sheets = 0;
    *pages = count;

    NumberPages(list);
    PageList sides = duplex ? WithDuplexBlanks(list) : std::move(list);
    const int total = sides.Count();
    MarkEnvelopes(sides, duplex, maxPages, envelopes);

    if (envelopePage != nullptr) {
        XmlPtr newRoot(new TXml());
        newRoot->SetTag("root");
        for (int a = 0; a < (*root)->AttributeCount(); ++a)
            newRoot->AddAttribute((*root)->AttributeNameAt(a), (*root)->AttributeValueAt(a));
        delete *root;
        *root = newRoot.release();
        if (total == 0) {
            // The envelope page itself is the only page.
            Convert(envelopePage, "envelope", 1);
            (*root)->AppendSubtree(envelopePage);
            *envelopes = 1;
        } else {
            sides = WithEnvelopePages(sides, envelopePage, duplex, maxPages, envelopes);
        }
    }

    *sheets = duplex ? (total + 1) / 2 : total;
    if (*envelopes == 0) *envelopes = *sheets;

    // Sheet numbers and the envelope count, on the envelope pages too, as every page goes below
    // the root in order.
    const auto lastPlaceholders = [&](TXml* page, int sheet) {
        ConvertPlaceholders(
            page, {{"envelope", std::to_string(sheet)}, {"envelopes", std::to_string(*envelopes)}});
    };
    if (envelopePage != nullptr && total == 0) lastPlaceholders(envelopePage, 1);
    int sheet = 1;
    for (int q = 0; !sides.Empty(); ++q) {
        XmlPtr page = sides.TakeFirst();
        lastPlaceholders(page.get(), sheet);
        (*root)->AppendSubtree(page.get());
        if (!duplex || q % 2 == 1) ++sheet;
    }
    return 0;
}

int FinishPages(bool duplex, const std::string& iniFile, TXml* envelopePage, TXml** root,
                int* envelopes, int* sheets, int* pages) {
    // The pages leave the root, in order, to be finished as a list.
    PageList list;
    while ((*root)->ChildCount() > 0) {
        XmlPtr page((*root)->ChildAt(0));
        list.Add(page.get());
    }
    return FinishPages(duplex, iniFile, envelopePage, list, root, envelopes, sheets, pages);
}

}  // namespace TVostrin
