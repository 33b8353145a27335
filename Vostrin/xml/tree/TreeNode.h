// The node of every XML tree the library holds. A tree is owned by its root and lives as long as
// handles hold references on any of its nodes (see AddNodeRef / ReleaseNodeRef).
#pragma once

#include <cassert>

#include "AttributeSet.h"
#include "ChildList.h"
#include "CommonStrings.h"
#include "ExtPtrArray.h"
#include "HashMap.h"
#include "NodePool.h"
#include "StringBuffer.h"

namespace velmarq {

class TreeNode final {
  public:
    // tag and content may be null or empty (no tag, no content).
    explicit TreeNode(const char* tag = nullptr, const char* content = nullptr);
    // A node whose tag is the first tagLen bytes of tag (no tag when tagLen is 0).
    TreeNode(const char* tag, int tagLen)
        : nodeSerial_(++nodeCounter_), root_(this), flags_(PoolFlags()) {
        if (tag && tagLen > 0) {
            AcquireTag(tag, static_cast<size_t>(tagLen));
        }
    }
    // A node made by new while arena, a counted one, is the current arena (the parser's case),
    // tagged with an entry of the tag pool that the arena holds (null: no tag).
    TreeNode(NamedObject* heldTag, NodeArena& arena)
        : nodeSerial_(++nodeCounter_), tag_(heldTag), root_(this), flags_(kPooled | kCounted) {
        assert(NodeArena::Of(this) == &arena && arena.Counted());
        (void)arena;
    }
    // Deletes the whole subtree below this node, without recursion. Only roots are deleted
    // directly; other nodes go with their root.
    ~TreeNode();
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    // Nodes live in NodePool cells.
    static void* operator new(size_t size) { return NodePool::Allocate(size); }
    static void operator delete(void* p, size_t size) { NodePool::FreeDeleted(p, size); }

    // ---- Reference counts ----
    void AddNodeRef();
    void ReleaseNodeRef();  // handle count - 1 and root tree count - 1 (no deletion)
    int TreeRefCount() const { return root_->treeCount_; }
    int HandleCount() const { return handleCount_; }
    int OwnTreeCount() const { return treeCount_; }
    int SubtreeRefSum() const;
    static void DeleteTree(TreeNode* node);  // deletes node's root and so the whole tree
    int NodeSerial() const { return nodeSerial_; }

    // ---- Node data ----
    const char* Tag() const { return tag_ ? tag_->Text() : ""; }  // "" when the node has none
    bool HasTag() const { return tag_ != nullptr; }
    const StringBuffer* TagText() const { return tag_ ? tag_->Name() : nullptr; }
    bool TagEquals(const char* tag) const;
    void SetTag(const char* text);      // null: no tag
    void ReleaseTag();                  // the node has no tag afterwards
    void SetContent(const char* text);  // null empties existing content
    StringBuffer* Content() const {
        return (flags_ & kExtras) ? static_cast<Extras*>(data_)->content
                                  : static_cast<StringBuffer*>(data_);
    }
    StringBuffer* ContentBuffer();            // created empty when missing
    void TakeContent(StringBuffer* content);  // owns content (null: none) in place of its own
    bool HasContent() const {
        const StringBuffer* content = Content();
        return content && !content->IsEmpty();
    }
    bool IsCdata() const { return Extra() && Extra()->cdata; }
    void SetCdata(bool on) {
        if (on || Extra()) MakeExtras().cdata = on;
    }
    const StringBuffer* DtdText() const { return Extra() ? Extra()->dtd : nullptr; }
    void SetDtdText(const char* text);
    void SetDtdText(const char* bytes, int n);  // the first n bytes of bytes
    TreeNode* Declaration() const { return Extra() ? Extra()->declaration : nullptr; }
    void SetDeclaration(TreeNode* node);  // takes ownership; the old one is deleted
    bool GetDeclaredEncoding(StringBuffer& out) const;
    void SetDeclaredEncoding(const char* text);

