#include "Customer/CustomerTreeElements.h"

namespace TVostrin {

std::unique_ptr<TXml> NewElement(const std::string& tag) {
    auto element = std::make_unique<TXml>();
    element->SetTag(tag);
    return element;
}

void AppendElement(TXml* parent, std::unique_ptr<TXml> child) {
    // The handle is released afterwards; the node now lives in parent's tree.
    parent->AppendSubtree(child.get());
}

void AppendValueElement(TXml* parent, const std::string& tag, const std::string& value) {
    auto element = NewElement(tag);
    element->AddAttribute("value", value);
    AppendElement(parent, std::move(element));
}

std::unique_ptr<TXml> NewCustomerIdElement(int index) {
    auto element = NewElement("customerid");
    element->AddAttribute("value", std::to_string(index));
    return element;
}

std::unique_ptr<TXml> NewCustomerPage(int index, std::unique_ptr<TXml> record) {
    auto page = NewElement("page");
    AppendElement(page.get(), NewCustomerIdElement(index));
    AppendElement(page.get(), std::move(record));
    return page;
}

}  // namespace TVostrin
