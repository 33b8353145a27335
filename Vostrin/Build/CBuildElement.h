// Base of the build elements: one object per child of a page template's "reporttable" that
// appends what it produces to the page being built.
#pragma once

#include "BuildBudget.h"
#include "TXml.h"

namespace TVostrin {

// Statuses of Build.
constexpr int kBuildDone = 0;
constexpr int kBuildNothingToPrint = 99;
constexpr int kBuildFailed = -1;

class CBuildElement {
  public:
    // node is borrowed: the caller keeps it alive for the element's life and deletes it.
    explicit CBuildElement(TXml* node) : node_(node) {}
    virtual ~CBuildElement() = default;
    CBuildElement(const CBuildElement&) = delete;
    CBuildElement& operator=(const CBuildElement&) = delete;

    // data: the whole data document; cursor: the page template's record cursor (read, and
    // advanced by record elements); parent: the page's new "reporttable". The base appends a
    // copy of the node without its children. 0 built, 99 nothing to print, -1 failure (also
    // when the build's budget is spent).
    virtual int Build(TXml* data, int* cursor, TXml* parent);

    TXml* Node() const { return node_; }

    // The build's budget, charged with what the element makes (borrowed; none: no bound).
    void SetBudget(BuildBudget* budget) { budget_ = budget; }
    BuildBudget* Budget() const { return budget_; }

  protected:
    // Charges node (with what it holds) to the budget; false once the budget is spent.
    bool Charge(const TXml* node) const;
    // Charges work that made nothing, counted as nodes; false once the budget is spent.
    bool ChargeWork(long long nodes) const;
    // Charges node and appends it to parent: kBuildDone, or kBuildFailed with nothing
    // appended once the budget is spent.
    int Append(TXml* parent, TXml* node) const;
    // Appends a copy of the node (tag, content, attributes; no children) to parent, as Append.
    int AppendCopy(TXml* parent) const;

  private:
    TXml* node_;
    BuildBudget* budget_ = nullptr;
};

// A new element of the class that the node's tag selects; the caller deletes it.
CBuildElement* CreateElement(TXml* node);

}  // namespace TVostrin