    // ---- Structure ----
    int ChildCount() const { return children_.Count(); }
    TreeNode* ChildAt(int i) const;
    TreeNode* NthChildByTag(int n, const char* tag) const;
    TreeNode* Root() const { return root_; }
    TreeNode* Parent() const { return parent_; }
    // The siblings, found in the parent's child list (none for a root or at either end).
    TreeNode* Next() const { return Sibling(1); }
    TreeNode* Previous() const { return Sibling(-1); }
    // Whether node is this node or lies below it; constant time when this node is a root.
    bool IsSelfOrAncestorOf(const TreeNode* node) const;
    // Makes room for one more child, so that the next AppendChild to parent cannot fail.
    static void ReserveChild(TreeNode* parent);
    // Adds the root node child as parent's last child. Refused (false) when child is not a root
    // or when child is parent or one of its ancestors, which would make a cycle.
    static bool AppendChild(TreeNode* parent, TreeNode* child);
    // The same for a node just made, which has no parent, children or references yet, below a
    // parent whose tree has no references either and is not its arena's whole tree (the
    // parser's case); home is the parent's arena, when the caller knows it.
    static void AppendNewChild(TreeNode* parent, TreeNode* child, NodeArena* home) {
        assert(child->root_ == child && !child->parent_ && child->children_.Empty());
        assert(child->handleCount_ == 0 && child->treeCount_ == 0);
        assert(parent->root_->treeCount_ == 0 &&
               !((parent->flags_ & kCounted) && parent->Home()->Owner()));
        assert(!home || home == parent->Home());
        parent->children_.Append(child, home ? home : parent->Home());
        child->parent_ = parent;
        child->root_ = parent->root_;
    }
    // Makes a node with a parent the root of its own tree; deletes the rest of the old tree when
    // no handle reference is left on it. Allocates nothing, so it cannot fail half way.
    static void Detach(TreeNode* node);
    static void SetRootOfSubtree(TreeNode* node, TreeNode* root);

    // ---- Attributes ----
    int AttributeCount() const { return attributes_.PairCount(); }
    void AttributeNameAt(int i, StringBuffer& out) const;
    bool AttributeValueAt(int i, StringBuffer& out) const;
    bool AttributePairAt(int i, StringBuffer& name, StringBuffer& value) const;
    bool ValueOf(const char* name, StringBuffer& out) const;
    void ClearAttributes();
    void RemoveAttribute(const char* name);
    void AddPair(const char* name, const char* value);
    void AddPair(const char* name, int nameLen, const char* value, int valueLen) {
        attributes_.AddPair(name, nameLen, value, valueLen, Home());
    }
    // The same for the parser, which knows the node's arena, home (null: it asks Home()).
    [[gnu::always_inline]] void AddParsedPair(const char* name, int nameLen, const char* value,
                                              int valueLen, NodeArena* home) {
        assert(!home || home == Home());
        attributes_.AddPair(name, nameLen, value, valueLen, home ? home : Home());
    }
    void SetAttribute(const char* name, const char* value);
    void CopyAttributesFrom(const TreeNode& other);  // a failed allocation changes nothing
    const AttributeSet& Attributes() const { return attributes_; }
    // Takes the pairs of set in place of its own; set is left empty. Never fails. The set's
    // block must come from Home().
    void TakeAttributes(AttributeSet& set) { attributes_.TakeOver(set); }
    // The arena this node's blocks come from (null for a node outside the pool).
    NodeArena* Home() const { return (flags_ & kPooled) ? NodeArena::Of(this) : nullptr; }
    // The parser's tree, made in the arena of its own parse, is now exactly that arena's
    // nodes (the top element, its declaration and what lies below it).
    void OwnArena();
    bool AttributeMatches(const char* name, const char* pattern) const;

