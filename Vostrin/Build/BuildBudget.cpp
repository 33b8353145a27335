#include "BuildBudget.h"

#include <algorithm>
#include <vector>

#include "TreeUtils.h"

namespace TVostrin {
namespace {

long long TextOf(const TXml* node) {
    long long bytes = static_cast<long long>(node->GetTag().size() + node->GetContent().size());
    for (int a = 0; a < node->AttributeCount(); ++a)
        bytes += static_cast<long long>(node->AttributeNameAt(a).size() +
                                        node->AttributeValueAt(a).size());
    return bytes;
}

}  // namespace

bool BuildBudget::Add(long long nodes, long long text) {
    nodes_ += nodes;
    text_ += text;
    if (nodes_ > maxNodes_ || text_ > maxTextBytes_) spent_ = true;
    return !spent_;
}

bool BuildBudget::Charge(const TXml* subtree) {
    if (subtree == nullptr || spent_) return !spent_;
    long long nodes = 1;
    long long text = TextOf(subtree);
    // Most subtrees charged are single fields.
    if (subtree->ChildCount() == 0) return Add(nodes, text);
    // Depth first, each level holding its node and the index of the next child to count.
    struct Level {
        const TXml* node;
        XmlPtr owned;
        int next;
    };
    std::vector<Level> stack;
    stack.push_back({subtree, nullptr, 0});
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next >= top.node->ChildCount()) {
            stack.pop_back();
            continue;
        }
        XmlPtr child(top.node->ChildAt(top.next++));
        if (!child) continue;
        ++nodes;
        text += TextOf(child.get());
        // A subtree that alone spends what is left need not be counted to its end.
        if (nodes_ + nodes > maxNodes_ || text_ + text > maxTextBytes_) break;
        const TXml* node = child.get();
        stack.push_back({node, std::move(child), 0});
    }
    return Add(nodes, text);
}

bool BuildBudget::ChargeWork(long long nodes) {
    return Add(std::max(0LL, nodes), 0);
}

void BuildBudget::ExpectFinishing(bool duplex, int sidesPerEnvelope, const TXml* envelopePage) {
    duplex_ = duplex;
    sidesPerEnvelope_ = std::max(1, sidesPerEnvelope);
    envelopeNodes_ = 0;
    envelopeText_ = 0;
    if (envelopePage != nullptr) {
        BuildBudget measure;
        measure.Charge(envelopePage);
        envelopeNodes_ = measure.nodes_;
        envelopeText_ = measure.text_;
    }
}

bool BuildBudget::ChargeKeptPage(long long pageNodes, long long pageText) {
    const long long sides = duplex_ ? 2 : 1;
    const long long before = (sides_ + sidesPerEnvelope_ - 1) / sidesPerEnvelope_;
    sides_ += sides;
    const long long after = (sides_ + sidesPerEnvelope_ - 1) / sidesPerEnvelope_;
    const long long envelopes = (after - before) * (duplex_ ? 2 : 1);
    return Add((sides - 1) * pageNodes + envelopes * envelopeNodes_,
               (sides - 1) * pageText + envelopes * envelopeText_);
}

}  // namespace TVostrin
