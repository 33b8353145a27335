#include "TXml.h"

#include "ClsXml.h"

using velmarq::ClsXml;
using velmarq::TreeNode;

TXml::TXml() : impl_(new ClsXml()) {}

TXml::~TXml() {
    delete impl_;
}

TXml* TXml::Wrap(void* node) {
    return node ? new TXml(new ClsXml(static_cast<TreeNode*>(node))) : nullptr;
}

std::string TXml::GetTag() const {
    return impl_->GetTag();
}

int TXml::SetTag(const std::string& tag) {
    impl_->SetTag(tag);
    return 1;
}

std::string TXml::GetContent() const {
    return impl_->GetContent();
}

int TXml::AttributeCount() const {
    return impl_->AttributeCount();
}

std::string TXml::AttributeNameAt(int i) const {
    return impl_->AttributeNameAt(i);
}

std::string TXml::AttributeValueAt(int i) const {
    return impl_->AttributeValueAt(i);
}

std::string TXml::AttributeValue(const std::string& name) const {
    return impl_->AttributeValue(name);
}

int TXml::AddAttribute(const std::string& name, const std::string& value) {
    impl_->AddAttribute(name, value);
    return 1;
}

int TXml::SetAttribute(const std::string& name, const std::string& value) {
    impl_->SetAttribute(name, value);
    return 1;
}

int TXml::RemoveAttribute(const std::string& name) {
    impl_->RemoveAttribute(name);
    return 1;
}

int TXml::ChildCount() const {
    return impl_->ChildCount();
}

TXml* TXml::ChildAt(int i) const {
    return Wrap(impl_->ChildAt(i));
}

TXml* TXml::FirstChildByTag(const std::string& tag) const {
    return Wrap(impl_->FirstChildByTag(tag));
}

TXml* TXml::FindNodeByTag(const TXml* after, const std::string& tag) const {
    return Wrap(impl_->FindNodeByTag(after ? after->impl_ : nullptr, tag));
}

TXml* TXml::FindNodeByAttribute(const TXml* after, const std::string& tag, const std::string& name,
                                const std::string& pattern) const {
    return Wrap(impl_->FindNodeByAttribute(after ? after->impl_ : nullptr, tag, name, pattern));
}

void TXml::CopyFrom(const TXml* other) {
    impl_->CopyFrom(other ? other->impl_ : nullptr);
}

bool TXml::AppendSubtree(TXml* child) {
    return impl_->AppendSubtree(child ? child->impl_ : nullptr);
}

void TXml::DetachFromTree() {
    impl_->DetachFromTree();
}

bool TXml::LoadXmlFile(const std::string& path) {
    return impl_->LoadXmlFile(path);
}