    // ---- Breadth-first searches (level order from start) ----
    // With after null every visited node is tested, start included; otherwise testing begins
    // with the node that follows after, and the result is null when after is never met.
    static TreeNode* FindByTag(TreeNode* start, const TreeNode* after, const char* tag);
    static TreeNode* FindByAttribute(TreeNode* start, const TreeNode* after, const char* tag,
                                     const char* name, const char* pattern);

  private:
    // What only some nodes carry: a root's declaration and DTD text, and the CDATA mark. A node
    // that has them keeps its content here too, so that the common node takes one pointer for
    // its content and these and fits one cache line.
    struct Extras {
        StringBuffer* content = nullptr;
        TreeNode* declaration = nullptr;
        StringBuffer* dtd = nullptr;
        bool cdata = false;
    };
    static constexpr unsigned kExtras = 1;   // data_ holds Extras, not the content itself
    static constexpr unsigned kPooled = 2;   // the node lives in a cell of the node pool
    static constexpr unsigned kCounted = 4;  // its arena holds its tag's use, counts its data
    unsigned PoolFlags() const {
        // Called while the node is made, when the pool knows whether the cell is its own.
        return NodePool::TakeFresh(this)
                   ? (NodeArena::Of(this)->Counted() ? kPooled | kCounted : kPooled)
                   : 0;
    }
    Extras* Extra() const { return (flags_ & kExtras) ? static_cast<Extras*>(data_) : nullptr; }
    void SetContentPointer(StringBuffer* content) {
        if (flags_ & kExtras)
            static_cast<Extras*>(data_)->content = content;
        else
            data_ = content;
    }
    static int nodeCounter_;  // nodes made in this process

    // The tag pool's entry for the text, with a use of it for this node: the node's own, or
    // one its arena holds for all its nodes.
    NamedObject* TagEntry(const char* text, size_t len) const {
        return (flags_ & kCounted) ? NodeArena::Of(this)->HeldTag(text, len)
                                   : CommonStrings::Instance().InternEntry(text, len);
    }
    // The node takes the text as its tag (it had none).
    void AcquireTag(const char* text, size_t len) { tag_ = TagEntry(text, len); }
    // data_ changed from had (whether it held anything) to what it holds now: the arena counts
    // the nodes that own data.
    void DataChanged(bool had) {
        const bool has = data_ != nullptr;
        if ((flags_ & kCounted) && had != has) NodeArena::Of(this)->AddDataOwner(has ? 1 : -1);
    }
    // A tree whose nodes change: when it was exactly its arena's nodes, they take their own tag
    // uses and the arena gives its own back (it no longer goes whole with the tree).
    static void EndArenaCounting(TreeNode* root) {
        if ((root->flags_ & kCounted) && NodeArena::Of(root)->Owner() == root)
            GiveNodesTheirTags(root);
    }
    static void GiveNodesTheirTags(TreeNode* owner);
    // A node whose tag changes holds its own use of it from now on.
    void TakeOwnTag();
    void DropTag();  // gives the node's use of its tag back (its arena's, for a counted node)
    Extras& MakeExtras();
    // Deletes a node's data_: the content, or the extras with what they own.
    static void DeleteData(void* data, bool extras);
    template <class Node, class Visit>
    static void ForEachInSubtree(Node* top, Visit visit);
    void FreeOwnData();
    TreeNode* Sibling(int step) const;
    // Frees what a node below a root being deleted owns (but its tag and children, which the
    // root's walk handles) and gives its cell back.
    void DiscardDescendant();

    // Laid out so that the node takes 64 bytes, one cache line. Siblings are not linked: the
    // parent's child list has them in order.
    int nodeSerial_;
    int handleCount_ = 0;
    NamedObject* tag_ = nullptr;  // the tag pool's entry, shared
    void* data_ = nullptr;        // the content (a StringBuffer), or Extras when kExtras is set
    ChildList children_;
    AttributeSet attributes_;  // empty until the first pair
    TreeNode* root_;
    TreeNode* parent_ = nullptr;
    int treeCount_ = 0;
    unsigned flags_ = 0;
};

}  // namespace velmarq
