#include "RecordFields.h"

#include "ExpressionBinding.h"

namespace TVostrin {

XmlPtr RecordList(const TXml* data) {
    if (data == nullptr) return nullptr;
    return XmlPtr(data->FirstChildByTag("record"));
}

bool IsMainData(const std::string& value, const TXml* field) {
    return !value.empty() && field->AttributeValue("maindata") != "false";
}

XmlPtr ShiftedField(const TXml* field, const std::string& tag, long long dx, long long dy,
                    const std::string& value) {
    XmlPtr out(new TXml());
    out->SetTag(tag);
    for (int i = 0; i < field->AttributeCount(); ++i) {
        const std::string name = field->AttributeNameAt(i);
        std::string v = field->AttributeValueAt(i);
        if (name == "x" || name == "xfrom" || name == "xto")
            v = std::to_string(ParseInt(v, 0) + dx);
        else if (name == "y" || name == "yfrom" || name == "yto")
            v = std::to_string(ParseInt(v, 0) + dy);
        out->AddAttribute(name, v);
    }
    out->AddAttribute("value", value);
    return out;
}

std::string FieldValue(const TXml* field, const TXml* record) {
    const std::string expr = TrimControl(field->GetContent());
    std::string v;
    if (!expr.empty()) EvaluateExpression(expr, record, &v);
    return v;
}

}  // namespace TVostrin
