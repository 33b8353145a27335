// Building pages from page templates: one page per template turn, in the order that the
// templates' record cursors and flags decide.
#pragma once

#include "BuildBudget.h"
#include "PageList.h"
#include "TreeUtils.h"

namespace TVostrin {

// Builds one page from template T at the record cursor (which the elements advance), charging
// what it makes to budget (none: no bound). 0 with *page set; 99 (nothing to print) or -1
// (failure, also when the budget is spent) with no page.
int BuildPage(const TXml* T, TXml* data, int* cursor, XmlPtr* page, BuildBudget* budget = nullptr);

// Whether node is an envelope template: a "page" with envelope="true". Such templates never
// take part in the page loop.
bool IsEnvelopeTemplate(const TXml* node);

// The page of the envelope template for the first record that yields one, or NULL (also for a
// NULL template or no records).
XmlPtr BuildEnvelopePage(const TXml* envelopeTemplate, TXml* data, int recordCount,
                         BuildBudget* budget = nullptr);

// Runs the page loop over the children of pages, adding built pages to built. Stops when
// every template has printed all records, when an element fails, when the loop comes back to a
// state it was in before (templates that never move their cursor on), when pageLimit template
// turns were taken and more were due, or when the budget is spent. False only in those last two
// cases: the job was cut short (the pages built so far stay in built).
bool RunPageLoop(TXml* pages, TXml* data, int recordCount, PageList& built, int pageLimit,
                 BuildBudget* budget = nullptr);

}  // namespace TVostrin
