// Build element "record": lays records out in bands and advances the page template's record
// cursor past the records it used.
//
// Each child of the element is a row of "repeatnum" slots (default 1), slot k shifted by
// k*"xstep", k*"ystep". Each child of a row is a field: its content is an expression over the
// record, printed as an element tagged like the field ("field" prints as "text") with the result
// in "value"; "textbox" and "scrolltext" children are built by their own classes. A record
// without main data takes no slot. scope="1" marks every record as used afterwards.
#pragma once

#include "CBuildElement.h"

namespace TVostrin {

class CRecord : public CBuildElement {
  public:
    using CBuildElement::CBuildElement;
    // 0 when some record printed main data, 99 when none did, -1 on failure.
    int Build(TXml* data, int* cursor, TXml* parent) override;
};

}  // namespace TVostrin
