#include "PageLoop.h"

#include <set>
#include <string>
#include <vector>

#include "CBuildElement.h"
#include "ErrorLog.h"

namespace TVostrin {
namespace {

bool FlagSet(const TXml* node, const char* name) {
    return node->AttributeValue(name) == "true";
}

// Record cursors of the page templates, indexed like them. An entry that was never set reads
// as 0.
class Cursors {
  public:
    int At(int n) const {
        return n >= 0 && n < static_cast<int>(list_.size()) ? list_[static_cast<size_t>(n)] : 0;
    }
    void Set(int n, int value) {
        if (n < 0) return;
        if (n >= static_cast<int>(list_.size())) list_.resize(static_cast<size_t>(n) + 1, 0);
        list_[static_cast<size_t>(n)] = value;
    }
    int Length() const { return static_cast<int>(list_.size()); }
    const std::vector<int>& List() const { return list_; }

  private:
    std::vector<int> list_{0};
};

}  // namespace

int BuildPage(const TXml* T, TXml* data, int* cursor, XmlPtr* page) {
    XmlPtr built = CopyNode(T);
    XmlPtr setting(T->FirstChildByTag("pagesetting"));
    if (setting) {
        XmlPtr copy = CopyNode(setting.get());
        const int count = setting->ChildCount();
        for (int c = 0; c < count; ++c) {
            XmlPtr child(setting->ChildAt(c));
            XmlPtr childCopy = CopyNode(child.get());
            copy->AppendSubtree(childCopy.get());
        }
        built->AppendSubtree(copy.get());
    }
    XmlPtr report(new TXml());
    report->SetTag("reporttable");
    int status = kBuildDone;
    XmlPtr table(T->FirstChildByTag("reporttable"));
    if (table) {
        const int count = table->ChildCount();
        for (int c = 0; c < count && status == kBuildDone; ++c) {
            XmlPtr node(table->ChildAt(c));
            std::unique_ptr<CBuildElement> element(CreateElement(node.get()));
            status = element->Build(data, cursor, report.get());
        }
    }
    if (status != kBuildDone) return status;
    built->AppendSubtree(report.get());
    *page = std::move(built);
    return kBuildDone;
}

XmlPtr BuildEnvelopePage(TXml* pages, TXml* data, int recordCount) {
    XmlPtr envelope(pages->FindNodeByAttribute(pages, "page", "envelope", "true"));
    if (!envelope || recordCount == 0) return nullptr;
    XmlPtr result;
    int cur = 0;
    for (;;) {
        const int before = cur;
        XmlPtr page;
        const int status = BuildPage(envelope.get(), data, &cur, &page);
        if (status <= 0) {
            if (status == kBuildDone) result = std::move(page);
            break;
        }
        // A template that does not move its cursor on would give the same answer forever.
        if (cur >= recordCount || cur <= before) break;
    }
    for (;;) {
        XmlPtr next(pages->FindNodeByAttribute(pages, "page", "envelope", "true"));
        if (!next) break;
        next->DetachFromTree();
    }
    return result;
}

bool RunPageLoop(TXml* pages, TXml* data, int recordCount, TXml* root, int pageLimit) {
    const int n = recordCount;
    int k = pages->ChildCount();
    if (k == 0) return true;
    Cursors cursors;
    int i = 0;
    int built = 0;
    // States (template index and cursors) met since the last change of the template list; the
    // loop is deterministic, so meeting one again means it would go round forever.
    std::set<std::pair<int, std::vector<int>>> seen;
    for (;;) {
        int cur = cursors.At(i);
        XmlPtr T(pages->ChildAt(i));
        if (!T) return true;
        if (!seen.insert({i, cursors.List()}).second) return true;
        if (built >= pageLimit) return false;
        ++built;

        const bool repeat = FlagSet(T.get(), "continue");
        const bool handOn = FlagSet(T.get(), "record_continue");
        const bool once = FlagSet(T.get(), "print_once");

        XmlPtr page;
        const int status = BuildPage(T.get(), data, &cur, &page);
        if (once) {
            T->DetachFromTree();
            --k;
            seen.clear();
        }
        if (status == kBuildDone) {
            root->AppendSubtree(page.get());
        } else if (status != kBuildNothingToPrint) {
            return true;
        }

        int next = (repeat && cur < n) ? i : (i + 1 >= k ? 0 : i + 1);
        cursors.Set(i, cur);
        if (once) {
            cursors.Set(i, 0);
            if (next > 0) --next;
        }
        if (next >= cursors.Length()) {
            cursors.Set(next, handOn ? cur : 0);
        } else if (handOn && cursors.At(next) < n) {
            cursors.Set(next, cur);
        }

        const int tests = cursors.Length();
        bool found = false;
        for (int t = 0; t < tests; ++t) {
            if (cursors.At(next) < n) {
                found = true;
                break;
            }
            next = next + 1 >= k ? 0 : next + 1;
        }
        if (!found) return true;
        i = next;
    }
}

}  // namespace TVostrin
