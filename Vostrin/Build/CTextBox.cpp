#include "CTextBox.h"

#include "RecordFields.h"

namespace TVostrin {

bool CTextBox::BuildRecord(const TXml* record, long long dx, long long dy,
                           std::vector<XmlPtr>& made) {
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
        const std::string v = TrimControl(FieldValue(field.get(), record));
        if (IsMainData(v, field.get())) any = true;
        XmlPtr out = ShiftedField(field.get(), field->GetTag(), 0, 0, v);
        box->AppendSubtree(out.get());
    }
    made.push_back(std::move(box));
    return any;
}

}  // namespace TVostrin
