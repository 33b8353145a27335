#include "CLine.h"

namespace TVostrin {

int CLine::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    return AppendCopy(parent);
}

}  // namespace TVostrin
