// TXml: a handle on one node of an in-memory XML tree.
//
// Every navigation or search returns a NEW TXml on a node of the same tree; the caller owns it
// and deletes it. Nothing is copied by navigation, and any number of handles may designate the
// same node. A tree stays alive while any handle designates any of its nodes and is freed, whole,
// with the last such handle: deleting the handle on a root leaves a handle on a descendant fully
// usable.
//
// Texts are byte strings passed through unchanged (GBK or UTF-8; no conversion happens here).
// Tag and name comparisons are exact and case-sensitive; a node without a tag compares as "".
// "Trimmed" below means leading and trailing space, TAB, CR and LF removed before use.
//
// Nothing here but the constructor throws, not even when memory runs out: an operation then
// answers NULL, false, "" or 0 and leaves the tree as it was. (The constructor, like any new,
// throws std::bad_alloc.)
//
// Threads: the library is used from one thread at a time, and that holds for separate documents
// too: every tree shares the process-wide tag pool and node storage, which have no lock.
#pragma once

#include <string>

#if defined(__GNUC__)
#define TXML_EXPORT __attribute__((visibility("default")))
#else
#define TXML_EXPORT
#endif

namespace velmarq {
class ClsXml;
}

class TXML_EXPORT TXml {
  public:
    // A new lone root tagged "unnamed", with no content, attributes or children.
    TXml();
    // Releases this handle's reference; the tree goes when that was its last one.
    virtual ~TXml();
    TXml(const TXml&) = delete;
    TXml& operator=(const TXml&) = delete;

    // ---- Tag and content ----
    std::string GetTag() const;          // "" when the node has no tag
    int SetTag(const std::string& tag);  // not trimmed; 1 (0 when memory ran out)
    std::string GetContent() const;      // "" when there is none

    // ---- Attributes: ordered pairs; a name may occur more than once ----
    int AttributeCount() const;
    std::string AttributeNameAt(int i) const;   // 0-based, order of addition; "" out of range
    std::string AttributeValueAt(int i) const;  // "" out of range
    // Name trimmed; the value of the first pair with that name. An absent attribute and an
    // empty value both read "".
    std::string AttributeValue(const std::string& name) const;
    // Name trimmed, value unchanged; appended after all others even when the name exists. An
    // empty name adds nothing. 1 (0 when memory ran out, as for the two below).
    int AddAttribute(const std::string& name, const std::string& value);
    // Name NOT trimmed; every pair with that name is removed, then the pair is appended at the
    // end (a replaced attribute moves last). An empty name adds nothing.
    int SetAttribute(const std::string& name, const std::string& value);
    // Name trimmed; removes every pair with that name.
    int RemoveAttribute(const std::string& name);

    // ---- Navigation: each non-NULL result is a new handle the caller deletes ----
    int ChildCount() const;
    TXml* ChildAt(int i) const;  // NULL when i < 0 or i >= ChildCount()
    // Tag trimmed; the first direct child with that tag (grandchildren are not looked at).
    TXml* FirstChildByTag(const std::string& tag) const;
    // Tag trimmed; breadth-first search of this node's subtree (this node, its children, then
    // the grandchildren level by level). With after NULL every node is tested, this node
    // included; otherwise testing starts with the node after `after` in that order (NULL when
    // `after` is not met). Pass the previous result as `after` to get the next match, or this
    // handle itself to get a descendant but never this node.
    TXml* FindNodeByTag(const TXml* after, const std::string& tag) const;
    // As FindNodeByTag; a node also needs a pair named `name` (trimmed) whose value matches
    // `pattern` case-sensitively, where '*' stands for any run of bytes.
    TXml* FindNodeByAttribute(const TXml* after, const std::string& tag, const std::string& name,
                              const std::string& pattern) const;

    // ---- Editing ----
    // This node takes the other node's tag, content and attribute list (names trimmed, pairs
    // with empty names skipped); children are not copied. NULL, or the same node, changes
    // nothing.
    void CopyFrom(const TXml* other);
    // Moves child's node, with its subtree, from wherever it is to the end of this node's
    // children; the child handle stays valid. False when child is NULL or when its node is this
    // node or one of its ancestors.
    bool AppendSubtree(TXml* child);
    // Unlinks this node with its subtree from its parent; it becomes a root of its own tree.
    // Nothing happens for a root.
    void DetachFromTree();

    // ---- Loading ----
    // Reads and parses the file (path trimmed); on success this handle designates the new
    // tree's top element and the old tree is released. A UTF-16LE file with a byte-order mark
    // arrives as UTF-8; every other file byte for byte. On any failure (missing file, no
    // element, 2 GiB or more) false, and the handle keeps its node.
    bool LoadXmlFile(const std::string& path);

  private:
    explicit TXml(velmarq::ClsXml* impl) : impl_(impl) {}
    static TXml* Wrap(void* node);

    velmarq::ClsXml* impl_;
};
