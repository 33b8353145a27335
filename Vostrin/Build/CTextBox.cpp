#include "CTextBox.h"

#include <exception>

#include "RecordFields.h"

namespace TVostrin {

int CTextBox::Build(TXml* data, int* cursor, TXml* parent) {
    try {
        XmlPtr records = RecordList(data);
        if (!records) return kBuildDone;
        XmlPtr record(records->ChildAt(*cursor));
        if (!record) return kBuildNothingToPrint;

        const long long dx = static_cast<long long>(XStep) * SlotIndex;
        const long long dy = static_cast<long long>(YStep) * SlotIndex;
        const TXml* node = Node();
        XmlPtr box(new TXml());
        box->SetTag(node->GetTag());
        for (int i = 0; i < node->AttributeCount(); ++i) {
            const std::string name = node->AttributeNameAt(i);
            std::string v = node->AttributeValueAt(i);
            if (name == "x1" || name == "x2")
                v = std::to_string(ParseInt(v, 0) + dx);
            else if (name == "y1" || name == "y2")
                v = std::to_string(ParseInt(v, 0) + dy);
            box->AddAttribute(name, v);
        }

        bool any = false;
        const int count = node->ChildCount();
        for (int i = 0; i < count; ++i) {
            XmlPtr field(node->ChildAt(i));
            const std::string v = TrimControl(FieldValue(field.get(), record.get()));
            if (IsMainData(v, field.get())) any = true;
            XmlPtr out = ShiftedField(field.get(), field->GetTag(), 0, 0, v);
            box->AppendSubtree(out.get());
        }
        parent->AppendSubtree(box.get());
        return any ? kBuildDone : kBuildNothingToPrint;
    } catch (const std::exception&) {
        return kBuildFailed;
    }
}

}  // namespace TVostrin
