#include "CRecord.h"

#include <exception>
#include <vector>

#include "CScrollText.h"
#include "CTextBox.h"
#include "RecordFields.h"

namespace TVostrin {
namespace {

// The "textbox" or "scrolltext" field built for the record at index into made, as BuildSlot
// answers. A failure of its own does not stop the row (kBuildNothingToPrint); a spent budget
// does (kBuildFailed).
template <class Element>
int BuildSlotElement(TXml* field, BuildBudget* budget, const TXml* record, int xs, int ys, int k,
                     std::vector<XmlPtr>& made) {
    Element element(field);
    element.SetBudget(budget);
    element.XStep = xs;
    element.YStep = ys;
    element.SlotIndex = k;
    const int status = element.BuildSlot(record, made);
    if (status == kBuildFailed && !(budget && budget->Spent())) return kBuildNothingToPrint;
    return status;
}

}  // namespace

int CRecord::Build(TXml* data, int* cursor, TXml* parent) {
    int i = *cursor;
    const auto fail = [&] {
        *cursor = i;
        return kBuildFailed;
    };
    try {
        XmlPtr records = RecordList(data);
        if (!records) return kBuildDone;
        const int n = records->ChildCount();
        bool any = false;
        const TXml* node = Node();
        const int rows = node->ChildCount();
        for (int r = 0; r < rows && i < n; ++r) {
            XmlPtr row(node->ChildAt(r));
            const int reps = IntAttribute(row.get(), "repeatnum", 1);
            const int xs = IntAttribute(row.get(), "xstep", 0);
            const int ys = IntAttribute(row.get(), "ystep", 0);
            const int fields = row->ChildCount();
            // A row, a field or a slot that makes nothing is work all the same.
            if (reps <= 0 && !ChargeWork(1)) return fail();
            for (int k = 0; k < reps;) {
                XmlPtr record(records->ChildAt(i));
                if (!record) break;
                bool blank = true;
                // The slot's nodes, kept apart until it is known to print.
                std::vector<XmlPtr> made;
                for (int f = 0; f < fields; ++f) {
                    XmlPtr field(row->ChildAt(f));
                    const std::string tag = field->GetTag();
                    if (tag == "scrolltext" || tag == "textbox") {
                        const int status =
                            tag == "textbox"
                                ? BuildSlotElement<CTextBox>(field.get(), Budget(), record.get(),
                                                             xs, ys, k, made)
                                : BuildSlotElement<CScrollText>(field.get(), Budget(), record.get(),
                                                                xs, ys, k, made);
                        if (status == kBuildFailed) return fail();
                        if (status == kBuildDone) blank = false;
                        continue;
                    }
                    const std::string v = FieldValue(field.get(), record.get());
                    if (blank && IsMainData(v, field.get())) blank = false;
                    if (v.empty() && tag != "line") {
                        if (!ChargeWork(1)) return fail();
                        continue;
                    }
                    made.push_back(ShiftedField(field.get(), tag == "field" ? "text" : tag,
                                                static_cast<long long>(xs) * k,
                                                static_cast<long long>(ys) * k, v));
                    if (!Charge(made.back().get())) return fail();
                }
                if (blank) {
                    if (!ChargeWork(1)) return fail();
                    --k;  // the next record takes this slot
                } else {
                    any = true;
                    for (XmlPtr& out : made) parent->AppendSubtree(out.get());
                }
                if (i >= n) break;
                ++i;
                ++k;
            }
        }
        *cursor = i;
        if (node->AttributeValue("scope") == "1") *cursor = n;
        return any ? kBuildDone : kBuildNothingToPrint;
    } catch (const std::exception&) {
        return fail();
    }
}

}  // namespace TVostrin
