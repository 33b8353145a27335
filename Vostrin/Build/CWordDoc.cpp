#include "CWordDoc.h"

namespace TVostrin {

int CWordDoc::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    return AppendCopy(parent);
}

}  // namespace TVostrin
