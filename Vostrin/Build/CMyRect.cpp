#include "CMyRect.h"

namespace TVostrin {

int CMyRect::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    AppendCopy(parent);
    return kBuildDone;
}

}  // namespace TVostrin
