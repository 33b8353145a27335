// The library's document object: designates one node of a reference-counted tree and holds one
// reference on it for as long as it lives.
#pragma once

#include <string>

#include "ClsBase.h"
#include "TreeNode.h"

namespace velmarq {

class ClsXml : public ClsBase {
  public:
    ClsXml();                         // a new lone root tagged "unnamed"
    explicit ClsXml(TreeNode* node);  // one more reference on an existing node
    ~ClsXml() override;               // releases the reference; the tree goes with the last
    ClsXml(const ClsXml&) = delete;
    ClsXml& operator=(const ClsXml&) = delete;

    bool CheckObject() override { return true; }
    bool CheckReady() override { return true; }

    TreeNode* Node() const { return node_; }

    std::string GetTag() const;
    void SetTag(const std::string& tag);
    std::string GetContent() const;
    int AttributeCount() const;
    std::string AttributeNameAt(int i) const;
    std::string AttributeValueAt(int i) const;
    std::string AttributeValue(const std::string& name) const;
    void AddAttribute(const std::string& name, const std::string& value);
    void SetAttribute(const std::string& name, const std::string& value);
    void RemoveAttribute(const std::string& name);
    int ChildCount() const;
    TreeNode* ChildAt(int i) const;
    TreeNode* FirstChildByTag(const std::string& tag) const;
    TreeNode* FindNodeByTag(const ClsXml* after, const std::string& tag) const;
    TreeNode* FindNodeByAttribute(const ClsXml* after, const std::string& tag,
                                  const std::string& name, const std::string& pattern) const;
    void CopyFrom(const ClsXml* other);
    bool AppendSubtree(ClsXml* child);
    void DetachFromTree();
    bool LoadXmlFile(const std::string& path);

  private:
    void Designate(TreeNode* node);  // drops the current reference, takes one on node

    TreeNode* node_ = nullptr;
};

}  // namespace velmarq
