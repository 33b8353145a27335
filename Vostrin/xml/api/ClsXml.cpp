#include "ClsXml.h"

#include <memory>
#include <new>

#include "ParseEngine.h"

namespace velmarq {

namespace {

std::string Trimmed(const std::string& s) {
    const char* blanks = " \t\r\n";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

std::string ToString(const StringBuffer& b) {
    return std::string(b.Data(), b.Length());
}

}  // namespace

ClsXml::ClsXml() {
    Designate(new TreeNode("unnamed"));
}

ClsXml::ClsXml(TreeNode* node) {
    Designate(node);
}

ClsXml::~ClsXml() {
    Designate(nullptr);
}

void ClsXml::Designate(TreeNode* node) {
    if (node) node->AddNodeRef();
    TreeNode* old = node_;
    node_ = node;
    if (old) {
        old->ReleaseNodeRef();
        if (old->TreeRefCount() == 0) TreeNode::DeleteTree(old);
    }
}

std::string ClsXml::GetTag() const {
    return node_->Tag();
}

void ClsXml::SetTag(const std::string& tag) {
    node_->SetTag(tag.c_str());
}

std::string ClsXml::GetContent() const {
    const StringBuffer* content = node_->Content();
    return content ? ToString(*content) : std::string();
}

int ClsXml::AttributeCount() const {
    return node_->AttributeCount();
}

std::string ClsXml::AttributeNameAt(int i) const {
    StringBuffer out;
    node_->AttributeNameAt(i, out);
    return ToString(out);
}

std::string ClsXml::AttributeValueAt(int i) const {
    StringBuffer out;
    node_->AttributeValueAt(i, out);
    return ToString(out);
}

std::string ClsXml::AttributeValue(const std::string& name) const {
    StringBuffer out;
    node_->ValueOf(Trimmed(name).c_str(), out);
    return ToString(out);
}

void ClsXml::AddAttribute(const std::string& name, const std::string& value) {
    std::string n = Trimmed(name);
    node_->AddPair(n.data(), static_cast<int>(n.size()), value.data(),
                   static_cast<int>(value.size()));
}

void ClsXml::SetAttribute(const std::string& name, const std::string& value) {
    node_->SetAttribute(name.c_str(), value.c_str());
}

void ClsXml::RemoveAttribute(const std::string& name) {
    node_->RemoveAttribute(Trimmed(name).c_str());
}

int ClsXml::ChildCount() const {
    return node_->ChildCount();
}

TreeNode* ClsXml::ChildAt(int i) const {
    return node_->ChildAt(i);
}

TreeNode* ClsXml::FirstChildByTag(const std::string& tag) const {
    return node_->NthChildByTag(0, Trimmed(tag).c_str());
}

TreeNode* ClsXml::FindNodeByTag(const ClsXml* after, const std::string& tag) const {
    return TreeNode::FindByTag(node_, after ? after->node_ : nullptr, Trimmed(tag).c_str());
}

TreeNode* ClsXml::FindNodeByAttribute(const ClsXml* after, const std::string& tag,
                                      const std::string& name, const std::string& pattern) const {
    return TreeNode::FindByAttribute(node_, after ? after->node_ : nullptr, Trimmed(tag).c_str(),
                                     Trimmed(name).c_str(), pattern.c_str());
}

void ClsXml::CopyFrom(const ClsXml* other) {
    // Copying a node onto itself would clear the very pairs it is about to copy.
    if (!other || other->node_ == node_) return;
    const TreeNode* src = other->node_;
    // What can fail is done before anything of this node changes: the content and the pairs are
    // copied apart, then the tag is set, then both take their places.
    const StringBuffer* content = src->Content();
    auto copied = std::make_unique<StringBuffer>(content ? content->Data() : "",
                                                 content ? content->Length() : 0, 0);
    AttributeSet pairs;
    pairs.AddTrimmedPairsOf(src->Attributes(), node_->Home());
    if (src->HasTag())
        node_->SetTag(src->Tag());
    else
        node_->ReleaseTag();
    node_->TakeContent(copied.release());
    node_->TakeAttributes(pairs);
}

bool ClsXml::AppendSubtree(ClsXml* child) {
    if (!child) return false;
    TreeNode* moved = child->node_;
    // Appending a node beneath itself or one of its own descendants would make a cycle.
    if (moved->IsSelfOrAncestorOf(node_)) return false;
    // The slot first: once the child is detached nothing can fail.
    TreeNode::ReserveChild(node_);
    TreeNode::Detach(moved);
    return TreeNode::AppendChild(node_, moved);
}

void ClsXml::DetachFromTree() {
    TreeNode::Detach(node_);
}

namespace {

// The log context of one load, left on every way out.
class LogContext {
  public:
    LogContext(Logger& log, const char* name) : log_(log), open_(log.EnterContext(name, true)) {}
    ~LogContext() {
        // Leaving a context that saw nothing only removes its start entry: nothing to fail.
        if (open_) log_.LeaveContext();
    }
    LogContext(const LogContext&) = delete;
    LogContext& operator=(const LogContext&) = delete;

  private:
    Logger& log_;
    bool open_;
};

}  // namespace

bool ClsXml::LoadXmlFile(const std::string& path) {
    // A load that runs out of memory is a failed load: the handle keeps its node.
    LogContext context(logger_, "LoadXmlFile");
    TreeNode* top = ParseXmlFile(Trimmed(path).c_str(), nullptr, nullptr);
    if (top) Designate(top);
    return top != nullptr;
}

}  // namespace velmarq
