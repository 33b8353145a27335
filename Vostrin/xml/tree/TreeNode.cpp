#include "TreeNode.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "CommonStrings.h"
#include "NodePool.h"

namespace velmarq {

int TreeNode::nodeCounter_ = 0;

namespace {

// Tag uses counted per tag pool entry and handed on together, since a document uses few tags:
// each entry has one slot of a small table, chosen by its address; an entry that takes a slot
// hands on the uses counted there first.
template <class HandOn>
class TagTally {
  public:
    explicit TagTally(HandOn handOn) : handOn_(handOn) {}
    ~TagTally() {
        for (int i = 0; i < kSlots; ++i) HandOnSlot(i);
    }
    TagTally(const TagTally&) = delete;
    TagTally& operator=(const TagTally&) = delete;
    void Count(NamedObject* tag) {
        const auto bits = reinterpret_cast<uintptr_t>(tag);
        const int i = static_cast<int>((bits * 0x9E3779B97F4A7C15ull) >> 60);
        if (tags_[i] != tag) {
            HandOnSlot(i);
            tags_[i] = tag;
            uses_[i] = 0;
        }
        ++uses_[i];
    }

  private:
    void HandOnSlot(int i) {
        if (tags_[i]) handOn_(tags_[i], uses_[i]);
        tags_[i] = nullptr;
    }
    static constexpr int kSlots = 16;
    NamedObject* tags_[kSlots] = {};
    int uses_[kSlots] = {};
    HandOn handOn_;
};

}  // namespace

static_assert(sizeof(void*) != 8 || sizeof(TreeNode) == 64, "a node takes 64 bytes");

TreeNode::TreeNode(const char* tag, const char* content)
    : nodeSerial_(++nodeCounter_), root_(this), flags_(PoolFlags()) {
    if (content && *content) data_ = new StringBuffer(content);
    std::unique_ptr<StringBuffer> made(static_cast<StringBuffer*>(data_));
    if (tag && *tag) AcquireTag(tag, std::strlen(tag));
    made.release();
    DataChanged(false);
}

void TreeNode::OwnArena() {
    if (!(flags_ & kCounted)) return;
    NodeArena* arena = NodeArena::Of(this);
#ifndef NDEBUG
    size_t nodes = Declaration() ? 1 : 0;
    ForEachInSubtree(this, [&nodes](const TreeNode* n) {
        ++nodes;
        assert(NodeArena::Of(n) == NodeArena::Of(n->root_));
    });
    assert(nodes == arena->Live() && !parent_);
#endif
    arena->SetOwner(this);
}

TreeNode::Extras& TreeNode::MakeExtras() {
    if (!(flags_ & kExtras)) {
        auto* extras = new Extras();
        extras->content = static_cast<StringBuffer*>(data_);
        const bool had = data_ != nullptr;
        data_ = extras;
        flags_ |= kExtras;
        DataChanged(had);
    }
    return *static_cast<Extras*>(data_);
}

void TreeNode::DeleteData(void* data, bool extras) {
    if (!extras) {
        delete static_cast<StringBuffer*>(data);
        return;
    }
    auto* e = static_cast<Extras*>(data);
    delete e->content;
    delete e->dtd;
    delete e->declaration;
    delete e;
}

void TreeNode::FreeOwnData() {
    DropTag();
    void* data = data_;
    const bool extras = flags_ & kExtras;
    data_ = nullptr;
    flags_ &= ~kExtras;
    DataChanged(data != nullptr);
    DeleteData(data, extras);
}

inline void TreeNode::DiscardDescendant() {
    // The destructor is not run: the cell is only read, and written only by the pool's free
    // list, and the tag's use was already counted by the caller.
    if ((flags_ & kCounted) && data_) NodeArena::Of(this)->AddDataOwner(-1);
    if (data_) DeleteData(data_, flags_ & kExtras);
    attributes_.Discard();
    NodePool::Free(this, sizeof(TreeNode));
}

TreeNode::~TreeNode() {
    assert(!parent_);  // only roots are deleted directly; the others go with them
    NodePool::Freeing freeing;
    FreeOwnData();
    if (!children_.Empty() && (flags_ & kCounted) && NodeArena::Of(this)->ReleaseAllBut(this)) {
        // The tree was its arena's nodes: they went with it, and so did the blocks of this node.
        children_.Forget();
        attributes_.Forget();
    } else if (!children_.Empty()) {
        // Walk the subtree depth first without recursion and without allocating (a tree may be
        // freed because memory ran out): each node keeps in treeCount_, which only a root's
        // count uses, the index of its next child to visit, and a node goes once its children
        // have gone.
        CommonStrings& pool = CommonStrings::Instance();
        TagTally tally([&pool](NamedObject* tag, int uses) { pool.ReleaseEntry(tag, uses); });
        treeCount_ = 0;
        TreeNode* n = this;
        while (n) {
            if (n->treeCount_ < n->children_.Count()) {
                TreeNode* child = n->children_.Get(n->treeCount_++);
                child->parent_ = n;
                child->treeCount_ = 0;
                n = child;
                continue;
            }
            if (n == this) break;
            TreeNode* parent = n->parent_;
            n->children_.Release();
            // A counted node's arena holds the use of its tag.
            if (n->tag_ && !(n->flags_ & kCounted)) tally.Count(n->tag_);
            n->DiscardDescendant();
            n = parent;
        }
    }
    children_.Release();
    root_ = parent_ = nullptr;
    treeCount_ = handleCount_ = 0;
}

void TreeNode::AddNodeRef() {
    assert(!root_->parent_);  // the root pointer names the top of the tree
    ++handleCount_;
    ++root_->treeCount_;
}

void TreeNode::ReleaseNodeRef() {
    assert(handleCount_ > 0 && root_->treeCount_ >= handleCount_);
    --handleCount_;
    --root_->treeCount_;
}

// Visits top and every node below it, parents before children, depth first, without recursion
// and without allocating: a detach must not fail half way because memory ran out. Each node
// below top keeps the index of its next child to visit in treeCount_, which only a root's count
// uses (it is 0 on every other node, and is 0 again once the walk has left the node); top, which
// may be a root, keeps its index here.
template <class Node, class Visit>
void TreeNode::ForEachInSubtree(Node* top, Visit visit) {
    visit(top);
    int topNext = 0;
    Node* n = top;
    for (;;) {
        int& next = n == top ? topNext : const_cast<TreeNode*>(n)->treeCount_;
        if (next < n->ChildCount()) {
            Node* child = n->ChildAt(next++);
            assert(child->treeCount_ == 0);
            visit(child);
            n = child;
            continue;
        }
        if (n == top) return;
        next = 0;
        n = n->parent_;
    }
}

TreeNode* TreeNode::Sibling(int step) const {
    if (!parent_) return nullptr;
    const int i = parent_->children_.IndexOf(this);
    return i < 0 ? nullptr : parent_->children_.Get(i + step);
}

int TreeNode::SubtreeRefSum() const {
    int sum = 0;
    ForEachInSubtree(this, [&sum](const TreeNode* n) { sum += n->handleCount_; });
    return sum;
}

void TreeNode::DeleteTree(TreeNode* node) {
    if (!node) return;
    // A root's tree count is the sum of the handle counts in its tree: none may be left.
    assert(node->root_->treeCount_ == 0 && node->root_->SubtreeRefSum() == 0);
    delete node->root_;
}

bool TreeNode::TagEquals(const char* tag) const {
    return std::strcmp(Tag(), tag ? tag : "") == 0;
}

void TreeNode::SetTag(const char* text) {
    if (tag_ && text && std::strcmp(tag_->Text(), text) == 0) return;
    TakeOwnTag();
    // The new tag first: a failed allocation leaves the old one.
    NamedObject* fresh = text ? TagEntry(text, std::strlen(text)) : nullptr;
    DropTag();
    tag_ = fresh;
}

void TreeNode::ReleaseTag() {
    TakeOwnTag();
    DropTag();
}

void TreeNode::DropTag() {
    if (!tag_) return;
    NamedObject* old = tag_;
    tag_ = nullptr;
    // A counted node's arena holds the use until the arena goes.
    if (!(flags_ & kCounted)) CommonStrings::Instance().ReleaseEntry(old);
}

void TreeNode::TakeOwnTag() {
    if (!(flags_ & kCounted)) return;
    NodeArena* arena = NodeArena::Of(this);
    if (TreeNode* owner = arena->Owner()) {
        // The tree that holds just the arena's nodes changes: all of them take their own uses,
        // so that the tags they no longer carry do not stay in the pool with the arena.
        GiveNodesTheirTags(owner);
        return;
    }
    // A tree still being parsed: this node alone, and its arena no longer goes in one step.
    if (tag_) CommonStrings::Instance().AddUses(tag_, 1);
    if (!data_) arena->AddDataOwner(1);
    flags_ &= ~kCounted;
}

void TreeNode::GiveNodesTheirTags(TreeNode* owner) {
    NodeArena* arena = NodeArena::Of(owner);
    assert(arena->Owner() == owner);
    {
        CommonStrings& pool = CommonStrings::Instance();
        TagTally tally([&pool](NamedObject* tag, int uses) { pool.AddUses(tag, uses); });
        auto own = [&tally](TreeNode* n) {
            assert(n->flags_ & kCounted);
            n->flags_ &= ~kCounted;
            if (n->tag_) tally.Count(n->tag_);
        };
        ForEachInSubtree(owner, own);
        if (TreeNode* declaration = owner->Declaration()) own(declaration);
    }
    arena->EndCounting();
}

void TreeNode::SetContent(const char* text) {
    StringBuffer* content = Content();
    if (!text) {
        if (content) content->Clear();
        return;
    }
    if (content) {
        content->Assign(text);
    } else {
        const bool had = data_ != nullptr;
        SetContentPointer(new StringBuffer(text));
        DataChanged(had);
    }
}

StringBuffer* TreeNode::ContentBuffer() {
    StringBuffer* content = Content();
    if (!content) {
        auto fresh = std::make_unique<StringBuffer>();
        fresh->Reserve(120);
        content = fresh.release();
        const bool had = data_ != nullptr;
        SetContentPointer(content);
        DataChanged(had);
    }
    return content;
}

void TreeNode::SetDtdText(const char* text) {
    SetDtdText(text, text ? static_cast<int>(std::strlen(text)) : 0);
}

void TreeNode::SetDtdText(const char* bytes, int n) {
    assert(!parent_);  // only roots carry DTD text
    // The new text is made first: a failed allocation leaves the node as it was.
    std::unique_ptr<StringBuffer> text(bytes && n > 0 ? new StringBuffer(bytes, n, 0) : nullptr);
    if (text) MakeExtras();
    if (Extras* extras = Extra()) {
        delete extras->dtd;
        extras->dtd = text.release();
    }
}

void TreeNode::SetDeclaration(TreeNode* node) {
    assert(!parent_);  // only roots carry a declaration
    if (node == Declaration()) return;
    Extras& extras = MakeExtras();
    delete extras.declaration;
    extras.declaration = node;
}

bool TreeNode::GetDeclaredEncoding(StringBuffer& out) const {
    out.Clear();
    const TreeNode* decl = root_->Declaration();
    return decl && decl->ValueOf("encoding", out);
}

void TreeNode::SetDeclaredEncoding(const char* text) {
    Extras& extras = root_->MakeExtras();
    if (!extras.declaration) {
        extras.declaration = new TreeNode("xml");
        extras.declaration->AddPair("version", "1.0");
    }
    extras.declaration->RemoveAttribute("encoding");
    extras.declaration->AddPair("encoding", text);
}

TreeNode* TreeNode::ChildAt(int i) const {
    return children_.Get(i);
}

TreeNode* TreeNode::NthChildByTag(int n, const char* tag) const {
    for (int i = 0, c = ChildCount(); i < c; ++i) {
        TreeNode* child = ChildAt(i);
        if (child->TagEquals(tag) && n-- == 0) return child;
    }
    return nullptr;
}

bool TreeNode::IsSelfOrAncestorOf(const TreeNode* node) const {
    // A root is an ancestor of exactly the nodes of its own tree; a node of another tree is
    // never one.
    if (!node || node->root_ != root_) return false;
    if (!parent_) return true;
    for (const TreeNode* n = node; n; n = n->parent_) {
        if (n == this) return true;
    }
    return false;
}

void TreeNode::ReserveChild(TreeNode* parent) {
    parent->children_.ReserveOne(parent->Home());
}

bool TreeNode::AppendChild(TreeNode* parent, TreeNode* child) {
    // child is a root, so it is parent or one of parent's ancestors exactly when it is the root
    // of parent's tree.
    if (!parent || !child || child->parent_ || parent->root_ == child) return false;
    // Both trees change: counted nodes take their own tag uses first (which allocates nothing
    // and changes nothing that shows), then the slot: an allocation that fails there leaves
    // both trees as they were.
    EndArenaCounting(parent->root_);
    EndArenaCounting(child);
    parent->children_.Append(child, parent->Home());
    child->parent_ = parent;
    if (!child->children_.Empty())
        SetRootOfSubtree(child, parent->root_);
    else
        child->root_ = parent->root_;
    parent->root_->treeCount_ += child->treeCount_;
    child->treeCount_ = 0;
    assert(child->root_ == parent->root_ && !parent->root_->parent_);
    return true;
}

void TreeNode::Detach(TreeNode* node) {
    if (!node || !node->parent_) return;
    TreeNode* parent = node->parent_;
    int index = parent->children_.IndexOf(node);
    if (index < 0) return;
    EndArenaCounting(node->root_);
    parent->children_.RemoveAt(index);
    int sum = node->SubtreeRefSum();
    TreeNode* oldRoot = node->root_;
    assert(oldRoot->treeCount_ >= sum);
    oldRoot->treeCount_ -= sum;
    node->parent_ = nullptr;
    if (oldRoot->treeCount_ == 0) delete oldRoot;
    node->treeCount_ = sum;
    SetRootOfSubtree(node, node);
}

void TreeNode::SetRootOfSubtree(TreeNode* node, TreeNode* root) {
    ForEachInSubtree(node, [root](TreeNode* n) { n->root_ = root; });
}

void TreeNode::AttributeNameAt(int i, StringBuffer& out) const {
    out.Clear();
    attributes_.NameAt(i, out);
}

bool TreeNode::AttributeValueAt(int i, StringBuffer& out) const {
    out.Clear();
    return attributes_.ValueAt(i, out);
}

bool TreeNode::AttributePairAt(int i, StringBuffer& name, StringBuffer& value) const {
    name.Clear();
    value.Clear();
    return attributes_.PairAt(i, name, value);
}

bool TreeNode::ValueOf(const char* name, StringBuffer& out) const {
    out.Clear();
    return attributes_.ValueOf(name, out);
}

void TreeNode::ClearAttributes() {
    attributes_.ClearPairs();
}

void TreeNode::RemoveAttribute(const char* name) {
    attributes_.RemoveAllNamed(name);
}

void TreeNode::AddPair(const char* name, const char* value) {
    attributes_.AddPair(name, value, Home());
}

void TreeNode::SetAttribute(const char* name, const char* value) {
    attributes_.ReplaceAllNamed(name, value, Home());
}

void TreeNode::CopyAttributesFrom(const TreeNode& other) {
    if (&other == this) return;
    // The copy is made apart and then takes the place of the own pairs, so that a failed
    // allocation leaves them as they were.
    AttributeSet copy;
    copy.AddTrimmedPairsOf(other.attributes_, Home());
    attributes_.TakeOver(copy);
}

void TreeNode::TakeContent(StringBuffer* content) {
    delete Content();
    const bool had = data_ != nullptr;
    SetContentPointer(content);
    DataChanged(had);
}

bool TreeNode::AttributeMatches(const char* name, const char* pattern) const {
    return attributes_.MatchValue(name, pattern);
}

namespace {

template <class Test>
TreeNode* BreadthFirst(TreeNode* start, const TreeNode* after, Test test) {
    if (!start) return nullptr;
    std::vector<TreeNode*> queue{start};
    bool testing = after == nullptr;
    for (size_t head = 0; head < queue.size(); ++head) {
        TreeNode* n = queue[head];
        if (testing) {
            if (test(n)) return n;
        } else if (n == after) {
            testing = true;
        }
        for (int i = 0, c = n->ChildCount(); i < c; ++i) queue.push_back(n->ChildAt(i));
    }
    return nullptr;
}

}  // namespace

TreeNode* TreeNode::FindByTag(TreeNode* start, const TreeNode* after, const char* tag) {
    return BreadthFirst(start, after, [tag](TreeNode* n) { return n->TagEquals(tag); });
}

TreeNode* TreeNode::FindByAttribute(TreeNode* start, const TreeNode* after, const char* tag,
                                    const char* name, const char* pattern) {
    return BreadthFirst(start, after, [&](TreeNode* n) {
        return n->TagEquals(tag) && n->AttributeMatches(name, pattern);
    });
}

}  // namespace velmarq
