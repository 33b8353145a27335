#include "PageLoop.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "CBuildElement.h"

namespace TVostrin {
namespace {

bool FlagSet(const TXml* node, const char* name) {
    return node->AttributeValue(name) == "true";
}

// A well-mixed 64-bit value of z (the finaliser of SplitMix64).
uint64_t Mix(uint64_t z) {
    z += 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

uint64_t Pair(int a, int b) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32) | static_cast<uint32_t>(b);
}

// Record cursors of the page templates, indexed like them. An entry that was never set reads
// as 0. Beside the list it keeps the sum of a mixed value of each entry that is not 0, so that
// a fingerprint of the whole list costs the same for any number of templates.
class Cursors {
  public:
    int At(int n) const {
        return n >= 0 && n < static_cast<int>(list_.size()) ? list_[static_cast<size_t>(n)] : 0;
    }
    void Set(int n, int value) {
        if (n < 0) return;
        if (n >= static_cast<int>(list_.size())) list_.resize(static_cast<size_t>(n) + 1, 0);
        int& entry = list_[static_cast<size_t>(n)];
        sum_ += Entry(n, value) - Entry(n, entry);
        entry = value;
    }
    int Length() const { return static_cast<int>(list_.size()); }
    // A fingerprint of the loop's state: the template index i, the list's length and entries.
    uint64_t Fingerprint(int i) const { return Mix(sum_ ^ Mix(Pair(Length(), i))); }

  private:
    static uint64_t Entry(int n, int value) { return value == 0 ? 0 : Mix(Pair(n, value)); }

    std::vector<int> list_{0};
    uint64_t sum_ = 0;
};

// Charges budget with what a kept page makes when finishing, from the nodes and text it
// charged while it was built.
bool ChargeKept(BuildBudget* budget, long long nodesBefore, long long textBefore) {
    return budget == nullptr ||
           budget->ChargeKeptPage(budget->Nodes() - nodesBefore, budget->TextBytes() - textBefore);
}

}  // namespace

int BuildPage(const TXml* T, TXml* data, int* cursor, XmlPtr* page, BuildBudget* budget) {
    const auto charge = [budget](const TXml* node) { return !budget || budget->Charge(node); };
    XmlPtr built = CopyNode(T);
    if (!charge(built.get())) return kBuildFailed;
    XmlPtr setting(T->FirstChildByTag("pagesetting"));
    if (setting) {
        XmlPtr copy = CopyNode(setting.get());
        const int count = setting->ChildCount();
        for (int c = 0; c < count; ++c) {
            XmlPtr child(setting->ChildAt(c));
            XmlPtr childCopy = CopyNode(child.get());
            copy->AppendSubtree(childCopy.get());
        }
        if (!charge(copy.get())) return kBuildFailed;
        built->AppendSubtree(copy.get());
    }
    XmlPtr report(new TXml());
    report->SetTag("reporttable");
    if (!charge(report.get())) return kBuildFailed;
    int status = kBuildDone;
    XmlPtr table(T->FirstChildByTag("reporttable"));
    if (table) {
        const int count = table->ChildCount();
        for (int c = 0; c < count && status == kBuildDone; ++c) {
            XmlPtr node(table->ChildAt(c));
            std::unique_ptr<CBuildElement> element(CreateElement(node.get()));
            element->SetBudget(budget);
            const int before = report->ChildCount();
            status = element->Build(data, cursor, report.get());
            // An element that made nothing was work all the same.
            if (budget && report->ChildCount() == before && !budget->ChargeWork(1))
                return kBuildFailed;
        }
    }
    if (status != kBuildDone) return status;
    built->AppendSubtree(report.get());
    *page = std::move(built);
    return kBuildDone;
}

bool IsEnvelopeTemplate(const TXml* node) {
    // As the search for the envelope template matches: any "envelope" pair of the page says
    // "true".
    if (node->GetTag() != "page") return false;
    for (int a = 0; a < node->AttributeCount(); ++a) {
        if (node->AttributeNameAt(a) == "envelope" && node->AttributeValueAt(a) == "true")
            return true;
    }
    return false;
}

XmlPtr BuildEnvelopePage(const TXml* envelopeTemplate, TXml* data, int recordCount,
                         BuildBudget* budget) {
    if (!envelopeTemplate || recordCount == 0) return nullptr;
    XmlPtr result;
    int cur = 0;
    for (;;) {
        const int before = cur;
        XmlPtr page;
        const int status = BuildPage(envelopeTemplate, data, &cur, &page, budget);
        if (status <= 0) {
            if (status == kBuildDone) result = std::move(page);
            break;
        }
        // A template that does not move its cursor on would give the same answer forever.
        if (cur >= recordCount || cur <= before) break;
    }
    return result;
}

bool RunPageLoop(TXml* pages, TXml* data, int recordCount, PageList& built, int pageLimit,
                 BuildBudget* budget) {
    const int n = recordCount;
    int k = pages->ChildCount();
    if (k == 0) return true;
    Cursors cursors;
    int i = 0;
    int turns = 0;
    // Fingerprints of the states (template index and cursors) met since the last change of the
    // template list; the loop is deterministic, so meeting one again means it would go round
    // forever.
    std::unordered_set<uint64_t> seen;
    for (;;) {
        int cur = cursors.At(i);
        XmlPtr T(pages->ChildAt(i));
        if (!T) return true;
        if (!seen.insert(cursors.Fingerprint(i)).second) return true;
        if (turns >= pageLimit) return false;
        ++turns;

        const bool repeat = FlagSet(T.get(), "continue");
        const bool handOn = FlagSet(T.get(), "record_continue");
        const bool once = FlagSet(T.get(), "print_once");

        XmlPtr page;
        const long long nodesBefore = budget ? budget->Nodes() : 0;
        const long long textBefore = budget ? budget->TextBytes() : 0;
        const int status = BuildPage(T.get(), data, &cur, &page, budget);
        if (once) {
            T->DetachFromTree();
            --k;
            seen.clear();
        }
        if (status == kBuildDone) {
            if (!ChargeKept(budget, nodesBefore, textBefore)) return false;
            built.Add(page.get());
        } else if (status != kBuildNothingToPrint) {
            return !(budget && budget->Spent());
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
