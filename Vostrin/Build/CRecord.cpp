#include "CRecord.h"

#include <exception>

#include "CScrollText.h"
#include "CTextBox.h"
#include "RecordFields.h"

namespace TVostrin {
namespace {

// Builds a "textbox" or "scrolltext" field for the record at index into holding; true when it
// printed main data. Its own failures do not stop the row.
template <class Element>
bool BuildSlotElement(TXml* field, TXml* data, int index, int xs, int ys, int k, TXml* holding) {
    try {
        Element element(field);
        element.XStep = xs;
        element.YStep = ys;
        element.SlotIndex = k;
        int cur = index;
        return element.Build(data, &cur, holding) == kBuildDone;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int CRecord::Build(TXml* data, int* cursor, TXml* parent) {
    int i = *cursor;
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
            for (int k = 0; k < reps;) {
                XmlPtr record(records->ChildAt(i));
                if (!record) break;
                bool blank = true;
                XmlPtr holding(new TXml());
                for (int f = 0; f < fields; ++f) {
                    XmlPtr field(row->ChildAt(f));
                    const std::string tag = field->GetTag();
                    if (tag == "scrolltext" || tag == "textbox") {
                        const bool printed =
                            tag == "textbox" ? BuildSlotElement<CTextBox>(field.get(), data, i, xs,
                                                                          ys, k, holding.get())
                                             : BuildSlotElement<CScrollText>(
                                                   field.get(), data, i, xs, ys, k, holding.get());
                        if (printed) blank = false;
                        continue;
                    }
                    const std::string v = FieldValue(field.get(), record.get());
                    if (blank && IsMainData(v, field.get())) blank = false;
                    if (v.empty() && tag != "line") continue;
                    XmlPtr out = ShiftedField(field.get(), tag == "field" ? "text" : tag,
                                              static_cast<long long>(xs) * k,
                                              static_cast<long long>(ys) * k, v);
                    holding->AppendSubtree(out.get());
                }
                if (blank) {
                    --k;  // the next record takes this slot
                } else {
                    any = true;
                    while (holding->ChildCount() > 0) {
                        XmlPtr first(holding->ChildAt(0));
                        parent->AppendSubtree(first.get());
                    }
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
        *cursor = i;
        return kBuildFailed;
    }
}

}  // namespace TVostrin
