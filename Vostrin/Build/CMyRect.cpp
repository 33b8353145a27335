#include "CMyRect.h"

namespace TVostrin {

int CMyRect::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    return AppendCopy(parent);
}

}  // namespace TVostrin
