#include "CWordDoc.h"

namespace TVostrin {

int CWordDoc::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    AppendCopy(parent);
    return kBuildDone;
}

}  // namespace TVostrin
