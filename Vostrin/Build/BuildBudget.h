// What one build may make. Every node that the page loop and its elements make (pages, their
// settings, the elements and whatever they hold) is charged with its text to the build's budget,
// and so is each field evaluated for nothing and the share of what finishing will copy (the
// blank sides of a duplex job, the envelope pages). Once the budget is spent, the build makes
// nothing more and is cut short, as at the page limit: memory and time stay in proportion to
// what the job prints, whatever the template multiplies.
#pragma once

#include "TXml.h"

#ifndef TW_BUILD_MAX_NODES
#define TW_BUILD_MAX_NODES 1000000
#endif
#ifndef TW_BUILD_MAX_TEXT_BYTES
#define TW_BUILD_MAX_TEXT_BYTES (64LL << 20)
#endif

namespace TVostrin {

class BuildBudget {
  public:
    // The most nodes, and bytes of their text (tags, attribute names and values, content), one
    // build makes: a few hundred MB of printable tree. The builder's fuzz target compiles with
    // smaller ones, so that a job cut short costs it a fraction of a second.
    static constexpr long long kMaxNodes = TW_BUILD_MAX_NODES;
    static constexpr long long kMaxTextBytes = TW_BUILD_MAX_TEXT_BYTES;

    explicit BuildBudget(long long maxNodes = kMaxNodes, long long maxTextBytes = kMaxTextBytes)
        : maxNodes_(maxNodes), maxTextBytes_(maxTextBytes) {}

    // Charges the nodes of subtree and their text; false once the budget is spent (and from
    // then on).
    bool Charge(const TXml* subtree);
    // Charges work that makes nothing (a field evaluated for a blank slot) as nodes.
    bool ChargeWork(long long nodes);
    bool Spent() const { return spent_; }
    // Nodes and bytes of text charged so far.
    long long Nodes() const { return nodes_; }
    long long TextBytes() const { return text_; }

    // What finishing copies for each page kept: in duplex a blank side made from it (charged
    // as the page itself again, which it never passes), and an envelope page (charged whole,
    // twice in duplex for its blank back) for each `sidesPerEnvelope` sides.
    void ExpectFinishing(bool duplex, int sidesPerEnvelope, const TXml* envelopePage);
    // Charges the finishing share of a kept page that made pageNodes nodes and pageText bytes.
    bool ChargeKeptPage(long long pageNodes, long long pageText);

  private:
    bool Add(long long nodes, long long text);

    long long maxNodes_;
    long long maxTextBytes_;
    long long nodes_ = 0;
    long long text_ = 0;
    bool spent_ = false;

    bool duplex_ = false;
    long long sidesPerEnvelope_ = 1;
    long long envelopeNodes_ = 0;
    long long envelopeText_ = 0;
    long long sides_ = 0;
};

}  // namespace TVostrin
