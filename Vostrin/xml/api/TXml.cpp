#include "TXml.h"

#include <exception>
#include <memory>

#include "ClsXml.h"

using velmarq::ClsXml;
using velmarq::TreeNode;

namespace {

// Runs one operation of the API; a failure inside it (memory that ran out) answers failed. Each
// operation either completes or leaves the tree as it was.
template <class Result, class Operation>
Result Guarded(Result failed, Operation operation) noexcept {
    try {
        return operation();
    } catch (const std::exception&) {
        return failed;
    }
}

}  // namespace

TXml::TXml() : impl_(new ClsXml()) {}

TXml::~TXml() {
    delete impl_;
}

TXml* TXml::Wrap(void* node) {
    if (!node) return nullptr;
    // The document object first: if the handle cannot be had, it goes again with its reference
    // (the handle's storage is had before the argument is taken from impl).
    auto impl = std::make_unique<ClsXml>(static_cast<TreeNode*>(node));
    return new TXml(impl.release());
}

std::string TXml::GetTag() const {
    return Guarded(std::string(), [&] { return impl_->GetTag(); });
}

int TXml::SetTag(const std::string& tag) {
    return Guarded(0, [&] {
        impl_->SetTag(tag);
        return 1;
    });
}

std::string TXml::GetContent() const {
    return Guarded(std::string(), [&] { return impl_->GetContent(); });
}

int TXml::AttributeCount() const {
    return impl_->AttributeCount();
}

std::string TXml::AttributeNameAt(int i) const {
    return Guarded(std::string(), [&] { return impl_->AttributeNameAt(i); });
}

std::string TXml::AttributeValueAt(int i) const {
    return Guarded(std::string(), [&] { return impl_->AttributeValueAt(i); });
}

std::string TXml::AttributeValue(const std::string& name) const {
    return Guarded(std::string(), [&] { return impl_->AttributeValue(name); });
}

int TXml::AddAttribute(const std::string& name, const std::string& value) {
    return Guarded(0, [&] {
        impl_->AddAttribute(name, value);
        return 1;
    });
}

int TXml::SetAttribute(const std::string& name, const std::string& value) {
    return Guarded(0, [&] {
        impl_->SetAttribute(name, value);
        return 1;
    });
}

int TXml::RemoveAttribute(const std::string& name) {
    return Guarded(0, [&] {
        impl_->RemoveAttribute(name);
        return 1;
    });
}

int TXml::ChildCount() const {
    return impl_->ChildCount();
}

TXml* TXml::ChildAt(int i) const {
    return Guarded<TXml*>(nullptr, [&] { return Wrap(impl_->ChildAt(i)); });
}

TXml* TXml::FirstChildByTag(const std::string& tag) const {
    return Guarded<TXml*>(nullptr, [&] { return Wrap(impl_->FirstChildByTag(tag)); });
}

TXml* TXml::FindNodeByTag(const TXml* after, const std::string& tag) const {
    return Guarded<TXml*>(
        nullptr, [&] { return Wrap(impl_->FindNodeByTag(after ? after->impl_ : nullptr, tag)); });
}

TXml* TXml::FindNodeByAttribute(const TXml* after, const std::string& tag, const std::string& name,
                                const std::string& pattern) const {
    return Guarded<TXml*>(nullptr, [&] {
        return Wrap(impl_->FindNodeByAttribute(after ? after->impl_ : nullptr, tag, name, pattern));
    });
}

void TXml::CopyFrom(const TXml* other) {
    Guarded(0, [&] {
        impl_->CopyFrom(other ? other->impl_ : nullptr);
        return 0;
    });
}

bool TXml::AppendSubtree(TXml* child) {
    return Guarded(false, [&] { return impl_->AppendSubtree(child ? child->impl_ : nullptr); });
}

void TXml::DetachFromTree() {
    impl_->DetachFromTree();  // allocates nothing
}

bool TXml::LoadXmlFile(const std::string& path) {
    return Guarded(false, [&] { return impl_->LoadXmlFile(path); });
}
