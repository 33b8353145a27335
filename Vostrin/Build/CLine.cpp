#include "CLine.h"

namespace TVostrin {

int CLine::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    AppendCopy(parent);
    return kBuildDone;
}

}  // namespace TVostrin
